#include "PdfReadBack.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace pdfcheck {

namespace {

// Poppler's tools run on this system's side: from the PATH, or under wine
// through MIMORAN_POPPLER (Z:/..., the build's tests/poppler), whose run.exe
// script runs a Linux tool, its output to a file, and marks when it is done
// (wine neither waits for a Linux program nor gives it Qt's pipes).
QString ToolFolder()
{
    return qEnvironmentVariable("MIMORAN_POPPLER");
}

// A file of the tools' folder by its Linux name ("Z:/a/b" is "/a/b").
QString LinuxName(const QString &file)
{
    return file.mid(file.indexOf(u'/'));
}

} // namespace

// Writes the PDF where the tools can read it, and gives its name as they
// see it.
QString PdfForTools(const QByteArray &pdf)
{
    static QTemporaryDir temporary;
    const QString folder = ToolFolder().isEmpty() ? temporary.path() : ToolFolder();
    const QString file = folder + QStringLiteral("/read-back.pdf");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size())
        return {};
    return ToolFolder().isEmpty() ? file : LinuxName(file);
}

// The tool's standard output; none when it failed.
std::optional<QString> Run(const QString &tool, const QStringList &args)
{
    if (ToolFolder().isEmpty()) {
        QProcess p;
        p.start(tool, args);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            qWarning("%s failed: %s %s", qPrintable(tool), qPrintable(p.errorString()),
                     p.readAllStandardError().constData());
            return std::nullopt;
        }
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    const QString output = ToolFolder() + QStringLiteral("/output.txt");
    QFile::remove(output);
    QFile::remove(output + QStringLiteral(".done"));
    if (!QProcess::startDetached(ToolFolder() + QStringLiteral("/run.exe"),
                                 QStringList{LinuxName(output), tool} + args))
        return std::nullopt;
    QFile done(output + QStringLiteral(".done"));
    QDeadlineTimer deadline(60000);
    while (!done.exists() || done.size() == 0) {
        if (deadline.hasExpired())
            return std::nullopt;
        QThread::msleep(20);
    }
    QFile file(output);
    if (!done.open(QIODevice::ReadOnly) || done.readAll().trimmed() != "0" || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

// A page's text with every blank taken out, so that only the order of what
// is printed counts.
QString PageText(const QString &pdf, int page)
{
    QString text = Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                                     QStringLiteral("UTF-8"), QStringLiteral("-f"),
                                                     QString::number(page), QStringLiteral("-l"),
                                                     QString::number(page), pdf, QStringLiteral("-")})
                       .value_or(QString());
    text.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
    return text;
}


std::vector<Word> PageWords(const QString &pdf, int page)
{
    const QString html = Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                                           QStringLiteral("UTF-8"), QStringLiteral("-f"),
                                                           QString::number(page), QStringLiteral("-l"),
                                                           QString::number(page), pdf, QStringLiteral("-")})
                             .value_or(QString());
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<Word> words;
    for (const QRegularExpressionMatch &m : word.globalMatch(html)) {
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.push_back({m.captured(5), QRectF(topLeft, bottomRight)});
    }
    return words;
}

QImage PageImage(const QString &pdf, int page)
{
    const QString stem = QFileInfo(pdf).path() + QStringLiteral("/page");
    if (!Run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-singlefile"),
                                         QStringLiteral("-aa"), QStringLiteral("no"), QStringLiteral("-aaVector"),
                                         QStringLiteral("no"), QStringLiteral("-r"), QString::number(72 * Scale),
                                         QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                         QString::number(page), pdf, stem}))
        return {};
    const QString png = ToolFolder().isEmpty() ? stem : ToolFolder() + QStringLiteral("/page");
    return QImage(png + QStringLiteral(".png"));
}

// No word runs into another or off the printable area (15 mm margins).
void CheckNothingOverlaps(const std::vector<Word> &words, const char *page)
{
    const QRectF area = QRectF(0, 0, 595.28, 841.89).marginsRemoved(QMarginsF(42, 42, 42, 42));
    for (std::size_t i = 0; i < words.size(); ++i) {
        QVERIFY2(area.contains(words[i].box),
                 qPrintable(QStringLiteral("%1: %2 runs off the page").arg(page, words[i].text)));
        for (std::size_t j = i + 1; j < words.size(); ++j) {
            const QRectF both = words[i].box.intersected(words[j].box);
            QVERIFY2(both.width() < 0.5 || both.height() < 0.5,
                     qPrintable(QStringLiteral("%1: %2 over %3").arg(page, words[i].text, words[j].text)));
        }
    }
}

// Every face the text uses travels inside the file.
void CheckFontsEmbedded(const QString &file)
{
    const QStringList fonts =
        Run(QStringLiteral("pdffonts"), {file}).value_or(QString()).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!fonts.isEmpty());
    for (const QString &line : fonts) {
        const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
        // name, type (may have blanks), encoding, emb, sub, uni, object, generation
        QVERIFY2(columns.size() >= 7 && columns[columns.size() - 5] == QLatin1String("yes"), qPrintable(line));
    }
}

} // namespace pdfcheck
