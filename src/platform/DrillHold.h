#pragma once

#include <QString>

// A drill that must not be left half-way (a Spartan one) outlives its
// program: it is kept with the record and taken up again at the next start.
// While one copy of the program runs it, no other copy takes it up.
namespace platform {

// Claims the drill for this copy of the program, for as long as this copy
// runs or until released. False when another running copy holds it.
bool ClaimDrill(const QString &drill);
void ReleaseDrill(const QString &drill);

// While held, a browser asks before the page is left (reloaded, closed,
// gone back from); elsewhere the drill's window has no way out of its own.
void HoldPage(bool held);

} // namespace platform
