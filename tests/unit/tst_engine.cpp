#include "engine/ProblemSet.h"
#include "engine/Score.h"
#include "platform/Random.h"
#include "study/Module1.h"

#include <QtTest>

#include <memory>

using engine::ProblemRecord;
using engine::ProblemSet;
using platform::PcgRandom;
using platform::ScriptedRandom;

Q_DECLARE_METATYPE(ProblemRecord)

namespace {

// Values that make a draw from 1 to m come out as k: the middle of k's slot.
float drawing(int k, int m)
{
    return static_cast<float>((k - 0.5) / m);
}

void setStudy(int kind, int range, int count)
{
    Module1::CalcKind = static_cast<std::int16_t>(kind);
    Module1::RangeMax = static_cast<std::int16_t>(range);
    Module1::ProblemCount = static_cast<std::int16_t>(count);
}

// Checks every record of a built set against the rules of its operation.
QString recordFault(const ProblemRecord &r, int range)
{
    const int l = r.LeftOperand, rt = r.RightOperand, a = r.Answer;
    switch (r.Operation) {
    case 1:
        if (l + rt != a || a < 1 || a > range || rt < 1 || l < 0)
            return QStringLiteral("addition");
        break;
    case 2:
        if (l - rt != a || a < 0 || rt < 1 || l > range)
            return QStringLiteral("subtraction");
        break;
    case 3:
        if (l * rt != a)
            return QStringLiteral("product");
        if (range == 81 && (l < 1 || l > 9 || rt < 1 || rt > 9))
            return QStringLiteral("whole table");
        if (range < 10 && (l != range || rt < 1 || rt > 9))
            return QStringLiteral("table row");
        if (range >= 10 && range != 81 && (l < 2 || rt < 1 || rt > 499 || a > range))
            return QStringLiteral("range product");
        break;
    case 4: {
        const int effective = range >= 1 ? range : 10;
        if (l != rt * a || a < 2 || rt < 1 || l > effective)
            return QStringLiteral("division");
        break;
    }
    default:
        return QStringLiteral("operation %1").arg(r.Operation);
    }
    return {};
}

} // namespace

class TestEngine : public QObject {
    Q_OBJECT

private slots:
    void init() { Module1::ResetAll(); }

    void split_data();
    void split();
    void additionDrawOrder();
    void subtractionDrawOrder();
    void multiplicationRules_data();
    void multiplicationRules();
    void workedExampleRange10_data();
    void workedExampleRange10();
    void wideRangeKeepsTheFactorBelow500();
    void buildConsumesDrawsInOrder();
    void oneProblemStaysPut();
    void twoProblemsEndInGeneratedOrder();
    void buildResetsTalliesButNotTheHandshake();
    void wipeAcrossTwoBuilds();
    void fullBuildFillsEveryRecord();
    void invariantsForEveryKindAndRange_data();
    void invariantsForEveryKindAndRange();
    void unsetRangeStillEnds();
    void zeroAndUnknownKindProduceNothing();
    void score_data();
    void score();
    void judge_data();
    void judge();
    void pcgValuesStayBelowOne();
    void integerDrawsMatchTheRealRule();
    void fastAndGenericBuildsAgree_data();
    void fastAndGenericBuildsAgree();
};

