#pragma once

class QCoreApplication;
class QString;

namespace platform {

// Installs Qt's own Japanese texts (button captions, context menus) whatever
// the system language. Returns false, after one line on standard error, when
// the translation file is missing; the program runs on without it.
bool InstallJapaneseTranslation(QCoreApplication &app);
// The same, looking in the given folder.
bool InstallJapaneseTranslation(QCoreApplication &app, const QString &folder);

} // namespace platform
