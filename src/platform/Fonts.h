#pragma once

#include <QString>

namespace platform {

// The screens name Windows Japanese faces; this maps each to the closest face
// Debian ships. Call once, after the application object exists.
void InstallFontSubstitutions();

// Makes the proportional gothic the default face, for everything the screens
// do not give a face of their own (message boxes, menus). A Latin default
// would draw Japanese through fallbacks and load one face more.
void UseJapaneseDefaultFont();

// The face the program really draws with for a named face (for tests and for
// the text-fit checks).
QString ResolvedFamily(const QString &namedFace);

} // namespace platform
