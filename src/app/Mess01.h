#pragma once

#include "forms/common/Form.h"
#include "forms/common/FormKit.h"

namespace app {

class Program;

// The main menu. Every load sets the study defaults again.
class Mess01 : public forms::Form {
    Q_OBJECT
public:
    explicit Mess01(Program &program);

    // The window's close control asks the quit question, like "終了".
    void CloseRequested() override { C3_Click(); }

    QLabel *Label1 = nullptr;
    forms::WrappedLabel *Label2 = nullptr;
    forms::CommandButton *C1 = nullptr;
    forms::CommandButton *C2 = nullptr;
    forms::CommandButton *C3 = nullptr;

    static const QString Description;

protected:
    void CreateControls(QWidget *window) override;
    void Load() override;
    void ClearControls() override;

private:
    void C1_Click();
    void C2_Click();
    void C3_Click();

    Program &program_;
};

} // namespace app