void TestEngine::split_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("parts");
    QTest::newRow("1") << 1 << 30 << QList<int>{30, 0, 0, 0};
    QTest::newRow("2") << 2 << 30 << QList<int>{0, 30, 0, 0};
    QTest::newRow("3") << 3 << 30 << QList<int>{0, 0, 30, 0};
    QTest::newRow("4") << 4 << 30 << QList<int>{0, 0, 0, 30};
    QTest::newRow("5 odd") << 5 << 31 << QList<int>{15, 16, 0, 0};
    QTest::newRow("5 one") << 5 << 1 << QList<int>{0, 1, 0, 0};
    QTest::newRow("6") << 6 << 31 << QList<int>{15, 0, 16, 0};
    QTest::newRow("7") << 7 << 31 << QList<int>{15, 0, 0, 16};
    QTest::newRow("8") << 8 << 31 << QList<int>{0, 15, 16, 0};
    QTest::newRow("9") << 9 << 31 << QList<int>{0, 15, 0, 16};
    QTest::newRow("10") << 10 << 31 << QList<int>{0, 0, 15, 16};
    QTest::newRow("11") << 11 << 10 << QList<int>{3, 3, 4, 0};
    QTest::newRow("12") << 12 << 10 << QList<int>{3, 3, 0, 4};
    QTest::newRow("13") << 13 << 10 << QList<int>{3, 0, 3, 4};
    QTest::newRow("14") << 14 << 10 << QList<int>{0, 3, 3, 4};
    QTest::newRow("15 thirty") << 15 << 30 << QList<int>{7, 7, 7, 9};
    QTest::newRow("15 three") << 15 << 3 << QList<int>{0, 0, 0, 3};
    QTest::newRow("81") << 81 << 20 << QList<int>{0, 0, 20, 0};
    QTest::newRow("unknown kind") << 16 << 30 << QList<int>{0, 0, 0, 0};
    QTest::newRow("kind 0") << 0 << 30 << QList<int>{0, 0, 0, 0};
    QTest::newRow("15 at the limit") << 15 << 10000 << QList<int>{2500, 2500, 2500, 2500};
}

void TestEngine::split()
{
    QFETCH(int, kind);
    QFETCH(int, count);
    QFETCH(QList<int>, parts);
    ProblemSet set;
    set.SplitProblemCount(static_cast<std::int16_t>(kind), static_cast<std::int16_t>(count));
    QCOMPARE((QList<int>{set.AddCount, set.SubCount, set.MulCount, set.DivCount}), parts);
}

void TestEngine::additionDrawOrder()
{
    // S = 3; B is drawn until it is at most S: 10 and 4 are refused, 2 kept.
    Module1::RangeMax = 10;
    ScriptedRandom random({drawing(3, 10), drawing(10, 10), drawing(4, 10), drawing(2, 10)});
    ProblemSet set;
    set.AddCount = 1;
    set.MakeAdditionProblems(random, Module1::RangeMax);
    QCOMPARE(random.Consumed(), 4u);
    QCOMPARE(int(set.GeneratedCount), 1);
    QCOMPARE(set.Problems(1), (ProblemRecord{1, 2, 3, 1}));
}

void TestEngine::subtractionDrawOrder()
{
    // A difference of 0 occurs when B equals A.
    Module1::RangeMax = 10;
    ScriptedRandom random({drawing(6, 10), drawing(7, 10), drawing(6, 10), drawing(1, 10), drawing(1, 10)});
    ProblemSet set;
    set.SubCount = 2;
    set.MakeSubtractionProblems(random, Module1::RangeMax);
    QCOMPARE(random.Consumed(), 5u);
    QCOMPARE(set.Problems(1), (ProblemRecord{6, 6, 0, 2}));
    QCOMPARE(set.Problems(2), (ProblemRecord{1, 1, 0, 2}));
}

void TestEngine::multiplicationRules_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<QList<float>>("draws");
    QTest::addColumn<ProblemRecord>("record");
    QTest::newRow("whole table") << 81 << QList<float>{drawing(1, 9), drawing(9, 9)} << ProblemRecord{1, 9, 9, 3};
    QTest::newRow("row 7, one draw") << 7 << QList<float>{drawing(5, 9)} << ProblemRecord{7, 5, 35, 3};
    QTest::newRow("row 1") << 1 << QList<float>{drawing(9, 9)} << ProblemRecord{1, 9, 9, 3};
}

void TestEngine::multiplicationRules()
{
    QFETCH(int, range);
    QFETCH(QList<float>, draws);
    QFETCH(ProblemRecord, record);
    Module1::RangeMax = static_cast<std::int16_t>(range);
    ScriptedRandom random(std::vector<float>(draws.begin(), draws.end()));
    ProblemSet set;
    set.MulCount = 1;
    set.MakeMultiplicationProblems(random, Module1::RangeMax);
    QCOMPARE(random.Consumed(), std::size_t(draws.size()));
    QCOMPARE(set.Problems(1), record);
}

