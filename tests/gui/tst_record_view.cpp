// The parent's view of the learning record, opened from the settings screen:
// what it shows of a scripted record, export, erase, and what it tells the
// parent when the record is in trouble.
#include "FormTestKit.h"
#include "ShownProblem.h"
#include "engine/RecordCsv.h"
#include "engine/Progress.h"
#include "engine/Review.h"
#include "engine/Worksheet.h"
#include "platform/Conversions.h"
#include "study/Module1.h"
#include "forms/record/ScoreChart.h"
#include "forms/record/TimesPage.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QPointingDevice>
#include <QTabWidget>
#include <QStyle>
#include <QTableWidget>

using namespace testkit;
using platform::AnswerRow;
using Rows = std::vector<AnswerRow>;
using forms::TimesPage;
Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(engine::FactState)
Q_DECLARE_METATYPE(platform::SaveResult)

namespace {

const QString View = QStringLiteral("Kiroku");
const QString Settings = QStringLiteral("Setei");
const QString Unreadable = QStringLiteral("学習の記録を読み込めませんでした。ドリルはこれまでどおり使えます。");
const QString EraseQuestion = QStringLiteral("学習の記録をすべて消します。よろしいですか？");

// One answer: left, operator, right, what was typed, the milliseconds it took.
struct Given {
    int left;
    char op;
    int right;
    const char *typed;
    int ms;
};

// A drill's answers, one after the other from `at`.
Rows Drill(const QString &id, QDateTime at, int mode, int kind, int range, int count, bool retry,
           std::initializer_list<Given> answers)
{
    const auto s = [](int v) { return std::int16_t(v); };
    Rows rows;
    for (const Given &g : answers) {
        const int op = int(QByteArrayLiteral("+-*/").indexOf(g.op)) + 1;
        const int answer = op == 1 ? g.left + g.right : op == 2 ? g.left - g.right : op == 3 ? g.left * g.right
                                                                                             : g.left / g.right;
        at = at.addMSecs(g.ms);
        rows.push_back({id, at, s(mode), s(kind), s(range), s(count), retry, s(int(rows.size()) + 1), s(g.left),
                        s(g.right), s(op), s(answer), QString::fromUtf8(g.typed),
                        QByteArray(g.typed) == QByteArray::number(answer), g.ms});
    }
    return rows;
}

Rows operator+(Rows a, const Rows &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

QDateTime At(int month, int day, int hour, int minute)
{
    return {QDate(2024, month, day), QTime(hour, minute)};
}

// Tries of one fact, a day apart: "r1500 w2000" is right in 1.5 s, then wrong.
Rows Tries(int kind, int left, char op, int right, const QString &tries)
{
    Rows rows;
    const QStringList each = tries.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int n = 0; n < each.size(); ++n) {
        const int answer = op == '*' ? left * right : left / right;
        const QByteArray typed = QByteArray::number(each[n].startsWith(QLatin1Char('r')) ? answer : answer + 1);
        rows = rows + Drill(QString::number(n), At(12, 1 + n, 17, 0), 0, kind, 10, 1, false,
                            {{left, op, right, typed.constData(), each[n].mid(1).toInt()}});
    }
    return rows;
}

QStringList TableRows(const QTableWidget *table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << table->item(r, c)->text();
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// A record that may be unreadable, and counts its reads.
class ScriptedStore final : public platform::RecordStore {
public:
    QString Location() const override { return QStringLiteral("/tmp/きろく"); }
    std::optional<platform::RecordContents> contents = platform::RecordContents{};
    int reads = 0;

protected:
    bool Write(const Rows &, platform::Patience) override { return false; }
    std::optional<platform::RecordContents> ReadRows(const platform::RecordQuery &) override
    {
        ++reads;
        return contents;
    }
    bool Erase(const std::optional<QStringList> &) override { return false; }
    std::optional<std::map<QString, QString>> ReadNamed(const QString &) override { return std::nullopt; }
    platform::ValueChange WriteNamed(const QString &, bool, const std::optional<QString> &,
                                     const std::optional<QString> &) override
    {
        return platform::ValueChange::Failed;
    }
};

template <typename T>
T *V(const QString &name)
{
    return Control<T>(View, name);
}

} // namespace

class TestRecordView : public QObject {
    Q_OBJECT

private slots:
    void cleanupTestCase() { delete touch; }
    void init();
    void cleanup();

