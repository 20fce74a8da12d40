#pragma once

class QApplication;

namespace platform {

// Keeps the keyboard with the program's windows: when the active window goes
// (the feedback dialog, a message box, a form that hands over), the window
// that was active before it takes the keyboard again, with its own focused
// control, as a desktop window manager does. Where the platform does that
// itself, nothing is installed.
void KeepKeyboardWithWindows(QApplication &app);

// Keeps the windows on screen when the screen changes size (a browser page
// resized, a tablet turned): the windows are centred again together, as one
// group. Desktop window managers do that themselves.
void KeepWindowsOnScreen(QApplication &app);

} // namespace platform
