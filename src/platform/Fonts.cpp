#include "platform/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace platform {

namespace {

struct Mapping {
    const char16_t *windowsFace;
    const char *faces; // comma-separated, best first
};

// IPA faces share the MS faces' metrics; the rounded and pop faces have no
// metric twin on Debian, so a rounded Japanese face stands in for them.
constexpr Mapping Mappings[] = {
    {u"ＭＳ Ｐゴシック", "IPAPGothic,Noto Sans CJK JP"},
    {u"ＭＳ ゴシック", "IPAGothic,Noto Sans Mono CJK JP,Noto Sans CJK JP"},
    {u"ＭＳ 明朝", "IPAMincho,Noto Serif CJK JP"},
    {u"ＭＳ Ｐ明朝", "IPAPMincho,Noto Serif CJK JP"},
    {u"HG丸ｺﾞｼｯｸM-PRO", "MotoyaLMaru,Noto Sans CJK JP"},
    {u"HGS創英角ﾎﾟｯﾌﾟ体", "MotoyaLMaru,Noto Sans CJK JP"},
    {u"HG創英角ﾎﾟｯﾌﾟ体", "MotoyaLMaru,Noto Sans CJK JP"},
};

} // namespace

int LoadBundledFonts()
{
    int added = 0;
    const QStringList folders = {QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"),
                                 QStringLiteral(":/fonts")};
    for (const QString &folder : folders) {
        const QDir dir(folder);
        const QStringList files =
            dir.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.otf"), QStringLiteral("*.ttc")},
                          QDir::Files, QDir::Name);
        for (const QString &file : files)
            if (QFontDatabase::addApplicationFont(dir.filePath(file)) >= 0)
                ++added;
    }
    return added;
}

void InstallFontSubstitutions()
{
    for (const Mapping &m : Mappings) {
        const QString face = QString::fromUtf16(m.windowsFace);
        QFont::removeSubstitutions(face);
        QFont::insertSubstitutions(face, QString::fromLatin1(m.faces).split(QLatin1Char(',')));
    }
}

void UseJapaneseDefaultFont()
{
    QFont font(QString::fromUtf16(Mappings[0].windowsFace));
    font.setPointSizeF(10.5);
    QApplication::setFont(font);
}

QString ResolvedFamily(const QString &namedFace)
{
    return QFontInfo(QFont(namedFace)).family();
}

} // namespace platform
