#include "FormTestKit.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace testkit;

namespace {

const QString CalkName = QStringLiteral("Calk");

QLabel *Label(const QString &name)
{
    return Control<QLabel>(CalkName, name);
}
QLineEdit *Box(const QString &name)
{
    return Control<QLineEdit>(CalkName, name);
}
QPushButton *Button(const QString &name)
{
    return Control<QPushButton>(CalkName, name);
}
QComboBox *Combo(const QString &name)
{
    return Control<QComboBox>(CalkName, name);
}

// The draws for additions (sum, addend) in range 10, followed by a shuffle of
// n records whose every exchange swaps records 1 and 2.
std::vector<float> AdditionScript(std::initializer_list<std::pair<int, int>> problems)
{
    std::vector<float> draws;
    for (const auto &[sum, addend] : problems) {
        draws.push_back(Drawing(sum, 10));
        draws.push_back(Drawing(addend, 10));
    }
    const int n = static_cast<int>(problems.size());
    for (int i = 0; i < 5 * n; ++i) {
        draws.push_back(Drawing(1, n));
        draws.push_back(Drawing(2, n));
    }
    return draws;
}

struct Look {
    QString caption;
    QColor colour;
};

Look DialogLook()
{
    auto *cb = Control<forms::CommandButton>(QStringLiteral("Dialog"), QStringLiteral("CB"));
    if (!cb)
        return {};
    return {cb->text(), cb->BackColour()};
}

} // namespace

class TestDrill : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuOpensWithDefaults();
    void freeStudyWholeDrill();
    void scoreShownWithEachQuestion_data();
    void scoreShownWithEachQuestion();
    void setUpPerMode_data();
    void setUpPerMode();
    void timesTableListReplacesRangeList();
    void typedKindIsNotAPick_data();
    void typedKindIsNotAPick();
    void designatedStudyKeepsParentContent();
    void spartanDrillCannotBeLeft();
    void enterMovesFocusAndNeverSubmits();
    void countCheckAtStart_data();
    void countCheckAtStart();
    void answersThatAreNotNumbers_data();
    void answersThatAreNotNumbers();
    void dialogBlocksTheDrillForm();
    void dialogPlacedBelowTheDrillForm();
    void closingTheDialogCountsAsItsButton();
    void answeringBeforeTheDrillDoesNothing();
    void reopeningGivesFreshListsAndWipesRecords();
    void quitMidDrillReturnsToMenu();
    void windowCloseActsAsTheButtons();
    void emptySpartanDrillShowsZeroScore();
    void realPumpWaitsWithoutSpinning();
    void runEndsWithTheFormsDestroyed();

private:
    ProgramFixture *fx = nullptr;
};

void TestDrill::init()
{
    fx = new ProgramFixture;
    fx->Start();
}

void TestDrill::cleanup()
{
    delete fx;
    fx = nullptr;
}

void TestDrill::menuOpensWithDefaults()
{
    QWidget *menu = Window(QStringLiteral("Mess01"));
    QVERIFY(menu);
    QCOMPARE(menu->windowTitle(), QStringLiteral("Mimoran！２"));
    QCOMPARE(int(Module1::StudyMode), 0);
    QCOMPARE(int(Module1::CalcKind), 1);
    QCOMPARE(int(Module1::ProblemCount), 30);
    QCOMPARE(int(Module1::RangeMax), 0);
    auto *label2 = menu->findChild<QLabel *>(QStringLiteral("Label2"));
    QCOMPARE(label2->text().size(), 149);
    QCOMPARE(menu->findChild<QPushButton *>(QStringLiteral("C1"))->text(), QStringLiteral("お勉強の開始"));
}

