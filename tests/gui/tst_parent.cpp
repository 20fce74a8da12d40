#include "FormTestKit.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include <sys/stat.h>

using namespace testkit;

namespace {

const QString Gate = QStringLiteral("PassWord");
const QString Settings = QStringLiteral("Setei");

const QString Mismatch = QStringLiteral("入力した２つのパスワードが一致しません");
const QString Blank = QStringLiteral("空白はパスワードとして設定できません");
const QString Registered = QStringLiteral("パスワードの初期設定が完了しました");
const QString Recognised = QStringLiteral("パスワードを認識しました");
const QString Wrong = QStringLiteral("入力したパスワードと登録したパスワードが一致しません");
const QString NotSaved = QStringLiteral("パスワードを保存できませんでした");
const QString Unreadable = QStringLiteral("設定を読み込めませんでした");

void OpenGate()
{
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C2"))->click();
}

void Submit(const QString &first, const QString &second)
{
    Control<QLineEdit>(Gate, QStringLiteral("T1"))->setText(first);
    Control<QLineEdit>(Gate, QStringLiteral("T2"))->setText(second);
    Control<QPushButton>(Gate, QStringLiteral("C1"))->click();
    FlushDeletes();
}

template <typename T>
T *S(const QString &name)
{
    return Control<T>(Settings, name);
}

QString Stored(platform::SettingsStore &store)
{
    return store.Read(platform::PasswordSection, platform::PasswordKey).value_or(QStringLiteral("<unreadable>"));
}

} // namespace

class TestParent : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstUseRegistersThePassword();
    void passwordPersistsForANewProcess();
    void checksInTheirOrder_data();
    void checksInTheirOrder();
    void unsavablePasswordIsNeverReportedAsSaved();
    void damagedSettingsFile_data();
    void damagedSettingsFile();
    void storeKeepsQSettingsForm_data();
    void storeKeepsQSettingsForm();
    void storeReadsTheFileEachTime();
    void cancelOpensNothing();
    void enterMovesThroughThePasswordForm();
    void enterReleaseActsOnlyWherePressed_data();
    void enterReleaseActsOnlyWherePressed();
    void settingsScreen_data();
    void settingsScreen();
    void settingsRefusesCounts_data();
    void settingsRefusesCounts();
    void closeControlFinishesLikeTheButton();
    void menuKeepsParentChoicesUntilADrill();
    void spartanEndToEnd();

private:
    ProgramFixture *fx = nullptr;
};

void TestParent::init()
{
    fx = new ProgramFixture;
    fx->Start();
}

void TestParent::cleanup()
{
    delete fx;
    fx = nullptr;
}

void TestParent::firstUseRegistersThePassword()
{
    OpenGate();
    QWidget *gate = Window(Gate);
    QVERIFY(gate);
    QCOMPARE(gate->windowTitle(), QStringLiteral("パスワード"));
    QVERIFY(Window(QStringLiteral("Mess01"))); // the menu stays behind
    QCOMPARE(Control<QLabel>(Gate, QStringLiteral("Label1"))->text(), QStringLiteral("パスワードを初期設定します"));
    QVERIFY(HasFocus(Control<QLineEdit>(Gate, QStringLiteral("T1"))));
    QCOMPARE(Control<QLineEdit>(Gate, QStringLiteral("T1"))->echoMode(), QLineEdit::Password);

    Submit(QStringLiteral("Oya Pass　１"), QStringLiteral("Oya Pass　１"));
    QCOMPARE(fx->box->shown, QStringList{Registered});
    QVERIFY(!Window(Gate));
    QVERIFY(Window(Settings));
    QCOMPARE(fx->store->Read(platform::PasswordSection, platform::PasswordKey).value_or(QString()),
             QStringLiteral("Oya Pass　１"));
#ifndef Q_OS_WIN // the INI file is the Linux store; Windows keeps it in the registry
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(fx->settingsPath).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0600u); // the owner's alone
#endif

    // The next opening recognises it.
    S<QPushButton>(QStringLiteral("Command1"))->click();
    FlushDeletes();
    fx->box->shown.clear();
    OpenGate();
    QCOMPARE(Control<QLabel>(Gate, QStringLiteral("Label1"))->text(), QStringLiteral("パスワードを入力してください"));
    Submit(QStringLiteral("Oya Pass　１"), QStringLiteral("Oya Pass　１"));
    QCOMPARE(fx->box->shown, QStringList{Recognised});
    QVERIFY(Window(Settings));
}

