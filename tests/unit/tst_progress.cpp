#include "engine/RecordCsv.h"
#include "engine/Progress.h"

#include <QtTest>

using engine::FactState;
using platform::AnswerRow;

Q_DECLARE_METATYPE(engine::FactState)

namespace {

const QDateTime Monday(QDate(2026, 12, 7), QTime(16, 0));

// An answer to left op right, judged `at` seconds after Monday 16:00 and
// taking `ms`.
AnswerRow Row(const QString &drill, int left, int op, int right, bool correct, int ms = 1500, int at = 0,
              std::int16_t kind = 81, std::int16_t range = 81)
{
    AnswerRow a;
    a.drill = drill;
    a.answeredAt = Monday.addSecs(at);
    a.calcKind = kind;
    a.rangeMax = range;
    a.problemCount = 10;
    a.left = std::int16_t(left);
    a.right = std::int16_t(right);
    a.operation = std::int16_t(op);
    a.answer = std::int16_t(op == 1 ? left + right : op == 2 ? left - right : op == 3 ? left * right : left / right);
    a.correct = correct;
    a.typed = QString::number(correct ? a.answer : a.answer + 1);
    a.elapsedMs = ms;
    return a;
}

// "r" right, "w" wrong; each with its time in seconds: "r1 w4 r2".
std::vector<engine::FactTry> Tries(const QString &script)
{
    std::vector<engine::FactTry> tries;
    for (const QString &t : script.split(u' ', Qt::SkipEmptyParts))
        tries.push_back({t[0] == u'r', int(t.mid(1).toDouble() * 1000)});
    return tries;
}

// A CSV file read back as a spreadsheet would: quoted fields, doubled quotes.
QList<QStringList> ParseCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

} // namespace

// What the record says of the child, from scripted answers: no widgets.
class TestProgress : public QObject {
    Q_OBJECT

private slots:
    void factState_data();
    void factState();
    void median_data();
    void median();
    void timesGridTakesEveryOneDigitProduct();
    void drillsAndDays();
    void kindsInListOrderWithTheMostMissed();
    void csvReadsBackAsStored_data();
    void csvReadsBackAsStored();
    void csvNamesTheChild();
};

void TestProgress::factState_data()
{
    QTest::addColumn<QString>("tries");
    QTest::addColumn<FactState>("state");
    QTest::newRow("never") << "" << FactState::NotTried;
    QTest::newRow("one quick right") << "r1" << FactState::Known;
    QTest::newRow("one wrong") << "w1" << FactState::OftenMissed;
    QTest::newRow("latest wrong after many right") << "r1 r1 r1 r1 w1" << FactState::OftenMissed;
    QTest::newRow("two of the latest three wrong") << "w1 w1 r1" << FactState::OftenMissed;
    QTest::newRow("an old miss, then right twice") << "w1 r1 r1" << FactState::Known;
    QTest::newRow("misses older than the latest three") << "w1 w1 w1 r1 r1 r1" << FactState::Known;
    QTest::newRow("right but slow") << "r4 r5 r3.5" << FactState::Slow;
    QTest::newRow("median exactly 3 s is not slow") << "r3 r3 r3" << FactState::Known;
    QTest::newRow("median just above 3 s") << "r3.001 r3.001 r1" << FactState::Slow;
    QTest::newRow("even count: the middle two's mean above 3 s") << "r3 r3.001" << FactState::Slow;
    QTest::newRow("slow long ago, quick now") << "r9 r9 r9 r1 r1 r2" << FactState::Known;
    QTest::newRow("quick long ago, slow now") << "r1 r1 r1 r4 r4 r1" << FactState::Slow;
    QTest::newRow("a wrong answer's time does not count") << "w9 r1 r1" << FactState::Known;
}

void TestProgress::factState()
{
    QFETCH(QString, tries);
    QFETCH(FactState, state);
    QCOMPARE(engine::StateOfFact(Tries(tries)), state);
}

