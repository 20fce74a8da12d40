// The worksheet's PDF read back by another program (poppler's pdfinfo,
// pdffonts and pdftotext), as a viewer or a printer would read it: two A4
// pages, the problems in order on the first, each with its answer on the
// second, the text in embedded faces.
#include "engine/Review.h"
#include "engine/Worksheet.h"
#include "forms/record/WorksheetPdf.h"
#include "platform/Fonts.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <QTemporaryDir>

#include <optional>
#include <QtTest>

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

} // namespace

class TestWorksheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readsBack_data();
    void readsBack();
};

void TestWorksheet::initTestCase()
{
    platform::LoadBundledFonts();
    platform::InstallFontSubstitutions();
    QVERIFY2(Run(QStringLiteral("pdfinfo"), {QStringLiteral("-v")}),
             "poppler's tools (poppler-utils) are needed to read the PDF back");
}

void TestWorksheet::readsBack_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("fromWeak");

    QTest::newRow("the whole table from the weak facts") << 81 << 81 << 30 << true;
    QTest::newRow("the seventh row, the fewest problems") << 81 << 7 << 20 << false;
    QTest::newRow("three-digit subtraction, the most problems") << 2 << 999 << 50 << false;
    QTest::newRow("all four kinds within 100") << 15 << 100 << 36 << false;
    QTest::newRow("division within 50, an odd count") << 4 << 50 << 21 << true;
}

void TestWorksheet::readsBack()
{
    QFETCH(int, kind);
    QFETCH(int, range);
    QFETCH(int, count);
    QFETCH(bool, fromWeak);

    // A record with a missed and a slow fact of the table.
    std::vector<platform::AnswerRow> record;
    for (const auto &[left, right, correct, ms] : {std::tuple{7, 8, false, 2000}, std::tuple{6, 7, true, 6000}}) {
        platform::AnswerRow a;
        a.drill = QStringLiteral("d");
        a.answeredAt = QDateTime(QDate(2026, 12, 1), QTime(17, 0));
        a.calcKind = 81;
        a.rangeMax = 81;
        a.left = std::int16_t(left);
        a.right = std::int16_t(right);
        a.operation = 3;
        a.answer = std::int16_t(left * right);
        a.correct = correct;
        a.elapsedMs = ms;
        record.push_back(a);
    }
    const engine::Worksheet sheet = engine::MakeWorksheet(
        record, {{std::int16_t(kind), std::int16_t(range)}, count, fromWeak, 31415, QDate(2026, 12, 8)});
    QCOMPARE(int(sheet.problems.size()), count);

    const QByteArray bytes = forms::WorksheetPdf(sheet);
    QVERIFY(bytes.startsWith("%PDF-"));
    const QString file = PdfForTools(bytes);
    QVERIFY(!file.isEmpty());

    const QString info = Run(QStringLiteral("pdfinfo"), {file}).value_or(QString());
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));

    // Every face the text uses travels inside the file.
    const QStringList fonts =
        Run(QStringLiteral("pdffonts"), {file}).value_or(QString()).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!fonts.isEmpty());
    for (const QString &line : fonts) {
        const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
        // name, type (may have blanks), encoding, emb, sub, uni, object, generation
        QVERIFY2(columns.size() >= 7 && columns[columns.size() - 5] == QLatin1String("yes"), qPrintable(line));
    }

    const QString problems = PageText(file, 1);
    const QString answers = PageText(file, 2);
    QVERIFY2(problems.startsWith(QString(sheet.title).remove(u'　')), qPrintable(problems.left(60)));
    QVERIFY(problems.contains(QStringLiteral("なまえ")) && problems.contains(QStringLiteral("月日")));
    QVERIFY(problems.contains(QStringLiteral("No.31415")));
    QVERIFY(!problems.contains(QStringLiteral("こたえ")));
    QVERIFY(answers.startsWith(QStringLiteral("こたえ")));
    const int rows = (count + 1) / 2;
    for (int i = 0; i < count; ++i) {
        const engine::ProblemRecord &p = sheet.problems[std::size_t(i)];
        const QString numbered = QStringLiteral("(%1)").arg(i + 1) + engine::ProblemText(p);
        // Down the left column, then the right: each line holds problem i and
        // i + rows.
        QVERIFY2(problems.contains(numbered), qPrintable(numbered));
        const QString answered = numbered + engine::FullWidthNumber(p.Answer);
        QVERIFY2(answers.contains(answered), qPrintable(answered));
        if (i + rows < count) {
            const QString beside = QStringLiteral("(%1)").arg(i + rows + 1) +
                                   engine::ProblemText(sheet.problems[std::size_t(i + rows)]);
            QVERIFY2(problems.contains(numbered + beside), qPrintable(numbered + beside));
        }
    }
}

QTEST_MAIN(TestWorksheet)
#include "tst_worksheet.moc"