void TestParent::passwordPersistsForANewProcess()
{
    OpenGate();
    Submit(QStringLiteral("kagi"), QStringLiteral("kagi"));
    QCOMPARE(fx->box->shown, QStringList{Registered});
    // Another process reads the same file from disk.
    QProcess reader;
    reader.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--read-store"), fx->settingsPath});
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()).trimmed(), QStringLiteral("kagi"));
}

void TestParent::checksInTheirOrder_data()
{
    QTest::addColumn<QString>("registered");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("emptied");

    QTest::newRow("boxes differ first") << "abc" << "abc" << "abd" << Mismatch << false << false;
    QTest::newRow("differ on first use") << "" << "abc" << "abd" << Mismatch << false << false;
    QTest::newRow("both empty, registered") << "abc" << "" << "" << Blank << false << false;
    QTest::newRow("both empty, first use") << "" << "" << "" << Blank << false << false;
    QTest::newRow("blanks are a password") << "" << "  " << "  " << Registered << true << false;
    QTest::newRow("right") << "abc" << "abc" << "abc" << Recognised << true << false;
    QTest::newRow("upper for lower case") << "abc" << "ABC" << "ABC" << Wrong << false << true;
    QTest::newRow("full width for ASCII") << "abc" << "ａｂｃ" << "ａｂｃ" << Wrong << false << true;
    QTest::newRow("trailing space") << "abc" << "abc " << "abc " << Wrong << false << true;
}

void TestParent::checksInTheirOrder()
{
    QFETCH(QString, registered);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, message);
    QFETCH(bool, opens);
    QFETCH(bool, emptied);
    if (!registered.isEmpty())
        QVERIFY(fx->store->Write(platform::PasswordSection, platform::PasswordKey, registered));
    OpenGate();
    Control<QLineEdit>(Gate, QStringLiteral("T2"))->setFocus();
    Submit(first, second);
    QCOMPARE(fx->box->shown, QStringList{message});
    QCOMPARE(bool(Window(Settings)), opens);
    QCOMPARE(bool(Window(Gate)), !opens);
    if (!opens) {
        QCOMPARE(Control<QLineEdit>(Gate, QStringLiteral("T1"))->text(), emptied ? QString() : first);
        QCOMPARE(Control<QLineEdit>(Gate, QStringLiteral("T2"))->text(), emptied ? QString() : second);
        QVERIFY(HasFocus(Control<QLineEdit>(Gate, emptied ? QStringLiteral("T1") : QStringLiteral("T2"))));
    }
    // Only a first use writes, and only what was typed.
    const QString stored = fx->store->Read(platform::PasswordSection, platform::PasswordKey).value_or("?");
    QCOMPARE(stored, registered.isEmpty() && opens ? first : registered);
}

void TestParent::unsavablePasswordIsNeverReportedAsSaved()
{
    // The store's folder is a file: nothing can be written under it.
    QFile blocker(fx->dir.filePath(QStringLiteral("blocked")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    platform::setSettingsStore(std::make_unique<platform::QtSettingsStore>(
        fx->dir.filePath(QStringLiteral("blocked/Tovrani.ini"))));
    OpenGate();
    Submit(QStringLiteral("abc"), QStringLiteral("abc"));
    QCOMPARE(fx->box->shown, QStringList{NotSaved});
    QVERIFY(Window(Gate));
    QVERIFY(!Window(Settings));
}

void TestParent::damagedSettingsFile_data()
{
    QTest::addColumn<QByteArray>("file"); // null: the store's path is a folder
    QTest::addColumn<bool>("firstUse");
    QTest::addColumn<QString>("message"); // on "abc" typed in both boxes
    QTest::addColumn<QByteArray>("after"); // the file afterwards; null: unchanged
    QTest::newRow("stray line elsewhere, first use")
        << QByteArray("[General]\nstray\n") << true << Registered
        << QByteArray("[General]\nstray\n[Data]\nPassWord=abc\n");
    QTest::newRow("stray line elsewhere, registered")
        << QByteArray("[General]\nstray\n[Data]\nPassWord=abc\n") << false << Recognised << QByteArray();
    QTest::newRow("the password's line a list")
        << QByteArray("[Data]\nPassWord=abc,def\n") << false << Unreadable << QByteArray();
    QTest::newRow("a folder") << QByteArray() << false << Unreadable << QByteArray();
    // The last line's backslash would take the new section's line break.
    QTest::newRow("last line ends in a backslash")
        << QByteArray("[General]\nx=a\\") << true << Registered
        << QByteArray("[General]\nx=a\\\n\n[Data]\nPassWord=abc\n");
    // Anything added would be inside the quote: refused, nothing written.
    QTest::newRow("ends inside a quote") << QByteArray("[General]\nx=\"a") << true << NotSaved << QByteArray();
}

void TestParent::damagedSettingsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, firstUse);
    QFETCH(QString, message);
    QFETCH(QByteArray, after);
    PlaceSettingsFile(fx->settingsPath, file);
    if (QTest::currentTestFailed())
        return;
    OpenGate();
    QCOMPARE(Control<QLabel>(Gate, QStringLiteral("Label1"))->text(),
             firstUse ? QStringLiteral("パスワードを初期設定します") : QStringLiteral("パスワードを入力してください"));
    Submit(QStringLiteral("abc"), QStringLiteral("abc"));
    QCOMPARE(fx->box->shown, QStringList{message});
    QCOMPARE(bool(Window(Settings)), message == Registered || message == Recognised);
    if (file.isNull()) {
        QVERIFY(QFileInfo(fx->settingsPath).isDir());
    } else {
        QFile in(fx->settingsPath);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), after.isNull() ? file : after);
    }
}

