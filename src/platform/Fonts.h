#pragma once

#include <QString>

namespace platform {

// Registers the faces the program ships beside itself (a "fonts" folder next
// to the executable) or inside itself (resource folder ":/fonts"), for systems
// that may lack Japanese faces: Windows without the Japanese language pack,
// browsers. Returns how many faces were added. Call before any text is drawn.
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
