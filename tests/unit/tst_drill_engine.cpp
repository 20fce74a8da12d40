// The drill without its screen: judging, tallies, the score beside the
// question, the end, and what the record keeps of each answer.
#include "engine/Drill.h"
#include "platform/DrillHold.h"
#include "platform/Random.h"
#include "platform/RecordStore.h"
#include "platform/Services.h"
#include "study/Module1.h"

#include <QtTest>

using engine::DrillContext;
using engine::ProblemRecord;
using engine::Verdict;

namespace {

std::vector<ProblemRecord> Problems(int count)
{
    std::vector<ProblemRecord> problems;
    for (int i = 1; i <= count; ++i)
        problems.push_back({std::int16_t(i), 7, std::int16_t(i * 7), engine::Multiplication});
    return problems;
}

} // namespace

class TestDrillEngine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup() { platform::setRecordStore(nullptr); }
    void answersMoveTheTallies_data();
    void answersMoveTheTallies();
    void answersAreKeptAsTheirDrill_data();
    void answersAreKeptAsTheirDrill();
    void spartanDrillGoesOnWhereItWas_data();
    void spartanDrillGoesOnWhereItWas();

private:
    platform::MemoryRecordStore *store_ = nullptr;
};

void TestDrillEngine::init()
{
    Module1::ResetAll();
    auto store = std::make_unique<platform::MemoryRecordStore>();
    store_ = store.get();
    platform::setRecordStore(std::move(store));
}

void TestDrillEngine::answersMoveTheTallies_data()
{
    // Each character is one press of the answer button: R right, W wrong,
    // _ nothing typed, x letters. Then the tallies, the score beside the
    // question on screen ("" when the box keeps its text) and whether the
    // results come next.
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("presses");
    QTest::addColumn<int>("questionNo");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<QString>("score");
    QTest::addColumn<bool>("finished");
    QTest::newRow("two of three right") << 5 << "RWR" << 4 << 2 << 1 << "67" << false;
    QTest::newRow("a half goes up") << 10 << "RWWWWWWW" << 9 << 1 << 7 << "13" << false;
    QTest::newRow("no score before a right answer") << 5 << "W" << 2 << 0 << 1 << "" << false;
    QTest::newRow("first right after a wrong") << 5 << "WR" << 3 << 1 << 1 << "50" << false;
    QTest::newRow("empty and letters change nothing") << 5 << "_x_R" << 2 << 1 << 0 << "100" << false;
    QTest::newRow("the last answer ends it") << 3 << "RRW" << 4 << 2 << 1 << "67" << true;
    QTest::newRow("no problems end at once") << 0 << "" << 1 << 0 << 0 << "" << true;
}

void TestDrillEngine::answersMoveTheTallies()
{
    QFETCH(int, count);
    QFETCH(QString, presses);
    QFETCH(int, questionNo);
    QFETCH(int, right);
    QFETCH(int, wrong);
    QFETCH(QString, score);
    QFETCH(bool, finished);
    engine::Drill drill;
    platform::PcgRandom random(7);
    Module1::ProblemCount = std::int16_t(count);
    Module1::CalcKind = study::TimesTableKind;
    Module1::RangeMax = 81;
    if (count == 0)
        drill.Begin(random);
    else
        drill.Begin(Problems(count), DrillContext::FromStudyState(), random);
    int stored = 0;
    for (const QChar press : presses) {
        const int answer = drill.Current().Answer;
        const QString typed = press == u'R'   ? QString::number(answer)
                              : press == u'W' ? QString::number(answer + 1)
                              : press == u'x' ? QStringLiteral("abc")
                                              : QString();
        const Verdict verdict = drill.Judge(typed);
        const bool judged = verdict == Verdict::Right || verdict == Verdict::Wrong;
        QCOMPARE(judged, press == u'R' || press == u'W');
        if (!judged)
            continue;
        QCOMPARE(int(Module1::AnswerState), press == u'R' ? 1 : 0);
        QCOMPARE(int(store_->Rows().size()), ++stored); // stored before the feedback
        drill.Next();
    }
    QCOMPARE(int(Module1::QuestionNo), questionNo);
    QCOMPARE(int(Module1::CorrectCount), right);
    QCOMPARE(int(Module1::WrongCount), wrong);
    const std::optional<int> shown = drill.ShownScore();
    QCOMPARE(shown ? QString::number(*shown) : QString(), score);
    QCOMPARE(drill.Finished(), finished);
    QCOMPARE(int(drill.Log().Missed().size()), int(Module1::WrongCount));
}