void TestParent::storeKeepsQSettingsForm_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("plain") << "abc";
    QTest::newRow("Japanese, ideographic space, beyond 16 bits") << "パス　ワード１🔑";
    QTest::newRow("comma, semicolon, equals") << "a,b;c=d";
    QTest::newRow("spaces around") << "  ab  ";
    QTest::newRow("quotes, backslashes") << "say \"hi\" \\o/";
    QTest::newRow("leading @") << "@Variant(x)";
    QTest::newRow("control characters") << QStringLiteral("a\tb\u0001c");
}

void TestParent::storeKeepsQSettingsForm()
{
    QFETCH(QString, password);
    static int round = 0;
    const QString name = QString::number(++round);
    // A file an earlier version wrote through QSettings reads the same...
    const QString theirs = fx->dir.filePath(name + QStringLiteral("-theirs.ini"));
    {
        QSettings settings(theirs, QSettings::IniFormat);
        settings.setValue(QStringLiteral("Data/PassWord"), password);
        settings.setValue(QStringLiteral("Other/Key"), QStringLiteral("x,y"));
    }
    platform::QtSettingsStore theirStore(theirs);
    QCOMPARE(Stored(theirStore), password);
    // ...and QSettings reads what the store writes.
    const QString ours = fx->dir.filePath(name + QStringLiteral("-ours.ini"));
    QVERIFY(platform::QtSettingsStore(ours).Write(platform::PasswordSection, platform::PasswordKey, password));
    QCOMPARE(QSettings(ours, QSettings::IniFormat).value(QStringLiteral("Data/PassWord")).toString(), password);
}

void TestParent::storeReadsTheFileEachTime()
{
    // Another writer's change is seen even when it keeps the file's size and
    // time: nothing of the file is kept in this process between reads.
    QVERIFY(fx->store->Write(platform::PasswordSection, platform::PasswordKey, QStringLiteral("aaaa")));
    QFile file(fx->settingsPath);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime modified = file.fileTime(QFileDevice::FileModificationTime);
    const QByteArray data = file.readAll();
    QVERIFY(file.seek(0));
    file.write(QByteArray(data).replace("aaaa", "bbbb"));
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(Stored(*fx->store), QStringLiteral("bbbb"));
}

void TestParent::cancelOpensNothing()
{
    OpenGate();
    Control<QLineEdit>(Gate, QStringLiteral("T1"))->setText(QStringLiteral("x"));
    Control<QPushButton>(Gate, QStringLiteral("C2"))->click();
    FlushDeletes();
    QVERIFY(!Window(Gate));
    QVERIFY(!Window(Settings));
    QVERIFY(Window(QStringLiteral("Mess01")));
    QVERIFY(fx->box->shown.isEmpty());
    QVERIFY(!QFile::exists(fx->settingsPath));
}