void TestDrill::freeStudyWholeDrill()
{
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    QVERIFY(!Window(QStringLiteral("Mess01")));
    QVERIFY(Window(CalkName));
    QCOMPARE(Control<QGroupBox>(CalkName, QStringLiteral("Frame2"))->title(), QStringLiteral("自由学習モード時の設定"));
    QCOMPARE(Box(QStringLiteral("T1"))->text(), QStringLiteral("30"));
    QVERIFY(HasFocus(Box(QStringLiteral("T1"))));

    // 5 = 3 + 2, 8 = 0 + 8, 10 = 9 + 1; the shuffle swaps the first two.
    fx->Script(AdditionScript({{5, 2}, {8, 8}, {10, 1}}));
    Box(QStringLiteral("T1"))->setText(QStringLiteral("3"));
    Button(QStringLiteral("C1"))->click();
    QVERIFY(Control<QGroupBox>(CalkName, QStringLiteral("Frame2"))->isHidden());
    QCOMPARE(int(Module1::CalcKind), 1);
    QCOMPARE(int(Module1::RangeMax), 10);
    QCOMPARE(int(Module1::ProblemCount), 3);

    QList<Look> looks;
    QStringList scores;
    const auto seeQuestion = [&] { scores << Box(QStringLiteral("T(1)"))->text(); };
    const auto note = [&] {
        looks << DialogLook();
        AcknowledgeDialog();
    };

    QCOMPARE(Label(QStringLiteral("Label5"))->text(), QStringLiteral("1"));
    QCOMPARE((QStringList{Label(QStringLiteral("K1"))->text(), Label(QStringLiteral("E"))->text(),
                          Label(QStringLiteral("K2"))->text()}),
             (QStringList{"0", "＋", "8"}));
    QCOMPARE(Box(QStringLiteral("T(0)"))->text(), QStringLiteral("3"));
    QCOMPARE(Box(QStringLiteral("K"))->text(), QString());
    seeQuestion();

    fx->pump->actions.push_back(note);
    Answer(QStringLiteral("8"));
    QCOMPARE(Label(QStringLiteral("Label5"))->text(), QStringLiteral("2"));
    QCOMPARE(Label(QStringLiteral("K1"))->text() + Label(QStringLiteral("K2"))->text(), QStringLiteral("32"));
    QCOMPARE(Box(QStringLiteral("T(2)"))->text(), QStringLiteral("1"));
    QCOMPARE(Box(QStringLiteral("T(3)"))->text(), QStringLiteral("0"));
    seeQuestion();

    fx->pump->actions.push_back(note);
    Answer(QStringLiteral("4"));
    QCOMPARE(Box(QStringLiteral("T(3)"))->text(), QStringLiteral("1"));
    seeQuestion();

    fx->pump->actions.push_back(note);
    Answer(QStringLiteral("１０")); // typed with the Japanese input method
    FlushDeletes();

    QCOMPARE(scores, (QStringList{"", "100", "50"}));
    QCOMPARE(looks.size(), 3);
    QCOMPARE(looks[0].caption, QStringLiteral(" 正解！"));
    QCOMPARE(looks[0].colour, QColor(255, 128, 128));
    QCOMPARE(looks[1].caption, QStringLiteral("間違い!"));
    QCOMPARE(looks[1].colour, QColor(128, 128, 255));
    QCOMPARE(looks[2].caption, QStringLiteral(" 正解！"));

    QVERIFY(!Window(CalkName));
    QVERIFY(Window(QStringLiteral("kekka")));
    QStringList results;
    for (int i = 0; i < 4; ++i)
        results << Control<QLabel>(QStringLiteral("kekka"), QStringLiteral("L(%1)").arg(i))->text();
    QCOMPARE(results, (QStringList{"3", "67", "2", "1"}));
    QCOMPARE(int(Module1::QuestionNo), 4);

    auto *back = Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("Command1"));
    QVERIFY(back->isVisible());
    Module1::CalcKind = 9; // anything; the menu must put the defaults back
    back->click();
    FlushDeletes();
    QVERIFY(Window(QStringLiteral("Mess01")));
    QVERIFY(!Window(QStringLiteral("kekka")));
    QCOMPARE(int(Module1::CalcKind), 1);
    QCOMPARE(int(Module1::ProblemCount), 30);
    QCOMPARE(int(Module1::RangeMax), 10); // the range stays as applied
    QVERIFY(fx->box->shown.isEmpty());
}

