// The worksheet's PDF read back by another program (poppler's pdfinfo,
// pdffonts and pdftotext), as a viewer or a printer would read it: two A4
// pages, the problems in order on the first, each with its answer on the
// second, the text in embedded faces.
#include "PdfReadBack.h"
#include "engine/ColumnSheet.h"
#include "engine/HyakumasuSheet.h"
#include "engine/Review.h"
#include "engine/Score.h"
#include "engine/Worksheet.h"
#include "forms/record/HyakumasuPdf.h"
#include "forms/record/WorksheetPdf.h"
#include "platform/Fonts.h"

#include <algorithm>
#include <optional>
#include <QtTest>

using namespace pdfcheck;

namespace {

// An answer box's line: the faint grey of the box, not the black of the
// problems nor the red of the answers.
bool BoxInk(QRgb c)
{
    return qAbs(qRed(c) - qGreen(c)) < 12 && qAbs(qGreen(c) - qBlue(c)) < 12 && qRed(c) > 70 && qRed(c) < 160;
}
bool Blank(QRgb c)
{
    return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240;
}
bool AnswerInk(QRgb c)
{
    return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90;
}

// From the middle of a word outwards along its middle row, the first mark
// that is neither paper nor the word's red: the box's side, in points; none
// when something else comes first.
std::optional<double> BoxSide(const QImage &image, const QRectF &word, int step)
{
    const int y = int(word.center().y() * Scale);
    for (int x = int(word.center().x() * Scale); x >= 0 && x < image.width(); x += step) {
        const QRgb c = image.pixel(x, y);
        if (BoxInk(c))
            return double(x) / Scale;
        if (!Blank(c) && !AnswerInk(c))
            return std::nullopt;
    }
    return std::nullopt;
}

// What of the sheet a test names: a sheet of the range's widest problems and
// largest answers, the rest drawn.
engine::Worksheet WidestSheet(int kind, int range, int count)
{
    engine::Worksheet sheet =
        engine::MakeWorksheet({}, {{std::int16_t(kind), std::int16_t(range)}, count, false, 27182, QDate(2026, 12, 8)});
    using P = engine::ProblemRecord;
    const auto r = std::int16_t(range);
    const auto half = std::int16_t(range / 2);
    const std::vector<P> widest = kind == 81 ? std::vector<P>{{9, 9, 81, 3}, {8, 9, 72, 3}}
                                             : std::vector<P>{{half, std::int16_t(r - half), r, 1},
                                                              {r, r, 0, 2},
                                                              {r, 1, std::int16_t(r - 1), 2},
                                                              {std::int16_t(r / 3), 3, std::int16_t(r / 3 * 3), 3},
                                                              {std::int16_t(half * 2), half, 2, 4}};
    // Spread down both columns and on the last row.
    for (std::size_t i = 0; i < widest.size(); ++i)
        sheet.problems[(i * 7) % std::size_t(count)] = widest[i];
    sheet.problems.back() = widest.front();
    return sheet;
}

// What each cell of a 百ます grid shows, row by row from the corner.
QStringList GridCells(const std::vector<Word> &words, const engine::HyakumasuSheetLayout &l)
{
    constexpr double Points = 72 / 25.4; // the layout's mm are from the 15 mm margins
    QStringList cells;
    for (int i = 0; i < (l.size + 1) * (l.size + 1); ++i) {
        const QRectF mm = l.Cell(i / (l.size + 1), i % (l.size + 1)).translated(15, 15);
        const QRectF cell(mm.topLeft() * Points, mm.size() * Points);
        QString text;
        for (const Word &w : words)
            text += cell.contains(w.box.center()) ? w.text : QString();
        cells << text;
    }
    return cells;
}

} // namespace

Q_DECLARE_METATYPE(std::vector<engine::ProblemRecord>)

class TestWorksheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readsBack_data();
    void readsBack();
    void everyAnswerHasRoom_data();
    void everyAnswerHasRoom();
    void columnsReadBack_data();
    void columnsReadBack();
    void gridSheetReadsBack_data();
    void gridSheetReadsBack();
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

    CheckFontsEmbedded(file);

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

void TestWorksheet::everyAnswerHasRoom_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("count");
    for (const int count : {20, 30, 50}) {
        for (const int range : {10, 20, 50, 100, 200, 500, 999})
            QTest::addRow("all four kinds, 1-%d, %d problems", range, count) << 15 << range << count;
        QTest::addRow("the table, %d problems", count) << 81 << 81 << count;
    }
}