void TestParent::enterMovesThroughThePasswordForm()
{
    OpenGate();
    auto *t1 = Control<QLineEdit>(Gate, QStringLiteral("T1"));
    auto *t2 = Control<QLineEdit>(Gate, QStringLiteral("T2"));
    auto *c1 = Control<QPushButton>(Gate, QStringLiteral("C1"));
    t1->setFocus();
    QTest::keyClicks(t1, QStringLiteral("pw"));
    QTest::keyClick(t1, Qt::Key_Return);
    QVERIFY(HasFocus(t2));
    QTest::keyClicks(t2, QStringLiteral("pw"));
    QTest::keyClick(t2, Qt::Key_Return);
    QVERIFY(HasFocus(c1));
    QVERIFY(fx->box->shown.isEmpty());
    QTest::keyClick(c1, Qt::Key_Return);
    QCOMPARE(fx->box->shown, QStringList{Registered});
}

void TestParent::enterReleaseActsOnlyWherePressed_data()
{
    // Enter goes down on a button and comes up in the password box that has
    // the focus by then; only an Enter pressed in the box moves on.
    QTest::addColumn<bool>("fromMenu"); // else 入力完了 with a wrong password
    QTest::newRow("the menu's 設定 opens the form") << true;
    QTest::newRow("a message box closes") << false;
}

void TestParent::enterReleaseActsOnlyWherePressed()
{
    QFETCH(bool, fromMenu);
    QVERIFY(fx->store->Write(platform::PasswordSection, platform::PasswordKey, QStringLiteral("pw")));
    QWidget *pressed = Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C2"));
    if (!fromMenu) {
        OpenGate();
        Control<QLineEdit>(Gate, QStringLiteral("T1"))->setText(QStringLiteral("xx"));
        Control<QLineEdit>(Gate, QStringLiteral("T2"))->setText(QStringLiteral("xx"));
        pressed = Control<QPushButton>(Gate, QStringLiteral("C1"));
    }
    pressed->setFocus();
    QTest::keyPress(pressed, Qt::Key_Return);
    QCOMPARE(fx->box->shown, fromMenu ? QStringList() : QStringList{Wrong});
    auto *t1 = Control<QLineEdit>(Gate, QStringLiteral("T1"));
    QVERIFY(HasFocus(t1));
    QTest::keyRelease(t1, Qt::Key_Return);
    QVERIFY(HasFocus(t1));
}

void TestParent::settingsScreen_data()
{
    // A script of steps: "mode:N", "kind:TEXT", "row:TEXT", "range:TEXT",
    // "count:TEXT", then the expected study values after "設定完了".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("frameCaption");
    QTest::addColumn<bool>("countShown");

    QTest::newRow("untouched") << QStringList{} << 0 << 1 << 10 << 30 << "" << true;
    QTest::newRow("limit") << QStringList{"mode:2", "count:10000"} << 2 << 1 << 10 << 10000
                           << "スパルタモード時の設定" << true;
    QTest::newRow("12.5") << QStringList{"mode:2", "count:12.5"} << 2 << 1 << 10 << 12 << "スパルタモード時の設定"
                          << true;
    QTest::newRow("13.5") << QStringList{"mode:2", "count:13.5"} << 2 << 1 << 10 << 14 << "スパルタモード時の設定"
                          << true;
    QTest::newRow("whole table") << QStringList{"kind:九九"} << 0 << 81 << 81 << 30 << "" << true;
    QTest::newRow("table then back") << QStringList{"kind:九九", "row:九九（七の段）", "kind:かけ算"} << 0 << 3
                                     << 10 << 30 << "" << true;
    QTest::newRow("designated writes the hidden count")
        << QStringList{"count:45", "mode:1", "kind:わり算", "range:1～100"} << 1 << 4 << 100 << 45
        << "指定学習モード時の設定" << false;
    QTest::newRow("free writes the hidden content")
        << QStringList{"kind:ひき算", "range:1～50", "count:7", "mode:0"} << 0 << 2 << 50 << 7 << "" << false;
    QTest::newRow("spartan after designated")
        << QStringList{"mode:1", "mode:2", "count:5"} << 2 << 1 << 10 << 5 << "スパルタモード時の設定" << true;
}

