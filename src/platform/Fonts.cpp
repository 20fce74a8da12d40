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
    const char *faces;       // comma-separated, best first
    const char *shippedFile; // the file of the first face, where it is shipped
};

// IPA faces share the MS faces' metrics; the rounded and pop faces have no
// metric twin on Debian, so a rounded Japanese face stands in for them. The
// "Mimoran" faces are the browser edition's built-in subsets of the same fonts.
constexpr Mapping Mappings[] = {
    {u"ＭＳ Ｐゴシック", "IPAPGothic,Mimoran PGothic,Noto Sans CJK JP", "ipagp.ttf"},
    {u"ＭＳ ゴシック", "IPAGothic,Mimoran Gothic,Noto Sans Mono CJK JP,Noto Sans CJK JP", "ipag.ttf"},
    {u"ＭＳ 明朝", "IPAMincho,Mimoran Mincho,Noto Serif CJK JP", "ipam.ttf"},
    {u"ＭＳ Ｐ明朝", "IPAPMincho,Mimoran PMincho,Noto Serif CJK JP", "ipamp.ttf"},
    {u"HG丸ｺﾞｼｯｸM-PRO", "MotoyaLMaru,Mimoran Maru,Noto Sans CJK JP", "MTLmr3m.ttf"},
    {u"HGS創英角ﾎﾟｯﾌﾟ体", "MotoyaLMaru,Mimoran Maru,Noto Sans CJK JP", "MTLmr3m.ttf"},
    {u"HG創英角ﾎﾟｯﾌﾟ体", "MotoyaLMaru,Mimoran Maru,Noto Sans CJK JP", "MTLmr3m.ttf"},
};

int addFontFiles(const QDir &dir, const QStringList &files)
{
    int added = 0;
    for (const QString &file : files)
        if (dir.exists(file) && QFontDatabase::addApplicationFont(dir.filePath(file)) >= 0)
            ++added;
    return added;
}

} // namespace

int LoadBundledFonts()
{
    // Faces built into the program are small subsets made for it: all of them.
    const QDir embedded(QStringLiteral(":/fonts"));
    int added = addFontFiles(embedded, embedded.entryList(QDir::Files, QDir::Name));

    // Faces shipped beside it are whole fonts of several megabytes each, read
    // into memory when added: only those standing in for a missing face, so a
    // Japanese Windows, which has them all, starts without reading any.
    const QDir shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    if (!shipped.exists())
        return added;
    QStringList needed;
    for (const Mapping &m : Mappings) {
        const QString firstChoice = QString::fromLatin1(m.faces).section(QLatin1Char(','), 0, 0);
        const QString file = QString::fromLatin1(m.shippedFile);
        if (!QFontDatabase::hasFamily(QString::fromUtf16(m.windowsFace)) &&
            !QFontDatabase::hasFamily(firstChoice) && !needed.contains(file))
            needed.append(file);
    }
    return added + addFontFiles(shipped, needed);
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
