#include "platform/Fonts.h"
#include "platform/FaceFiles.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <iterator>

namespace platform {

namespace {

struct Mapping {
    const char16_t *windowsFace;
    const char *installed; // the metric twin installed on Linux
    int file;              // its file in FaceFiles
    const char *fallbacks; // comma-separated, best first
};

// IPA faces share the MS faces' metrics; the rounded and pop faces have no
// metric twin on Debian, so a rounded Japanese face stands in for them. The
// "Mimoran" faces are the browser edition's built-in subsets of the same fonts.
constexpr Mapping Mappings[] = {
    {u"ＭＳ Ｐゴシック", "IPAPGothic", 0, "Noto Sans CJK JP"},
    {u"ＭＳ ゴシック", "IPAGothic", 1, "Noto Sans Mono CJK JP,Noto Sans CJK JP"},
    {u"ＭＳ 明朝", "IPAMincho", 2, "Noto Serif CJK JP"},
    {u"ＭＳ Ｐ明朝", "IPAPMincho", 3, "Noto Serif CJK JP"},
    {u"HG丸ｺﾞｼｯｸM-PRO", "MotoyaLMaru", 4, "Noto Sans CJK JP"},
    {u"HGS創英角ﾎﾟｯﾌﾟ体", "MotoyaLMaru", 4, "Noto Sans CJK JP"},
    {u"HG創英角ﾎﾟｯﾌﾟ体", "MotoyaLMaru", 4, "Noto Sans CJK JP"},
};
static_assert(std::size(FaceFiles) == 5, "Mappings index the five files of cmake/Faces.cmake");

// Best first: the installed twin, the built-in subset, the fallbacks.
QStringList Families(const Mapping &m)
{
    QStringList families{QString::fromLatin1(m.installed),
                         QString::fromLatin1(FaceFiles[m.file].subsetFamily)};
    families += QString::fromLatin1(m.fallbacks).split(QLatin1Char(','));
    return families;
}

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
        const QString firstChoice = QString::fromLatin1(m.installed);
        const QString file = QString::fromLatin1(FaceFiles[m.file].file);
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
        QFont::insertSubstitutions(face, Families(m));
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
