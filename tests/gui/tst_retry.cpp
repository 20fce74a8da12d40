#include "FormTestKit.h"

#include "engine/Review.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtMath>

using namespace testkit;

// The list of missed problems beside the results, and another try at them.
class TestRetry : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listShowsTheMissedProblems_data();
    void listShowsTheMissedProblems();
    void retryHoldsTheMissedAndAShareOfTheRight_data();
    void retryHoldsTheMissedAndAShareOfTheRight();
    void spartanRetryOnlyOnceUnlockedAndNoEscape();
    void noWrongAnswerNoList();

private:
    struct Asked {
        QString shown; // "7×8＝" as the drill screen showed it
        int answer = 0;
        QString typed;
        bool right = false;
    };
    // Starts a designated drill of `count` problems of the kind and range.
    void startDrill(int mode, int kind, int range, int count);
    // Answers the questions in order: 'r' right, 'w' wrong (typed by `wrong`).
    QList<Asked> answer(const QString &pattern, const std::function<QString(int)> &wrong);
    static QString Folded(const QString &text) { return text.normalized(QString::NormalizationForm_KC); }
    static QLabel *Cell(const char *column, int row)
    {
        return Control<QLabel>(QStringLiteral("Missed"), QStringLiteral("%1(%2)").arg(QLatin1String(column)).arg(row));
    }
    static QPushButton *MissedButton(const char *name)
    {
        return Control<QPushButton>(QStringLiteral("Missed"), QLatin1String(name));
    }
    ProgramFixture *fx = nullptr;
};

void TestRetry::init()
{
    fx = new ProgramFixture;
    fx->Start();
}

void TestRetry::cleanup()
{
    delete fx;
    fx = nullptr;
}

void TestRetry::startDrill(int mode, int kind, int range, int count)
{
    Module1::StudyMode = static_cast<std::int16_t>(mode);
    Module1::CalcKind = static_cast<std::int16_t>(kind);
    Module1::RangeMax = static_cast<std::int16_t>(range);
    Module1::ProblemCount = static_cast<std::int16_t>(count);
    fx->program->mess01.Unload();
    fx->program->calk.Show();
    if (mode != Module1::Spartan) {
        Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("T1"))->setText(QString::number(count));
        Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C1"))->click();
    }
}

QList<TestRetry::Asked> TestRetry::answer(const QString &pattern, const std::function<QString(int)> &wrong)
{
    QList<Asked> asked;
    for (const QChar c : pattern) {
        const QString shown = Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("K1"))->text() +
                              Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("E"))->text() +
                              Control<QLabel>(QStringLiteral("Calk"), QStringLiteral("K2"))->text() +
                              QStringLiteral("＝");
        const int right = ShownAnswer();
        const bool isRight = c == QLatin1Char('r');
        const QString typed = isRight ? QString::number(right) : wrong(right);
        asked.append({shown, right, typed, isRight});
        Answer(typed);
    }
    FlushDeletes();
    return asked;
}

void TestRetry::listShowsTheMissedProblems_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("range");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("fullWidth");
    QTest::newRow("division") << 4 << 100 << "wrrw" << false;
    QTest::newRow("九九 row 7") << 81 << 7 << "rwwr" << false;
    QTest::newRow("three-digit subtraction") << 2 << 999 << "wwrr" << false;
    QTest::newRow("typed in full-width digits") << 3 << 50 << "rrwrw" << true;
    QTest::newRow("every operation, all wrong") << 15 << 20 << "wwwwwwww" << false;
}

