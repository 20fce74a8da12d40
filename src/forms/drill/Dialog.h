#pragma once

#include "forms/common/Form.h"
#include "forms/common/Navigator.h"
#include "forms/common/FormKit.h"

namespace forms {

// The right/wrong window after each answer: one big coloured button that
// releases the waiting answer check.
class Dialog : public Form {
    Q_OBJECT
public:
    explicit Dialog(Navigator &navigator);

    // Any other way of closing counts as the button.
    void CloseRequested() override { CB_Click(); }

    CommandButton *CB = nullptr;

protected:
    void CreateControls(QWidget *window) override;
    void Load() override;
    void ClearControls() override { CB = nullptr; }
    void PlaceWindow() override;

private:
    void CB_Click();

    Navigator &navigator_;
};

} // namespace forms
