#pragma once

class QCoreApplication;

namespace platform {

// Installs Qt's own Japanese texts (button captions, context menus) whatever
// the system language. Returns false, after one line on standard error, when
// the translation file is missing; the program runs on without it.
bool InstallJapaneseTranslation(QCoreApplication &app);

} // namespace platform