    void openedFromTheSettings();
    void staysWhole_data();
    void staysWhole();
    void closesWithTheSettings_data();
    void closesWithTheSettings();
    void timesGridShowsEachFact_data();
    void timesGridShowsEachFact();
    void choosingAFactShowsItsTries_data();
    void choosingAFactShowsItsTries();
    void tablesShowTheRecord_data();
    void tablesShowTheRecord();
    void everyModeFitsItsColumn();
    void chartKeepsTheLatestDays();
    void exportsTheRecord_data();
    void exportsTheRecord();
    void erasesOnlyWhenAsked_data();
    void erasesOnlyWhenAsked();
    void everyPageShowsTheRecordAfresh_data();
    void everyPageShowsTheRecordAfresh();
    void tellsTheParentOnce_data();
    void tellsTheParentOnce();
    void startsAPractice_data();
    void startsAPractice();
    void makesAWorksheet_data();
    void makesAWorksheet();

private:
    // The settings screen, then the view from its button.
    void Open(const Rows &rows);
    ScriptedStore *InstallScriptedStore();
    ProgramFixture *fx = nullptr;
    QPointingDevice *touch = nullptr;
};

void TestRecordView::init()
{
    fx = new ProgramFixture;
    fx->Start();
}

void TestRecordView::cleanup()
{
    delete fx;
    fx = nullptr;
}

void TestRecordView::Open(const Rows &rows)
{
    for (const AnswerRow &row : rows)
        QVERIFY(fx->record->Append(row));
    fx->program->setei.Show();
    Control<QPushButton>(Settings, QStringLiteral("Command2"))->click();
    QVERIFY(Window(View));
    QCoreApplication::processEvents(); // the opening's messages come once it is drawn
}

ScriptedStore *TestRecordView::InstallScriptedStore()
{
    auto owned = std::make_unique<ScriptedStore>();
    ScriptedStore *store = owned.get();
    platform::setRecordStore(std::move(owned));
    fx->record = nullptr;
    return store;
}

void TestRecordView::openedFromTheSettings()
{
    ScriptedStore *store = InstallScriptedStore();
    store->contents->answers = Tries(81, 7, '*', 6, "r1500");
    fx->program->setei.Show();
    QWidget *setei = Window(Settings);
    QCOMPARE(store->reads, 0); // neither start-up nor the settings read the record

    // The new button mirrors 設定完了 at the title's other end, over no
    // control's ink, and moves none of them.
    auto *button = Control<forms::CommandButton>(Settings, QStringLiteral("Command2"));
    auto *done = Control<forms::CommandButton>(Settings, QStringLiteral("Command1"));
    QCOMPARE(button->text(), QStringLiteral("学習の記録"));
    QCOMPARE(button->geometry(), forms::TwipsRect(360, 240, 2535, 735));
    QCOMPARE(button->font(), done->font());
    QCOMPARE(button->BackColour(), QColor(255, 128, 128));
    QCOMPARE(done->nextInFocusChain(), button);
    const std::pair<const char *, QRect> unmoved[] = {{"Label1", forms::TwipsRect(240, 240, 9135, 855)},
                                                      {"Command1", forms::TwipsRect(6720, 240, 2535, 735)},
                                                      {"Frame1", forms::TwipsRect(360, 1200, 8895, 2415)},
                                                      {"Frame2", forms::TwipsRect(360, 4080, 8895, 2535)}};
    for (const auto &[name, rect] : unmoved)
        QCOMPARE(setei->findChild<QWidget *>(QLatin1String(name))->geometry(), rect);
    for (QWidget *w : setei->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        QRect used = w->geometry();
        if (auto *label = qobject_cast<QLabel *>(w))
            used = label->fontMetrics().boundingRect(used, int(label->alignment()), label->text());
        QVERIFY2(w == button || !used.intersects(button->geometry()), qPrintable(w->objectName()));
    }

    button->click();
    QWidget *view = Window(View);
    QVERIFY(view && Window(Settings));
    QCOMPARE(store->reads, 1);
    QCOMPARE(view->windowModality(), Qt::ApplicationModal);
    QVERIFY(view->frameGeometry().width() <= 1024 && view->frameGeometry().height() <= 700);
    QCOMPARE(V<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("学習の記録"));
    auto *tabs = V<QTabWidget>(QStringLiteral("Tabs"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("九九"));
    QCOMPARE(tabs->widget(1)->objectName(), QStringLiteral("Times"));
    QVERIFY(V<QLabel>(QStringLiteral("Place"))->text().contains(QStringLiteral("/tmp/きろく")));
    QVERIFY(fx->box->shown.isEmpty());

    // By keyboard: the tabs, the page's table, the buttons; Enter closes.
    Activate(view);
    tabs->setFocus(Qt::TabFocusReason);
    QStringList order{view->focusWidget()->objectName()};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(view->focusWidget(), Qt::Key_Tab);
        order << view->focusWidget()->objectName();
    }
    QCOMPARE(order, QStringList({"TabBar", "DrillTable", "Export", "Erase", "CloseButton"}));
    QTest::keyClick(view->focusWidget(), Qt::Key_Return);
    FlushDeletes();
    QVERIFY(!Window(View) && Window(Settings));
    button->click(); // each opening reads afresh
    QCOMPARE(store->reads, 2);
}

void TestRecordView::staysWhole_data()
{
    QTest::addColumn<int>("page"); // the tab shown
    QTest::newRow("recent") << 0;
    QTest::newRow("times") << 1;
    QTest::newRow("kinds") << 2;
    QTest::newRow("practice and worksheets") << 3;
}

// Whole on a 1024×640 page and on an upright tablet, as the other windows
// are: nothing outside the window or its page, no text cut off, all 81 cells
// of the multiplication table in sight, no table scrolled sideways.
void TestRecordView::staysWhole()
{
    QFETCH(int, page);
    Open(Drill("a", At(12, 8, 16, 0), 0, 81, 7, 2, true, {{7, '*', 6, "48", 2000}, {7, '*', 7, "49", 1000}}) +
         Drill("b", At(12, 9, 9, 30), 0, 81, 7, 1, false, {{7, '*', 6, "42", 12500}}));
    auto *tabs = V<QTabWidget>(QStringLiteral("Tabs"));
    tabs->setCurrentIndex(page);
    auto *grid = V<QTableWidget>(QStringLiteral("TimesGrid"));
    grid->setCurrentCell(6, 5);
    QWidget *view = Window(View);
    QVERIFY2(view->width() <= 700 && view->height() <= 550,
             qPrintable(QStringLiteral("%1×%2").arg(view->width()).arg(view->height())));
    // Its title in the child's language, as every word on screen.
    QCOMPARE(view->windowTitle(), QStringLiteral("学習の記録"));

    QList<QWidget *> containers{view, tabs->currentWidget()};
    for (QGroupBox *frame : tabs->currentWidget()->findChildren<QGroupBox *>(Qt::FindDirectChildrenOnly))
        containers << frame;
    for (QWidget *container : containers) {
        for (QWidget *w : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (w->isHidden())
                continue;
            QVERIFY2(container->rect().contains(w->geometry()), qPrintable(w->objectName()));
            auto *label = qobject_cast<QLabel *>(w);
            if (label && label->textFormat() != Qt::RichText) {
                const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
                const QRect ink = label->fontMetrics().boundingRect(label->contentsRect(), flags, label->text());
                QVERIFY2(ink.width() <= label->contentsRect().width() && ink.height() <= label->contentsRect().height(),
                         qPrintable(w->objectName()));
            }
        }
    }
    for (QTableWidget *table : tabs->currentWidget()->findChildren<QTableWidget *>()) {
        QVERIFY2(table->horizontalHeader()->length() <= table->viewport()->width(), qPrintable(table->objectName()));
        if (table != grid)
            continue;
        for (int r = 0; r < 9; ++r)
            for (int c = 0; c < 9; ++c)
                QVERIFY2(grid->viewport()->rect().contains(grid->visualItemRect(grid->item(r, c))),
                         qPrintable(grid->item(r, c)->text()));
    }
    if (page == 1) {
        // Each of the legend's names within its place, whatever the faces.
        for (int i = 0; i < 4; ++i) {
            auto *name = V<QLabel>(QStringLiteral("LegendText(%1)").arg(i));
            const QSize needs = name->sizeHint();
            QVERIFY2(needs.width() <= name->width() && needs.height() <= name->height(),
                     qPrintable(QStringLiteral("%1 needs %2×%3 px, has %4×%5")
                                    .arg(name->text()).arg(needs.width()).arg(needs.height())
                                    .arg(name->width()).arg(name->height())));
        }
    }
}

void TestRecordView::closesWithTheSettings_data()
{
    QTest::addColumn<QString>("how"); // form/button, or a form's close control
    QTest::addColumn<bool>("settingsStay");
    QTest::newRow("設定完了") << "Setei/Command1" << false;
    QTest::newRow("the settings' close control") << "Setei" << false;
    QTest::newRow("閉じる") << "Kiroku/CloseButton" << true;
    QTest::newRow("the view's close control") << "Kiroku" << true;
}

void TestRecordView::closesWithTheSettings()
{
    QFETCH(QString, how);
    QFETCH(bool, settingsStay);
    Open({});
    const QString form = how.section(QLatin1Char('/'), 0, 0);
    if (how.contains(QLatin1Char('/')))
        Control<QPushButton>(form, how.section(QLatin1Char('/'), 1))->click();
    else
        Window(form)->close();
    FlushDeletes();
    QVERIFY(!Window(View) && !fx->program->kiroku.IsLoaded());
    QCOMPARE(bool(Window(Settings)), settingsStay);
}

void TestRecordView::timesGridShowsEachFact_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<engine::FactState>("state");
    using S = engine::FactState;
    QTest::newRow("not tried") << Rows{} << 7 << 6 << "" << S::NotTried;
    QTest::newRow("right and quick") << Tries(81, 7, '*', 6, "r1500") << 7 << 6 << "○" << S::Known;
    QTest::newRow("latest wrong") << Tries(81, 7, '*', 6, "r1000 r1000 w2000") << 7 << 6 << "×" << S::OftenMissed;
    QTest::newRow("two of the latest three wrong")
        << Tries(81, 2, '*', 3, "w1000 w1000 r1000") << 2 << 3 << "×" << S::OftenMissed;
    QTest::newRow("old misses outgrown")
        << Tries(81, 8, '*', 9, "w1000 w1000 r1000 r1000 r1000") << 8 << 9 << "○" << S::Known;
    QTest::newRow("right but slow") << Tries(81, 7, '*', 6, "r4000 r3500 r2000") << 7 << 6 << "△" << S::Slow;
    QTest::newRow("three seconds is quick") << Tries(81, 7, '*', 6, "r3000") << 7 << 6 << "○" << S::Known;
    QTest::newRow("6×7 is its own fact") << Tries(81, 6, '*', 7, "w1000") << 6 << 7 << "×" << S::OftenMissed;
    QTest::newRow("from a かけ算 drill") << Tries(3, 9, '*', 1, "r900") << 9 << 1 << "○" << S::Known;
    QTest::newRow("division is not the table") << Tries(4, 42, '/', 6, "w900") << 7 << 6 << "" << S::NotTried;
}

