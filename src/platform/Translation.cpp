#include "platform/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

namespace platform {

bool InstallJapaneseTranslation(QCoreApplication &app)
{
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