// Every answer's box is wider than the sheet's longest answer and holds its
// own; no word of either page runs into another, the titles whole.
void TestWorksheet::everyAnswerHasRoom()
{
    QFETCH(int, kind);
    QFETCH(int, range);
    QFETCH(int, count);
    const engine::Worksheet sheet = WidestSheet(kind, range, count);
    const QString file = PdfForTools(forms::WorksheetPdf(sheet));
    QVERIFY(!file.isEmpty());
    const std::vector<Word> problems = PageWords(file, 1);
    const std::vector<Word> answers = PageWords(file, 2);

    const QImage image = PageImage(file, 2);
    QVERIFY(!image.isNull());
    // The problem's number, then on its row the problem and its answer.
    std::vector<QRectF> answerBoxes;
    double longest = 0;
    for (int i = 0; i < count; ++i) {
        const QString number = QStringLiteral("(%1)").arg(i + 1);
        const auto at = std::find_if(answers.begin(), answers.end(), [&](const Word &w) { return w.text == number; });
        QVERIFY2(at != answers.end(), qPrintable(number));
        std::vector<Word> row;
        for (const Word &w : answers) {
            if (w.box.left() > at->box.right() && qAbs(w.box.center().y() - at->box.center().y()) < at->box.height())
                row.push_back(w);
        }
        std::sort(row.begin(), row.end(), [](const Word &a, const Word &b) { return a.box.left() < b.box.left(); });
        const engine::ProblemRecord &p = sheet.problems[std::size_t(i)];
        QVERIFY2(row.size() >= 2 && row[1].text == engine::FullWidthNumber(p.Answer), qPrintable(number));
        answerBoxes.push_back(row[1].box);
        longest = std::max(longest, row[1].box.width());
    }
    for (int i = 0; i < count; ++i) {
        const QRectF &answer = answerBoxes[std::size_t(i)];
        const std::optional<double> left = BoxSide(image, answer, -1);
        const std::optional<double> right = BoxSide(image, answer, 1);
        const QString what = QStringLiteral("(%1)'s box").arg(i + 1);
        QVERIFY2(left && right, qPrintable(what + QStringLiteral(": the answer covers its sides")));
        QVERIFY2(*left < answer.left() && *right > answer.right(), qPrintable(what));
        QVERIFY2(*right - *left > longest, qPrintable(what + QStringLiteral(" narrower than the longest answer")));
    }
    CheckNothingOverlaps(problems, "problems");
    CheckNothingOverlaps(answers, "answers");
    QVERIFY2(PageText(file, 1).startsWith(QString(sheet.title).remove(u'　')), qPrintable(sheet.title));
    QVERIFY(PageText(file, 2).startsWith(QString(QStringLiteral("こたえ") + sheet.title).remove(u'　')));
}


void TestWorksheet::columnsReadBack_data()
{
    using P = engine::ProblemRecord;
    QTest::addColumn<std::vector<P>>("kinds");
    QTest::addColumn<int>("count");
    QTest::addRow("sums, a carry into a fourth place") << std::vector<P>{{999, 1, 1000, 1}, {47, 58, 105, 1}, {3, 45, 48, 1}} << 20;
    QTest::addRow("differences, down to one digit") << std::vector<P>{{100, 99, 1, 2}, {503, 47, 456, 2}, {80, 8, 72, 2}} << 50;
    QTest::addRow("products, the one digit first or last") << std::vector<P>{{99, 9, 891, 3}, {7, 123, 861, 3}} << 24;
    QTest::addRow("one-line problems among them") << std::vector<P>{{8, 2, 4, 4}, {7, 8, 56, 3}, {305, 697, 1002, 1}} << 30;
}