void TestRecordView::timesGridShowsEachFact()
{
    QFETCH(Rows, rows);
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(QString, mark);
    QFETCH(engine::FactState, state);
    Open(rows);
    auto *grid = V<QTableWidget>(QStringLiteral("TimesGrid"));
    QCOMPARE(grid->verticalHeaderItem(6)->text(), QStringLiteral("七の段"));
    QCOMPARE(grid->item(6, 5)->text(), QStringLiteral("７×６"));
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            const bool it = r == left - 1 && c == right - 1;
            const QTableWidgetItem *cell = grid->item(r, c);
            const engine::FactState expected = it ? state : engine::FactState::NotTried;
            QVERIFY2(cell->data(TimesPage::MarkRole).toString() == (it ? mark : QString()), qPrintable(cell->text()));
            QVERIFY2(cell->background().color() == TimesPage::StateColour(expected), qPrintable(cell->text()));
        }
    }
    // The legend shows each state as the cells do; no two states look alike.
    QSet<QString> looks;
    int n = 0;
    for (auto s : {engine::FactState::NotTried, engine::FactState::OftenMissed, engine::FactState::Slow,
                   engine::FactState::Known}) {
        auto *swatch = V<QLabel>(QStringLiteral("LegendMark(%1)").arg(n));
        auto *name = V<QLabel>(QStringLiteral("LegendText(%1)").arg(n++));
        QVERIFY(swatch && name);
        QCOMPARE(swatch->text(), TimesPage::StateMark(s));
        QCOMPARE(swatch->palette().color(swatch->backgroundRole()), TimesPage::StateColour(s));
        QCOMPARE(name->text(), TimesPage::StateName(s));
        looks << TimesPage::StateColour(s).name() << TimesPage::StateMark(s);
    }
    QCOMPARE(looks.size(), 8);
    QCOMPARE(V<QLabel>(QStringLiteral("LegendText(2)"))->text(), QStringLiteral("正解だが遅い（３秒より長い）"));
}

