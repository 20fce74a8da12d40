// A second program for the record's tests: writes answers into a record file
// as fast as it can, or drills through the real forms with the record in a
// file, printing a line after each answer is stored, so that a test can kill
// it at any moment or run two at once.
//   record_child write FILE COUNT TAG
//   record_child drill FILE COUNT [STAY [MODE [CHILD]]]   (STAY: the child
//                           stays on the feedback of that answer for good;
//                           MODE: designated (the default), free or spartan;
//                           CHILD: the name picked on だれが　べんきょうする？
//                           after お勉強の開始 on the menu)
//   record_child children FILE add NAME... | rename NAME NEW | remove NAME
//                           changes the record's children and prints those
//                           living, "ID NAME" a line
//   record_child picker FILE   prints the names the picker offers on お勉強の
//                              開始, "offers NAME...", and again for every
//                              line on its input
//   record_child grid FILE STAY   a Spartan 5 × 5 百ます grid typed crossing by
//                           crossing, staying for good after crossing STAY
//                           (its answers stored then)
//   record_child resume FILE   starts the program on the record and says what
//                              it shows: the drill taken up, or the menu
//   record_child hold FILE     holds the record's write lock; a line "MS" on
//                              its input lets it go that much later
#include "FormTestKit.h"
#include "ShownProblem.h"

#include "engine/ChildRecord.h"
#include "platform/SqliteRecordStore.h"

#include <QLineEdit>
#include <QPushButton>

#include <QComboBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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

// The buttons of the picker the menu's お勉強の開始 opens, in their order.
std::vector<QPushButton *> OpenPicker()
{
    testkit::Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    std::vector<QPushButton *> buttons;
    for (int i = 0; i < study::MaxChildren; ++i)
        if (auto *button = testkit::Control<QPushButton>(QStringLiteral("ChildPicker"), forms::ArrayName("Child", i)))
            buttons.push_back(button);
    return buttons;
}

int Drill(const QString &path, int count, int stay, const QString &mode, const QString &child)
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
    Module1::StudyMode = mode == QLatin1String("spartan") ? Module1::Spartan
                         : mode == QLatin1String("free")  ? Module1::FreeStudy
                                                          : Module1::DesignatedStudy;
    Module1::CalcKind = 81;
    Module1::RangeMax = 81;
    Module1::ProblemCount = std::int16_t(count);
    if (child.isEmpty()) {
        fixture.program->mess01.Unload();
        fixture.program->calk.Show(); // a Spartan drill begins as the screen opens
    } else {
        const std::vector<QPushButton *> buttons = OpenPicker();
        const auto named = std::find_if(buttons.begin(), buttons.end(),
                                        [&child](QPushButton *b) { return b->text() == child; });
        if (named == buttons.end())
            return 3;
        (*named)->click();
        testkit::FlushDeletes();
    }
    if (Module1::StudyMode != Module1::Spartan) {
        testkit::Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("T1"))->setText(QString::number(count));
        if (Module1::StudyMode == Module1::FreeStudy)
            testkit::PickFromList(testkit::Control<QComboBox>(QStringLiteral("Calk"), QStringLiteral("Combo1")),
                                  QStringLiteral("九九"));
        testkit::Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C1"))->click();
    }
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

int Grid(const QString &path, int stay)
{
    testkit::ProgramFixture fixture;
    fixture.Start();
    platform::setRecordStore(std::make_unique<platform::SqliteRecordStore>(path));
    Module1::StudyMode = Module1::Spartan;
    fixture.program->mess01.Unload();
    fixture.program->hyakumasu.Start(1, 5);
    const engine::HyakumasuGrid &grid = fixture.program->hyakumasu.Grid();
    auto *entry = testkit::Control<QLineEdit>(QStringLiteral("HyakumasuForm"), QStringLiteral("Entry"));
    for (int i = 0; i < grid.Count(); ++i) {
        QTest::keyClicks(entry, QString::number(grid.Crossing(i).Answer));
        QTest::keyClick(entry, Qt::Key_Return);
        if (i + 1 == stay)
            platform::recordStore().StoreWaiting();
        std::printf("feedback %d\n", i + 1);
        std::fflush(stdout);
        while (i + 1 == stay)
            QThread::sleep(1);
        QTest::qWait(50); // a fast child's pace, the store's timers running
    }
    fixture.Stop();
    return 0;
}

