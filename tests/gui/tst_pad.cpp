#include "FormTestKit.h"

#include "forms/drill/Calk.h"
#include "forms/drill/NumberPad.h"

#include <QLineEdit>
#include <QPointingDevice>
#include <QPushButton>

using namespace testkit;

// The number pad beside the drill screen on a touch screen, driven by taps.
class TestPad : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void cleanupTestCase() { delete touch; }

    // First: once a touch device exists, it exists for the whole process.
    void noPadWithoutATouchScreen();
    void wholeDrillByTouch_data();
    void wholeDrillByTouch();
    void digitsKeepTheirPlaces_data();
    void digitsKeepTheirPlaces();

private:
    void Tap(const QString &key);
    ProgramFixture *fx = nullptr;
    QPointingDevice *touch = nullptr;
};

void TestPad::init()
{
    fx = new ProgramFixture;
    fx->Start();
}

void TestPad::cleanup()
{
    delete fx;
    fx = nullptr;
}

void TestPad::Tap(const QString &key)
{
    auto *button = Control<QPushButton>(QStringLiteral("NumberPad"), key);
    QVERIFY2(button, qPrintable(key));
    const QPoint at = button->rect().center();
    QTest::touchEvent(button, touch).press(0, at, button);
    QTest::touchEvent(button, touch).release(0, at, button);
}

void TestPad::noPadWithoutATouchScreen()
{
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    QVERIFY(Window(QStringLiteral("Calk")));
    QVERIFY(!fx->program->calk.Pad());
    QVERIFY(!Window(QStringLiteral("NumberPad")));
    // The boxes still take input-method text from a keyboard.
    QVERIFY(Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("K"))->testAttribute(Qt::WA_InputMethodEnabled));
}

void TestPad::wholeDrillByTouch_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("count"); // tapped into the count box; none in Spartan mode
    QTest::addColumn<QString>("pattern"); // r right, w wrong
    QTest::newRow("free") << 0 << "3" << "rwr";
    QTest::newRow("designated") << 1 << "2" << "wr";
    QTest::newRow("spartan") << 2 << "" << "rw";
}

void TestPad::wholeDrillByTouch()
{
    QFETCH(int, mode);
    QFETCH(QString, count);
    QFETCH(QString, pattern);
    if (!touch)
        touch = QTest::createTouchDevice();

    Module1::StudyMode = static_cast<std::int16_t>(mode);
    Module1::CalcKind = 3; // かけ算: answers of one to three digits
    Module1::RangeMax = 10;
    Module1::ProblemCount = static_cast<std::int16_t>(pattern.size());
    fx->program->mess01.Unload();
    fx->program->calk.Show();
    QWidget *calk = Window(QStringLiteral("Calk"));
    QWidget *pad = Window(QStringLiteral("NumberPad"));
    QVERIFY(calk && pad);
    QVERIFY(pad->isVisible());
    // Beside the screen on a wide screen, below it on a tall one; both whole
    // on the screen, neither over the other.
    const QRect area = calk->screen()->availableGeometry();
    const bool tall = area.height() > area.width();
    QCOMPARE(pad->width() > pad->height(), tall);
    QVERIFY(!pad->frameGeometry().intersects(calk->frameGeometry()));
    QVERIFY(area.contains(pad->frameGeometry()));
    QVERIFY(area.contains(calk->frameGeometry()));
    if (tall)
        QVERIFY(pad->frameGeometry().top() > calk->frameGeometry().bottom());
    else
        QVERIFY(pad->frameGeometry().left() > calk->frameGeometry().right());
    auto *k = Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("K"));
    auto *t1 = Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("T1"));
    // The system keyboard stays away from the boxes the pad types into.
    QVERIFY(!k->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(!t1->testAttribute(Qt::WA_InputMethodEnabled));
    auto *answerKey = Control<QPushButton>(QStringLiteral("NumberPad"), QStringLiteral("Answer"));

    if (mode != 2) {
        QCOMPARE(answerKey->text(), QStringLiteral("はじめる"));
        // "30" erased, one digit too many typed and erased again.
        for (int i = 0; i < 3; ++i)
            Tap(QStringLiteral("Erase"));
        QCOMPARE(t1->text(), QString());
        Tap(QStringLiteral("Key(%1)").arg(count));
        Tap(QStringLiteral("Key(7)"));
        Tap(QStringLiteral("Erase"));
        QCOMPARE(t1->text(), count);
        QCOMPARE(k->text(), QStringLiteral("？"));
        Tap(QStringLiteral("Answer"));
        QCOMPARE(int(Module1::ProblemCount), count.toInt());
    }
    QVERIFY(fx->program->calk.DrillBuilt());
    QCOMPARE(answerKey->text(), QStringLiteral("こたえる"));

    // Nothing typed: the same message as the answer button gives.
    Tap(QStringLiteral("Answer"));
    QCOMPARE(fx->box->shown, QStringList{QStringLiteral("解答が入力されていません")});

    const QRect padFrame = pad->frameGeometry();
    QRect dialogFrame;
    for (int i = 0; i < pattern.size(); ++i) {
        QCOMPARE(Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("Label5"))->text(), QString::number(i + 1));
        const int right = ShownAnswer();
        const QString typed = QString::number(pattern[i] == u'r' ? right : right + 1);
        for (QChar digit : typed)
            Tap(QStringLiteral("Key(%1)").arg(digit));
        QCOMPARE(k->text(), typed);
        QVERIFY(HasFocus(k));
        fx->pump->actions.push_back([&] {
            dialogFrame = Window(QStringLiteral("Dialog"))->frameGeometry();
            // The dialog is modal: a tap on the pad does nothing now.
            Tap(QStringLiteral("Key(1)"));
            QCOMPARE(k->text(), typed);
            AcknowledgeDialog();
        });
        Tap(QStringLiteral("Answer"));
        QVERIFY(!dialogFrame.isNull());
        QVERIFY(!dialogFrame.intersects(padFrame));
    }
    FlushDeletes();
    QVERIFY(!Window(QStringLiteral("Calk")));
    QVERIFY(!Window(QStringLiteral("NumberPad")));
    QVERIFY(Window(QStringLiteral("kekka")));
    QCOMPARE(int(Module1::CorrectCount), int(pattern.count(u'r')));
    QCOMPARE(int(Module1::WrongCount), int(pattern.count(u'w')));
}