void TestDrill::scoreShownWithEachQuestion_data()
{
    QTest::addColumn<QString>("pattern");  // r right, w wrong
    QTest::addColumn<QStringList>("shown"); // score box at questions 2..n+1
    QTest::newRow("2 of 3 gives 67") << "rrw" << QStringList{"100", "100", "67"};
    QTest::newRow("1 of 8 gives 13") << "rwwwwwww" << QStringList{"100", "50", "33", "25", "20", "17", "14", "13"};
    QTest::newRow("empty until the first right") << "wwr" << QStringList{"", "", "33"};
    QTest::newRow("wrong then right") << "wr" << QStringList{"", "50"};
}

void TestDrill::scoreShownWithEachQuestion()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, shown);
    // One extra question so the score after the last answer is still shown.
    Module1::StudyMode = 2;
    Module1::CalcKind = 3;
    Module1::RangeMax = 81;
    Module1::ProblemCount = static_cast<std::int16_t>(pattern.size() + 1);
    fx->program->mess01.Unload();
    fx->program->calk.Show();
    QStringList seen;
    for (QChar c : pattern) {
        const int answer = ShownAnswer();
        Answer(QString::number(c == QLatin1Char('r') ? answer : answer + 1));
        seen << Box(QStringLiteral("T(1)"))->text();
    }
    QCOMPARE(seen, shown);
}

void TestDrill::setUpPerMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("choicesShown");
    QTest::addColumn<bool>("quitShown");
    QTest::addColumn<QString>("focus");
    QTest::newRow("free") << 0 << "自由学習モード時の設定" << true << true << "T1";
    QTest::newRow("designated") << 1 << "指定学習モード時の設定" << false << true << "T1";
    QTest::newRow("spartan") << 2 << "" << false << false << "K";
}

void TestDrill::setUpPerMode()
{
    QFETCH(int, mode);
    QFETCH(QString, caption);
    QFETCH(bool, choicesShown);
    QFETCH(bool, quitShown);
    QFETCH(QString, focus);
    Module1::StudyMode = static_cast<std::int16_t>(mode);
    Module1::RangeMax = 10;
    fx->program->mess01.Unload();
    fx->program->calk.Show();
    QWidget *calk = Window(CalkName);
    QVERIFY(calk);
    auto *frame = Control<QGroupBox>(CalkName, QStringLiteral("Frame2"));
    QCOMPARE(frame->title(), caption);
    QCOMPARE(frame->isVisibleTo(calk), mode != 2);
    for (const char *name : {"Label3", "Combo1", "Label12", "Combo2"})
        QCOMPARE(calk->findChild<QWidget *>(QLatin1String(name))->isVisibleTo(calk), choicesShown);
    QCOMPARE(Button(QStringLiteral("C"))->isVisibleTo(calk), quitShown);
    QCOMPARE(calk->focusWidget()->objectName(), focus);
    // The lists never show the study state: always the first entries.
    QCOMPARE(Combo(QStringLiteral("Combo1"))->currentText(), QStringLiteral("たし算"));
    QCOMPARE(Combo(QStringLiteral("Combo2"))->currentText(), QStringLiteral("1～10"));
    QCOMPARE(Combo(QStringLiteral("Combo3"))->currentText(), QStringLiteral("九九（全て）"));
    QCOMPARE(Label(QStringLiteral("Label5"))->text(), mode == 2 ? QStringLiteral("1") : QStringLiteral("？"));
}

