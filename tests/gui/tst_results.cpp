#include "FormTestKit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QWindow>

using namespace testkit;

class TestResults : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void labelsAndLock_data();
    void labelsAndLock();
    void noPasswordRegisteredUnlocksWithEmptyBox();
    void damagedStore_data();
    void damagedStore();
    void enterMovesToTheButtonWithoutChecking();

private:
    void showResults(int mode, int count, int correct, int wrong, int questionNo);
    ProgramFixture *fx = nullptr;
};

void TestResults::init()
{
    fx = new ProgramFixture;
    fx->Start();
}

void TestResults::cleanup()
{
    delete fx;
    fx = nullptr;
}

void TestResults::showResults(int mode, int count, int correct, int wrong, int questionNo)
{
    Module1::StudyMode = static_cast<std::int16_t>(mode);
    Module1::ProblemCount = static_cast<std::int16_t>(count);
    Module1::CorrectCount = static_cast<std::int16_t>(correct);
    Module1::WrongCount = static_cast<std::int16_t>(wrong);
    Module1::QuestionNo = static_cast<std::int16_t>(questionNo);
    fx->program->mess01.Unload();
    fx->program->kekka.Show();
}

void TestResults::labelsAndLock_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("30, 20 right") << 0 << 30 << 20 << 10 << QStringList{"30", "67", "20", "10"};
    QTest::newRow("8, 1 right: a half goes up") << 1 << 8 << 1 << 7 << QStringList{"8", "13", "1", "7"};
    QTest::newRow("all right") << 2 << 5 << 5 << 0 << QStringList{"5", "100", "5", "0"};
    QTest::newRow("none right") << 2 << 4 << 0 << 4 << QStringList{"4", "0", "0", "4"};
    QTest::newRow("largest drill") << 0 << 10000 << 9999 << 1 << QStringList{"10000", "100", "9999", "1"};
    QTest::newRow("nothing answered") << 0 << 0 << 0 << 0 << QStringList{"0", "0", "0", "0"};
}

void TestResults::labelsAndLock()
{
    QFETCH(int, mode);
    QFETCH(int, count);
    QFETCH(int, correct);
    QFETCH(int, wrong);
    QFETCH(QStringList, labels);
    showResults(mode, count, correct, wrong, correct + wrong + 1);
    QWidget *results = Window(QStringLiteral("kekka"));
    QVERIFY(results);
    QCOMPARE(results->windowTitle(), QStringLiteral("学習結果"));
    QStringList shown;
    for (int i = 0; i < 4; ++i)
        shown << results->findChild<QLabel *>(QStringLiteral("L(%1)").arg(i))->text();
    QCOMPARE(shown, labels);
    QCOMPARE(results->findChild<QLabel *>(QStringLiteral("L1(1)"))->text(), QStringLiteral("得　　点"));

    auto *back = results->findChild<QPushButton *>(QStringLiteral("Command1"));
    const bool locked = mode == 2;
    QCOMPARE(back->isHidden(), locked);
    QCOMPARE(bool(results->windowFlags() & Qt::WindowCloseButtonHint), !locked);
    QCOMPARE(results->focusWidget()->objectName(), locked ? QStringLiteral("T1") : QStringLiteral("Command1"));
    QCOMPARE(fx->program->kekka.IsLocked(), locked);
}

void TestResults::noPasswordRegisteredUnlocksWithEmptyBox()
{
    showResults(2, 3, 1, 2, 4);
    QWidget *window = Window(QStringLiteral("kekka"));
    QSignalSpy shownOrHidden(window->windowHandle(), &QWindow::visibleChanged);
    Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("C1"))->click();
    QVERIFY(!Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("Command1"))->isHidden());
    // The unlocking leaves the window as it is: no hiding and showing again.
    QCOMPARE(shownOrHidden.count(), 0);
    // Unlocked, a close request is the way back.
    QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
    window->close();
    FlushDeletes();
    QVERIFY(Window(QStringLiteral("Mess01")));
}

void TestResults::damagedStore_data()
{
    QTest::addColumn<QByteArray>("file"); // null: the store's path is a folder
    QTest::addColumn<bool>("unlocks");    // with "pw" typed
    QTest::newRow("a folder") << QByteArray() << false;
    QTest::newRow("the password's line a list") << QByteArray("[Data]\nPassWord=pw,pw\n") << false;
    QTest::newRow("stray line elsewhere") << QByteArray("[General]\nstray\n[Data]\nPassWord=pw\n") << true;
}

void TestResults::damagedStore()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, unlocks);
    PlaceSettingsFile(fx->settingsPath, file);
    if (QTest::currentTestFailed())
        return;
    showResults(2, 3, 1, 2, 4);
    Control<QLineEdit>(QStringLiteral("kekka"), QStringLiteral("T1"))->setText(QStringLiteral("pw"));
    Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("C1"))->click();
    // Locked still when the password cannot be read, and the parent is told.
    QCOMPARE(Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("Command1"))->isHidden(), !unlocks);
    QCOMPARE(fx->box->shown,
             unlocks ? QStringList() : QStringList{QStringLiteral("設定を読み込めませんでした")});
}

void TestResults::enterMovesToTheButtonWithoutChecking()
{
    QVERIFY(fx->store->Write(platform::PasswordSection, platform::PasswordKey, QStringLiteral("pw")));
    showResults(2, 3, 1, 2, 4);
    auto *box = Control<QLineEdit>(QStringLiteral("kekka"), QStringLiteral("T1"));
    auto *check = Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("C1"));
    auto *back = Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("Command1"));
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("pw"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(HasFocus(check));
    QVERIFY(back->isHidden());
    QTest::keyClick(check, Qt::Key_Return);
    QVERIFY(!back->isHidden());
    QVERIFY(HasFocus(back));
}

QTEST_MAIN(TestResults)
#include "tst_results.moc"
