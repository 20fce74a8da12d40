#pragma once

#include "app/Mess01.h"
#include "forms/drill/Calk.h"
#include "forms/drill/ChildPicker.h"
#include "forms/drill/Dialog.h"
#include "forms/drill/Hyakumasu.h"
#include "forms/parent/PassWord.h"
#include "forms/parent/Setei.h"
#include "forms/record/RecordWindow.h"
#include "forms/results/Missed.h"
#include "forms/results/kekka.h"

class QApplication;

namespace app {

// The forms, each living for the whole process, and which window opens when:
// the forms ask for screens through the navigator, and the program alone
// knows which form each one is.
class Program final : public forms::Navigator {
public:
    Program();
    ~Program() override;
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // Ends the program at once, whatever forms are open.
    void End();
    // A Spartan drill the record keeps, that no other copy runs, goes on.
    void TakeUpKeptDrill();

    void Open(forms::Screen screen) override;
    void Close(forms::Screen screen) override;
    QWidget *WindowOf(forms::Screen screen) override;
    void StartPractice(std::vector<engine::ProblemRecord> problems, const engine::PracticeKind &kind) override;
    void StartHyakumasu(std::int16_t operation, int size) override;

    Mess01 mess01;
    forms::Calk calk;
    forms::Dialog dialog;
    forms::kekka kekka;
    forms::PassWord passWord;
    forms::Setei setei;
    forms::Missed missed;
    forms::RecordWindow kiroku;
    forms::ChildPicker picker;
    forms::Hyakumasu hyakumasu;

private:
    forms::Form &FormOf(forms::Screen screen);

    // The missed problems' list: beside the results of a drill with wrong
    // answers, the retry offered where the way back to the menu is open.
    void ShowMissed();
    void StartRetry();
};

// Platform set-up that must precede the first form: the Japanese faces, Qt's
// Japanese texts and the real message box (unless a test installed its own).
void InitialisePlatform(QApplication &app);

// The start-up procedure: creates the forms and shows the main menu. Call it
// once the application object exists; the forms then live until ShutDown().
Program &StartUp();
// The program started by StartUp(), or null.
Program *CurrentProgram();
// Unloads every form and destroys the program (tests start afresh with it).
void ShutDown();

// The whole run of the program on an application object: platform set-up,
// the menu, the event loop, then ShutDown() before returning, while the
// application object and the forms' own statics still exist. Returns the
// event loop's exit code.
int Run(QApplication &app);

} // namespace app
