#pragma once

// A PDF read back by another program (poppler's pdfinfo, pdffonts, pdftotext
// and pdftoppm), as a viewer or a printer would read it.
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace pdfcheck {

// Writes the PDF where the tools can read it, and gives its name as they
// see it.
QString PdfForTools(const QByteArray &pdf);

// The tool's standard output; none when it failed.
std::optional<QString> Run(const QString &tool, const QStringList &args);

// A page's text with every blank taken out, so that only the order of what
// is printed counts.
QString PageText(const QString &pdf, int page);

// A word of a page as poppler places it, in points from the page's top left.
struct Word {
    QString text;
    QRectF box;
};
std::vector<Word> PageWords(const QString &pdf, int page);

// The page drawn as a printer would, without smoothing, so that every mark
// keeps its own colour; at Scale pixels a point.
inline constexpr int Scale = 3;
QImage PageImage(const QString &pdf, int page);

// No word runs into another or off the printable area (15 mm margins).
void CheckNothingOverlaps(const std::vector<Word> &words, const char *page);

// Every face the text uses travels inside the file.
void CheckFontsEmbedded(const QString &file);

} // namespace pdfcheck
