// The children of a family: named on the record's こども page, and picked by
// the child on だれが　べんきょうする？ before a drill, by mouse, touch and keys.
#include "FormTestKit.h"
#include "engine/ChildRecord.h"
#include "study/Children.h"

#include <QComboBox>
#include <QTableWidget>
#include <QPointingDevice>
#include <QRadioButton>
#include <QTabWidget>

using namespace testkit;

namespace {

const QString Picker = QStringLiteral("ChildPicker");
const QString View = QStringLiteral("Kiroku");

template <typename T>
T *V(const QString &name) { return Control<T>(View, name); }

} // namespace

class TestChildren : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cleanupTestCase() { delete touch; }
    void pageKeepsOrRefuses_data();
    void pageKeepsOrRefuses();
    void removingAsksFirst_data();
    void removingAsksFirst();
    void pickerOnlyForTwoOrMore_data();
    void pickerOnlyForTwoOrMore();
    void childPicked_data();
    void childPicked();
    void recordShowsTheChosenChild_data();
    void recordShowsTheChosenChild();

private:
    // Names the children in the record, each with the colour of its place.
    QStringList Name(const QStringList &names);
    void OpenPage();
    ProgramFixture *fx = nullptr;
    QPointingDevice *touch = nullptr;
};

void TestChildren::init() { (fx = new ProgramFixture)->Start(); }

void TestChildren::cleanup()
{
    delete fx;
    fx = nullptr;
    study::StudyingChild.clear();
}

QStringList TestChildren::Name(const QStringList &names)
{
    QStringList ids;
    for (int i = 0; i < names.size(); ++i) {
        QString id;
        const auto kept = engine::ChangeChildren(*fx->record, [&](study::ChildList &list) {
            return list.Add(names[i], i % 6, &id);
        });
        if (kept != study::ChildRefusal::None)
            qFatal("could not name %s", qPrintable(names[i]));
        ids << id;
    }
    return ids;
}

void TestChildren::OpenPage()
{
    fx->program->setei.Show();
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    auto *tabs = V<QTabWidget>(QStringLiteral("Tabs"));
    QVERIFY(tabs);
    tabs->setCurrentWidget(V<QWidget>(QStringLiteral("Children")));
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("こども"));
}

void TestChildren::pageKeepsOrRefuses_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("pick");      // the list row picked first, or -1: a new child
    QTest::addColumn<QString>("typed"); // then 追加する, or 名前を変える with a row picked
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("after");
    const QStringList six{"あ", "い", "う", "え", "お", "か"};
    QTest::newRow("added, blanks round it dropped")
        << QStringList{"はなこ"} << -1 << "　たろう " << "" << QStringList{"はなこ", "たろう"};
    QTest::newRow("ten characters, kanji and full-width")
        << QStringList{} << -1 << "山田太郎ＡＢ１２３４" << "" << QStringList{"山田太郎ＡＢ１２３４"};
    QTest::newRow("ideographic blanks only")
        << QStringList{"はなこ"} << -1 << "　　" << "名前を入れてください。" << QStringList{"はなこ"};
    QTest::newRow("eleven characters") << QStringList{} << -1 << "あいうえおかきくけこさ"
                                       << "名前は10文字までにしてください。" << QStringList{};
    QTest::newRow("the same name twice")
        << QStringList{"はなこ"} << -1 << "はなこ"
        << "同じ名前の子どもがもういます。ちがう名前にしてください。" << QStringList{"はなこ"};
    QTest::newRow("a seventh child") << six << -1 << "き" << "登録できる子どもは6人までです。" << six;
    QTest::newRow("renamed") << QStringList{"はなこ", "たろう"} << 1 << "じろう" << ""
                             << QStringList{"はなこ", "じろう"};
    QTest::newRow("renamed to a brother's name")
        << QStringList{"はなこ", "たろう"} << 1 << "はなこ"
        << "同じ名前の子どもがもういます。ちがう名前にしてください。" << QStringList{"はなこ", "たろう"};
}

