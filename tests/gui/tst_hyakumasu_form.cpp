#include "FormTestKit.h"

#include "engine/OpenDrill.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

using namespace testkit;

// A 5 × 5 百ます計算 grid started from the record's practice page and typed
// with the keyboard to its end.
class TestHyakumasuForm : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        fx = new ProgramFixture;
        fx->Start();
    }
    void cleanup()
    {
        delete fx;
        fx = nullptr;
    }
    void grid_data();
    void grid();
    void printsTheGrid_data();
    void printsTheGrid();

private:
    ProgramFixture *fx = nullptr;
};

const QString Form = QStringLiteral("HyakumasuForm");

void TestHyakumasuForm::grid_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QList<int>>("wrong"); // crossings typed one too many
    QTest::addColumn<bool>("changeBack");  // crossing 2 typed wrong, then changed with ←
    QTest::newRow("all right: time, rows, しんきろく") << 0 << 1 << QList<int>{} << false;
    QTest::newRow("some wrong: marked, not a best") << 1 << 3 << QList<int>{3, 17} << false;
    QTest::newRow("a crossing changed with an arrow") << 0 << 2 << QList<int>{} << true;
    QTest::newRow("spartan: no closing before the end") << 2 << 1 << QList<int>{} << false;
}

void TestHyakumasuForm::grid()
{
    QFETCH(int, mode);
    QFETCH(int, operation);
    QFETCH(QList<int>, wrong);
    QFETCH(bool, changeBack);
    Module1::StudyMode = std::int16_t(mode);
    fx->program->setei.Show();
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    Control<QComboBox>(QStringLiteral("Kiroku"), QStringLiteral("GridOperation"))->setCurrentIndex(operation - 1);
    Control<QComboBox>(QStringLiteral("Kiroku"), QStringLiteral("GridSize"))->setCurrentIndex(1);
    Control<QPushButton>(QStringLiteral("Kiroku"), QStringLiteral("GridStart"))->click();
    FlushDeletes();
    QVERIFY(!fx->program->setei.IsLoaded());
    const engine::HyakumasuGrid &g = fx->program->hyakumasu.Grid();
    QCOMPARE(g.Count(), 25);
    auto *entry = Control<QLineEdit>(Form, QStringLiteral("Entry"));
    const auto answer = [&](int i) { return QString::number(g.Crossing(i).Answer + (wrong.contains(i) ? 1 : 0)); };

    // The first from the input method in full-width digits, the rest from keys.
    QString fullWidth;
    for (QChar c : answer(0))
        fullWidth += QChar(c.unicode() - u'0' + u'０');
    TypeCommitted(entry, fullWidth);
    QTest::keyClick(entry, Qt::Key_Return);
    for (int i = 1; i < 25; ++i) {
        if (changeBack && i == 3) {
            QTest::keyClick(entry, Qt::Key_Left);
            QCOMPARE(entry->text(), QString::number(g.Crossing(2).Answer + 1));
            QTest::keyClicks(entry, QString::number(g.Crossing(2).Answer));
            QTest::keyClick(entry, Qt::Key_Return);
        }
        QTest::keyClicks(entry, changeBack && i == 2 ? QString::number(g.Crossing(2).Answer + 1) : answer(i));
        if (mode == 2 && i == 24) {
            fx->program->hyakumasu.Window()->close();
            QVERIFY(fx->program->hyakumasu.IsLoaded());
            QVERIFY(Control<QPushButton>(Form, QStringLiteral("MenuButton"))->isHidden());
        }
        QVERIFY2(!Control<QLabel>(Form, QStringLiteral("TimeResult"))->isVisible(), "judged before the end");
        QTest::keyClick(entry, Qt::Key_Return);
    }

    QVERIFY(fx->program->hyakumasu.Done());
    QCOMPARE(Control<QLabel>(Form, QStringLiteral("RightResult"))->text(),
             QStringLiteral("せいかい　%1／25").arg(25 - wrong.size()));
    QVERIFY(Control<QLabel>(Form, QStringLiteral("TimeResult"))->text().endsWith(u'秒'));
    QCOMPARE(Control<QLabel>(Form, QStringLiteral("NewRecord"))->isVisibleTo(fx->program->hyakumasu.Window()),
             wrong.isEmpty());
    for (int i : wrong) {
        auto *cell = Control<QLabel>(Form, QStringLiteral("Cell(%1)").arg(i));
        QCOMPARE(cell->text(), QString::number(g.Crossing(i).Answer));
        QCOMPARE(cell->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    }
    const std::vector<platform::AnswerRow> rows = fx->record->ReadAll()->answers;
    QCOMPARE(int(rows.size()), 25);
    int right = 0;
    for (const platform::AnswerRow &row : rows) {
        QVERIFY(row.grid && row.problemCount == 25 && row.calcKind == operation && row.mode == mode &&
                row.rangeMax == (operation == 3 ? 100 : 20));
        right += row.correct;
    }
    QCOMPARE(right, 25 - int(wrong.size()));
    if (mode == 2) {
        // The end is locked as the Spartan results are, until the password.
        PlaceSettingsFile(fx->settingsPath, "[Data]\nPassWord=pw\n");
        auto *menu = Control<QPushButton>(Form, QStringLiteral("MenuButton"));
        for (const char *typed : {"wrong", "pw"}) {
            QVERIFY(menu->isHidden());
            fx->program->hyakumasu.Window()->close();
            Control<QLineEdit>(Form, QStringLiteral("LockPassword"))->setText(QLatin1String(typed));
            Control<QPushButton>(Form, QStringLiteral("LockButton"))->click();
        }
        QVERIFY(!menu->isHidden());
        QVERIFY(!engine::TakeUpOpenDrill(*fx->record)); // no longer kept
    }
    Control<QPushButton>(Form, QStringLiteral("MenuButton"))->click();
    FlushDeletes();
    QVERIFY(!fx->program->hyakumasu.IsLoaded() && fx->program->mess01.IsLoaded());

    // The parent's record lists the grid, with a best only when all was right.
    fx->program->setei.Show();
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    auto *grids = Control<QTableWidget>(QStringLiteral("Kiroku"), QStringLiteral("GridTable"));
    QCOMPARE(grids->rowCount(), 1);
    QCOMPARE(grids->item(0, 4)->text(), QStringLiteral("%1／25").arg(25 - wrong.size()));
    const QString best = Control<QTableWidget>(QStringLiteral("Kiroku"), QStringLiteral("GridBestTable"))->item(0, 3)->text();
    QCOMPARE(best.endsWith(u'秒'), wrong.isEmpty());
}

void TestHyakumasuForm::printsTheGrid_data()
{
    QTest::addColumn<int>("operation"); // the lists' rows
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("saved"); // the file's name; none when refused
    QTest::newRow("たし算 10 × 10") << 0 << 0 << "42" << "百ます計算_たし算_10_00042.pdf";
    QTest::newRow("かけ算 5 × 5, full-width digits") << 2 << 1 << "９９９９９" << "百ます計算_かけ算_5_99999.pdf";
    QTest::newRow("no number") << 1 << 0 << "" << "";
}

// The grid printed from the practice page under the worksheets' number, and
// saved as they are.
void TestHyakumasuForm::printsTheGrid()
{
    QFETCH(int, operation);
    QFETCH(int, size);
    QFETCH(QString, number);
    QFETCH(QString, saved);
    fx->program->setei.Show();
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    Control<QComboBox>(QStringLiteral("Kiroku"), QStringLiteral("GridOperation"))->setCurrentIndex(operation);
    Control<QComboBox>(QStringLiteral("Kiroku"), QStringLiteral("GridSize"))->setCurrentIndex(size);
    Control<QLineEdit>(QStringLiteral("Kiroku"), QStringLiteral("SheetNumber"))->setText(number);
    fx->box->answers.push_back(platform::ResultNo);
    Control<QPushButton>(QStringLiteral("Kiroku"), QStringLiteral("GridPrint"))->click();
    QCOMPARE(fx->box->shown, QStringList{saved.isEmpty() ? "プリントの番号は、1から99999までの数を入れてください。"
                                                         : "プリントを保存しました。開きますか？"});
    QCOMPARE(fx->saver->names, saved.isEmpty() ? QStringList{} : QStringList{saved});
    QVERIFY(fx->saver->files.isEmpty() || fx->saver->files.first().startsWith("%PDF-"));
}

QTEST_MAIN(TestHyakumasuForm)
#include "tst_hyakumasu_form.moc"