void TestParent::settingsScreen()
{
    QFETCH(QStringList, steps);
    QFETCH(int, mode);
    QFETCH(int, kind);
    QFETCH(int, range);
    QFETCH(int, count);
    QFETCH(QString, frameCaption);
    QFETCH(bool, countShown);

    fx->program->setei.Show();
    QWidget *setei = Window(Settings);
    QVERIFY(setei);
    QCOMPARE(S<QComboBox>(QStringLiteral("Combo1"))->count(), 16);
    QCOMPARE(S<QLineEdit>(QStringLiteral("T1"))->text(), QStringLiteral("30"));
    QVERIFY(HasFocus(S<QRadioButton>(QStringLiteral("Option1(0)"))));
    for (int i = 0; i < 3; ++i)
        QVERIFY(!S<QRadioButton>(QStringLiteral("Option1(%1)").arg(i))->isChecked());

    for (const QString &step : steps) {
        const QString what = step.section(QLatin1Char(':'), 0, 0);
        const QString value = step.section(QLatin1Char(':'), 1);
        if (what == QLatin1String("mode"))
            S<QRadioButton>(QStringLiteral("Option1(%1)").arg(value))->click();
        else if (what == QLatin1String("kind"))
            PickFromList(S<QComboBox>(QStringLiteral("Combo1")), value);
        else if (what == QLatin1String("row"))
            PickFromList(S<QComboBox>(QStringLiteral("Combo3")), value);
        else if (what == QLatin1String("range"))
            PickFromList(S<QComboBox>(QStringLiteral("Combo2")), value);
        else if (what == QLatin1String("count"))
            S<QLineEdit>(QStringLiteral("T1"))->setText(value);
    }
    QCOMPARE(S<QGroupBox>(QStringLiteral("Frame2"))->title(), frameCaption);
    QCOMPARE(S<QLineEdit>(QStringLiteral("T1"))->isVisibleTo(setei), countShown);
    QCOMPARE(S<QComboBox>(QStringLiteral("Combo2"))->isHidden(),
             S<QComboBox>(QStringLiteral("Combo1"))->currentText() == QStringLiteral("九九"));

    S<QPushButton>(QStringLiteral("Command1"))->click();
    FlushDeletes();
    QVERIFY(!Window(Settings));
    QVERIFY(fx->box->shown.isEmpty());
    QCOMPARE(int(Module1::StudyMode), mode);
    QCOMPARE(int(Module1::CalcKind), kind);
    QCOMPARE(int(Module1::RangeMax), range);
    QCOMPARE(int(Module1::ProblemCount), count);
}

void TestParent::settingsRefusesCounts_data()
{
    QTest::addColumn<int>("mode"); // -1: no mode picked
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: closes without writing the count
    QTest::newRow("a fraction above") << 2 << "10000.5" << "問題数が多すぎます";
    QTest::newRow("far above") << -1 << "99999" << "問題数が多すぎます";
    QTest::newRow("empty") << 2 << "" << "問題数は1から10000までの数で入力してください";
    QTest::newRow("letters") << 2 << "abc" << "問題数は1から10000までの数で入力してください";
    QTest::newRow("zero") << -1 << "0" << "問題数は1から10000までの数で入力してください";
    QTest::newRow("rounds to one") << 2 << "0.6" << "問題数は1から10000までの数で入力してください";
    QTest::newRow("hidden in designated") << 1 << "10001" << "";
    QTest::newRow("hidden in free") << 0 << "abc" << "";
}

void TestParent::settingsRefusesCounts()
{
    QFETCH(int, mode);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Module1::ProblemCount = 30;
    fx->program->setei.Show();
    S<QLineEdit>(QStringLiteral("T1"))->setText(text);
    if (mode >= 0)
        S<QRadioButton>(QStringLiteral("Option1(%1)").arg(mode))->click();
    PickFromList(S<QComboBox>(QStringLiteral("Combo1")), QStringLiteral("わり算"));
    S<QPushButton>(QStringLiteral("Command1"))->click();
    FlushDeletes();
    if (message.isEmpty()) {
        QVERIFY(fx->box->shown.isEmpty());
        QVERIFY(!Window(Settings));
        QCOMPARE(int(Module1::CalcKind), 4); // kind and range still written
        QCOMPARE(int(Module1::ProblemCount), 30);
    } else {
        QCOMPARE(fx->box->shown, QStringList{message});
        QVERIFY(Window(Settings));
        QCOMPARE(S<QLineEdit>(QStringLiteral("T1"))->text(), QString());
        QVERIFY(HasFocus(S<QLineEdit>(QStringLiteral("T1"))));
        QCOMPARE(int(Module1::CalcKind), 1); // nothing written yet
        QCOMPARE(int(Module1::ProblemCount), 30);
    }
}