void TestEngine::workedExampleRange10_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<float>("bDraw");
    QTest::addColumn<ProblemRecord>("record");
    // P = 7 (r = 0.6); B = 4 (r = 0.7) is above 3.5 and refused, then B is
    // the value given.
    QTest::newRow("mul B=1") << 3 << 0.1F << ProblemRecord{7, 1, 7, 3};
    QTest::newRow("mul B=2") << 3 << 0.3F << ProblemRecord{3, 2, 6, 3};
    QTest::newRow("mul B=3") << 3 << 0.5F << ProblemRecord{2, 3, 6, 3};
    QTest::newRow("div B=1") << 4 << 0.1F << ProblemRecord{7, 1, 7, 4};
    QTest::newRow("div B=2") << 4 << 0.3F << ProblemRecord{6, 2, 3, 4};
    QTest::newRow("div B=3") << 4 << 0.5F << ProblemRecord{6, 3, 2, 4};
}

void TestEngine::workedExampleRange10()
{
    QFETCH(int, operation);
    QFETCH(float, bDraw);
    QFETCH(ProblemRecord, record);
    Module1::RangeMax = 10;
    ScriptedRandom random({0.6F, 0.7F, bDraw});
    ProblemSet set;
    if (operation == 3) {
        set.MulCount = 1;
        set.MakeMultiplicationProblems(random, Module1::RangeMax);
    } else {
        set.DivCount = 1;
        set.MakeDivisionProblems(random, Module1::RangeMax);
    }
    QCOMPARE(random.Consumed(), 3u);
    QCOMPARE(set.Problems(1), record);
}

void TestEngine::wideRangeKeepsTheFactorBelow500()
{
    // The largest r gives P = 999 and B = 500, which is above 499.5 and so
    // redrawn.
    Module1::RangeMax = 999;
    const float top = 1.0F - 1.0F / 16777216.0F;
    ScriptedRandom random({top, top, 0.5F});
    ProblemSet set;
    set.MulCount = 1;
    set.MakeMultiplicationProblems(random, Module1::RangeMax);
    QCOMPARE(random.Consumed(), 3u);
    QCOMPARE(set.Problems(1), (ProblemRecord{3, 250, 750, 3}));
}

void TestEngine::buildConsumesDrawsInOrder()
{
    // Kind 5, three problems: one addition, then two subtractions, then the
    // shuffle's 15 exchanges, every one of them swapping records 1 and 3.
    setStudy(5, 10, 3);
    std::vector<float> draws{drawing(5, 10), drawing(2, 10),                  // 3 + 2
                             drawing(9, 10), drawing(4, 10),                  // 9 - 4
                             drawing(8, 10), drawing(10, 10), drawing(8, 10)}; // 8 - 8
    for (int i = 0; i < 15; ++i) {
        draws.push_back(drawing(1, 3));
        if (i == 0)
            draws.push_back(drawing(1, 3)); // equal: b is drawn again
        draws.push_back(drawing(3, 3));
    }
    ScriptedRandom random(draws);
    ProblemSet set;
    set.BuildProblemSet(random);
    QCOMPARE(random.Consumed(), draws.size());
    QVERIFY(!random.Exhausted());
    QCOMPARE(random.Reseeds(), 1);
    QCOMPARE((QList<int>{set.AddCount, set.SubCount}), (QList<int>{1, 2}));
    // An odd number of swaps of 1 and 3: they have changed places.
    QCOMPARE(set.Problems(1), (ProblemRecord{8, 8, 0, 2}));
    QCOMPARE(set.Problems(2), (ProblemRecord{9, 4, 5, 2}));
    QCOMPARE(set.Problems(3), (ProblemRecord{3, 2, 5, 1}));
    QCOMPARE(set.Problems(4), ProblemRecord{});
}

