// A second program for the record's tests: writes answers into a record file
// as fast as it can, or drills through the real forms with the record in a
// file, printing a line after each answer is stored, so that a test can kill
// it at any moment or run two at once.
//   record_child write FILE COUNT TAG
//   record_child drill FILE COUNT [STAY]   (STAY: the child stays on the
//                                           feedback of that answer for good)
#include "FormTestKit.h"
#include "ShownProblem.h"

#include "platform/SqliteRecordStore.h"

#include <QLineEdit>
#include <QPushButton>

#include <QThread>

#include <cstdio>

namespace {

int WriteAnswers(const QString &path, int count, const QString &tag)
{
    // Through the program's own service, and closed as the program closes it.
    platform::setRecordStore(std::make_unique<platform::SqliteRecordStore>(path));
    platform::RecordStore &store = platform::recordStore();
    for (int i = 1; i <= count; ++i) {
        platform::AnswerRow row;
        row.drill = tag;
        row.answeredAt = QDateTime::currentDateTime();
        row.calcKind = 81;
        row.rangeMax = 81;
        row.problemCount = std::int16_t(count);
        row.questionNo = std::int16_t(i);
        row.left = std::int16_t(i % 9 + 1);
        row.right = 7;
        row.operation = 3;
        row.answer = std::int16_t(row.left * 7);
        row.typed = QString::number(row.answer);
        row.correct = true;
        const bool stored = store.Append(row);
        std::printf("%s %d\n", stored ? "stored" : "refused", i);
        std::fflush(stdout);
        // Fast as no child answers, yet a program's pace, not a flood that
        // never lets the other copy in.
        QThread::msleep(5);
    }
    const int pending = store.PendingCount();
    platform::setRecordStore(nullptr);
    return pending == 0 ? 0 : 1;
}

int Drill(const QString &path, int count, int stay)
{
    testkit::ProgramFixture fixture;
    fixture.Start();
    // Each wait is the feedback dialog on screen.
    for (int i = 1; i <= count; ++i) {
        fixture.pump->actions.push_back([i, stay] {
            std::printf("feedback %d\n", i);
            std::fflush(stdout);
            while (i == stay)
                QThread::sleep(1);
            testkit::AcknowledgeDialog();
        });
    }
    platform::setRecordStore(std::make_unique<platform::SqliteRecordStore>(path));
    Module1::StudyMode = Module1::DesignatedStudy;
    Module1::CalcKind = 81;
    Module1::RangeMax = 81;
    fixture.program->mess01.Unload();
    fixture.program->calk.Show();
    testkit::Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("T1"))->setText(QString::number(count));
    testkit::Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C1"))->click();
    for (int i = 1; i <= count; ++i) {
        // Every third answer wrong, so both kinds are stored.
        const int answer = testkit::ShownAnswer() + (i % 3 == 0 ? 1 : 0);
        testkit::Answer(QString::number(answer));
        std::printf("judged %d\n", i);
        std::fflush(stdout);
    }
    const int pending = platform::recordStore().PendingCount();
    fixture.Stop();
    return pending == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args[1] == QLatin1String("write"))
        return WriteAnswers(args[2], args[3].toInt(), args[4]);
    if (args.size() >= 4 && args[1] == QLatin1String("drill"))
        return Drill(args[2], args[3].toInt(), args.size() >= 5 ? args[4].toInt() : 0);
    std::fprintf(stderr, "usage: record_child write FILE COUNT TAG | drill FILE COUNT [STAY]\n");
    return 2;
}
