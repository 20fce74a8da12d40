#pragma once

class QApplication;
class QWidget;

namespace platform {

// Whether touch is the main way in: a touch screen on the desktop, a coarse
// pointer (finger) in the browser. The drill screen then offers its number pad.
bool TouchIsPrimary();

// The system's on-screen keyboard stays away from this box: the number pad
// types into it, and a keyboard over the drill would cover the question. Keys
// from a real keyboard still reach it.
void KeepSystemKeyboardAway(QWidget *box);

// Makes text from the system's input (an input method's committed text, an
// on-screen keyboard) reach the program's text boxes. Desktop Qt does that
// itself; a browser page needs a text field of its own to receive it.
void BridgeSystemTextInput(QApplication &app);

} // namespace platform