void TestEngine::oneProblemStaysPut()
{
    setStudy(1, 10, 1);
    std::vector<float> draws{drawing(4, 10), drawing(4, 10)};
    for (int i = 0; i < 10; ++i)
        draws.push_back(0.5F);
    ScriptedRandom random(draws);
    ProblemSet set;
    set.BuildProblemSet(random);
    QCOMPARE(random.Consumed(), 12u); // five exchanges of record 1 with itself
    QCOMPARE(set.Problems(1), (ProblemRecord{0, 4, 4, 1}));
}

void TestEngine::twoProblemsEndInGeneratedOrder()
{
    setStudy(1, 10, 2);
    std::vector<float> draws{drawing(4, 10), drawing(1, 10), drawing(7, 10), drawing(7, 10)};
    for (int i = 0; i < 10; ++i) {
        draws.push_back(drawing(i % 2 + 1, 2));
        draws.push_back(drawing(2 - i % 2, 2));
    }
    ScriptedRandom random(draws);
    ProblemSet set;
    set.BuildProblemSet(random);
    QCOMPARE(random.Consumed(), draws.size());
    QCOMPARE(set.Problems(1), (ProblemRecord{3, 1, 4, 1}));
    QCOMPARE(set.Problems(2), (ProblemRecord{0, 7, 7, 1}));
}

void TestEngine::buildResetsTalliesButNotTheHandshake()
{
    setStudy(1, 10, 5);
    Module1::CorrectCount = 4;
    Module1::WrongCount = 3;
    Module1::QuestionNo = 8;
    Module1::AnswerState = 2;
    PcgRandom random(7);
    ProblemSet set;
    set.BuildProblemSet(random);
    QCOMPARE(int(Module1::CorrectCount), 0);
    QCOMPARE(int(Module1::WrongCount), 0);
    QCOMPARE(int(Module1::QuestionNo), 1);
    QCOMPARE(int(Module1::AnswerState), 2);
}

void TestEngine::wipeAcrossTwoBuilds()
{
    PcgRandom random(11);
    ProblemSet set;
    setStudy(15, 100, 50);
    set.BuildProblemSet(random);
    QCOMPARE(int(set.GeneratedCount), 50);

    set.GeneratedCount = 0; // the drill screen loads again
    setStudy(1, 10, 30);
    set.BuildProblemSet(random);
    QCOMPARE(int(set.GeneratedCount), 30);
    for (int i = 1; i <= 30; ++i)
        QCOMPARE(int(set.Problems(i).Operation), 1);
    for (int i = 31; i <= 50; ++i)
        QCOMPARE(set.Problems(i), ProblemRecord{});
}

void TestEngine::fullBuildFillsEveryRecord()
{
    PcgRandom random(3);
    ProblemSet set;
    setStudy(15, 999, 10000);
    set.BuildProblemSet(random);
    QCOMPARE(int(set.GeneratedCount), 10000);
    for (int i = 1; i <= 10000; ++i)
        QVERIFY2(recordFault(set.Problems(i), 999).isEmpty(), qPrintable(QString::number(i)));

    set.GeneratedCount = 0;
    setStudy(2, 20, 5);
    set.BuildProblemSet(random);
    for (int i = 6; i <= 10000; ++i)
        QCOMPARE(int(set.Problems(i).Operation), 0);
}

void TestEngine::invariantsForEveryKindAndRange_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("range");
    for (int kind = 1; kind <= 15; ++kind)
        for (int range : {10, 20, 50, 100, 200, 500, 999})
            QTest::addRow("kind %d range %d", kind, range) << kind << range;
    for (int row : {81, 1, 2, 3, 4, 5, 6, 7, 8, 9})
        QTest::addRow("table %d", row) << 81 << row;
}