void TestDrill::timesTableListReplacesRangeList()
{
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    QComboBox *kind = Combo(QStringLiteral("Combo1"));
    QComboBox *range = Combo(QStringLiteral("Combo2"));
    QComboBox *row = Combo(QStringLiteral("Combo3"));
    PickFromList(range, QStringLiteral("1～50"));
    PickFromList(kind, QStringLiteral("九九"));
    QVERIFY(range->isHidden());
    QVERIFY(!row->isHidden());
    PickFromList(row, QStringLiteral("九九（三の段）"));
    PickFromList(kind, QStringLiteral("かけ算"));
    QVERIFY(!range->isHidden());
    QCOMPARE(range->currentText(), QStringLiteral("1～50"));

    // 九九 with the third row, then start: kind 81, row 3.
    PickFromList(kind, QStringLiteral("九九"));
    Box(QStringLiteral("T1"))->setText(QStringLiteral("4"));
    Button(QStringLiteral("C1"))->click();
    QCOMPARE(int(Module1::CalcKind), 81);
    QCOMPARE(int(Module1::RangeMax), 3);
    QCOMPARE(Label(QStringLiteral("K1"))->text(), QStringLiteral("3"));
    QCOMPARE(Label(QStringLiteral("E"))->text(), QStringLiteral("×"));
}

void TestDrill::typedKindIsNotAPick_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<int>("leave"); // the key that leaves the list's text
    QTest::newRow("drill screen, Tab") << "Calk" << int(Qt::Key_Tab);
    QTest::newRow("drill screen, Enter") << "Calk" << int(Qt::Key_Return);
    QTest::newRow("settings screen, Tab") << "Setei" << int(Qt::Key_Tab);
    QTest::newRow("settings screen, Enter") << "Setei" << int(Qt::Key_Return);
}

void TestDrill::typedKindIsNotAPick()
{
    QFETCH(QString, form);
    QFETCH(int, leave);
    if (form == CalkName)
        Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    else
        fx->program->setei.Show();
    QWidget *window = Window(form);
    Activate(window);
    auto *kind = window->findChild<QComboBox *>(QStringLiteral("Combo1"));
    auto *range = window->findChild<QComboBox *>(QStringLiteral("Combo2"));
    kind->setFocus(Qt::MouseFocusReason);
    kind->lineEdit()->selectAll();
    TypeCommitted(kind, QStringLiteral("九九"));
    QTest::keyClick(window->focusWidget(), Qt::Key(leave));
    if (leave == Qt::Key_Tab)
        QVERIFY(window->focusWidget() != kind);

    // Only a pick from the list swaps the lists; the typed kind is read when
    // the screen takes its choices.
    QVERIFY(!range->isHidden());
    QCOMPARE(kind->currentText(), QStringLiteral("九九"));
    window->findChild<QPushButton *>(form == CalkName ? QStringLiteral("C1") : QStringLiteral("Command1"))->click();
    QCOMPARE(int(Module1::CalcKind), 81);
    QCOMPARE(int(Module1::RangeMax), 81); // the row list's first entry
    QCOMPARE(kind->count(), 16);            // nothing inserted
}

void TestDrill::designatedStudyKeepsParentContent()
{
    Module1::StudyMode = 1;
    Module1::CalcKind = 4;
    Module1::RangeMax = 100;
    fx->program->mess01.Unload();
    fx->program->calk.Show();
    Box(QStringLiteral("T1"))->setText(QStringLiteral("5"));
    Button(QStringLiteral("C1"))->click();
    QCOMPARE(int(Module1::CalcKind), 4);
    QCOMPARE(int(Module1::RangeMax), 100);
    QCOMPARE(int(Module1::ProblemCount), 5);
    for (int q = 1; q <= 5; ++q) {
        QCOMPARE(Label(QStringLiteral("E"))->text(), QStringLiteral("÷"));
        QVERIFY(Label(QStringLiteral("K1"))->text().toInt() <= 100);
        Answer(QString::number(ShownAnswer()));
    }
    FlushDeletes();
    QCOMPARE(Control<QLabel>(QStringLiteral("kekka"), QStringLiteral("L(1)"))->text(), QStringLiteral("100"));
}