void TestProgress::median_data()
{
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<double>("median"); // -1: none
    QTest::newRow("none") << QList<int>{} << -1.0;
    QTest::newRow("one") << QList<int>{7} << 7.0;
    QTest::newRow("odd, unsorted") << QList<int>{9, 1, 5} << 5.0;
    QTest::newRow("even: mean of the middle two") << QList<int>{4000, 1000, 3000, 2000} << 2500.0;
    QTest::newRow("large values do not overflow") << QList<int>{2147483647, 2147483645} << 2147483646.0;
    QTest::newRow("even: the half is kept") << QList<int>{3000, 3001} << 3000.5;
}

void TestProgress::median()
{
    QFETCH(QList<int>, values);
    QFETCH(double, median);
    const auto got = engine::Median(std::vector<int>(values.begin(), values.end()));
    QCOMPARE(double(got.value_or(-1)), median);
}

void TestProgress::timesGridTakesEveryOneDigitProduct()
{
    const std::vector<AnswerRow> answers{
        Row("a", 7, 3, 6, false, 2000, 0),
        Row("a", 7, 3, 6, true, 1000, 10),
        Row("b", 7, 3, 6, true, 1200, 20, 3, 10), // a multiplication drill counts too
        Row("b", 10, 3, 6, true, 1000, 30, 3, 10), // not a one-digit fact
        Row("b", 0, 3, 6, true, 1000, 40, 3, 10),
        Row("b", 6, 3, 7, true, 5000, 50, 3, 10), // 6×7 is its own fact
        Row("b", 7, 1, 6, false, 1000, 60, 1, 10), // an addition is no fact
    };
    const engine::TimesGrid grid = engine::BuildTimesGrid(answers);
    const engine::FactSummary &sevenSix = grid[6][5];
    QCOMPARE(sevenSix.tries, (std::vector<int>{0, 1, 2}));
    QCOMPARE(sevenSix.right, 2);
    QCOMPARE(sevenSix.state, FactState::Known);
    QCOMPARE(sevenSix.latestMedianMs.value_or(-1), 1100);
    QCOMPARE(grid[5][6].state, FactState::Slow);
    int tried = 0;
    for (const auto &row : grid)
        for (const engine::FactSummary &cell : row)
            tried += cell.state != FactState::NotTried;
    QCOMPARE(tried, 2);
}

void TestProgress::drillsAndDays()
{
    // Two copies drilled at once (their answers interleave), one drill left
    // early, one retry, and one drill the day after.
    std::vector<AnswerRow> answers;
    for (int q = 0; q < 10; ++q) {
        AnswerRow a = Row("first", 2, 3, q % 9 + 1, q != 3, 3000, 60 + q * 30);
        a.questionNo = std::int16_t(q + 1);
        answers.push_back(a);
        if (q < 4) {
            AnswerRow b = Row("left early", 3, 1, q, q % 2 == 0, 6000, 75 + q * 30, 1, 10);
            b.problemCount = 20;
            b.mode = 1;
            answers.push_back(b);
        }
    }
    AnswerRow retry = Row("retry", 2, 3, 4, true, 2000, 400);
    retry.retry = true;
    retry.problemCount = 1;
    answers.push_back(retry);
    answers.push_back(Row("tuesday", 9, 3, 9, false, 4000, 24 * 3600));
    answers.push_back(Row("tuesday", 9, 3, 8, true, 4000, 24 * 3600 + 10));

    const std::vector<engine::DrillSummary> drills = engine::SummariseDrills(answers);
    QCOMPARE(drills.size(), std::size_t(4));
    QCOMPARE(drills[0].drill, QStringLiteral("tuesday")); // newest first
    QCOMPARE(drills[1].drill, QStringLiteral("retry"));
    QCOMPARE(drills[2].drill, QStringLiteral("left early"));
    QCOMPARE(drills[3].drill, QStringLiteral("first"));
    const engine::DrillSummary &first = drills[3];
    QCOMPARE(first.answered, 10);
    QCOMPARE(first.right, 9);
    QCOMPARE(first.wrong, 1);
    QCOMPARE(first.score.value_or(-1), 90);
    QVERIFY(first.finished());
    // From the first question shown (3 s before the first answer) to the last answer.
    QCOMPARE(first.started, Monday.addSecs(57));
    QCOMPARE(first.minutes, (60 + 9 * 30 - 57) / 60.0);
    const engine::DrillSummary &early = drills[2];
    QCOMPARE(early.answered, 4);
    QVERIFY(!early.finished());
    QCOMPARE(early.score.value_or(-1), 50);
    QCOMPARE(early.mode, std::int16_t(1));
    QVERIFY(drills[1].retry);
    QCOMPARE(drills[0].score.value_or(-1), 50);

    const std::vector<engine::DayScore> days = engine::ScoresByDay(answers);
    QCOMPARE(days.size(), std::size_t(2));
    QCOMPARE(days[0].day, Monday.date());
    QCOMPARE(days[0].answered, 15);
    QCOMPARE(days[0].right, 9 + 2 + 1);
    QCOMPARE(days[0].drills, 3);
    QCOMPARE(days[0].score, 80);
    QCOMPARE(days[1].day, Monday.date().addDays(1));
    QCOMPARE(days[1].score, 50);
}