void TestRetry::listShowsTheMissedProblems()
{
    QFETCH(int, kind);
    QFETCH(int, range);
    QFETCH(QString, pattern);
    QFETCH(bool, fullWidth);
    startDrill(Module1::DesignatedStudy, kind, range, static_cast<int>(pattern.size()));
    const QList<Asked> asked = answer(pattern, [fullWidth](int right) {
        const QString text = QString::number(right + 1);
        return fullWidth ? engine::FullWidthNumber(right + 1) : text;
    });

    QVERIFY(Window(QStringLiteral("kekka")));
    QWidget *list = Window(QStringLiteral("Missed"));
    QVERIFY(list);
    QCOMPARE(list->windowTitle(), QStringLiteral("まちがえた問題"));
    // Beside the results, not over them, on the screen.
    QVERIFY(!list->frameGeometry().intersects(Window(QStringLiteral("kekka"))->frameGeometry()));
    QVERIFY(list->screen()->availableGeometry().contains(list->frameGeometry()));

    int row = 0;
    for (const Asked &a : asked) {
        if (a.right)
            continue;
        QVERIFY2(Cell("P", row), qPrintable(QString::number(row)));
        QCOMPARE(Folded(Cell("P", row)->text()), Folded(a.shown));
        QCOMPARE(Cell("P", row)->text().front().unicode() >= 0xFF10, true); // full-width digits
        QCOMPARE(Cell("A", row)->text(), a.typed);
        QCOMPARE(Folded(Cell("R", row)->text()), QString::number(a.answer));
        ++row;
    }
    QVERIFY(!Cell("P", row));
    if (kind == 81)
        QVERIFY(Cell("P", 0)->text().startsWith(QStringLiteral("７×")));
    // Free and designated study: the retry is offered at once, and focused.
    QVERIFY(MissedButton("C1")->isVisibleTo(list));
    QVERIFY(HasFocus(MissedButton("C1")));
    // The list goes with the results.
    Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("Command1"))->click();
    FlushDeletes();
    QVERIFY(!Window(QStringLiteral("Missed")));
    QVERIFY(Window(QStringLiteral("Mess01")));
}

void TestRetry::retryHoldsTheMissedAndAShareOfTheRight_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("share"); // right ones mixed back in
    QTest::newRow("1 wrong, 1 right") << "wr" << 1;
    QTest::newRow("2 wrong, 3 right") << "rwrwr" << 1;
    QTest::newRow("2 wrong, 8 right") << "rrwrrrrwrr" << 2;
    QTest::newRow("3 wrong, 10 right") << "wrrrrrrwrrrrw" << 3;
    QTest::newRow("all wrong") << "www" << 0;
}

void TestRetry::retryHoldsTheMissedAndAShareOfTheRight()
{
    QFETCH(QString, pattern);
    QFETCH(int, share);
    startDrill(Module1::DesignatedStudy, 1, 999, static_cast<int>(pattern.size()));
    const QList<Asked> asked = answer(pattern, [](int right) { return QString::number(right + 1); });
    QSet<QString> missed;
    QSet<QString> right;
    for (const Asked &a : asked)
        (a.right ? right : missed).insert(a.shown);
    // Scripted draws: each pick takes the last of those left, then the shuffle.
    std::vector<float> draws;
    for (int i = 0; i < share; ++i)
        draws.push_back(Drawing(static_cast<int>(right.size()) - i, static_cast<int>(right.size()) - i));
    fx->Script(draws);
    MissedButton("C1")->click();
    FlushDeletes();

    QVERIFY(!Window(QStringLiteral("kekka")));
    QVERIFY(!Window(QStringLiteral("Missed")));
    QVERIFY(Window(QStringLiteral("Calk")));
    const int total = static_cast<int>(missed.size()) + share;
    QCOMPARE(int(Module1::ProblemCount), total);
    QCOMPARE(Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("T(0)"))->text(), QString::number(total));
    QVERIFY(Control<QWidget>(QStringLiteral("Calk"), QStringLiteral("Frame2"))->isHidden());

    // Answer the retry: every one right but the first.
    QString retryPattern(total, QLatin1Char('r'));
    retryPattern[0] = QLatin1Char('w');
    const QList<Asked> again = answer(retryPattern, [](int r) { return QString::number(r + 2); });
    QSet<QString> askedAgain;
    int fromRight = 0;
    for (const Asked &a : again) {
        QVERIFY2(!askedAgain.contains(a.shown), qPrintable(a.shown)); // each once
        askedAgain.insert(a.shown);
        QVERIFY2(missed.contains(a.shown) || right.contains(a.shown), qPrintable(a.shown));
        fromRight += right.contains(a.shown) ? 1 : 0;
    }
    QCOMPARE(fromRight, share);
    QVERIFY(missed.subtract(askedAgain).isEmpty());

    // Its own results: tallies and score, and a list of its one miss.
    const auto resultLabel = [](int i) {
        return Control<QLabel>(QStringLiteral("kekka"), QStringLiteral("L(%1)").arg(i))->text();
    };
    QCOMPARE(resultLabel(0), QString::number(total));
    QCOMPARE(resultLabel(2), QString::number(total - 1));
    QCOMPARE(resultLabel(3), QStringLiteral("1"));
    QCOMPARE(resultLabel(1), QString::number(qFloor((total - 1) * 100.0 / total + 0.5)));
    QVERIFY(Window(QStringLiteral("Missed")));
    QCOMPARE(Folded(Cell("P", 0)->text()), Folded(again.front().shown));
    QVERIFY(!Cell("P", 1));

    // Until nothing is missed: a retry answered all right ends with no list.
    MissedButton("C1")->click();
    FlushDeletes();
    answer(QString(Module1::ProblemCount, QLatin1Char('r')), nullptr);
    QVERIFY(Window(QStringLiteral("kekka")));
    QVERIFY(!Window(QStringLiteral("Missed")));
}