void TestDrill::spartanDrillCannotBeLeft()
{
    fx->store->Write(platform::PasswordSection, platform::PasswordKey, QStringLiteral("oya"));
    Module1::StudyMode = 2;
    Module1::CalcKind = 4;
    Module1::RangeMax = 100;
    Module1::ProblemCount = 5;
    fx->program->mess01.Unload();
    fx->program->calk.Show();
    QWidget *calk = Window(CalkName);
    QVERIFY(calk);
    QVERIFY(!(calk->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(Button(QStringLiteral("C"))->isHidden());
    QVERIFY(!calk->close());
    QTest::keyClick(calk, Qt::Key_Escape);
    QTest::keyClick(calk, Qt::Key_F4, Qt::AltModifier);
    QVERIFY(Window(CalkName));
    QCOMPARE(Label(QStringLiteral("Label5"))->text(), QStringLiteral("1"));

    for (int q = 1; q <= 5; ++q)
        Answer(QString::number(q % 2 ? ShownAnswer() : ShownAnswer() + 1));
    FlushDeletes();

    QWidget *results = Window(QStringLiteral("kekka"));
    QVERIFY(results);
    auto *back = Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("Command1"));
    QVERIFY(back->isHidden());
    QVERIFY(!(results->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!results->close());
    QTest::keyClick(results, Qt::Key_Escape);
    QVERIFY(Window(QStringLiteral("kekka")));
    QVERIFY(!Window(QStringLiteral("Mess01")));

    auto *password = Control<QLineEdit>(QStringLiteral("kekka"), QStringLiteral("T1"));
    auto *enter = Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("C1"));
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    for (const QString &wrong : {QStringLiteral("OYA"), QStringLiteral("oy"), QString()}) {
        password->setText(wrong);
        enter->click();
        QVERIFY(back->isHidden());
        QCOMPARE(password->text(), wrong);
    }
    QVERIFY(fx->box->shown.isEmpty());
    password->setText(QStringLiteral("oya"));
    enter->click();
    QVERIFY(!back->isHidden());
    back->click();
    FlushDeletes();
    QVERIFY(Window(QStringLiteral("Mess01")));
    QCOMPARE(int(Module1::StudyMode), 0);
}

void TestDrill::enterMovesFocusAndNeverSubmits()
{
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    QWidget *calk = Window(CalkName);
    QLineEdit *count = Box(QStringLiteral("T1"));
    count->setText(QStringLiteral("2"));
    count->setFocus();
    QTest::keyClick(count, Qt::Key_Return);
    QCOMPARE(calk->focusWidget(), Button(QStringLiteral("C1")));
    QVERIFY(!fx->program->calk.DrillBuilt());
    // The second Enter, on the focused Start button, starts the drill.
    QTest::keyClick(Button(QStringLiteral("C1")), Qt::Key_Return);
    QVERIFY(fx->program->calk.DrillBuilt());

    QLineEdit *answer = Box(QStringLiteral("K"));
    answer->setFocus();
    QTest::keyClicks(answer, QString::number(ShownAnswer()));
    QTest::keyClick(answer, Qt::Key_Enter);
    QCOMPARE(calk->focusWidget(), Button(QStringLiteral("C2")));
    QCOMPARE(int(Module1::CorrectCount), 0);
    QCOMPARE(fx->pump->waits, 0);
    QTest::keyClick(Button(QStringLiteral("C2")), Qt::Key_Return);
    QCOMPARE(int(Module1::CorrectCount), 1);
    QCOMPARE(int(Module1::QuestionNo), 2);
    QVERIFY(HasFocus(Box(QStringLiteral("K"))));
}

void TestDrill::countCheckAtStart_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");   // 0: refused
    QTest::addColumn<QString>("message");
    QTest::newRow("limit") << "10000" << 10000 << "";
    QTest::newRow("half above") << "10000.5" << 0 << "問題数が多すぎます";
    QTest::newRow("one above") << "10001" << 0 << "問題数が多すぎます";
    QTest::newRow("half to even down") << "12.5" << 12 << "";
    QTest::newRow("half to even up") << "13.5" << 14 << "";
    QTest::newRow("full-width") << "２０" << 20 << "";
    QTest::newRow("empty") << "" << 0 << "問題数は1から10000までの数で入力してください";
    QTest::newRow("letters") << "abc" << 0 << "問題数は1から10000までの数で入力してください";
    QTest::newRow("zero") << "0" << 0 << "問題数は1から10000までの数で入力してください";
    QTest::newRow("rounds to one") << "0.6" << 0 << "問題数は1から10000までの数で入力してください";
    QTest::newRow("negative") << "-3" << 0 << "問題数は1から10000までの数で入力してください";
    QTest::newRow("below 16 bits") << "-99999" << 0 << "問題数は1から10000までの数で入力してください";
}