void TestEngine::invariantsForEveryKindAndRange()
{
    QFETCH(int, kind);
    QFETCH(int, range);
    ProblemSet set;
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
        PcgRandom random(seed * 7919);
        const int count = static_cast<int>(seed * 37 % 300) + 1;
        set.GeneratedCount = 0;
        setStudy(kind, range, count);
        set.BuildProblemSet(random);
        QCOMPARE(int(set.GeneratedCount), count);
        QCOMPARE(set.AddCount + set.SubCount + set.MulCount + set.DivCount, count);
        int perOperation[5] = {};
        for (int i = 1; i <= count; ++i) {
            const ProblemRecord &r = set.Problems(i);
            const QString fault = recordFault(r, range);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("record %1: %2 (%3 %4 %5)")
                                                     .arg(i)
                                                     .arg(fault)
                                                     .arg(r.LeftOperand)
                                                     .arg(r.RightOperand)
                                                     .arg(r.Answer)));
            ++perOperation[r.Operation];
        }
        QCOMPARE((QList<int>{perOperation[1], perOperation[2], perOperation[3], perOperation[4]}),
                 (QList<int>{set.AddCount, set.SubCount, set.MulCount, set.DivCount}));
        QCOMPARE(set.Problems(count + 1), ProblemRecord{});
    }
}

void TestEngine::unsetRangeStillEnds()
{
    // Before any range was applied RangeMax is 0; every kind must still end
    // with sound records (divisions use the smallest range, 1～10).
    for (int kind : {4, 7, 15}) {
        PcgRandom random(static_cast<std::uint64_t>(kind));
        ProblemSet set;
        setStudy(kind, 0, 200);
        set.BuildProblemSet(random);
        QCOMPARE(int(set.GeneratedCount), 200);
        for (int i = 1; i <= 200; ++i) {
            const ProblemRecord &r = set.Problems(i);
            QVERIFY(r.Operation >= 1 && r.Operation <= 4);
            if (r.Operation == 4)
                QVERIFY(recordFault(r, 0).isEmpty());
        }
    }
}

void TestEngine::zeroAndUnknownKindProduceNothing()
{
    for (const auto &[kind, count] : {std::pair{1, 0}, std::pair{42, 30}, std::pair{3, -5}}) {
        ScriptedRandom random;
        ProblemSet set;
        setStudy(kind, 10, count);
        set.BuildProblemSet(random);
        QCOMPARE(int(set.GeneratedCount), 0);
        QCOMPARE(random.Consumed(), 0u);
        QCOMPARE(set.Problems(1), ProblemRecord{});
        QCOMPARE(int(Module1::QuestionNo), 1);
    }
}

void TestEngine::score_data()
{
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("questionNo");
    QTest::addColumn<int>("score"); // -1: no value
    QTest::newRow("2 of 3") << 2 << 4 << 67;
    QTest::newRow("1 of 8, a half goes up") << 1 << 9 << 13;
    QTest::newRow("20 of 30") << 20 << 31 << 67;
    QTest::newRow("all") << 10000 << 10001 << 100;
    QTest::newRow("none right") << 0 << 6 << 0;
    QTest::newRow("1 of 2") << 1 << 3 << 50;
    // Exact halves that double precision puts just below the half.
    QTest::newRow("23 of 40 is 57.5") << 23 << 41 << 58;
    QTest::newRow("29 of 200 is 14.5") << 29 << 201 << 15;
    QTest::newRow("57 of 200 is 28.5") << 57 << 201 << 29;
    QTest::newRow("nothing answered") << 0 << 1 << -1;
    QTest::newRow("before any drill") << 0 << 0 << -1;
}

void TestEngine::score()
{
    QFETCH(int, correct);
    QFETCH(int, questionNo);
    QFETCH(int, score);
    const std::optional<int> result = engine::Score(static_cast<std::int16_t>(correct),
                                                    static_cast<std::int16_t>(questionNo));
    QCOMPARE(result.value_or(-1), score);
}

