// A printed 百ます計算 grid read back by poppler's tools: two A4 pages, the
// grid to fill in and its answers, each number in its own cell.
#include "PdfReadBack.h"
#include "engine/HyakumasuSheet.h"
#include "engine/Review.h"
#include "engine/Score.h"
#include "forms/record/HyakumasuPdf.h"
#include "platform/Fonts.h"

#include <algorithm>
#include <QtTest>

using namespace pdfcheck;

namespace {

// What each cell of a 百ます grid shows, row by row from the corner: the
// words whose middle lies in it, left to right.
QStringList GridCells(const std::vector<Word> &words, const engine::HyakumasuSheetLayout &l)
{
    // The layout's millimetres from the printable area's corner, in points
    // from the page's.
    const auto points = [](double mm) { return (15 + mm) * 72 / 25.4; };
    QStringList cells;
    for (int row = 0; row <= l.size; ++row) {
        for (int column = 0; column <= l.size; ++column) {
            const QRectF mm = l.Cell(row, column);
            const QRectF cell(QPointF(points(mm.left()), points(mm.top())), QPointF(points(mm.right()), points(mm.bottom())));
            std::vector<Word> in;
            std::copy_if(words.begin(), words.end(), std::back_inserter(in),
                         [&](const Word &w) { return cell.contains(w.box.center()); });
            std::sort(in.begin(), in.end(), [](const Word &a, const Word &b) { return a.box.left() < b.box.left(); });
            QString text;
            for (const Word &w : in)
                text += w.text;
            cells << text;
        }
    }
    return cells;
}

} // namespace

class TestHyakumasuSheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readsBack_data();
    void readsBack();
};

void TestHyakumasuSheet::initTestCase()
{
    platform::LoadBundledFonts();
    platform::InstallFontSubstitutions();
    QVERIFY2(Run(QStringLiteral("pdfinfo"), {QStringLiteral("-v")}),
             "poppler's tools (poppler-utils) are needed to read the PDF back");
}

void TestHyakumasuSheet::readsBack_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("number");
    QTest::newRow("たし算 10 × 10") << 1 << 10 << 42;
    QTest::newRow("ひき算 5 × 5") << 2 << 5 << 99999;
    QTest::newRow("かけ算 10 × 10") << 3 << 10 << 1;
}

// Page 1 the grid to fill in, its numbers in the order the sheet's number
// gives and its crossings empty; page 2 each crossing's answer in its own
// cell; the heading's blanks; nothing off the page or over another word.
void TestHyakumasuSheet::readsBack()
{
    QFETCH(int, operation);
    QFETCH(int, size);
    QFETCH(int, number);
    const auto op = std::int16_t(operation);
    const engine::HyakumasuSheet sheet = engine::MakeHyakumasuSheet(op, size, std::uint32_t(number));
    const QString file = PdfForTools(forms::HyakumasuSheetPdf(sheet));
    QVERIFY(!file.isEmpty());
    const QString info = Run(QStringLiteral("pdfinfo"), {file}).value_or(QString());
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))) && info.contains(QStringLiteral("(A4)")),
             qPrintable(info));
    CheckFontsEmbedded(file);

    const QString heading = PageText(file, 1);
    QVERIFY2(heading.startsWith(QString(sheet.title).remove(u'　') + QStringLiteral("No.%1").arg(number, 5, 10, QLatin1Char('0'))),
             qPrintable(heading.left(40)));
    for (const QString &blank : {QStringLiteral("なまえ"), QStringLiteral("月日"), QStringLiteral("かかったじかんふんびょう")})
        QVERIFY2(heading.contains(blank), qPrintable(blank));
    QVERIFY(PageText(file, 2).startsWith(QStringLiteral("こたえ") + QString(sheet.title).remove(u'　')));

    // The grid the number gives by the engine's rule, cell by cell.
    const engine::HyakumasuGrid grid = engine::MakeHyakumasu(op, size, engine::HyakumasuSheetSeed(std::uint32_t(number)));
    QStringList blank{engine::OperatorSign(op).value_or(QString())};
    for (int column = 0; column < size; ++column)
        blank << engine::FullWidthNumber(grid.across[std::size_t(column)]);
    QStringList answered = blank;
    for (int row = 0; row < size; ++row) {
        for (QStringList *cells : {&blank, &answered})
            *cells << engine::FullWidthNumber(grid.down[std::size_t(row)]);
        for (int column = 0; column < size; ++column) {
            blank << QString();
            answered << engine::FullWidthNumber(grid.Crossing(row * size + column).Answer);
        }
    }
    const engine::HyakumasuSheetLayout layout = engine::LayOutHyakumasuSheet(size, 180, 267);
    const std::vector<Word> problems = PageWords(file, 1);
    const std::vector<Word> answers = PageWords(file, 2);
    QCOMPARE(GridCells(problems, layout), blank);
    QCOMPARE(GridCells(answers, layout), answered);
    CheckNothingOverlaps(problems, "grid");
    CheckNothingOverlaps(answers, "grid's answers");
}

QTEST_MAIN(TestHyakumasuSheet)
#include "tst_hyakumasu_sheet.moc"