int Resume(const QString &path)
{
    testkit::ProgramFixture fixture;
    fixture.Start();
    platform::setRecordStore(std::make_unique<platform::SqliteRecordStore>(path));
    // The menu is drawn; the drill left half-way is looked for after it.
    for (int i = 0; i < 20 && !testkit::Window(QStringLiteral("Calk")) && !testkit::Window(QStringLiteral("kekka")) &&
                    !testkit::Window(QStringLiteral("HyakumasuForm"));
         ++i)
        QTest::qWait(10);
    const auto text = [](const QString &form, const QString &name) {
        QWidget *w = testkit::Control<QWidget>(form, name);
        return w ? w->property("text").toString() : QString();
    };
    if (testkit::Window(QStringLiteral("Calk")))
        std::printf("drill mode=%d question=%s right=%s wrong=%s count=%d\n", int(Module1::StudyMode),
                    qPrintable(text(QStringLiteral("Calk"), QStringLiteral("Label5"))),
                    qPrintable(text(QStringLiteral("Calk"), QStringLiteral("T(2)"))),
                    qPrintable(text(QStringLiteral("Calk"), QStringLiteral("T(3)"))), int(Module1::ProblemCount));
    else if (testkit::Window(QStringLiteral("HyakumasuForm"))) {
        const forms::Hyakumasu &grid = fixture.program->hyakumasu;
        int filled = 0;
        for (int i = 0; i < grid.Grid().Count(); ++i)
            filled += !text(QStringLiteral("HyakumasuForm"), QStringLiteral("Cell(%1)").arg(i)).isEmpty();
        const bool canLeave = testkit::Control<QWidget>(QStringLiteral("HyakumasuForm"), QStringLiteral("MenuButton"))
                                  ->isVisibleTo(grid.Window());
        std::printf("grid mode=%d filled=%d done=%d leave=%d\n", int(Module1::StudyMode), filled, int(grid.Done()),
                    int(canLeave));
    } else if (testkit::Window(QStringLiteral("kekka")))
        std::printf("results right=%s wrong=%s locked=%d\n", qPrintable(text(QStringLiteral("kekka"), QStringLiteral("L(2)"))),
                    qPrintable(text(QStringLiteral("kekka"), QStringLiteral("L(3)"))),
                    int(fixture.program->kekka.IsLocked()));
    else
        std::printf("menu %d\n", testkit::Window(QStringLiteral("Mess01")) != nullptr);
    std::fflush(stdout);
    fixture.Stop();
    return 0;
}

int Children(const QString &path, const QStringList &args)
{
    platform::SqliteRecordStore store(path);
    const QString op = args.value(0);
    const auto kept = engine::ChangeChildren(store, [&](study::ChildList &list) {
        const std::vector<study::Child> living = list.Living();
        const auto named = std::find_if(living.begin(), living.end(),
                                        [&args](const study::Child &c) { return c.name == args.value(1); });
        const study::Child found = named == living.end() ? study::Child{} : *named;
        if (op == QLatin1String("rename"))
            return list.Rename(found.id, args.value(2), found.colour);
        if (op == QLatin1String("remove"))
            return list.Remove(found.id) ? study::ChildRefusal::None : study::ChildRefusal::Unknown;
        for (qsizetype i = 1; i < args.size(); ++i)
            if (const study::ChildRefusal refusal = list.Add(args[i], list.FreeColour());
                refusal != study::ChildRefusal::None)
                return refusal;
        return study::ChildRefusal::None;
    });
    const std::optional<study::ChildList> children = engine::ReadChildren(store);
    if (kept != study::ChildRefusal::None || !children)
        return 1;
    for (const study::Child &c : children->Living())
        std::printf("%s %s\n", qUtf8Printable(c.id), qUtf8Printable(c.name));
    return store.Close() ? 0 : 1;
}

// A copy left on the menu, asked again and again who studies.
int Picker(const QString &path)
{
    testkit::ProgramFixture fixture;
    fixture.Start();
    platform::setRecordStore(std::make_unique<platform::SqliteRecordStore>(path));
    char line[32] = {};
    do {
        QStringList names;
        for (QPushButton *button : OpenPicker())
            names << button->text();
        std::printf("offers %s\n", qUtf8Printable(names.join(u' ')));
        std::fflush(stdout);
        if (auto *back = testkit::Control<QPushButton>(QStringLiteral("ChildPicker"), QStringLiteral("Back")))
            back->click();
        testkit::FlushDeletes();
    } while (std::fgets(line, sizeof line, stdin));
    fixture.Stop();
    return 0;
}

// Another copy of the program holding the record's write lock (its 記録を消す
// on a large record, say).
int Hold(const QString &path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (!db.open() || !q.exec(QStringLiteral("BEGIN EXCLUSIVE")))
            return 1;
        std::printf("holding\n");
        std::fflush(stdout);
        char line[32] = {};
        if (!std::fgets(line, sizeof line, stdin))
            return 1;
        QThread::msleep(ulong(std::atoi(line)));
        q.exec(QStringLiteral("ROLLBACK"));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args[1] == QLatin1String("write"))
        return WriteAnswers(args[2], args[3].toInt(), args[4]);
    if (args.size() >= 4 && args[1] == QLatin1String("drill"))
        return Drill(args[2], args[3].toInt(), args.size() >= 5 ? args[4].toInt() : 0, args.value(5), args.value(6));
    if (args.size() >= 5 && args[1] == QLatin1String("children"))
        return Children(args[2], args.mid(3));
    if (args.size() >= 3 && args[1] == QLatin1String("picker"))
        return Picker(args[2]);
    if (args.size() >= 4 && args[1] == QLatin1String("grid"))
        return Grid(args[2], args[3].toInt());
    if (args.size() >= 3 && args[1] == QLatin1String("resume"))
        return Resume(args[2]);
    if (args.size() >= 3 && args[1] == QLatin1String("hold"))
        return Hold(args[2]);
    std::fprintf(stderr, "usage: record_child write FILE COUNT TAG | drill FILE COUNT [STAY [MODE [CHILD]]]"
                         " | children FILE add|rename|remove NAME... | picker FILE | grid FILE STAY | resume FILE"
                         " | hold FILE\n");
    return 2;
}
