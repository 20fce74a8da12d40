#include "app/Program.h"

#include "platform/Fonts.h"
#include "platform/QtMessageBox.h"
#include "platform/Random.h"
#include "platform/RecordStore.h"
#include "platform/Services.h"
#include "platform/Translation.h"
#include "platform/TextInput.h"
#include "platform/WindowFocus.h"

#include <QApplication>
#include <QTimer>
#include <memory>

namespace app {

namespace {

std::unique_ptr<Program> &theProgram()
{
    static std::unique_ptr<Program> program;
    return program;
}

} // namespace

Program::Program()
    : mess01(*this), calk(*this), dialog(*this), kekka(*this), passWord(*this), setei(*this),
      kiroku(*this, []() -> platform::RecordStore & { return platform::recordStore(); }), picker(*this),
      hyakumasu(*this)
{
    // The program never lingers without a window.
    forms::Form::SetAllUnloadedAction([this] { End(); });

    QObject::connect(&kekka, &forms::Form::Opened, &missed, [this] { ShowMissed(); });
    QObject::connect(&kekka, &forms::Form::Unloaded, &missed, &forms::Missed::Unload);
    QObject::connect(&kekka, &forms::kekka::Unlocked, &missed, [this] { missed.OfferRetry(true); });
    // A Spartan drill ends for good once the parent has unlocked its results.
    QObject::connect(&kekka, &forms::kekka::Unlocked, &calk, [this] { calk.drill.EndKept(); });
    QObject::connect(&missed, &forms::Missed::RetryRequested, &kekka, [this] { StartRetry(); });
    // The learning record is a part of the settings: it goes when they go.
    QObject::connect(&setei, &forms::Form::Unloaded, &kiroku, &forms::RecordWindow::Unload);
}

forms::Form &Program::FormOf(forms::Screen screen)
{
    switch (screen) {
    case forms::Screen::Menu: return mess01;
    case forms::Screen::Drill: return calk;
    case forms::Screen::Feedback: return dialog;
    case forms::Screen::Results: return kekka;
    case forms::Screen::Settings: return setei;
    case forms::Screen::Record: return kiroku;
    }
    Q_UNREACHABLE();
}

void Program::Open(forms::Screen screen)
{
    FormOf(screen).Show();
}

void Program::Close(forms::Screen screen)
{
    FormOf(screen).Unload();
}

QWidget *Program::WindowOf(forms::Screen screen)
{
    return FormOf(screen).Window();
}

void Program::StartPractice(std::vector<engine::ProblemRecord> problems, const engine::PracticeKind &kind)
{
    if (problems.empty() || !setei.IsLoaded() || calk.IsLoaded())
        return;
    // The settings take the mode as 設定完了 does (the record's window goes
    // with them); the menu under them gives way to the drill.
    setei.Unload();
    calk.StartGiven(std::move(problems), engine::DrillContext::Practice(kind));
}

void Program::StartHyakumasu(std::int16_t operation, int size)
{
    if (!setei.IsLoaded() || calk.IsLoaded() || hyakumasu.IsLoaded())
        return;
    setei.Unload();
    hyakumasu.Start(operation, size);
}

void Program::ShowMissed()
{
    if (calk.drill.Log().AnyMissed())
        missed.ShowBeside(kekka.Window(), calk.drill.Log(), !kekka.IsLocked());
}

void Program::StartRetry()
{
    // Only where the way back is open: a locked Spartan result keeps the child.
    if (!kekka.IsLoaded() || kekka.IsLocked())
        return;
    std::vector<engine::ProblemRecord> problems = engine::RetryProblems(calk.drill.Log(), platform::random());
    if (problems.empty())
        return;
    // The drill opens before the results go, as every hand-over does, so the
    // window manager passes the keyboard on to it.
    calk.StartGiven(std::move(problems), calk.drill.RetryContext());
    kekka.Unload();
}

Program::~Program()
{
    forms::Form::SetAllUnloadedAction(nullptr);
    forms::Form::UnloadAll();
}

void Program::End()
{
    forms::Form::UnloadAll();
    platform::endProgram();
}

void InitialisePlatform(QApplication &app)
{
    platform::LoadBundledFonts();
    platform::InstallFontSubstitutions();
    platform::UseJapaneseDefaultFont();
    platform::InstallJapaneseTranslation(app);
    // The program decides when it ends (the quit question), not the last
    // window closing while one form hands over to the next.
    QApplication::setQuitOnLastWindowClosed(false);
    platform::KeepKeyboardWithWindows(app);
    platform::BridgeSystemTextInput(app);
    platform::KeepWindowsOnScreen(app);
    // Keep a test's box; install the real one otherwise.
    auto previous = platform::setMessageBox(nullptr);
    platform::setMessageBox(previous ? std::move(previous) : std::make_unique<platform::QtMessageBox>());
}

void Program::TakeUpKeptDrill()
{
    // Only a program that has not begun a drill of its own yet.
    if (calk.IsLoaded() || kekka.IsLoaded() || hyakumasu.IsLoaded() || calk.drill.Kept())
        return;
    platform::RecordStore &store = platform::recordStore();
    std::optional<engine::OpenDrill> open = engine::TakeUpOpenDrill(store);
    if (!open)
        return;
    platform::RecordQuery query;
    query.drill = open->drill;
    std::optional<platform::RecordContents> stored = store.Read(query);
    // The child is back in the drill, whatever else had opened meanwhile.
    setei.Unload();
    passWord.Unload();
    if (open->gridSize > 0) {
        // What cannot be taken up as a grid is let go, not looked for again.
        if (!hyakumasu.StartResumed(*open, stored ? stored->answers : std::vector<platform::AnswerRow>{}))
            engine::EndOpen(store, open->drill);
        return;
    }
    calk.StartResumed(std::move(*open), stored ? std::move(stored->answers) : std::vector<platform::AnswerRow>{});
}

Program &StartUp()
{
    auto &program = theProgram();
    if (!program)
        program = std::make_unique<Program>();
    program->mess01.Show();
    // A Spartan drill left half-way (a killed program, a reloaded page) goes
    // on; looked for once the menu is drawn, so that start-up stays quick.
    QTimer::singleShot(0, &program->mess01, [p = program.get()] { p->TakeUpKeptDrill(); });
    return *program;
}

Program *CurrentProgram()
{
    return theProgram().get();
}

void ShutDown()
{
    theProgram().reset();
    // The unloaded windows wait for the event loop to delete them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int Run(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("mimoran"));
    InitialisePlatform(app);
    StartUp();
    const int code = QApplication::exec();
    ShutDown();
    // Answers still waiting (the record locked by another copy, say) go in
    // now with patience, or wait beside the record for the next start; then
    // the record is closed while Qt is still there (its journal folded back).
    platform::recordStore().Close();
    platform::setRecordStore(nullptr);
    return code;
}

} // namespace app