void TestChildren::pageKeepsOrRefuses()
{
    QFETCH(QStringList, before);
    QFETCH(int, pick);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QStringList, after);
    Name(before);
    OpenPage();
    auto *list = V<QTableWidget>(QStringLiteral("ChildList"));
    auto *box = V<QLineEdit>(QStringLiteral("NameBox"));
    if (pick >= 0)
        list->setCurrentCell(pick, 0);
    box->clear();
    TypeCommitted(box, typed);
    V<QPushButton>(pick >= 0 ? QStringLiteral("RenameChild") : QStringLiteral("AddChild"))->click();

    QCOMPARE(fx->box->shown, message.isEmpty() ? QStringList{} : QStringList{message});
    QStringList shown, kept;
    for (int i = 0; i < list->rowCount(); ++i)
        shown << list->item(i, 0)->text();
    for (const study::Child &child : engine::ReadChildren(*fx->record)->Living())
        kept << child.name;
    QCOMPARE(kept, after);
    QCOMPARE(shown, after);
    // The window's choice follows the list at once.
    QCOMPARE(V<QComboBox>(QStringLiteral("ChildChoice"))->count(), after.size());
    // A refused name stays in its box to be put right.
    if (!message.isEmpty())
        QCOMPARE(box->text(), typed);
}

void TestChildren::removingAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("yes") << int(platform::ResultYes) << QStringList{"たろう"};
    QTest::newRow("no") << int(platform::ResultNo) << QStringList{"はなこ", "たろう"};
}

void TestChildren::removingAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(QStringList, after);
    Name({"はなこ", "たろう"});
    OpenPage();
    V<QTableWidget>(QStringLiteral("ChildList"))->setCurrentCell(0, 0);
    // The colour picked follows the child picked.
    QVERIFY(V<QRadioButton>(QStringLiteral("Colour(0)"))->isChecked());
    fx->box->answers = {answer};
    V<QPushButton>(QStringLiteral("RemoveChild"))->click();
    QCOMPARE(fx->box->shown,
             QStringList{"「はなこ」を消します。はなこさんの答えは消さずに「名前のない記録」として残ります。よろしいですか？"});
    QStringList kept;
    for (const study::Child &child : engine::ReadChildren(*fx->record)->Living())
        kept << child.name;
    QCOMPARE(kept, after);
    QCOMPARE(V<QTableWidget>(QStringLiteral("ChildList"))->rowCount(), after.size());
}

void TestChildren::pickerOnlyForTwoOrMore_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<int>("studying"); // the child the drill is for, by place; -1: nobody
    QTest::newRow("no child") << QStringList{} << false << -1;
    QTest::newRow("one child") << QStringList{"はなこ"} << false << 0;
    QTest::newRow("a damaged list") << QStringList{} << true << -1;
    QTest::newRow("two children") << QStringList{"はなこ", "たろう"} << false << -2;
}

void TestChildren::pickerOnlyForTwoOrMore()
{
    QFETCH(QStringList, names);
    QFETCH(bool, damaged);
    QFETCH(int, studying);
    const QStringList ids = Name(names);
    if (damaged)
        QVERIFY(fx->record->ReplaceValue(engine::ChildrenValue, std::nullopt, QStringLiteral("??")) ==
                platform::ValueChange::Done);
    study::StudyingChild = QStringLiteral("left over");
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    FlushDeletes();
    if (studying == -2) {
        QVERIFY(Window(Picker) && Window(QStringLiteral("Mess01")) && !Window(QStringLiteral("Calk")));
        QCOMPARE(Window(Picker)->windowTitle(), QStringLiteral("だれが　べんきょうする？"));
        for (int i = 0; i < names.size(); ++i) {
            auto *button = Control<forms::CommandButton>(Picker, forms::ArrayName("Child", i));
            QCOMPARE(button->text(), names[i]);
            QCOMPARE(button->BackColour().rgb() & 0xFFFFFF, study::ChildColours[std::size_t(i)].rgb);
        }
        // もどる leaves the menu as it was.
        Control<QPushButton>(Picker, QStringLiteral("Back"))->click();
        FlushDeletes();
        QVERIFY(!Window(Picker) && Window(QStringLiteral("Mess01")));
        return;
    }
    QVERIFY(!Window(Picker));
    QVERIFY(Window(QStringLiteral("Calk")));
    QCOMPARE(study::StudyingChild, studying < 0 ? QString() : ids[studying]);
}

