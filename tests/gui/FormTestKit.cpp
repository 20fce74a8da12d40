#include "FormTestKit.h"
#include "ShownProblem.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

#include <ctime>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace testkit {

void ScriptedPump::WaitForWake()
{
    ++waits;
    if (actions.empty()) {
        AcknowledgeDialog();
        return;
    }
    std::function<void()> action = std::move(actions.front());
    actions.pop_front();
    action();
}

QWidget *Window(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible())
            return w;
    }
    return nullptr;
}

bool HasFocus(const QWidget *widget)
{
    return widget && widget->window()->focusWidget() == widget;
}

void PickFromList(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->showPopup();
    QAbstractItemView *list = combo->view();
    list->setCurrentIndex(combo->model()->index(index, combo->modelColumn()));
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!list->isVisible());
}

void Activate(QWidget *window)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void TypeCommitted(QWidget *widget, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(widget, &event);
}

void PlaceSettingsFile(const QString &path, const QByteArray &content)
{
    if (content.isNull()) {
        QVERIFY(QDir().mkpath(path));
        return;
    }
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(content), content.size());
}

double ProcessCpuSeconds()
{
#ifdef Q_OS_WIN
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME &t) { return (quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return double(ticks(kernel) + ticks(user)) / 1e7; // 100 ns ticks
#else
    return double(std::clock()) / CLOCKS_PER_SEC;
#endif
}

void AcknowledgeDialog()
{
    auto *cb = Control<QPushButton>(QStringLiteral("Dialog"), QStringLiteral("CB"));
    QVERIFY2(cb, "no feedback dialog to acknowledge");
    cb->click();
}

void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

ProgramFixture::ProgramFixture()
{
    settingsPath = dir.filePath(QStringLiteral("Tovrani.ini"));
    // What a drill leaves beside the record (its claim) goes to the test's
    // own folders, never the user's.
    QStandardPaths::setTestModeEnabled(true);
}

ProgramFixture::~ProgramFixture()
{
    Stop();
}

app::Program &ProgramFixture::Start()
{
    Module1::ResetAll();
    platform::resetProgramEnding();
    auto boxOwned = std::make_unique<platform::QueuedMessageBox>();
    box = boxOwned.get();
    platform::setMessageBox(std::move(boxOwned));
    auto pumpOwned = std::make_unique<ScriptedPump>();
    pump = pumpOwned.get();
    platform::setEventPump(std::move(pumpOwned));
    auto storeOwned = std::make_unique<platform::QtSettingsStore>(settingsPath);
    store = storeOwned.get();
    platform::setSettingsStore(std::move(storeOwned));
    // The learning record in memory: no test writes the user's own.
    auto recordOwned = std::make_unique<platform::MemoryRecordStore>();
    record = recordOwned.get();
    platform::setRecordStore(std::move(recordOwned));
    auto saverOwned = std::make_unique<FakeSaver>();
    saver = saverOwned.get();
    platform::setFileSaver(std::move(saverOwned));
    platform::setRandom(std::make_unique<FixedSeedRandom>(12345));
    platform::setEndAction([this] { ++ends; });
    program = &app::StartUp();
    return *program;
}

void ProgramFixture::Stop()
{
    if (!program)
        return;
    app::ShutDown();
    program = nullptr;
    FlushDeletes();
    platform::setEndAction(nullptr);
    platform::setEventPump(nullptr);
    platform::setRandom(nullptr);
    platform::setSettingsStore(nullptr);
    platform::setRecordStore(nullptr);
    record = nullptr;
    platform::setFileSaver(nullptr);
    saver = nullptr;
    platform::resetProgramEnding();
}

platform::ScriptedRandom &ProgramFixture::Script(std::vector<float> values)
{
    auto random = std::make_unique<platform::ScriptedRandom>(std::move(values));
    platform::ScriptedRandom &ref = *random;
    platform::setRandom(std::move(random));
    return ref;
}

float Drawing(int k, int m)
{
    return static_cast<float>((k - 0.5) / m);
}

int ShownAnswer()
{
    const std::optional<int> answer = ShownAnswerOf(Window(QStringLiteral("Calk")));
    if (!answer)
        qFatal("no problem on the drill screen");
    return *answer;
}

void Answer(const QString &text)
{
    auto *k = Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("K"));
    QVERIFY(k);
    k->setText(text);
    Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C2"))->click();
}

} // namespace testkit