void TestProgress::kindsInListOrderWithTheMostMissed()
{
    std::vector<AnswerRow> answers;
    // Subtraction 1～20 asked first, addition 1～10 and 1～100 after, and a
    // times-table drill, which has its own grid.
    for (int i = 0; i < 4; ++i)
        answers.push_back(Row("s", 15, 2, 8, i == 0, 1000 * (i + 1), i, 2, 20));
    const int wrongs[] = {3, 1, 2, 0, 1, 1, 1, 1};
    for (int p = 0; p < 8; ++p) {
        for (int t = 0; t < 3; ++t)
            answers.push_back(Row("a", p + 1, 1, 2, t >= wrongs[p], 2000, 100 + p * 3 + t, 1, 10));
    }
    answers.push_back(Row("a2", 50, 1, 50, true, 7000, 200, 1, 100));
    answers.push_back(Row("t", 7, 3, 8, false, 1000, 300));

    const std::vector<engine::KindSummary> kinds = engine::SummariseKinds(answers);
    QCOMPARE(kinds.size(), std::size_t(3));
    QCOMPARE(kinds[0].calcKind, std::int16_t(1));
    QCOMPARE(kinds[0].rangeMax, std::int16_t(10));
    QCOMPARE(kinds[1].rangeMax, std::int16_t(100));
    QCOMPARE(kinds[2].calcKind, std::int16_t(2));
    const engine::KindSummary &addition = kinds[0];
    QCOMPARE(addition.answered, 24);
    QCOMPARE(addition.right, 24 - 10);
    QCOMPARE(addition.sharePercent, 58); // 14 of 24 is 58.3 %
    QCOMPARE(addition.mostMissed.size(), std::size_t(engine::MostMissedShown));
    QCOMPARE(addition.mostMissed[0].problem.LeftOperand, std::int16_t(1)); // missed 3 times
    QCOMPARE(addition.mostMissed[0].wrong, 3);
    QCOMPARE(addition.mostMissed[0].tries, 3);
    QCOMPARE(addition.mostMissed[1].problem.LeftOperand, std::int16_t(3));
    for (const engine::MissedProblem &m : addition.mostMissed)
        QVERIFY(m.wrong > 0);
    const engine::KindSummary &subtraction = kinds[2];
    QCOMPARE(subtraction.medianMs.value_or(-1), 2500);
    QCOMPARE(subtraction.sharePercent, 25);
    QCOMPARE(engine::KindLabel(2), QStringLiteral("ひき算"));
    QCOMPARE(engine::RangeLabel(2, 20), QStringLiteral("1～20"));
    QCOMPARE(engine::RangeLabel(81, 7), QStringLiteral("九九（七の段）"));
}