void TestRecordView::choosingAFactShowsItsTries_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click") << "click";
    QTest::newRow("touch") << "touch";
    QTest::newRow("arrows") << "arrows";
}

void TestRecordView::choosingAFactShowsItsTries()
{
    QFETCH(QString, how);
    Open(Drill("a", At(12, 8, 16, 0), 0, 81, 7, 2, false, {{7, '*', 6, "48", 2000}, {7, '*', 7, "49", 1000}}) +
         Drill("b", At(12, 9, 9, 30), 0, 81, 7, 1, false, {{7, '*', 6, "42", 2500}}));
    V<QTabWidget>(QStringLiteral("Tabs"))->setCurrentIndex(1);
    auto *grid = V<QTableWidget>(QStringLiteral("TimesGrid"));
    QWidget *cells = grid->viewport();
    const QPoint at = grid->visualItemRect(grid->item(6, 5)).center();
    if (how == QLatin1String("click")) {
        QTest::mouseClick(cells, Qt::LeftButton, {}, at);
    } else if (how == QLatin1String("touch")) {
        if (!touch)
            touch = QTest::createTouchDevice();
        QTest::touchEvent(cells, touch).press(0, at, cells);
        QTest::touchEvent(cells, touch).release(0, at, cells);
    } else {
        Activate(Window(View));
        grid->setFocus(Qt::TabFocusReason); // the first cell
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                            Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Space})
            QTest::keyClick(grid, key);
    }
    QCOMPARE(grid->currentRow(), 6);
    QCOMPARE(grid->currentColumn(), 5);
    QVERIFY(V<QLabel>(QStringLiteral("FactTitle"))->text().startsWith(QStringLiteral("７×６＝４２　2回中1回正解")));
    QCOMPARE(TableRows(V<QTableWidget>(QStringLiteral("FactTries"))),
             QStringList({"12/9 09:30|42|○|2.5", "12/8 16:00|48|×|2.0"}));
}

void TestRecordView::tablesShowTheRecord_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QStringList>("drills");
    QTest::addColumn<QStringList>("kinds");
    const Rows table = Drill("a", At(12, 8, 16, 0), 0, 81, 7, 3, false,
                             {{7, '*', 6, "42", 2000}, {7, '*', 7, "48", 3000}, {7, '*', 8, "56", 1000}});
    const Rows leftEarly = Drill("b", At(12, 9, 9, 30), 1, 1, 10, 30, false,
                                 {{8, '+', 7, "14", 60000}, {8, '+', 7, "16", 20000}, {3, '+', 4, "7", 10000}});
    const Rows retry = Drill("c", At(12, 9, 9, 35), 2, 3, 100, 2, true, {{12, '*', 3, "36", 4000}, {5, '*', 9, "45", 2000}});
    const Rows subtraction = Drill("d", At(12, 7, 16, 0), 0, 2, 20, 3, false,
                                   {{9, '-', 5, "3", 1000}, {12, '-', 4, "7", 1000}, {9, '-', 5, "5", 4000}});
    const QString tableRow = QStringLiteral("2024/12/08 16:00|自由学習|九九（七の段）|3|2|1|67|0.1");
    const QString leftEarlyRow = QStringLiteral("2024/12/09 09:30|指定学習|たし算　1～10|3/30|1|2|33|1.5");
    const QString retryRow = QStringLiteral("2024/12/09 09:35|スパルタ（やり直し）|かけ算　1～100|2|2|0|100|0.1");
    const QString additionRow = QStringLiteral("たし算|1～10|3|33|20.0|８＋７＝（２回）");
    Rows practice = Drill("p", At(12, 10, 17, 0), 1, 81, 81, 1, false, {{6, '*', 7, "42", 2500}});
    practice.front().practice = true;
    QTest::newRow("none") << Rows{} << QStringList{} << QStringList{};
    QTest::newRow("a 九九 drill, no other kind") << table << QStringList{tableRow} << QStringList{};
    QTest::newRow("left early") << leftEarly << QStringList{leftEarlyRow} << QStringList{additionRow};
    QTest::newRow("a practice made from the record")
        << practice << QStringList{"2024/12/10 17:00|指定学習（にがて練習）|九九（全て）|1|1|0|100|0.0"} << QStringList{};
    QTest::newRow("newest first; kinds in the settings' order, most missed first")
        << subtraction + table + leftEarly + retry << QStringList{retryRow, leftEarlyRow, tableRow, "2024/12/07 16:00|自由学習|ひき算　1～20|3|0|3|0|0.1"}
        << QStringList{additionRow, "ひき算|1～20|3|0|1.0|９－５＝（２回）　１２－４＝（１回）", "かけ算|1～100|2|100|3.0|"};
}

