#include "engine/AnswerRecorder.h"
#include "engine/Practice.h"
#include "engine/Review.h"
#include "engine/Worksheet.h"
#include "engine/WorksheetLayout.h"
#include "platform/Random.h"
#include "platform/RecordStore.h"
#include "platform/Services.h"
#include "study/Module1.h"

#include <QElapsedTimer>
#include <QtTest>

#include <set>

using engine::PracticeKind;
using engine::ProblemRecord;
using platform::AnswerRow;

namespace {

const QDate Day0(2026, 11, 2);

// "7*8" for a problem, as the scripts write it.
QString Short(const ProblemRecord &p)
{
    static const char ops[] = " +-*/";
    return QStringLiteral("%1%2%3").arg(p.LeftOperand).arg(QChar(ops[p.Operation])).arg(p.RightOperand);
}

// A scripted record: facts apart by ";", each "7*8 d0:w1.5 d2:r1", every try
// on day N after Day0 with its verdict and seconds. An optional "@kind/range"
// after the fact gives its drill's kind and range (else the table's).
std::vector<AnswerRow> Record(const QString &script)
{
    std::vector<AnswerRow> rows;
    int n = 0;
    for (const QString &fact : script.split(u';', Qt::SkipEmptyParts)) {
        QStringList parts = fact.simplified().split(u' ');
        QString problem = parts.takeFirst();
        std::int16_t kind = 81;
        std::int16_t range = 81;
        if (problem.contains(u'@')) {
            const QStringList kr = problem.section(u'@', 1).split(u'/');
            kind = std::int16_t(kr[0].toInt());
            range = std::int16_t(kr[1].toInt());
            problem = problem.section(u'@', 0, 0);
        }
        const qsizetype at = problem.indexOf(QRegularExpression(QStringLiteral("[-+*/]")));
        const int left = problem.left(at).toInt();
        const int right = problem.mid(at + 1).toInt();
        const int op = QStringLiteral(" +-*/").indexOf(problem[at]);
        for (const QString &t : parts) {
            AnswerRow a;
            a.drill = QStringLiteral("d");
            const int day = t.section(u':', 0, 0).mid(1).toInt();
            // Later tries later in the day, so the order holds within a day.
            a.answeredAt = QDateTime(Day0.addDays(day), QTime(16, 0)).addSecs(++n);
            a.calcKind = kind;
            a.rangeMax = range;
            a.left = std::int16_t(left);
            a.right = std::int16_t(right);
            a.operation = std::int16_t(op);
            a.answer = std::int16_t(op == 1 ? left + right : op == 2 ? left - right : op == 3 ? left * right : left / right);
            const QString verdict = t.section(u':', 1);
            a.correct = verdict[0] == u'r';
            a.elapsedMs = int(verdict.mid(1).toDouble() * 1000);
            rows.push_back(a);
        }
    }
    // The record keeps answers in the order given.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const AnswerRow &a, const AnswerRow &b) { return a.answeredAt < b.answeredAt; });
    return rows;
}

// "f*k r1" for each of the facts named, every one right and quick on days
// d0..dN-1.
QString KnownFacts(const QStringList &facts, int days)
{
    QStringList out;
    for (const QString &f : facts) {
        QString line = f;
        for (int d = 0; d < days; ++d)
            line += QStringLiteral(" d%1:r1").arg(d);
        out << line;
    }
    return out.join(u';');
}

QStringList TableFacts(int from, int count)
{
    QStringList facts;
    for (int i = from; i < from + count; ++i)
        facts << QStringLiteral("%1*%2").arg(i / 9 + 1).arg(i % 9 + 1);
    return facts;
}

QStringList Reversed(QStringList list)
{
    std::reverse(list.begin(), list.end());
    return list;
}

// Whether a drawn problem is one a drill of the kind could ask.
bool Fits(const ProblemRecord &p, const PracticeKind &kind)
{
    AnswerRow a;
    a.left = p.LeftOperand;
    a.right = p.RightOperand;
    a.operation = p.Operation;
    a.calcKind = kind.calcKind;
    a.rangeMax = kind.rangeMax;
    const int value = p.Operation == 1 ? p.LeftOperand + p.RightOperand
                      : p.Operation == 2 ? p.LeftOperand - p.RightOperand
                      : p.Operation == 3 ? p.LeftOperand * p.RightOperand
                                         : (p.RightOperand ? p.LeftOperand / p.RightOperand : -1);
    return engine::BelongsTo(a, kind) && value == p.Answer && p.Answer >= 0;
}

} // namespace