void TestEngine::judge_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("verdict"); // 1 right, 0 wrong, -1 not a number
    QTest::newRow("right") << "7" << 7 << 1;
    QTest::newRow("leading zero") << "07" << 7 << 1;
    QTest::newRow("decimals") << "7.0" << 7 << 1;
    QTest::newRow("full-width") << "７" << 7 << 1;
    QTest::newRow("zero") << "0" << 0 << 1;
    QTest::newRow("wrong") << "8" << 7 << 0;
    QTest::newRow("near miss") << "7.000001" << 7 << 0;
    QTest::newRow("letters") << "abc" << 7 << -1;
    QTest::newRow("spaces") << "   " << 7 << -1;
    QTest::newRow("nan") << "nan" << 7 << -1;
}

void TestEngine::judge()
{
    QFETCH(QString, text);
    QFETCH(int, answer);
    QFETCH(int, verdict);
    const std::optional<bool> result = engine::JudgeAnswer(text, static_cast<std::int16_t>(answer));
    QCOMPARE(result ? int(*result) : -1, verdict);
}

void TestEngine::pcgValuesStayBelowOne()
{
    PcgRandom random(99);
    float lowest = 1.0F, highest = 0.0F;
    for (int i = 0; i < 200000; ++i) {
        const float r = random.Next();
        QVERIFY(r >= 0.0F && r < 1.0F);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    QVERIFY(lowest < 0.001F && highest > 0.999F);
    // Reseeding from the clock starts a different sequence.
    PcgRandom a, b;
    a.Reseed(100.0F);
    b.Reseed(101.0F);
    QVERIFY(a.Next() != b.Next());
}

namespace {
// Hides the generator's type, so the build takes the generic path.
class Opaque final : public platform::RandomSource {
public:
    explicit Opaque(std::uint64_t seed) : inner(seed) {}
    float Next() override { return inner.Next(); }
    void Reseed(float s) override { inner.Reseed(s); }
    PcgRandom inner;
};
} // namespace

void TestEngine::integerDrawsMatchTheRealRule()
{
    PcgRandom fast(5);
    Opaque generic(5);
    for (int m : {-999, -7, -1, 0, 1, 2, 9, 10, 81, 499, 998, 999, 10000}) {
        for (int i = 0; i < 20000; ++i) {
            QCOMPARE(platform::DrawScaled(fast, m), platform::DrawScaled<platform::RandomSource>(generic, m));
            QCOMPARE(platform::DrawScaledHalf(fast, m), platform::DrawScaledHalf<platform::RandomSource>(generic, m));
        }
    }
}

void TestEngine::fastAndGenericBuildsAgree_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("range");
    QTest::newRow("all four, 999") << 15 << 999;
    QTest::newRow("all four, 10") << 15 << 10;
    QTest::newRow("table") << 81 << 81;
    QTest::newRow("row 4") << 81 << 4;
    QTest::newRow("unset range") << 12 << 0;
}

void TestEngine::fastAndGenericBuildsAgree()
{
    // The build inlines the program's generator; through the interface the
    // same values must give the very same problems.
    QFETCH(int, kind);
    QFETCH(int, range);
    setStudy(kind, range, 3000);
    PcgRandom fast(77);
    Opaque generic(77);
    // The build's steps without its reseed: the reseed reads the clock, and
    // a millisecond passing between the two builds would seed them apart.
    const auto generate = [kind](ProblemSet &set, platform::RandomSource &random) {
        set.SplitProblemCount(static_cast<std::int16_t>(kind), 3000);
        set.MakeAdditionProblems(random, Module1::RangeMax);
        set.MakeSubtractionProblems(random, Module1::RangeMax);
        set.MakeMultiplicationProblems(random, Module1::RangeMax);
        set.MakeDivisionProblems(random, Module1::RangeMax);
        set.ShuffleProblems(random);
    };
    ProblemSet a, b;
    generate(a, fast);
    generate(b, generic);
    QCOMPARE(a.GeneratedCount, 3000);
    for (int i = 1; i <= 3000; ++i)
        QCOMPARE(a.Problems(i), b.Problems(i));
    QCOMPARE(fast.Next(), generic.Next()); // the same number of draws taken
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
