#pragma once

#include <QColor>

// The program's colours, each under what it is for; a screen that shares
// another's look takes it from here.
namespace forms::palette {

// The parent's windows: the settings, the password and the record.
inline const QColor ParentPink(255, 192, 192);
// Their buttons, the results screen's ground and the right answer's dialog.
inline const QColor ButtonRed(255, 128, 128);
// The drill screen, its pad and the menu's buttons.
inline const QColor DrillCyan(192, 255, 255);
inline const QColor ButtonCyan(128, 255, 255);
// The menu's ground.
inline const QColor MenuGreen(192, 255, 192);
// Every screen's title.
inline const QColor TitleBlue(0, 0, 192);
// The question number and the missed problems' right answers.
inline const QColor Red(255, 0, 0);
// The wrong answer's dialog.
inline const QColor WrongBlue(128, 128, 255);
// The results screen's way back to the menu.
inline const QColor MenuButtonPink(255, 128, 255);
// The missed problems' list.
inline const QColor Cream(255, 255, 192);
inline const QColor ButtonYellow(255, 255, 128);

} // namespace forms::palette
