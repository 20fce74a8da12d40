#pragma once

#include "forms/common/Form.h"
#include "forms/common/Navigator.h"
#include "forms/common/FormKit.h"

namespace forms {

// The parent's password gate in front of the settings screen. On first use it
// registers the password; later it checks it.
class PassWord : public Form {
    Q_OBJECT
public:
    explicit PassWord(Navigator &navigator);

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    TextBox *T1 = nullptr;
    QLabel *Label3 = nullptr;
    TextBox *T2 = nullptr;
    CommandButton *C1 = nullptr;
    CommandButton *C2 = nullptr;

    QString RegisteredPassword;

protected:
    void CreateControls(QWidget *window) override;
    void Load() override;
    void ClearControls() override;

private:
    void C1_Click();
    void C2_Click();
    void OpenSettings();

    Navigator &navigator_;
    bool storeReadable_ = true;
};

} // namespace forms