class TestPractice : public QObject {
    Q_OBJECT

private slots:
    void schedule_data();
    void schedule();
    void intervals_data();
    void intervals();
    void belongsToKind_data();
    void belongsToKind();
    void largeRecord();
    void worksheet_data();
    void worksheet();
    void lineSheetLayout_data();
    void lineSheetLayout();
    void practiceIsRecordedAsSuch();
};

void TestPractice::schedule_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("today"); // days after Day0
    QTest::addColumn<QStringList>("weak");  // in the plan's order
    QTest::addColumn<QStringList>("known"); // in the plan's order
    QTest::addColumn<int>("drawn");

    QTest::newRow("an empty record draws as a drill does") << QString() << 81 << 81 << 20 << 0 << QStringList{}
                                                           << QStringList{} << 20;
    QTest::newRow("a missed fact comes, the rest is drawn")
        << QStringLiteral("7*8 d0:r1 d0:w2") << 81 << 81 << 20 << 0 << QStringList{"7*8"} << QStringList{} << 19;
    QTest::newRow("a slow fact comes too")
        << QStringLiteral("6*7 d0:r4 d0:r3.5 d0:r5") << 81 << 81 << 20 << 0 << QStringList{"6*7"} << QStringList{}
        << 19;
    QTest::newRow("a fact put right in its latest tries is known")
        << QStringLiteral("6*7 d0:w2 d1:r1 d1:r1 d1:r1") << 81 << 81 << 20 << 1 << QStringList{} << QStringList{}
        << 20;
    // Among equals: the slower, then the latest missed, first.
    QTest::newRow("missed before slow, more misses first, when room is short")
        << QStringLiteral("6*7 d0:r5 d0:r5; 7*8 d0:r1 d0:w2; 8*9 d0:w1 d0:w2; 4*6 d0:w1 d0:r1 d0:w1")
        << 81 << 81 << 3 << 0 << QStringList{"4*6", "8*9", "7*8"} << QStringList{} << 0;
    QTest::newRow("a known fact waits a day after its first good day")
        << KnownFacts({"3*3"}, 1) << 81 << 81 << 8 << 0 << QStringList{} << QStringList{} << 8;
    QTest::newRow("and comes back after it")
        << KnownFacts({"3*3"}, 1) << 81 << 81 << 8 << 1 << QStringList{} << QStringList{"3*3"} << 7;
    QTest::newRow("one problem in four is a known fact, most overdue first")
        << KnownFacts(TableFacts(0, 12), 1) + u';' + KnownFacts(TableFacts(30, 4), 3) + u';' +
               QStringList(TableFacts(50, 20)).join(QStringLiteral(" d2:w1;")) + QStringLiteral(" d2:w1")
        << 81 << 81 << 20 << 9 << Reversed(TableFacts(55, 15)) << TableFacts(0, 5) << 0;
    QTest::newRow("known facts due fill the room weak facts leave")
        << KnownFacts({"2*2", "2*3"}, 1) + QStringLiteral(";9*9 d0:w1") << 81 << 81 << 10 << 3
        << QStringList{"9*9"} << QStringList{"2*2", "2*3"} << 7;
    QTest::newRow("a record of known facts none of them due")
        << KnownFacts(TableFacts(0, 81), 4) << 81 << 81 << 20 << 4 << QStringList{} << QStringList{} << 20;
    QTest::newRow("one row of the table: the other rows' facts stay out")
        << QStringLiteral("3*3 d0:w1; 7*2 d0:w1; 2*7 d0:w1") << 81 << 7 << 10 << 0 << QStringList{"7*2"}
        << QStringList{} << 9;
    QTest::newRow("a missed sum of a mixed drill counts for the sums of its range")
        << QStringLiteral("7+8@5/20 d0:w3; 9-4@5/20 d0:w1; 6+6@1/50 d0:w1") << 1 << 20 << 20 << 0
        << QStringList{"7+8"} << QStringList{} << 19;
    QTest::newRow("the table's facts are not the multiplications of a range")
        << QStringLiteral("7*8 d0:w2; 12*3@3/100 d0:w1") << 3 << 100 << 5 << 0 << QStringList{"12*3"}
        << QStringList{} << 4;
}

