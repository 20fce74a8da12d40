#include "platform/Translation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

namespace platform {

bool InstallJapaneseTranslation(QCoreApplication &app)
{
    // A build that carries the file inside itself (the browser's) has it in
    // its resources; everywhere else it is where Qt keeps its translations.
    const QString embedded = QStringLiteral(":/translations");
    if (QFileInfo::exists(embedded + QStringLiteral("/qtbase_ja.qm")))
        return InstallJapaneseTranslation(app, embedded);
    return InstallJapaneseTranslation(app, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool InstallJapaneseTranslation(QCoreApplication &app, const QString &dir)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), dir)) {
        delete translator;
        std::fprintf(stderr, "mimoran: Qt's Japanese translation (qtbase_ja.qm) was not found in %s; "
                             "Qt's own buttons and menus may not be in Japanese.\n",
                     qPrintable(dir));
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace platform