// On the answer pages every problem worked in columns has its digits in
// their places: the upper number, the sign and the lower number, and the
// answer, the ones of all three in one column; the others on one line; no
// word runs into another or off the page.
void TestWorksheet::columnsReadBack()
{
    QFETCH(std::vector<engine::ProblemRecord>, kinds);
    QFETCH(int, count);
    engine::Worksheet sheet{{{15, 999}, count, false, 7, QDate(2026, 12, 8)}, {}, QStringLiteral("計算プリント　筆算"), {}};
    sheet.request.columns = true;
    for (int i = 0; i < count; ++i)
        sheet.problems.push_back(kinds[std::size_t(i) % kinds.size()]);
    const QString file = PdfForTools(forms::WorksheetPdf(sheet));
    const engine::ColumnSheetLayout layout;
    const int pages = layout.Pages(count);
    QVERIFY(Run(QStringLiteral("pdfinfo"), {file}).value_or(QString()).contains(
        QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(2 * pages))));
    for (int page = 1; page <= 2 * pages; ++page)
        CheckNothingOverlaps(PageWords(file, page), qPrintable(QString::number(page)));
    const double slotWidth = 180 / 3 * 72 / 25.4;
    for (int i = 0; i < count; ++i) {
        const std::vector<Word> words = PageWords(file, pages + 1 + i / layout.PerPage());
        const QString number = QStringLiteral("(%1)").arg(i + 1);
        const auto at = std::find_if(words.begin(), words.end(), [&](const Word &w) { return w.text == number; });
        QVERIFY2(at != words.end(), qPrintable(number));
        // The slot's words below its number, in rows from the top.
        std::vector<std::vector<Word>> rows;
        for (const Word &w : words) {
            const double down = w.box.top() - at->box.bottom();
            if (&w == &*at || down < -1 || down > 120 || w.box.left() < at->box.left() - 1 ||
                w.box.left() > at->box.left() + slotWidth - 10 || w.text.startsWith(u'('))
                continue;
            auto row = std::find_if(rows.begin(), rows.end(),
                                    [&](const auto &r) { return qAbs(r[0].box.center().y() - w.box.center().y()) < 6; });
            if (row == rows.end())
                rows.push_back({w});
            else
                row->push_back(w);
        }
        std::sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) { return a[0].box.top() < b[0].box.top(); });
        const auto text = [](std::vector<Word> row) {
            std::sort(row.begin(), row.end(), [](const Word &a, const Word &b) { return a.box.left() < b.box.left(); });
            QString t;
            for (const Word &w : row)
                t += w.text;
            return t;
        };
        const engine::ProblemRecord &problem = sheet.problems[std::size_t(i)];
        if (!engine::WorkedInColumns(problem)) {
            QCOMPARE(int(rows.size()), 2);
            QCOMPARE(text(rows[0]), engine::ProblemText(problem));
            QCOMPARE(text(rows[1]), engine::FullWidthNumber(problem.Answer));
            continue;
        }
        const engine::ColumnFigures f = engine::InColumns(problem);
        QCOMPARE(int(rows.size()), 3);
        QCOMPARE(QStringList({text(rows[0]), text(rows[1]), text(rows[2])}),
                 QStringList({f.upper, f.sign + f.lower, f.answer}));
        // The ones' digit: the last character of each row's last word.
        const auto ones = [](const std::vector<Word> &row) {
            const Word &last = *std::max_element(row.begin(), row.end(), [](const Word &a, const Word &b) {
                return a.box.left() < b.box.left();
            });
            return last.box.right() - last.box.width() / last.text.size() / 2;
        };
        QVERIFY2(qAbs(ones(rows[0]) - ones(rows[2])) < 3 && qAbs(ones(rows[1]) - ones(rows[2])) < 3, qPrintable(number));
    }
}

void TestWorksheet::gridSheetReadsBack_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("number");
    QTest::newRow("たし算 10 × 10") << 1 << 10 << 42;
    QTest::newRow("ひき算 5 × 5") << 2 << 5 << 99999;
    QTest::newRow("かけ算 10 × 10") << 3 << 10 << 1;
}

// A printed 百ます grid: the heading's blanks; on page 1 the numbers in the
// order the sheet's number gives and the crossings empty, on page 2 each
// crossing's answer in its own cell; nothing off the page or over another.
void TestWorksheet::gridSheetReadsBack()
{
    QFETCH(int, operation);
    QFETCH(int, size);
    QFETCH(int, number);
    const auto op = std::int16_t(operation);
    const engine::HyakumasuSheet sheet = engine::MakeHyakumasuSheet(op, size, std::uint32_t(number));
    const QString file = PdfForTools(forms::HyakumasuSheetPdf(sheet));
    QVERIFY(Run(QStringLiteral("pdfinfo"), {file}).value_or(QString()).contains(
        QRegularExpression(QStringLiteral("Pages:\\s+2\\n(.*\\n)*Page size:.*\\(A4\\)"))));
    CheckFontsEmbedded(file);
    const QString title = QString(sheet.title).remove(u'　');
    const QString heading = PageText(file, 1);
    QVERIFY2(heading.startsWith(title + QStringLiteral("No.%1なまえ月日かかったじかんふんびょう").arg(number, 5, 10, QLatin1Char('0'))),
             qPrintable(heading.left(40)));
    QVERIFY(PageText(file, 2).startsWith(QStringLiteral("こたえ") + title));

    // The grid the number gives by the engine's rule, cell by cell.
    const engine::HyakumasuGrid grid = engine::MakeHyakumasu(op, size, engine::HyakumasuSheetSeed(std::uint32_t(number)));
    QStringList blank{engine::OperatorSign(op).value_or(QString())};
    for (int column = 0; column < size; ++column)
        blank << engine::FullWidthNumber(grid.across[std::size_t(column)]);
    QStringList answered = blank;
    for (int i = 0; i < grid.Count(); ++i) {
        if (i % size == 0) {
            blank << engine::FullWidthNumber(grid.down[std::size_t(i / size)]);
            answered << blank.last();
        }
        blank << QString();
        answered << engine::FullWidthNumber(grid.Crossing(i).Answer);
    }
    const engine::HyakumasuSheetLayout layout = engine::LayOutHyakumasuSheet(size, 180, 267);
    const std::vector<Word> problems = PageWords(file, 1);
    const std::vector<Word> answers = PageWords(file, 2);
    QCOMPARE(GridCells(problems, layout), blank);
    QCOMPARE(GridCells(answers, layout), answered);
    CheckNothingOverlaps(problems, "grid");
    CheckNothingOverlaps(answers, "grid's answers");
}

QTEST_MAIN(TestWorksheet)
#include "tst_worksheet.moc"