void TestProgress::csvReadsBackAsStored_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("cell"); // as a spreadsheet shows it
    QTest::newRow("plain digits") << "42" << "42";
    QTest::newRow("full-width digits, as an input method types them") << "４２" << "４２";
    QTest::newRow("a negative number stays a number") << "-5" << "-5";
    QTest::newRow("a formula is made plain") << "=HYPERLINK(\"x\")" << "'=HYPERLINK(\"x\")";
    QTest::newRow("a plus sign before text") << "+1+1" << "'+1+1";
    QTest::newRow("an at sign") << "@SUM(A1)" << "'@SUM(A1)";
    QTest::newRow("quotes and commas stay inside the field") << "1,\"2\"" << "1,\"2\"";
    QTest::newRow("a line break stays inside the field") << "1\n2" << "1\n2";
}

void TestProgress::csvReadsBackAsStored()
{
    QFETCH(QString, typed);
    QFETCH(QString, cell);
    AnswerRow a = Row("d-1", 7, 4, 7, false, 1234, 0, 4, 10);
    a.typed = typed;
    a.questionNo = 3;
    a.retry = true;
    AnswerRow practised = Row("d-2", 8, 3, 9, true);
    practised.practice = true;
    practised.grid = true;
    const QByteArray csv = engine::RecordCsv({a, practised});
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> rows = ParseCsv(QString::fromUtf8(csv.mid(3)));
    QCOMPARE(rows.size(), 3);
    for (const QStringList &row : rows)
        QCOMPARE(row.size(), rows[0].size());
    QCOMPARE(rows[0][0], QStringLiteral("日時"));
    const QStringList &first = rows[1];
    QCOMPARE(first[0], QStringLiteral("2026/12/07 16:00:00"));
    QCOMPARE(first[1], QStringLiteral("d-1"));
    QCOMPARE(first[3], QStringLiteral("わり算"));
    QCOMPARE(first[4], QStringLiteral("1～10"));
    QCOMPARE(first[6], QStringLiteral("はい"));
    QCOMPARE(first[7], QStringLiteral("3"));
    QCOMPARE(first[8], QStringLiteral("７÷７＝"));
    QCOMPARE(first[12], QStringLiteral("1"));
    QCOMPARE(first[13], cell);
    QCOMPARE(first[14], QStringLiteral("×"));
    QCOMPARE(first[15], QStringLiteral("1234"));
    QCOMPARE(first[16], QStringLiteral("いいえ"));
    QCOMPARE(rows[2][16], QStringLiteral("はい"));
    QCOMPARE(first[18], QString());
    QCOMPARE(rows[2][18], QStringLiteral("百ます"));
    QCOMPARE(rows[2][8], QStringLiteral("８×９＝"));
    QCOMPARE(rows[2][14], QStringLiteral("○"));
    QCOMPARE(engine::RecordCsvName(QDate(2026, 12, 8)), QStringLiteral("学習の記録_20261208.csv"));
}

// The first child takes the answers of before; a removed child keeps their
// name; a child the list does not know is nobody.
void TestProgress::csvNamesTheChild()
{
    study::ChildList children;
    QString first, removed;
    QCOMPARE(children.Add(QStringLiteral("はなこ"), 0, &first), study::ChildRefusal::None);
    QCOMPARE(children.Add(QStringLiteral("たろう"), 1, &removed), study::ChildRefusal::None);
    QVERIFY(children.Remove(removed));
    std::vector<AnswerRow> rows;
    for (const QString &by : {QString(), first, removed, QStringLiteral("someone")}) {
        rows.push_back(Row("d-1", 7, 3, 6, true));
        rows.back().child = by;
    }
    const QList<QStringList> read = ParseCsv(QString::fromUtf8(engine::RecordCsv(rows, children).mid(3)));
    QStringList names;
    for (const QStringList &row : read)
        names << row[17];
    QCOMPARE(names, QStringList({"子ども", "はなこ", "はなこ", "たろう", ""}));
}

QTEST_GUILESS_MAIN(TestProgress)
#include "tst_progress.moc"