void TestDrill::countCheckAtStart()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, message);
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Combo(QStringLiteral("Combo1"))->setEditText(QStringLiteral("わり算"));
    Combo(QStringLiteral("Combo2"))->setEditText(QStringLiteral("1～100"));
    Box(QStringLiteral("T1"))->setText(text);
    Button(QStringLiteral("C1"))->click();
    if (count > 0) {
        QVERIFY(fx->box->shown.isEmpty());
        QCOMPARE(int(Module1::ProblemCount), count);
        QCOMPARE(int(fx->program->calk.drill.problemSet.GeneratedCount), count);
        QCOMPARE(Box(QStringLiteral("T(0)"))->text(), QString::number(count));
    } else {
        QCOMPARE(fx->box->shown, QStringList{message});
        QCOMPARE(Box(QStringLiteral("T1"))->text(), QString());
        QVERIFY(HasFocus(Box(QStringLiteral("T1"))));
        QVERIFY(!fx->program->calk.DrillBuilt());
        QCOMPARE(int(Module1::CalcKind), 1); // nothing written
        QCOMPARE(int(Module1::RangeMax), 0);
        QCOMPARE(int(Module1::ProblemCount), 30);
        QVERIFY(!Control<QGroupBox>(CalkName, QStringLiteral("Frame2"))->isHidden());
    }
}

void TestDrill::answersThatAreNotNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << "" << "解答が入力されていません";
    QTest::newRow("letters") << "abc" << "答えは数字で入力してください";
    QTest::newRow("spaces") << "   " << "答えは数字で入力してください";
    QTest::newRow("nan") << "nan" << "答えは数字で入力してください";
    QTest::newRow("huge") << QString(5000, QLatin1Char('9')) << "答えは数字で入力してください";
}

void TestDrill::answersThatAreNotNumbers()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Button(QStringLiteral("C1"))->click();
    Module1::AnswerState = 1;
    Button(QStringLiteral("C"))->setFocus();
    Answer(text);
    QCOMPARE(fx->box->shown, QStringList{message});
    QVERIFY(HasFocus(Box(QStringLiteral("K"))));
    QCOMPARE(int(Module1::QuestionNo), 1);
    QCOMPARE(int(Module1::CorrectCount) + int(Module1::WrongCount), 0);
    QCOMPARE(int(Module1::AnswerState), 1);
    QCOMPARE(fx->pump->waits, 0);
}

