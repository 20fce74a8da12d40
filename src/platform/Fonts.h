#pragma once

#include <QString>

namespace platform {

// The screens name Windows Japanese faces; this maps each to the closest face
// Debian ships. Call once, after the application object exists.
void InstallFontSubstitutions();

// The face the program really draws with for a named face (for tests and for
// the text-fit checks).
QString ResolvedFamily(const QString &namedFace);

} // namespace platform