void TestParent::closeControlFinishesLikeTheButton()
{
    fx->program->setei.Show();
    S<QRadioButton>(QStringLiteral("Option1(2)"))->click();
    PickFromList(S<QComboBox>(QStringLiteral("Combo1")), QStringLiteral("たし算＋わり算"));
    PickFromList(S<QComboBox>(QStringLiteral("Combo2")), QStringLiteral("1～200"));
    S<QLineEdit>(QStringLiteral("T1"))->setText(QStringLiteral("10001"));
    QVERIFY(!Window(Settings)->close());
    QCOMPARE(fx->box->shown, QStringList{"問題数が多すぎます"});
    QVERIFY(Window(Settings));
    QCOMPARE(int(Module1::CalcKind), 1);

    S<QLineEdit>(QStringLiteral("T1"))->setText(QStringLiteral("40"));
    Window(Settings)->close();
    FlushDeletes();
    QVERIFY(!Window(Settings));
    QCOMPARE(int(Module1::StudyMode), 2);
    QCOMPARE(int(Module1::CalcKind), 7);
    QCOMPARE(int(Module1::RangeMax), 200);
    QCOMPARE(int(Module1::ProblemCount), 40);
}

void TestParent::menuKeepsParentChoicesUntilADrill()
{
    QVERIFY(fx->store->Write(platform::PasswordSection, platform::PasswordKey, QStringLiteral("p")));
    OpenGate();
    Submit(QStringLiteral("p"), QStringLiteral("p"));
    S<QRadioButton>(QStringLiteral("Option1(1)"))->click();
    S<QPushButton>(QStringLiteral("Command1"))->click();
    FlushDeletes();
    QVERIFY(Window(QStringLiteral("Mess01")));
    QCOMPARE(int(Module1::StudyMode), 1); // the menu was never reloaded

    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C"))->click();
    FlushDeletes();
    QCOMPARE(int(Module1::StudyMode), 0);
}

void TestParent::spartanEndToEnd()
{
    // The parent registers a password and sets Spartan, わり算, 1～100, 5.
    OpenGate();
    Submit(QStringLiteral("oya"), QStringLiteral("oya"));
    S<QRadioButton>(QStringLiteral("Option1(2)"))->click();
    PickFromList(S<QComboBox>(QStringLiteral("Combo1")), QStringLiteral("わり算"));
    PickFromList(S<QComboBox>(QStringLiteral("Combo2")), QStringLiteral("1～100"));
    S<QLineEdit>(QStringLiteral("T1"))->setText(QStringLiteral("5"));
    S<QPushButton>(QStringLiteral("Command1"))->click();
    FlushDeletes();

    // The child's drill starts at once.
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    QVERIFY(Window(QStringLiteral("Calk")));
    QCOMPARE(Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("Label5"))->text(), QStringLiteral("1"));
    QVERIFY(Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C"))->isHidden());
    for (int q = 0; q < 5; ++q) {
        QCOMPARE(Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("E"))->text(), QStringLiteral("÷"));
        QVERIFY(Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("K1"))->text().toInt() <= 100);
        Answer(QString::number(ShownAnswer()));
    }
    FlushDeletes();

    // Locked until the parent types the password.
    auto *back = Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("Command1"));
    QVERIFY(back->isHidden());
    QCOMPARE(Control<QLabel>(QStringLiteral("kekka"), QStringLiteral("L(0)"))->text(), QStringLiteral("5"));
    Control<QLineEdit>(QStringLiteral("kekka"), QStringLiteral("T1"))->setText(QStringLiteral("oya"));
    Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("C1"))->click();
    QVERIFY(!back->isHidden());
    back->click();
    FlushDeletes();
    QVERIFY(Window(QStringLiteral("Mess01")));
    QCOMPARE(int(Module1::StudyMode), 0);
    QCOMPARE(int(Module1::CalcKind), 1);
    QCOMPARE(int(Module1::ProblemCount), 30);
}

// Run with "--read-store FILE" this program only prints the stored password:
// the persistence test reads the store from a separate process.
int main(int argc, char *argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--read-store") {
        QCoreApplication app(argc, argv);
        platform::QtSettingsStore store(QString::fromLocal8Bit(argv[2]));
        std::printf("%s\n", qPrintable(store.Read(platform::PasswordSection, platform::PasswordKey).value_or("?")));
        return 0;
    }
    QApplication app(argc, argv);
    TestParent test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_parent.moc"