void TestChildren::childPicked_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("how"); // click N, touch N, keys "…"
    QTest::addColumn<int>("chosen");
    QTest::newRow("mouse") << 3 << "click 1" << 1;
    QTest::newRow("touch") << 6 << "touch 5" << 5;
    QTest::newRow("digit") << 6 << "keys 4" << 3;
    QTest::newRow("full-width digit") << 3 << "keys ３" << 2;
    QTest::newRow("digit past the last child") << 2 << "keys 3 Enter" << 0;
    QTest::newRow("arrows then Enter") << 3 << "keys Right Right Down Left Enter" << 2;
    QTest::newRow("Left goes round") << 4 << "keys Left Enter" << 3;
    QTest::newRow("Tab then Enter") << 2 << "keys Tab Enter" << 1;
}

void TestChildren::childPicked()
{
    QFETCH(int, count);
    QFETCH(QString, how);
    QFETCH(int, chosen);
    const QStringList all{"はなこ", "たろう", "じろう", "さくら", "けん", "ゆい"};
    const QStringList ids = Name(all.mid(0, count));
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    QWidget *picker = Window(Picker);
    QVERIFY(picker);
    Activate(picker);
    QStringList steps = how.split(QLatin1Char(' '));
    const QString kind = steps.takeFirst();
    const QHash<QString, Qt::Key> named{{"Enter", Qt::Key_Return}, {"Tab", Qt::Key_Tab}, {"Left", Qt::Key_Left},
                                        {"Right", Qt::Key_Right}, {"Down", Qt::Key_Down}};
    if (kind == QLatin1String("keys")) {
        // A digit as the keyboard gives it, or the input method (full width).
        for (const QString &step : steps) {
            const bool ascii = step.size() == 1 && step.front().unicode() < 128;
            const Qt::Key key = step.size() > 1 ? named.value(step)
                                : ascii         ? Qt::Key(Qt::Key_0 + step.front().digitValue())
                                                : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, picker->focusWidget(), key, step.size() > 1 ? QString() : step,
                                Qt::NoModifier);
        }
    } else {
        auto *button = Control<QPushButton>(Picker, forms::ArrayName("Child", steps.front().toInt()));
        const QPoint at = button->rect().center();
        if (kind == QLatin1String("click")) {
            QTest::mouseClick(button, Qt::LeftButton, {}, at);
        } else {
            if (!touch)
                touch = QTest::createTouchDevice();
            QTest::touchEvent(button, touch).press(0, at, button);
            QTest::touchEvent(button, touch).release(0, at, button);
        }
    }
    FlushDeletes();
    QCOMPARE(study::StudyingChild, ids[chosen]);
    QVERIFY(Window(QStringLiteral("Calk")));
    QVERIFY(!Window(Picker) && !Window(QStringLiteral("Mess01")));
}

