#pragma once

#include "forms/common/Form.h"
#include "forms/common/FormKit.h"
#include "forms/common/Navigator.h"
#include "study/Children.h"

#include <vector>

namespace forms {

// だれが　べんきょうする？: with two or more children named, the child says who
// studies before the drill screen opens, by a big button of their own colour
// (the mouse, a finger, the arrows and Enter, or the digit of its place).
// The menu stays behind it, so closing it goes back there as it was.
class ChildPicker : public Form {
    Q_OBJECT
public:
    explicit ChildPicker(Navigator &navigator);

    // Loads the window with a button for each of these children.
    void ShowFor(std::vector<study::Child> children);

    std::vector<CommandButton *> Buttons;
    CommandButton *Back = nullptr;

protected:
    void CreateControls(QWidget *window) override;
    void ClearControls() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Choose(int index);
    // The arrows step from button to button, round at either end.
    void Step(int from, int by);

    Navigator &navigator_;
    std::vector<study::Child> children_;
};

} // namespace forms