void TestRecordView::tablesShowTheRecord()
{
    QFETCH(Rows, rows);
    QFETCH(QStringList, drills);
    QFETCH(QStringList, kinds);
    Open(rows);
    QCOMPARE(TableRows(V<QTableWidget>(QStringLiteral("DrillTable"))), drills);
    QCOMPARE(TableRows(V<QTableWidget>(QStringLiteral("KindTable"))), kinds);
}

void TestRecordView::everyModeFitsItsColumn()
{
    // The oldest drill, far below the newest ones the widths are taken from.
    Rows rows = Drill("p", At(1, 1, 9, 0), 1, 81, 81, 1, false, {{6, '*', 7, "42", 2500}});
    rows.front().practice = true;
    for (int d = 0; d < 150; ++d)
        rows = rows + Drill(QString::number(d), At(2, 1, 9, 0).addSecs(60 * d), 0, 1, 10, 1, false, {{2, '+', 2, "4", 1000}});
    Open(rows);
    auto *table = V<QTableWidget>(QStringLiteral("DrillTable"));
    const QString oldest = table->item(table->rowCount() - 1, 1)->text();
    QCOMPARE(oldest, QStringLiteral("指定学習（にがて練習）"));
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    QVERIFY(table->fontMetrics().horizontalAdvance(oldest) + 2 * margin <= table->columnWidth(1));
}

void TestRecordView::chartKeepsTheLatestDays()
{
    Open({});
    auto *chart = V<forms::ScoreChart>(QStringLiteral("Chart"));
    QCOMPARE(chart->EmptyText(), QStringLiteral("まだ記録がありません"));
    V<QPushButton>(QStringLiteral("CloseButton"))->click();
    FlushDeletes();
    // 35 days, right on even days and wrong on odd ones: the last 30 drawn.
    Rows rows;
    for (int d = 0; d < 35; ++d)
        rows = rows + Drill(QString::number(d), QDateTime(QDate(2024, 11, 1).addDays(d), QTime(18, 0)), 0, 1, 10, 1,
                            false, {{2, '+', 2, d % 2 ? "5" : "4", 1000}});
    Open(rows);
    chart = V<forms::ScoreChart>(QStringLiteral("Chart"));
    QCOMPARE(int(chart->Days().size()), 30);
    QCOMPARE(forms::ScoreChart::DayLabel(chart->Days().front().day), QStringLiteral("11/6"));
    QCOMPARE(chart->Days().front().score, 0);
    QCOMPARE(chart->Days().back().score, 100);
    QVERIFY(chart->EmptyText().isEmpty());
}

void TestRecordView::exportsTheRecord_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<platform::SaveResult>("result");
    QTest::addColumn<QStringList>("messages");
    // A typed answer a spreadsheet would take for a formula.
    const Rows rows = Drill("a", At(12, 8, 16, 0), 0, 1, 10, 2, false, {{8, '+', 7, "=1+1", 1000}, {3, '+', 4, "7", 1000}});
    QTest::newRow("saved") << rows << platform::SaveResult::Saved << QStringList{};
    QTest::newRow("cancelled") << rows << platform::SaveResult::Cancelled << QStringList{};
    QTest::newRow("failed") << rows << platform::SaveResult::Failed << QStringList{"学習の記録を書き出せませんでした。"};
    QTest::newRow("nothing yet") << Rows{} << platform::SaveResult::Saved << QStringList{"まだ書き出す記録がありません。"};
}

void TestRecordView::exportsTheRecord()
{
    QFETCH(Rows, rows);
    QFETCH(platform::SaveResult, result);
    QFETCH(QStringList, messages);
    fx->saver->result = result;
    Open(rows);
    V<QPushButton>(QStringLiteral("Export"))->click();
    QCOMPARE(fx->saver->files, rows.empty() ? QList<QByteArray>{} : QList<QByteArray>{engine::RecordCsv(rows)});
    QCOMPARE(fx->saver->names, rows.empty() ? QStringList{} : QStringList{engine::RecordCsvName(QDate::currentDate())});
    QCOMPARE(fx->box->shown, messages);
    QVERIFY(Window(View));
}

