#include "platform/WindowFocus.h"

namespace platform {

// The desktop's window manager gives the keyboard back itself.
void KeepKeyboardWithWindows(QApplication &) {}

void KeepWindowsOnScreen(QApplication &)
{
}

} // namespace platform
