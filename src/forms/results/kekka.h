#pragma once

#include "forms/common/Form.h"
#include "forms/common/Navigator.h"
#include "forms/common/FormKit.h"

#include <array>

namespace forms {

// The results screen. In Spartan mode it is locked: the way back to the menu
// opens only with the registered password.
class kekka : public Form {
    Q_OBJECT
public:
    explicit kekka(Navigator &navigator);

    bool IsLocked() const { return locked_; }
    void CloseRequested() override;

    std::array<QLabel *, 5> L1{};
    std::array<QLabel *, 4> L{};
    QLabel *Label2 = nullptr;
    TextBox *T1 = nullptr;
    CommandButton *C1 = nullptr;
    CommandButton *Command1 = nullptr;

    QString RegisteredPassword;

signals:
    // The parent's password opened the way back to the menu.
    void Unlocked();

protected:
    void CreateControls(QWidget *window) override;
    void Load() override;
    void ClearControls() override;

private:
    void C1_Click();
    void Command1_Click();
    void Unlock();

    Navigator &navigator_;
    bool locked_ = false;
};

} // namespace forms