void TestPractice::schedule()
{
    QFETCH(QString, record);
    QFETCH(int, kind);
    QFETCH(int, range);
    QFETCH(int, count);
    QFETCH(int, today);
    QFETCH(QStringList, weak);
    QFETCH(QStringList, known);
    QFETCH(int, drawn);

    const PracticeKind practice{std::int16_t(kind), std::int16_t(range)};
    Module1::RangeMax = 7; // the settings' range, which a plan must leave alone
    platform::PcgRandom random(42);
    const engine::PracticePlan plan = engine::PlanPractice(Record(record), practice, count, Day0.addDays(today), random);
    QCOMPARE(Module1::RangeMax, std::int16_t(7));
    QCOMPARE(int(plan.problems.size()), count);
    QCOMPARE(plan.weak + plan.known + plan.drawn, count);
    QStringList weakSeen;
    QStringList knownSeen;
    for (int i = 0; i < plan.weak; ++i)
        weakSeen << Short(plan.problems[std::size_t(i)]);
    for (int i = plan.weak; i < plan.weak + plan.known; ++i)
        knownSeen << Short(plan.problems[std::size_t(i)]);
    QCOMPARE(weakSeen, weak);
    QCOMPARE(knownSeen, known);
    QCOMPARE(plan.drawn, drawn);
    for (const ProblemRecord &p : plan.problems)
        QVERIFY2(Fits(p, practice), qPrintable(Short(p)));
}

void TestPractice::intervals_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("due"); // days after Day0

    QTest::newRow("one good day: a day") << QStringLiteral("3*4 d0:r1 d0:r2") << 1 << 1;
    QTest::newRow("two days in a row: two days") << QStringLiteral("3*4 d0:r1 d1:r1") << 2 << 3;
    QTest::newRow("days apart still count in a row") << QStringLiteral("3*4 d0:r1 d5:r1 d9:r1") << 3 << 13;
    QTest::newRow("four: eight days") << QStringLiteral("3*4 d0:r1 d1:r1 d2:r1 d3:r1") << 4 << 11;
    QTest::newRow("five and more: sixteen days")
        << QStringLiteral("3*4 d0:r1 d1:r1 d2:r1 d3:r1 d4:r1 d5:r1 d6:r1") << 7 << 22;
    QTest::newRow("a miss starts the count over")
        << QStringLiteral("3*4 d0:r1 d1:r1 d2:w1 d3:r1 d4:r1 d4:r1") << 2 << 6;
    QTest::newRow("a slow answer too") << QStringLiteral("3*4 d0:r1 d1:r5 d2:r1 d3:r1") << 2 << 5;
    QTest::newRow("known despite a slow latest day: from that day")
        << QStringLiteral("3*4 d0:r1 d1:r1 d2:r4") << 1 << 3;
}

void TestPractice::intervals()
{
    QFETCH(QString, record);
    QFETCH(int, box);
    QFETCH(int, due);
    const std::vector<engine::FactStanding> standings = engine::StandingsOf(Record(record), PracticeKind{});
    QCOMPARE(int(standings.size()), 1);
    QCOMPARE(standings[0].state, engine::FactState::Known);
    QCOMPARE(standings[0].box, box);
    QCOMPARE(standings[0].due, Day0.addDays(due));
}

void TestPractice::belongsToKind_data()
{
    QTest::addColumn<QString>("fact"); // "7*8@3/100": the answer's problem and its drill's kind and range
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("range");
    QTest::addColumn<bool>("belongs");

    QTest::newRow("table fact, whole table") << QStringLiteral("7*8") << 81 << 81 << true;
    QTest::newRow("table fact from a range drill, whole table") << QStringLiteral("7*8@3/100") << 81 << 81 << true;
    QTest::newRow("beyond the table") << QStringLiteral("12*3@3/100") << 81 << 81 << false;
    QTest::newRow("its row") << QStringLiteral("7*8") << 81 << 7 << true;
    QTest::newRow("another row") << QStringLiteral("8*7") << 81 << 7 << false;
    QTest::newRow("a sum, sums of its range") << QStringLiteral("7+8@1/20") << 1 << 20 << true;
    QTest::newRow("a sum, a mixed kind with sums") << QStringLiteral("7+8@1/20") << 11 << 20 << true;
    QTest::newRow("a sum, another range") << QStringLiteral("7+8@1/20") << 1 << 50 << false;
    QTest::newRow("a sum, a kind without sums") << QStringLiteral("7+8@1/20") << 10 << 20 << false;
    QTest::newRow("a quotient, division") << QStringLiteral("12/3@4/20") << 4 << 20 << true;
    QTest::newRow("a table fact, multiplication of a range") << QStringLiteral("7*8") << 3 << 81 << false;
}