void TestDrill::dialogBlocksTheDrillForm()
{
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Button(QStringLiteral("C1"))->click();
    bool checked = false;
    fx->pump->actions.push_back([&] {
        QWidget *dialog = Window(QStringLiteral("Dialog"));
        QVERIFY(dialog);
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QVERIFY(!(dialog->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(fx->program->calk.IsWaitingForDialog());
        // A second answer, the quit button and the frame's close do nothing.
        Button(QStringLiteral("C2"))->click();
        Button(QStringLiteral("C"))->click();
        QVERIFY(!Window(CalkName)->close());
        QVERIFY(Window(CalkName));
        QVERIFY(!Window(QStringLiteral("Mess01")));
        QCOMPARE(int(Module1::WrongCount), 1);
        QCOMPARE(int(Module1::QuestionNo), 1);
        checked = true;
        AcknowledgeDialog();
    });
    Answer(QStringLiteral("-1"));
    QVERIFY(checked);
    QCOMPARE(fx->pump->waits, 1);
    QCOMPARE(int(Module1::WrongCount), 1);
    QCOMPARE(int(Module1::QuestionNo), 2);
    QVERIFY(!Window(QStringLiteral("Dialog")));
}

void TestDrill::dialogPlacedBelowTheDrillForm()
{
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Button(QStringLiteral("C1"))->click();
    QWidget *calk = Window(CalkName);
    calk->move(100, 50);
    QPoint where;
    fx->pump->actions.push_back([&] {
        where = Window(QStringLiteral("Dialog"))->pos();
        AcknowledgeDialog();
    });
    Answer(QStringLiteral("0"));
    const QRect frame = calk->frameGeometry();
    QCOMPARE(where, QPoint(frame.left(), frame.top() + 267)); // 4000 twips
}

void TestDrill::closingTheDialogCountsAsItsButton()
{
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Button(QStringLiteral("C1"))->click();
    fx->pump->actions.push_back([] { Window(QStringLiteral("Dialog"))->close(); });
    Answer(QString::number(ShownAnswer()));
    QCOMPARE(int(Module1::AnswerState), 2);
    QCOMPARE(int(Module1::QuestionNo), 2);
    QVERIFY(!Window(QStringLiteral("Dialog")));
}

void TestDrill::answeringBeforeTheDrillDoesNothing()
{
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    QLineEdit *answer = Box(QStringLiteral("K"));
    QCOMPARE(answer->text(), QStringLiteral("？"));
    Button(QStringLiteral("C2"))->click();
    answer->setText(QStringLiteral("0"));
    Button(QStringLiteral("C2"))->click();
    QVERIFY(fx->box->shown.isEmpty());
    QCOMPARE(fx->pump->waits, 0);
    QCOMPARE(int(Module1::QuestionNo), 0);
    QCOMPARE(int(Module1::CorrectCount) + int(Module1::WrongCount), 0);
    QVERIFY(!Window(QStringLiteral("Dialog")));
}

void TestDrill::reopeningGivesFreshListsAndWipesRecords()
{
    for (int round = 0; round < 2; ++round) {
        Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
        QCOMPARE(Combo(QStringLiteral("Combo1"))->count(), 16);
        QCOMPARE(Combo(QStringLiteral("Combo2"))->count(), 7);
        QCOMPARE(Combo(QStringLiteral("Combo3"))->count(), 10);
        QCOMPARE(int(fx->program->calk.drill.problemSet.GeneratedCount), 0);
        Box(QStringLiteral("T1"))->setText(round == 0 ? QStringLiteral("50") : QStringLiteral("30"));
        Button(QStringLiteral("C1"))->click();
        Button(QStringLiteral("C"))->click();
        FlushDeletes();
    }
    const engine::ProblemSet &set = fx->program->calk.drill.problemSet;
    for (int i = 1; i <= 30; ++i)
        QVERIFY(set.Problems(i).Operation != 0);
    for (int i = 31; i <= 50; ++i)
        QCOMPARE(int(set.Problems(i).Operation), 0);
}

void TestDrill::quitMidDrillReturnsToMenu()
{
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Box(QStringLiteral("T1"))->setText(QStringLiteral("4"));
    Button(QStringLiteral("C1"))->click();
    Answer(QString::number(ShownAnswer()));
    Button(QStringLiteral("C"))->click();
    FlushDeletes();
    QVERIFY(!Window(CalkName));
    QVERIFY(!Window(QStringLiteral("kekka")));
    QVERIFY(Window(QStringLiteral("Mess01")));
    QCOMPARE(int(Module1::CorrectCount), 1); // kept until the next build
    QCOMPARE(int(Module1::ProblemCount), 30);
}

void TestDrill::windowCloseActsAsTheButtons()
{
    // The menu's close asks first: No keeps it, Yes ends the program.
    fx->box->answers = {platform::ResultNo};
    QVERIFY(!Window(QStringLiteral("Mess01"))->close());
    QCOMPARE(fx->box->shown, QStringList{"「Mimoran！」を終了しますか？"});
    QVERIFY(Window(QStringLiteral("Mess01")));
    QCOMPARE(fx->ends, 0);

    // The drill screen's close is the quit button.
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Window(CalkName)->close();
    FlushDeletes();
    QVERIFY(Window(QStringLiteral("Mess01")));
    QVERIFY(!Window(CalkName));

    // The unlocked results' close is "メニューに戻る".
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Box(QStringLiteral("T1"))->setText(QStringLiteral("1"));
    Button(QStringLiteral("C1"))->click();
    Answer(QString::number(ShownAnswer()));
    FlushDeletes();
    Window(QStringLiteral("kekka"))->close();
    FlushDeletes();
    QVERIFY(Window(QStringLiteral("Mess01")));

    fx->box->answers = {platform::ResultYes};
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C3"))->click();
    QCOMPARE(fx->ends, 1);
}

void TestDrill::emptySpartanDrillShowsZeroScore()
{
    Module1::StudyMode = 2;
    Module1::ProblemCount = 0;
    Module1::RangeMax = 10;
    fx->program->mess01.Unload();
    fx->program->calk.Show();
    FlushDeletes();
    QVERIFY(!Window(CalkName));
    QVERIFY(Window(QStringLiteral("kekka")));
    QCOMPARE(Control<QLabel>(QStringLiteral("kekka"), QStringLiteral("L(1)"))->text(), QStringLiteral("0"));
}

void TestDrill::realPumpWaitsWithoutSpinning()
{
    // With the real event loop: the answer check blocks until the dialog's
    // button is clicked from a timer, and uses next to no CPU meanwhile.
    platform::setEventPump(nullptr);
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Button(QStringLiteral("C1"))->click();
    bool dialogSeen = false;
    // Precise: a coarse timer may fire 5 % early.
    QTimer::singleShot(300, Qt::PreciseTimer, [&] {
        dialogSeen = Window(QStringLiteral("Dialog")) != nullptr;
        AcknowledgeDialog();
    });
    QElapsedTimer wall;
    wall.start();
    const double cpuStart = ProcessCpuSeconds();
    Answer(QString::number(ShownAnswer()));
    const double cpuSeconds = ProcessCpuSeconds() - cpuStart;
    QVERIFY(dialogSeen);
    QVERIFY(wall.elapsed() >= 290);
    QVERIFY2(cpuSeconds < 0.1, qPrintable(QString::number(cpuSeconds)));
    QCOMPARE(int(Module1::QuestionNo), 2);
}

void TestDrill::runEndsWithTheFormsDestroyed()
{
    // The program's whole run: when its event loop ends, the forms and their
    // windows are gone before it returns, while the application still exists.
    fx->Stop();
    QTimer::singleShot(0, [] { QCoreApplication::exit(3); });
    QCOMPARE(app::Run(*qApp), 3);
    QVERIFY(!app::CurrentProgram());
    QCOMPARE(forms::Form::LoadedCount(), 0);
    for (const QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(w->objectName() != QLatin1String("Mess01"), "the menu's window outlived the run");
}

QTEST_MAIN(TestDrill)
#include "tst_drill.moc"