void TestRetry::spartanRetryOnlyOnceUnlockedAndNoEscape()
{
    fx->store->Write(platform::PasswordSection, platform::PasswordKey, QStringLiteral("oya"));
    startDrill(Module1::Spartan, 3, 20, 4);
    answer(QStringLiteral("wrwr"), [](int r) { return QString::number(r + 1); });
    QWidget *list = Window(QStringLiteral("Missed"));
    QVERIFY(list);
    // Locked: the list is there, the retry is not, and the keyboard stays on
    // the password box.
    QVERIFY(MissedButton("C1")->isHidden());
    QVERIFY(list->testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(HasFocus(Control<QLineEdit>(QStringLiteral("kekka"), QStringLiteral("T1"))));
    MissedButton("C1")->click(); // hidden, but clicked anyway
    FlushDeletes();
    QVERIFY(Window(QStringLiteral("kekka")));
    QVERIFY(!Window(QStringLiteral("Calk")));

    Control<QLineEdit>(QStringLiteral("kekka"), QStringLiteral("T1"))->setText(QStringLiteral("oya"));
    Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("C1"))->click();
    QVERIFY(!MissedButton("C1")->isHidden());
    MissedButton("C1")->click();
    FlushDeletes();

    // The retry is a Spartan drill: no quit button, no close.
    QWidget *calk = Window(QStringLiteral("Calk"));
    QVERIFY(calk);
    QCOMPARE(int(Module1::StudyMode), int(Module1::Spartan));
    QVERIFY(Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C"))->isHidden());
    QVERIFY(!(calk->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!calk->close());
    QVERIFY(Window(QStringLiteral("Calk")));
    answer(QString(Module1::ProblemCount, QLatin1Char('w')), [](int r) { return QString::number(r + 1); });
    // And its results are locked again.
    QVERIFY(Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("Command1"))->isHidden());
    QVERIFY(!Window(QStringLiteral("kekka"))->close());
    QVERIFY(MissedButton("C1")->isHidden());
}

void TestRetry::noWrongAnswerNoList()
{
    startDrill(Module1::FreeStudy, 81, 81, 3);
    answer(QStringLiteral("rrr"), nullptr);
    QVERIFY(Window(QStringLiteral("kekka")));
    QVERIFY(!Window(QStringLiteral("Missed")));
    QVERIFY(HasFocus(Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("Command1"))));
}

QTEST_MAIN(TestRetry)
#include "tst_retry.moc"