void TestDrillEngine::answersAreKeptAsTheirDrill_data()
{
    // How the drill began, then what its answers are kept as.
    QTest::addColumn<QString>("begun");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("range");
    QTest::addColumn<bool>("retry");
    QTest::addColumn<bool>("practice");
    QTest::newRow("the settings' drill") << "drill" << 1 << 20 << false << false;
    QTest::newRow("its retry") << "drill retry" << 1 << 20 << true << false;
    QTest::newRow("a practice") << "practice" << 81 << 7 << false << true;
    QTest::newRow("a practice's retry") << "practice retry" << 81 << 7 << true << true;
}

void TestDrillEngine::answersAreKeptAsTheirDrill()
{
    QFETCH(QString, begun);
    QFETCH(int, kind);
    QFETCH(int, range);
    QFETCH(bool, retry);
    QFETCH(bool, practice);
    // The settings say one thing; a practice another.
    Module1::CalcKind = 1;
    Module1::RangeMax = 20;
    Module1::ProblemCount = 2;
    const engine::PracticeKind picked{study::TimesTableKind, 7};
    platform::PcgRandom random(3);
    engine::Drill drill;
    if (begun.startsWith(u"practice"))
        drill.Begin(Problems(2), DrillContext::Practice(picked), random);
    else
        drill.Begin(random);
    if (begun.endsWith(u"retry")) {
        // The missed problem is retried, as the results offer it.
        drill.Judge(QStringLiteral("-1"));
        drill.Begin({drill.Log().Missed().front().problem}, drill.RetryContext(), random);
    }
    drill.Judge(QString::number(drill.Current().Answer));
    const platform::AnswerRow &row = store_->Rows().back();
    QCOMPARE(int(row.calcKind), kind);
    QCOMPARE(int(row.rangeMax), range);
    QCOMPARE(row.retry, retry);
    QCOMPARE(row.practice, practice);
}

void TestDrillEngine::spartanDrillGoesOnWhereItWas_data()
{
    // A Spartan drill of five, answered as the presses say (R right, W
    // wrong) before its program ended; then taken up from what the record
    // kept. A free drill is never kept.
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("presses");
    QTest::addColumn<int>("questionNo");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("wrong");
    QTest::newRow("ended before the first answer") << 2 << "" << 1 << 0 << 0;
    QTest::newRow("mid-drill") << 2 << "RWR" << 4 << 2 << 1;
    QTest::newRow("every question answered: the results") << 2 << "WWRRW" << 6 << 2 << 3;
    QTest::newRow("a free drill is not kept") << 0 << "RW" << -1 << 0 << 0;
}

void TestDrillEngine::spartanDrillGoesOnWhereItWas()
{
    QFETCH(int, mode);
    QFETCH(QString, presses);
    QFETCH(int, questionNo);
    QFETCH(int, right);
    QFETCH(int, wrong);
    Module1::StudyMode = std::int16_t(mode);
    Module1::CalcKind = 3;
    Module1::RangeMax = 50;
    Module1::ProblemCount = 5;
    platform::PcgRandom random(11);
    std::vector<ProblemRecord> asked;
    {
        engine::Drill first;
        first.Begin(random);
        for (int i = 1; i <= 5; ++i)
            asked.push_back(first.problemSet.Problems(i));
        for (const QChar press : presses) {
            first.Judge(QString::number(first.Current().Answer + (press == u'W' ? 1 : 0)));
            first.Next();
        }
    } // the program ends: nothing of it is left but the record
    Module1::ResetAll();
    std::optional<engine::OpenDrill> open = engine::TakeUpOpenDrill(*store_);
    QCOMPARE(open.has_value(), questionNo > 0);
    if (!open)
        return;
    QCOMPARE(engine::ParseOpenDrill(engine::OpenDrillText(*open)), open);
    engine::Drill again;
    again.Resume(*open, store_->ReadAll()->answers);
    QCOMPARE(int(Module1::StudyMode), mode);
    QCOMPARE(int(Module1::QuestionNo), questionNo);
    QCOMPARE(int(Module1::CorrectCount), right);
    QCOMPARE(int(Module1::WrongCount), wrong);
    QCOMPARE(int(again.Log().Missed().size()), wrong);
    for (int i = 1; i <= 5; ++i)
        QCOMPARE(again.problemSet.Problems(i), asked[std::size_t(i - 1)]);
    // Its next answers are the same drill's, and it ends for good once the
    // results are unlocked.
    if (!again.Finished()) {
        again.Judge(QString::number(again.Current().Answer));
        QCOMPARE(store_->Rows().back().drill, open->drill);
        QCOMPARE(int(store_->Rows().back().questionNo), questionNo);
    }
    again.EndKept();
    platform::ReleaseDrill(open->drill);
    QVERIFY(!engine::TakeUpOpenDrill(*store_));
}

QTEST_GUILESS_MAIN(TestDrillEngine)
#include "tst_drill_engine.moc"