void TestRecordView::erasesOnlyWhenAsked_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QStringList>("copies"); // set aside beside the record
    QTest::addColumn<bool>("removable");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QStringList>("copiesLeft");
    const QStringList copy{QStringLiteral("record-damaged-20261208.sqlite")};
    const QString copyQuestion = QStringLiteral("前に読めなかったため別の名前で残した記録（record-damaged-20261208.sqlite）"
                                                "にも答えが残っています。これも消しますか？");
    const int yes = platform::ResultYes, no = platform::ResultNo;
    QTest::newRow("no") << QList<int>{no} << false << copy << true << QStringList{EraseQuestion} << true << copy;
    QTest::newRow("yes") << QList<int>{yes} << false << QStringList() << true << QStringList{EraseQuestion} << false
                         << QStringList();
    QTest::newRow("yes, refused") << QList<int>{yes} << true << copy << true
                                  << QStringList{EraseQuestion, "学習の記録を消せませんでした。"} << true << copy;
    QTest::newRow("yes, the copies kept") << QList<int>{yes, no} << false << copy << true
                                          << QStringList{EraseQuestion, copyQuestion} << false << copy;
    QTest::newRow("yes, the copies too") << QList<int>{yes, yes} << false << copy << true
                                         << QStringList{EraseQuestion, copyQuestion} << false << QStringList();
    QTest::newRow("yes, a copy stays") << QList<int>{yes, yes} << false << copy << false
                                       << QStringList{EraseQuestion, copyQuestion,
                                                      "別の名前で残した記録のうち、消せなかったものがあります。"}
                                       << false << copy;
}

void TestRecordView::erasesOnlyWhenAsked()
{
    QFETCH(QList<int>, answers);
    QFETCH(bool, refused);
    QFETCH(QStringList, copies);
    QFETCH(bool, removable);
    QFETCH(QStringList, messages);
    QFETCH(bool, kept);
    QFETCH(QStringList, copiesLeft);
    fx->record->KeepCopies(copies, removable);
    Open(Tries(81, 7, '*', 6, "r1000 w1000"));
    // The parent is told of the copies before erasing anything.
    QCOMPARE(V<QLabel>(QStringLiteral("Status"))->text().contains(QStringLiteral("record-damaged-20261208.sqlite")),
             !copies.isEmpty());
    fx->record->Refuse(refused);
    for (const int answer : answers)
        fx->box->answers.push_back(answer);
    V<QPushButton>(QStringLiteral("Erase"))->click();
    QCOMPARE(fx->box->shown, messages);
    QCOMPARE(fx->record->Rows().size(), kept ? 2u : 0u);
    QCOMPARE(fx->record->SetAsideCopies(), copiesLeft);
    // The view shows what the record holds now.
    QCOMPARE(V<QTableWidget>(QStringLiteral("DrillTable"))->rowCount(), kept ? 2 : 0);
    QCOMPARE(V<QTableWidget>(QStringLiteral("TimesGrid"))->item(6, 5)->data(TimesPage::MarkRole).toString(),
             kept ? QStringLiteral("×") : QString());
}

void TestRecordView::everyPageShowsTheRecordAfresh_data()
{
    QTest::addColumn<QString>("control"); // one on each page
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after"); // once the record is erased
    QTest::newRow("最近の学習") << "Chart" << "2" << "0";
    QTest::newRow("九九") << "TimesGrid" << "×" << "";
    QTest::newRow("その他の計算") << "KindTable" << "1" << "0";
    QTest::newRow("にがて練習とプリント") << "WeakInfo" << "にがてな問題：1問（よくまちがえる 1、遅い 0）"
                                          << "にがてな問題：0問（よくまちがえる 0、遅い 0）";
}

// Each page shows the record as read at the opening, and as read again after
// an erase.
void TestRecordView::everyPageShowsTheRecordAfresh()
{
    QFETCH(QString, control);
    QFETCH(QString, before);
    QFETCH(QString, after);
    Open(Tries(81, 7, '*', 6, "w1000") + Drill("s", At(12, 8, 16, 0), 0, 1, 10, 1, false, {{8, '+', 7, "14", 2000}}));
    const auto shown = [&]() -> QString {
        QWidget *w = V<QWidget>(control);
        if (auto *chart = qobject_cast<forms::ScoreChart *>(w))
            return QString::number(chart->Days().size());
        if (auto *label = qobject_cast<QLabel *>(w))
            return label->text().section(QLatin1Char('\n'), 0, 0);
        auto *table = qobject_cast<QTableWidget *>(w);
        if (control == QLatin1String("TimesGrid"))
            return table->item(6, 5)->data(TimesPage::MarkRole).toString();
        return QString::number(table->rowCount());
    };
    QCOMPARE(shown(), before);
    fx->box->answers.push_back(platform::ResultYes);
    V<QPushButton>(QStringLiteral("Erase"))->click();
    QCOMPARE(shown(), after);
}

void TestRecordView::tellsTheParentOnce_data()
{
    QTest::addColumn<QString>("trouble");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("drills");
    QTest::newRow("all well") << "" << "" << 1;
    QTest::newRow("an answer not stored at once") << "refused write" << "" << 1;
    QTest::newRow("the record unreadable") << "unreadable" << Unreadable << 0;
    QTest::newRow("two entries unreadable")
        << "entries" << "読み取れない記録が2件ありました（消さずにそのまま残してあります）。" << 1;
}