void TestPractice::belongsToKind()
{
    QFETCH(QString, fact);
    QFETCH(int, kind);
    QFETCH(int, range);
    QFETCH(bool, belongs);
    const std::vector<AnswerRow> rows = Record(fact + QStringLiteral(" d0:w1"));
    QCOMPARE(int(rows.size()), 1);
    QCOMPARE(engine::BelongsTo(rows[0], PracticeKind{std::int16_t(kind), std::int16_t(range)}), belongs);
    QCOMPARE(int(engine::StandingsOf(rows, PracticeKind{std::int16_t(kind), std::int16_t(range)}).size()),
             belongs ? 1 : 0);
}

void TestPractice::largeRecord()
{
    // Years of drilling: 100,000 answers over the whole table.
    std::vector<AnswerRow> rows;
    rows.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        AnswerRow a;
        a.drill = QString::number(i / 30);
        a.answeredAt = QDateTime(Day0, QTime(16, 0)).addSecs(i * 60);
        a.calcKind = 81;
        a.rangeMax = 81;
        a.left = std::int16_t(i * 7 % 9 + 1);
        a.right = std::int16_t(i * 5 % 11 % 9 + 1);
        a.operation = 3;
        a.answer = std::int16_t(a.left * a.right);
        a.correct = i % 7 != 0;
        a.elapsedMs = 1000 + i % 3000;
        rows.push_back(a);
    }
    QElapsedTimer timer;
    timer.start();
    platform::PcgRandom random(7);
    const engine::PracticePlan plan = engine::PlanPractice(rows, PracticeKind{}, 20, Day0.addDays(80), random);
    const qint64 ms = timer.elapsed();
    qInfo("a plan from 100,000 answers: %lld ms (%d weak, %d known, %d drawn)", ms, plan.weak, plan.known, plan.drawn);
    QCOMPARE(int(plan.problems.size()), 20);
    QVERIFY(plan.weak > 0);
    // Generous: the parent waits for it after a click.
    QVERIFY2(ms < 3000, qPrintable(QString::number(ms)));
}

void TestPractice::worksheet_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("fromWeak");
    QTest::addColumn<int>("problems");

    QTest::newRow("the table from the weak facts") << 81 << 81 << 30 << true << 30;
    QTest::newRow("seventh row, drawn, fewest") << 81 << 7 << 20 << false << 20;
    QTest::newRow("three-digit subtraction, most") << 2 << 999 << 50 << false << 50;
    QTest::newRow("all four kinds, a count below the least") << 15 << 100 << 5 << false << 20;
    QTest::newRow("division, a count above the most") << 4 << 50 << 80 << true << 50;
}

void TestPractice::worksheet()
{
    QFETCH(int, kind);
    QFETCH(int, range);
    QFETCH(int, count);
    QFETCH(bool, fromWeak);
    QFETCH(int, problems);

    const std::vector<AnswerRow> record = Record(QStringLiteral("7*8 d0:w1; 7*6 d0:r5 d0:r6; 12/3@4/50 d0:w1"));
    const PracticeKind practice{std::int16_t(kind), std::int16_t(range)};
    engine::WorksheetRequest request{practice, count, fromWeak, 4242, Day0};
    const engine::Worksheet sheet = engine::MakeWorksheet(record, request);
    QCOMPARE(int(sheet.problems.size()), problems);
    for (const ProblemRecord &p : sheet.problems)
        QVERIFY2(Fits(p, practice), qPrintable(Short(p)));
    QVERIFY(sheet.title.endsWith(engine::PracticeKindLabel(practice)));

    // The same number, the same sheet; another number, another one.
    QCOMPARE(engine::MakeWorksheet(record, request).problems, sheet.problems);
    request.number = 4243;
    QVERIFY(engine::MakeWorksheet(record, request).problems != sheet.problems);

    // A sheet of weak facts carries every weak fact of its kind.
    if (fromWeak) {
        std::set<QString> onSheet;
        for (const ProblemRecord &p : sheet.problems)
            onSheet.insert(Short(p));
        for (const engine::FactStanding &s : engine::StandingsOf(record, practice)) {
            if (s.state == engine::FactState::OftenMissed || s.state == engine::FactState::Slow)
                QVERIFY2(onSheet.count(Short(s.problem)), qPrintable(Short(s.problem)));
        }
    }
    QCOMPARE(engine::WorksheetFileName(sheet).right(10), QStringLiteral("_04242.pdf"));
}

