#pragma once

// Shared set-up for the tests that drive the real forms offscreen: fake
// platform services, the program started afresh for each test, and helpers
// that find windows and controls by objectName.

#include "app/Program.h"
#include "platform/EventPump.h"
#include "platform/FileSave.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/RecordStore.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "study/Module1.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>
#include <functional>

namespace testkit {

// Stands in for the event pump: each wait runs the next scripted action (or,
// with none left, acknowledges the dialog as a child would), so a drill can
// be driven synchronously. Records how often the program waited.
class ScriptedPump final : public platform::EventPump {
public:
    void WaitForWake() override;
    void Wake() override { ++wakes; }

    std::deque<std::function<void()>> actions;
    int waits = 0;
    int wakes = 0;
};

// Whatever is visible now: the top-level window with this objectName.
QWidget *Window(const QString &name);

template <typename T>
T *Control(const QString &form, const QString &name)
{
    QWidget *window = Window(form);
    return window ? window->findChild<T *>(name) : nullptr;
}

// Whether the widget is its window's focus widget (offscreen windows are
// never active, so hasFocus() would always be false).
bool HasFocus(const QWidget *widget);

// Picks the entry from the list's drop-down as a person does: opens it, moves
// to the entry and presses Enter there.
void PickFromList(QComboBox *combo, const QString &text);

// Makes the window the active one, so that moving the focus sends focus
// events (a list takes its typed text when the focus leaves it).
void Activate(QWidget *window);

// Types the text into the widget as a Japanese input method delivers it: one
// committed string, replacing what is selected.
void TypeCommitted(QWidget *widget, const QString &text);

// Puts this content in the settings file, or a folder in its place when the
// content is null (a store that cannot be read at all).
void PlaceSettingsFile(const QString &path, const QByteArray &content);

// CPU time this process has used so far, in seconds (std::clock() counts
// wall time on Windows).
double ProcessCpuSeconds();

// Clicks the feedback dialog's button (there must be one).
void AcknowledgeDialog();

// Destroys the windows of unloaded forms, as the event loop would.
void FlushDeletes();

// Stands in for the save dialog and the download: keeps what was offered and
// answers as told.
class FakeSaver final : public platform::FileSaver {
public:
    platform::SaveResult Save(QWidget *, const QString &title, const QString &suggestedName,
                              const QByteArray &data) override
    {
        titles.append(title);
        names.append(suggestedName);
        files.append(data);
        return result;
    }
    bool CanOpenSaved() const override { return canOpen && result == platform::SaveResult::Saved; }
    bool OpenSaved() override
    {
        ++opened;
        return true;
    }
    platform::SaveResult result = platform::SaveResult::Saved;
    bool canOpen = true;
    int opened = 0;
    QStringList titles;
    QStringList names;
    QList<QByteArray> files;
};

class ProgramFixture {
public:
    ProgramFixture();
    ~ProgramFixture();

    // Installs the fakes and runs the start-up procedure (the menu opens).
    app::Program &Start();
    void Stop();

    // Scripted random values; without a call the program draws from a fixed
    // seed, so runs repeat.
    platform::ScriptedRandom &Script(std::vector<float> values);

    platform::QueuedMessageBox *box = nullptr;
    ScriptedPump *pump = nullptr;
    platform::QtSettingsStore *store = nullptr;
    platform::MemoryRecordStore *record = nullptr;
    FakeSaver *saver = nullptr;
    QTemporaryDir dir;
    QString settingsPath;
    int ends = 0;
    app::Program *program = nullptr;
};

// The program's generator with its clock reseed ignored: the problems follow
// the seed alone, so a run (or a replayed walk) repeats exactly.
class FixedSeedRandom final : public platform::RandomSource {
public:
    explicit FixedSeedRandom(std::uint64_t seed) : inner_(seed) {}
    float Next() override { return inner_.Next(); }
    void Reseed(float) override {}

private:
    platform::PcgRandom inner_;
};

// The value a draw from 1 to m needs to come out as k.
float Drawing(int k, int m);

// The answer to the question now on the drill screen, worked out from what the
// screen shows.
int ShownAnswer();

// Types the text into the answer box and presses the answer button.
void Answer(const QString &text);

} // namespace testkit