void TestPad::digitsKeepTheirPlaces_data()
{
    QTest::addColumn<forms::NumberPad::Shape>("shape");
    QTest::addColumn<forms::NumberPad::Shape>("other");
    QTest::newRow("beside the screen") << forms::NumberPad::Shape::Side << forms::NumberPad::Shape::Below;
    QTest::newRow("below the screen") << forms::NumberPad::Shape::Below << forms::NumberPad::Shape::Side;
}

// Held either way, each digit is where it was (7 8 9 on top, 0 under 1, as
// on a keyboard's pad); every key whole inside the pad, none over another.
void TestPad::digitsKeepTheirPlaces()
{
    QFETCH(forms::NumberPad::Shape, shape);
    QFETCH(forms::NumberPad::Shape, other);
    QWidget owner;
    forms::NumberPad pad(&owner);
    pad.SetShape(other);
    std::array<QRect, 10> before;
    for (int d = 0; d < 10; ++d)
        before[d] = pad.Key[d]->geometry();
    pad.SetShape(shape);
    QCOMPARE(pad.CurrentShape(), shape);

    const auto at = [&pad](int d) { return pad.Key[d]->geometry(); };
    for (int d = 0; d < 10; ++d)
        QCOMPARE(at(d), before[d]);
    for (int top : {7, 4, 1}) {
        QCOMPARE(at(top).top(), at(top + 1).top());
        QCOMPARE(at(top).top(), at(top + 2).top());
        QVERIFY(at(top).right() < at(top + 1).left() && at(top + 1).right() < at(top + 2).left());
    }
    QVERIFY(at(7).bottom() < at(4).top() && at(4).bottom() < at(1).top() && at(1).bottom() < at(0).top());
    QCOMPARE(at(0).left(), at(1).left());

    QList<QWidget *> keys(pad.Key.begin(), pad.Key.end());
    keys << pad.Erase << pad.Answer;
    for (int i = 0; i < keys.size(); ++i) {
        QVERIFY2(pad.rect().contains(keys[i]->geometry()), qPrintable(keys[i]->objectName()));
        // A fingertip's room at the least.
        QVERIFY(keys[i]->width() >= 80 && keys[i]->height() >= 80);
        for (int j = i + 1; j < keys.size(); ++j)
            QVERIFY2(!keys[i]->geometry().intersects(keys[j]->geometry()),
                     qPrintable(keys[i]->objectName() + u' ' + keys[j]->objectName()));
    }
}

QTEST_MAIN(TestPad)
#include "tst_pad.moc"