void TestRecordView::tellsTheParentOnce()
{
    QFETCH(QString, trouble);
    QFETCH(QString, status);
    QFETCH(int, drills);
    const AnswerRow answer = Tries(81, 7, '*', 6, "r1000").front();
    QStringList expected;
    if (trouble == QLatin1String("refused write")) {
        // Kept in memory and stored at the next chance: the view shows it.
        fx->record->Refuse(true);
        QVERIFY(!fx->record->Append(answer));
        fx->record->Refuse(false);
        platform::MemoryRecordStore twin;
        twin.Refuse(true);
        twin.Append(answer);
        expected = twin.TakeNotices();
        QCOMPARE(expected.size(), 1);
    } else if (trouble.isEmpty()) {
        QVERIFY(fx->record->Append(answer));
    } else {
        ScriptedStore *store = InstallScriptedStore();
        store->contents->answers = {answer};
        store->contents->unreadable = 2;
        if (trouble == QLatin1String("unreadable")) {
            store->contents.reset();
            expected << Unreadable;
        }
    }
    Open({});
    QCOMPARE(fx->box->shown, expected);
    QCOMPARE(V<QLabel>(QStringLiteral("Status"))->text(), status);
    QCOMPARE(V<QTableWidget>(QStringLiteral("DrillTable"))->rowCount(), drills);
    if (!drills) {
        QCOMPARE(V<forms::ScoreChart>(QStringLiteral("Chart"))->EmptyText(), Unreadable);
        V<QPushButton>(QStringLiteral("Export"))->click(); // nothing to write out
        QVERIFY(fx->saver->files.isEmpty());
        expected << Unreadable;
        QCOMPARE(fx->box->shown, expected);
    }
    // A notice is told once; an unreadable record at every opening.
    V<QPushButton>(QStringLiteral("CloseButton"))->click();
    FlushDeletes();
    fx->box->shown.clear();
    Control<QPushButton>(Settings, QStringLiteral("Command2"))->click();
    QCoreApplication::processEvents();
    QCOMPARE(fx->box->shown, drills ? QStringList{} : QStringList{Unreadable});
    // The drills go on whatever the record's trouble.
    Control<QPushButton>(Settings, QStringLiteral("Command1"))->click();
    FlushDeletes();
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    QVERIFY(Window(QStringLiteral("Calk")));
}

void TestRecordView::startsAPractice_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("range"); // the range, or the table's row
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("answer");    // to the question the practice may ask, -1 for none
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("included"); // problems the drill must ask
    QTest::addColumn<int>("kindValue"); // the practice's kind as recorded; 0: no drill
    QTest::addColumn<int>("rangeValue");

    const Rows table = Tries(81, 7, '*', 8, "r1000 w2000") + Tries(81, 6, '*', 7, "r5000 r6000");
    const Rows sums = Drill("s", At(12, 8, 16, 0), 0, 5, 20, 2, false, {{8, '+', 7, "14", 2000}, {9, '-', 4, "5", 900}});
    const QString noWeak = QStringLiteral("この種類には、まだにがてな問題がありません。ふつうのドリルと同じように問題を出しますか？");
    QTest::newRow("free study, the whole table")
        << table << 0 << "九九" << "九九（全て）" << "20" << -1 << QStringList{} << QStringList{"７×８＝", "６×７＝"}
        << 81 << 81;
    QTest::newRow("Spartan, one row, full-width count")
        << table << 2 << "九九" << "九九（七の段）" << "１２" << -1 << QStringList{} << QStringList{"７×８＝"} << 81 << 7;
    QTest::newRow("sums of a range, from a mixed drill")
        << sums << 1 << "たし算" << "1～20" << "5" << -1 << QStringList{} << QStringList{"８＋７＝"} << 1 << 20;
    QTest::newRow("nothing weak yet: the parent goes on")
        << sums << 0 << "九九" << "九九（三の段）" << "8" << int(platform::ResultYes) << QStringList{noWeak}
        << QStringList{} << 81 << 3;
    QTest::newRow("nothing weak yet: the parent stops")
        << Rows{} << 0 << "わり算" << "1～50" << "8" << int(platform::ResultNo) << QStringList{noWeak} << QStringList{}
        << 0 << 0;
    QTest::newRow("a count that is no number")
        << table << 0 << "九九" << "九九（全て）" << "たくさん" << -1
        << QStringList{"問題数は1から10000までの数で入力してください"} << QStringList{} << 0 << 0;
}

// The practice starts from the record's page: the parent's windows close,
// the drill opens on the weak facts in the mode set, and its answers go into
// the record as that practice's.
void TestRecordView::startsAPractice()
{
    QFETCH(Rows, rows);
    QFETCH(int, mode);
    QFETCH(QString, kind);
    QFETCH(QString, range);
    QFETCH(QString, count);
    QFETCH(int, answer);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, included);
    QFETCH(int, kindValue);
    QFETCH(int, rangeValue);
    Open(rows);
    Control<QRadioButton>(Settings, QStringLiteral("Option1(%1)").arg(mode))->click();
    V<QTabWidget>(QStringLiteral("Tabs"))->setCurrentIndex(3);
    auto *kindList = V<forms::ComboBox>(QStringLiteral("KindList"));
    QCOMPARE(kindList->currentText(), QStringLiteral("九九")); // the table first
    kindList->setCurrentIndex(kindList->findText(kind));
    emit kindList->Picked(kindList->currentIndex());
    auto *rangeList = V<forms::ComboBox>(kind == QStringLiteral("九九") ? QStringLiteral("RowList") : QStringLiteral("RangeList"));
    QVERIFY(rangeList->isVisibleTo(Window(View)));
    rangeList->setCurrentIndex(rangeList->findText(range));
    QVERIFY(rangeList->currentIndex() >= 0);
    emit rangeList->Picked(rangeList->currentIndex());
    V<QLineEdit>(QStringLiteral("PracticeCount"))->setText(count);
    if (answer >= 0)
        fx->box->answers.push_back(answer);
    const std::size_t before = fx->record->Rows().size();
    V<QPushButton>(QStringLiteral("StartPractice"))->click();
    FlushDeletes();
    QCOMPARE(fx->box->shown, messages);
    if (!kindValue) {
        QVERIFY(Window(View) && Window(Settings) && !Window(QStringLiteral("Calk")));
        return;
    }
    QVERIFY(!Window(View) && !Window(Settings) && !Window(QStringLiteral("Mess01")));
    QWidget *drill = Window(QStringLiteral("Calk"));
    QVERIFY(drill);
    const int problems = int(platform::TextToReal(count).value_or(0));
    QCOMPARE(int(Module1::ProblemCount), problems);
    QStringList asked;
    for (int i = 1; i <= problems; ++i)
        asked << engine::ProblemText(fx->program->calk.drill.problemSet.Problems(i));
    for (const QString &p : included)
        QVERIFY2(asked.contains(p), qPrintable(asked.join(u' ')));
    // Spartan stays Spartan: no way out of the drill.
    QCOMPARE(Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C"))->isHidden(), mode == 2);

    Answer(QString::number(ShownAnswerOf(drill).value_or(0)));
    const Rows &stored = fx->record->Rows();
    QCOMPARE(stored.size(), before + 1);
    QVERIFY(stored.back().practice);
    QCOMPARE(int(stored.back().calcKind), kindValue);
    QCOMPARE(int(stored.back().rangeMax), rangeValue);
    QCOMPARE(int(stored.back().mode), mode);
}