void TestChildren::recordShowsTheChosenChild_data()
{
    QTest::addColumn<int>("chosen"); // はなこ, たろう, 名前のない記録
    QTest::addColumn<QList<int>>("answers"); // to the erase questions; none: 記録を消す is not pressed
    QTest::addColumn<int>("drills");         // on 最近の学習 afterwards
    QTest::addColumn<int>("left");           // answers left in the record
    const int yes = platform::ResultYes, no = platform::ResultNo;
    QTest::newRow("the first child, at first") << 0 << QList<int>{} << 1 << 4;
    QTest::newRow("another child") << 1 << QList<int>{} << 2 << 4;
    QTest::newRow("a removed child's, nobody's") << 2 << QList<int>{} << 1 << 4;
    QTest::newRow("the child's answers erased") << 1 << QList<int>{yes} << 0 << 2;
    QTest::newRow("everyone's erased") << 1 << QList<int>{no, yes} << 0 << 0;
    QTest::newRow("nothing erased") << 1 << QList<int>{no, no} << 2 << 4;
}

void TestChildren::recordShowsTheChosenChild()
{
    QFETCH(int, chosen);
    QFETCH(QList<int>, answers);
    QFETCH(int, drills);
    QFETCH(int, left);
    const QStringList ids = Name({"はなこ", "たろう", "じろう"});
    QVERIFY(engine::ChangeChildren(*fx->record, [&](study::ChildList &l) {
                return l.Remove(ids[2]) ? study::ChildRefusal::None : study::ChildRefusal::Unknown;
            }) == study::ChildRefusal::None);
    const QStringList by{ids[0], ids[1], ids[1], ids[2]};
    for (int i = 0; i < by.size(); ++i) {
        platform::AnswerRow row;
        row.drill = QString::number(i);
        row.answeredAt = QDateTime(QDate(2026, 12, 1), QTime(9, i));
        row.calcKind = 1, row.rangeMax = 10, row.problemCount = 1, row.questionNo = 1, row.operation = 1;
        row.child = by[i];
        QVERIFY(fx->record->Append(row));
    }
    fx->program->setei.Show();
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    auto *choice = V<QComboBox>(QStringLiteral("ChildChoice"));
    QCOMPARE(choice->count(), 3);
    QCOMPARE(choice->itemText(2), QStringLiteral("名前のない記録"));
    choice->setCurrentIndex(chosen);
    emit choice->activated(chosen);
    fx->box->answers = {answers.begin(), answers.end()};
    if (!answers.isEmpty())
        V<QPushButton>(QStringLiteral("Erase"))->click();
    QCOMPARE(fx->box->shown.value(0),
             answers.isEmpty() ? QString()
                               : QStringLiteral("たろうさんの記録だけを消しますか？"
                                                "「いいえ」のときは、全員の記録を消すかをたずねます。"));
    QCOMPARE(V<QTableWidget>(QStringLiteral("DrillTable"))->rowCount(), drills);
    QCOMPARE(int(fx->record->ReadAll()->answers.size()), left);
    // Every child's answers written out, each named.
    V<QPushButton>(QStringLiteral("Export"))->click();
    QStringList names;
    for (const QString &line : QString::fromUtf8(fx->saver->files.value(0)).split("\r\n", Qt::SkipEmptyParts))
        names << line.section(QLatin1Char(','), -2, -2).remove(QLatin1Char('"'));
    QCOMPARE(names, left == 4 ? QStringList({"子ども", "はなこ", "たろう", "たろう", "じろう"})
                    : left == 2 ? QStringList({"子ども", "はなこ", "じろう"}) : QStringList());
    // The next opening shows the child chosen last.
    Control<QPushButton>(QStringLiteral("Kiroku"), QStringLiteral("CloseButton"))->click();
    FlushDeletes();
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    QCOMPARE(V<QComboBox>(QStringLiteral("ChildChoice"))->currentIndex(), chosen);
    // にがて練習 from here is the chosen child's drill, the picker not asking.
    study::StudyingChild = QStringLiteral("left over");
    V<QPushButton>(QStringLiteral("StartPractice"))->click();
    FlushDeletes();
    QVERIFY(Window(QStringLiteral("Calk")) && !Window(Picker));
    QCOMPARE(study::StudyingChild, (QStringList{ids[0], ids[1], QString()}[chosen]));
}

QTEST_MAIN(TestChildren)
#include "tst_children.moc"