void TestPractice::lineSheetLayout_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("count");
    for (const int count : {20, 21, 30, 43, 50}) {
        for (const int range : {10, 100, 999})
            QTest::addRow("1-%d, %d problems", range, count) << range << count;
        QTest::addRow("the table, %d problems", count) << 81 << count;
    }
}

// A sheet of the range's widest problems and largest answers: each box after
// its problem and within its column holds the answer's digits with a hand's
// room to spare, every row on the page, in type a child reads.
void TestPractice::lineSheetLayout()
{
    QFETCH(int, range);
    QFETCH(int, count);
    const auto r = std::int16_t(range);
    const auto half = std::int16_t(range / 2);
    // The widest problem, and the largest answer.
    const std::vector<ProblemRecord> widest =
        range == 81 ? std::vector<ProblemRecord>{{9, 9, 81, 3}}
                    : std::vector<ProblemRecord>{{r, r, 0, 2}, {half, std::int16_t(r - half), r, 1}};
    std::vector<ProblemRecord> sheet;
    for (int i = 0; i < count; ++i)
        sheet.push_back(widest[std::size_t(i) % widest.size()]);
    const int textEms = int(engine::ProblemText(widest.front()).size());
    const int digits = int(QString::number(widest.back().Answer).size());
    const engine::LineSheetLayout l = engine::LayOutLineSheet(sheet, 180, 267); // A4 within 15 mm
    QVERIFY(l.columns * l.rows >= count);
    QVERIFY(l.top + l.rows * l.rowHeight <= 267);
    QVERIFY(l.boxLeft >= l.numberWidth + textEms * l.em);
    QVERIFY(l.boxLeft + l.boxWidth < l.columnWidth);
    QVERIFY(l.boxWidth >= (digits + 1) * l.em);
    QVERIFY(l.boxHeight >= 1.5 * l.em && l.boxHeight < l.rowHeight);
    QVERIFY2(l.em >= 4.2, qPrintable(QString::number(l.em))); // 12 points
}

void TestPractice::practiceIsRecordedAsSuch()
{
    auto owned = std::make_unique<platform::MemoryRecordStore>();
    platform::MemoryRecordStore *store = owned.get();
    platform::setRecordStore(std::move(owned));
    Module1::CalcKind = 1;
    Module1::RangeMax = 20;
    engine::AnswerRecorder recorder;
    const ProblemRecord fact{7, 8, 56, engine::Multiplication};
    recorder.Begin(engine::DrillContext::Practice(PracticeKind{81, 7}));
    recorder.QuestionShown();
    recorder.Judged(fact, QStringLiteral("56"), true);
    // The next drill is an ordinary one again.
    recorder.Begin(engine::DrillContext::FromStudyState());
    recorder.Judged(fact, QStringLiteral("55"), false);
    const std::vector<AnswerRow> rows = store->ReadAll().value_or(platform::RecordContents{}).answers;
    platform::setRecordStore(nullptr);
    QCOMPARE(int(rows.size()), 2);
    QVERIFY(rows[0].practice);
    QCOMPARE(rows[0].calcKind, std::int16_t(81));
    QCOMPARE(rows[0].rangeMax, std::int16_t(7));
    QVERIFY(!rows[1].practice);
    QCOMPARE(rows[1].calcKind, std::int16_t(1));
    QCOMPARE(rows[1].rangeMax, std::int16_t(20));
    QVERIFY(rows[0].drill != rows[1].drill);
}

QTEST_GUILESS_MAIN(TestPractice)
#include "tst_practice.moc"
