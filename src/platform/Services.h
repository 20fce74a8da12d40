#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace platform {

class MessageBox;
class SettingsStore;
class RandomSource;
class EventPump;
class RecordStore;

// Result codes of a message box: OK, Yes and No.
inline constexpr int ResultOk = 1;
inline constexpr int ResultYes = 6;
inline constexpr int ResultNo = 7;

// The services the engine and the forms reach the platform through. Each has
// a real implementation by default; tests install their own.
MessageBox &messageBox();
SettingsStore &settingsStore();
RandomSource &random();
EventPump &eventPump();
// The learning record; opened at its first use, never at start-up.
RecordStore &recordStore();

// Each setter takes ownership and returns the previous instance; passing null
// restores the real implementation.
std::unique_ptr<MessageBox> setMessageBox(std::unique_ptr<MessageBox> box);
std::unique_ptr<SettingsStore> setSettingsStore(std::unique_ptr<SettingsStore> store);
std::unique_ptr<RandomSource> setRandom(std::unique_ptr<RandomSource> random);
std::unique_ptr<EventPump> setEventPump(std::unique_ptr<EventPump> pump);
std::unique_ptr<RecordStore> setRecordStore(std::unique_ptr<RecordStore> store);

// Ends the program at once, whatever windows are open. Tests replace the
// action so the test process goes on.
void endProgram();
bool programEnding();
void setEndAction(std::function<void()> action);
void resetProgramEnding();

// The settings entry that holds the parent's password.
inline const QString PasswordSection = QStringLiteral("Data");
inline const QString PasswordKey = QStringLiteral("PassWord");

} // namespace platform