void TestRecordView::makesAWorksheet_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("source");
    QTest::addColumn<platform::SaveResult>("result");
    QTest::addColumn<int>("answer"); // to the question whether to open it
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("opened");

    const QString open = QStringLiteral("プリントを保存しました。開きますか？");
    const QString badCount = QStringLiteral("プリントの問題数は、20から50までの数を入れてください。");
    const QString badNumber = QStringLiteral("プリントの番号は、1から99999までの数を入れてください。");
    using platform::SaveResult;
    QTest::newRow("saved and opened") << "30" << "42" << 0 << SaveResult::Saved << int(platform::ResultYes)
                                      << QStringList{open} << 1;
    QTest::newRow("saved, not opened") << "２０" << "４２" << 1 << SaveResult::Saved << int(platform::ResultNo)
                                       << QStringList{open} << 0;
    QTest::newRow("cancelled") << "50" << "99999" << 0 << SaveResult::Cancelled << -1 << QStringList{} << 0;
    QTest::newRow("the disk refused") << "25" << "7" << 1 << SaveResult::Failed << -1
                                      << QStringList{"プリントを保存できませんでした。"} << 0;
    QTest::newRow("too few problems") << "19" << "42" << 0 << SaveResult::Saved << -1 << QStringList{badCount} << 0;
    QTest::newRow("too many problems") << "51" << "42" << 0 << SaveResult::Saved << -1 << QStringList{badCount} << 0;
    QTest::newRow("a part of a problem") << "20.5" << "42" << 0 << SaveResult::Saved << -1 << QStringList{badCount}
                                         << 0;
    QTest::newRow("no number") << "30" << "" << 0 << SaveResult::Saved << -1 << QStringList{badNumber} << 0;
    QTest::newRow("a number too large") << "30" << "100000" << 0 << SaveResult::Saved << -1
                                        << QStringList{badNumber} << 0;
}

void TestRecordView::makesAWorksheet()
{
    QFETCH(QString, count);
    QFETCH(QString, number);
    QFETCH(int, source);
    QFETCH(platform::SaveResult, result);
    QFETCH(int, answer);
    QFETCH(QStringList, messages);
    QFETCH(int, opened);
    fx->saver->result = result;
    Open(Tries(81, 7, '*', 8, "w2000"));
    V<QTabWidget>(QStringLiteral("Tabs"))->setCurrentIndex(3);
    // Each opening offers a number of its own.
    const std::optional<double> offered = platform::TextToReal(V<QLineEdit>(QStringLiteral("SheetNumber"))->text());
    QVERIFY(offered && *offered >= 1 && *offered <= engine::WorksheetMaxNumber);
    V<QLineEdit>(QStringLiteral("SheetCount"))->setText(count);
    V<QLineEdit>(QStringLiteral("SheetNumber"))->setText(number);
    V<QRadioButton>(QStringLiteral("SheetSource(%1)").arg(source))->click();
    if (answer >= 0)
        fx->box->answers.push_back(answer);
    V<QPushButton>(QStringLiteral("MakeSheet"))->click();
    QCOMPARE(fx->box->shown, messages);
    QCOMPARE(fx->saver->opened, opened);
    QVERIFY(Window(View)); // the parent stays on the record
    const bool made = messages.isEmpty() || messages.first().startsWith(QStringLiteral("プリントを保存"));
    QCOMPARE(fx->saver->files.size(), made ? 1 : 0);
    if (!made)
        return;
    engine::WorksheetRequest request;
    request.kind = {81, 81};
    request.count = int(*platform::TextToReal(count));
    request.fromWeak = source == 0;
    request.number = std::uint32_t(*platform::TextToReal(number));
    request.today = QDate::currentDate();
    const engine::Worksheet sheet = engine::MakeWorksheet(fx->record->Rows(), request);
    QCOMPARE(fx->saver->names, QStringList{engine::WorksheetFileName(sheet)});
    QCOMPARE(fx->saver->titles, QStringList{QStringLiteral("計算プリントを保存")});
    QVERIFY(fx->saver->files.first().startsWith("%PDF-"));
    QVERIFY(fx->saver->files.first().contains("/Type /Page"));
}

QTEST_MAIN(TestRecordView)
#include "tst_record_view.moc"
