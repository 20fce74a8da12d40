#pragma once

#include <QString>

namespace platform {

// Registers the faces the program carries inside itself (resource folder
// ":/fonts", the browser's) and, from the "fonts" folder next to the
// executable (Windows), those that stand in for a named face the system
// lacks. Returns how many font files were added. Call before any text is
// drawn and before InstallFontSubstitutions().
int LoadBundledFonts();

// The screens name Windows Japanese faces; this maps each to the closest face
// the program has (Debian's packages, or the ones it ships). Where the named
// face itself exists, it is used as it is. Call once, after the application
// object exists.
void InstallFontSubstitutions();

// Makes the proportional gothic the default face, for everything the screens
// do not give a face of their own (message boxes, menus). A Latin default
// would draw Japanese through fallbacks and load one face more.
void UseJapaneseDefaultFont();

// The face the program really draws with for a named face (for tests and for
// the text-fit checks).
QString ResolvedFamily(const QString &namedFace);

} // namespace platform
