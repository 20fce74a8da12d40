#pragma once

#include "forms/common/Form.h"
#include "forms/common/FormKit.h"
#include "forms/common/Navigator.h"

#include <array>

namespace forms {

// The parent's settings: a mode click writes StudyMode at once; closing
// writes the kind, range and count. "学習の記録" opens the learning record.
class Setei : public Form {
    Q_OBJECT
public:
    explicit Setei(Navigator &navigator);

    // The close control finishes like "設定完了", count check included.
    void CloseRequested() override { Command1_Click(); }

    QLabel *Label1 = nullptr;
    CommandButton *Command1 = nullptr;
    CommandButton *Command2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<QRadioButton *, 3> Option1{};
    QGroupBox *Frame2 = nullptr;
    QLabel *Label3 = nullptr;
    ComboBox *Combo1 = nullptr;
    QLabel *Label4 = nullptr;
    ComboBox *Combo2 = nullptr;
    ComboBox *Combo3 = nullptr;
    QLabel *Label2 = nullptr;
    TextBox *T1 = nullptr;

protected:
    void CreateControls(QWidget *window) override;
    void Load() override;
    void QueryUnload() override;
    void ClearControls() override;

private:
    void CreateContentFrame(QWidget *window);
    void Option1_Click(int index);
    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();

    Navigator &navigator_;
};

} // namespace forms
