// Renders every screen in every state to PNG files, offscreen, with the faces
// the program really uses. Usage: screenshots OUTPUT_FOLDER
// (run with QT_SCALE_FACTOR=2 for high-DPI pictures).
#include "FormTestKit.h"
#include "platform/QtMessageBox.h"

#include <QTabWidget>
#include <QTableWidget>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>
#include <random>

#include "engine/ChildRecord.h"

#include <QTableWidget>

using namespace testkit;

namespace {

QString folder;
int saved = 0;

void Save(QWidget *window, const QString &name)
{
    if (!window) {
        std::fprintf(stderr, "screenshots: no window for %s\n", qPrintable(name));
        return;
    }
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (window->grab().save(path)) {
        ++saved;
        std::printf("%s\n", qPrintable(path));
    }
}

void SaveWindow(const QString &form, const QString &name)
{
    Save(Window(form), name);
}

// Windows as they stand on the screen, the later ones over the earlier.
void SaveTogether(const QString &name, std::initializer_list<QWidget *> windows)
{
    QRect bounds;
    for (QWidget *w : windows) {
        if (!w)
            return;
        bounds |= w->geometry();
    }
    const qreal ratio = (*windows.begin())->devicePixelRatioF();
    QPixmap all(bounds.size() * ratio);
    all.setDevicePixelRatio(ratio);
    all.fill(QColor(64, 64, 64));
    QPainter painter(&all);
    for (QWidget *w : windows)
        painter.drawPixmap(w->geometry().topLeft() - bounds.topLeft(), w->grab());
    painter.end();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (all.save(path)) {
        ++saved;
        std::printf("%s\n", qPrintable(path));
    }
}

// The drill screen with the dialog over it, where the dialog places itself.
void SaveDrillWithDialog(const QString &name)
{
    SaveTogether(name, {Window(QStringLiteral("Calk")), Window(QStringLiteral("Dialog"))});
}

// A 九九 drill with misses: the results with the list beside them, then a
// question of the retry.
void RetryScreens(ProgramFixture &fx)
{
    fx.Start();
    Module1::StudyMode = 1;
    Module1::CalcKind = 81;
    Module1::RangeMax = 7;
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("T1"))->setText(QStringLiteral("9"));
    Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C1"))->click();
    const QString typed[9] = {{}, QStringLiteral("５４"), {}, QStringLiteral("27"), {}, {}, QStringLiteral("40"), {}, {}};
    for (const QString &text : typed)
        Answer(text.isEmpty() ? QString::number(ShownAnswer()) : text);
    FlushDeletes();
    SaveTogether(QStringLiteral("19-results-with-missed"),
                 {Window(QStringLiteral("kekka")), Window(QStringLiteral("Missed"))});
    Control<QPushButton>(QStringLiteral("Missed"), QStringLiteral("C1"))->click();
    FlushDeletes();
    SaveWindow(QStringLiteral("Calk"), QStringLiteral("20-retry-question"));
    fx.Stop();
}

void ChildScreens(ProgramFixture &fx)
{
    fx.Start();
    SaveWindow(QStringLiteral("Mess01"), QStringLiteral("01-menu"));

    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    SaveWindow(QStringLiteral("Calk"), QStringLiteral("02-drill-setup-free"));
    PickFromList(Control<QComboBox>(QStringLiteral("Calk"), QStringLiteral("Combo1")), QStringLiteral("九九"));
    SaveWindow(QStringLiteral("Calk"), QStringLiteral("03-drill-setup-free-table"));
    PickFromList(Control<QComboBox>(QStringLiteral("Calk"), QStringLiteral("Combo1")),
         QStringLiteral("たし算＋ひき算＋かけ算＋わり算"));
    PickFromList(Control<QComboBox>(QStringLiteral("Calk"), QStringLiteral("Combo2")), QStringLiteral("1～999"));
    Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("T1"))->setText(QStringLiteral("10000"));
    Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C1"))->click();

    // Two right answers and a wrong one, so the scoreboard has numbers.
    for (int i = 0; i < 3; ++i)
        Answer(QString::number(i == 1 ? ShownAnswer() + 1 : ShownAnswer()));
    SaveWindow(QStringLiteral("Calk"), QStringLiteral("04-drill-question"));
    fx.pump->actions.push_back([] {
        SaveWindow(QStringLiteral("Dialog"), QStringLiteral("05-dialog-right"));
        SaveDrillWithDialog(QStringLiteral("05-drill-with-dialog-right"));
        AcknowledgeDialog();
    });
    Answer(QString::number(ShownAnswer()));
    fx.pump->actions.push_back([] {
        SaveWindow(QStringLiteral("Dialog"), QStringLiteral("06-dialog-wrong"));
        SaveDrillWithDialog(QStringLiteral("06-drill-with-dialog-wrong"));
        AcknowledgeDialog();
    });
    Answer(QString::number(ShownAnswer() + 1));
    Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C"))->click();
    FlushDeletes();

    // Designated study's set-up.
    Module1::StudyMode = 1;
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    SaveWindow(QStringLiteral("Calk"), QStringLiteral("07-drill-setup-designated"));
    Control<QLineEdit>(QStringLiteral("Calk"), QStringLiteral("T1"))->setText(QStringLiteral("2"));
    Control<QPushButton>(QStringLiteral("Calk"), QStringLiteral("C1"))->click();
    Answer(QString::number(ShownAnswer()));
    Answer(QString::number(ShownAnswer() + 1));
    FlushDeletes();
    SaveWindow(QStringLiteral("kekka"), QStringLiteral("08-results-unlocked"));
    Control<QPushButton>(QStringLiteral("kekka"), QStringLiteral("Command1"))->click();
    FlushDeletes();

    // A Spartan drill and its locked results.
    Module1::StudyMode = 2;
    Module1::CalcKind = 4;
    Module1::RangeMax = 100;
    Module1::ProblemCount = 3;
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    SaveWindow(QStringLiteral("Calk"), QStringLiteral("09-drill-spartan"));
    for (int i = 0; i < 3; ++i)
        Answer(QString::number(ShownAnswer()));
    FlushDeletes();
    Control<QLineEdit>(QStringLiteral("kekka"), QStringLiteral("T1"))->setText(QStringLiteral("secret"));
    SaveWindow(QStringLiteral("kekka"), QStringLiteral("10-results-locked"));
    fx.Stop();
}

void ParentScreens(ProgramFixture &fx)
{
    fx.Start();
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C2"))->click();
    Control<QLineEdit>(QStringLiteral("PassWord"), QStringLiteral("T1"))->setText(QStringLiteral("himitsu"));
    SaveWindow(QStringLiteral("PassWord"), QStringLiteral("11-password-first-use"));
    Control<QLineEdit>(QStringLiteral("PassWord"), QStringLiteral("T2"))->setText(QStringLiteral("himitsu"));
    Control<QPushButton>(QStringLiteral("PassWord"), QStringLiteral("C1"))->click();
    FlushDeletes();
    SaveWindow(QStringLiteral("Setei"), QStringLiteral("13-settings-opened"));
    const QString names[3] = {QStringLiteral("14-settings-free"), QStringLiteral("15-settings-designated"),
                              QStringLiteral("16-settings-spartan")};
    for (int i = 0; i < 3; ++i) {
        Control<QRadioButton>(QStringLiteral("Setei"), QStringLiteral("Option1(%1)").arg(i))->click();
        SaveWindow(QStringLiteral("Setei"), names[i]);
    }
    PickFromList(Control<QComboBox>(QStringLiteral("Setei"), QStringLiteral("Combo1")), QStringLiteral("九九"));
    PickFromList(Control<QComboBox>(QStringLiteral("Setei"), QStringLiteral("Combo3")), QStringLiteral("九九（七の段）"));
    SaveWindow(QStringLiteral("Setei"), QStringLiteral("17-settings-table-row"));
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command1"))->click();
    FlushDeletes();
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C2"))->click();
    SaveWindow(QStringLiteral("PassWord"), QStringLiteral("12-password-later"));
    fx.Stop();
}

// Four weeks of a child's drills: the table's lower rows shaky (七 and 八
// missed, 六 slow), 九の段 never drilled, some additions and subtractions, a
// drill left early and a retry.
void ScriptRecord(platform::RecordStore &record)
{
    std::mt19937 generator(20241111);
    const auto draw = [&generator](int n) { return std::uniform_int_distribution<int>(0, n - 1)(generator); };
    int drillNo = 0;
    const auto drill = [&](QDateTime at, int mode, int kind, int range, int count, bool retry, int answered) {
        const QString id = QStringLiteral("drill-%1").arg(++drillNo);
        for (int q = 1; q <= answered; ++q) {
            platform::AnswerRow a;
            a.drill = id;
            a.mode = std::int16_t(mode);
            a.calcKind = std::int16_t(kind);
            a.rangeMax = std::int16_t(range);
            a.problemCount = std::int16_t(count);
            a.retry = retry;
            a.questionNo = std::int16_t(q);
            int wrongChance = 8;
            int ms = 1200 + draw(1500);
            if (kind == 81) {
                a.left = std::int16_t(range == 81 ? 1 + draw(8) : range);
                a.right = std::int16_t(1 + draw(9));
                a.operation = 3;
                a.answer = std::int16_t(a.left * a.right);
                if (a.left >= 7)
                    wrongChance = 35;
                if (a.left == 6)
                    ms += 2500;
            } else {
                a.left = std::int16_t(1 + draw(range));
                a.right = std::int16_t(1 + draw(range));
                a.operation = std::int16_t(kind == 2 ? 2 : 1);
                if (a.operation == 2 && a.left < a.right)
                    std::swap(a.left, a.right);
                a.answer = std::int16_t(a.operation == 1 ? a.left + a.right : a.left - a.right);
                ms += 1500;
            }
            a.correct = draw(100) >= wrongChance;
            a.typed = QString::number(a.correct ? a.answer : a.answer + 1 + draw(3));
            a.elapsedMs = ms;
            at = at.addMSecs(ms + 1500);
            a.answeredAt = at;
            record.Append(a);
        }
    };
    const QDate first(2024, 11, 11);
    for (int d = 0; d < 28; ++d) {
        if (d % 7 == 5 || d == 12)
            continue; // days off
        const QDateTime evening(first.addDays(d), QTime(17, 30));
        drill(evening, 0, 81, 81, 20, false, 20);
        if (d % 3 == 0)
            drill(evening.addSecs(900), 1, d % 2 ? 2 : 1, d % 2 ? 20 : 10, 10, false, 10);
    }
    drill(QDateTime(first.addDays(27), QTime(18, 10)), 0, 81, 7, 30, false, 12);
    drill(QDateTime(first.addDays(27), QTime(18, 20)), 2, 81, 8, 10, false, 10);
    drill(QDateTime(first.addDays(27), QTime(18, 30)), 2, 81, 8, 4, true, 4);
}

void RecordScreens(ProgramFixture &fx)
{
    fx.Start();
    fx.program->setei.Show();
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    SaveWindow(QStringLiteral("Kiroku"), QStringLiteral("21-record-empty"));
    Control<QPushButton>(QStringLiteral("Kiroku"), QStringLiteral("CloseButton"))->click();
    FlushDeletes();

    ScriptRecord(*fx.record);
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    SaveWindow(QStringLiteral("Kiroku"), QStringLiteral("22-record-recent"));
    auto *tabs = Control<QTabWidget>(QStringLiteral("Kiroku"), QStringLiteral("Tabs"));
    tabs->setCurrentIndex(1);
    auto *grid = Control<QTableWidget>(QStringLiteral("Kiroku"), QStringLiteral("TimesGrid"));
    grid->setCurrentCell(6, 5);
    SaveWindow(QStringLiteral("Kiroku"), QStringLiteral("23-record-times"));
    tabs->setCurrentIndex(2);
    SaveWindow(QStringLiteral("Kiroku"), QStringLiteral("24-record-kinds"));
    tabs->setCurrentIndex(3);
    SaveWindow(QStringLiteral("Kiroku"), QStringLiteral("25-record-practice"));

    // A worksheet of the table's weak facts, as saved (the open question is
    // answered no).
    Control<QLineEdit>(QStringLiteral("Kiroku"), QStringLiteral("SheetNumber"))->setText(QStringLiteral("42"));
    fx.box->answers.push_back(platform::ResultNo);
    Control<QPushButton>(QStringLiteral("Kiroku"), QStringLiteral("MakeSheet"))->click();
    if (!fx.saver->files.isEmpty()) {
        QFile pdf(folder + QStringLiteral("/worksheet.pdf"));
        if (pdf.open(QIODevice::WriteOnly))
            pdf.write(fx.saver->files.last());
    }
    // The 10 × 10 たし算 grid of the same number, printed.
    fx.box->answers.push_back(platform::ResultNo);
    Control<QPushButton>(QStringLiteral("Kiroku"), QStringLiteral("GridPrint"))->click();
    if (fx.saver->names.size() == 2) {
        QFile pdf(folder + QStringLiteral("/hyakumasu-sheet.pdf"));
        if (pdf.open(QIODevice::WriteOnly))
            pdf.write(fx.saver->files.last());
    }

    // A practice of ten, in designated study: the drill opens on its first
    // question.
    Control<QRadioButton>(QStringLiteral("Setei"), QStringLiteral("Option1(1)"))->click();
    Control<QLineEdit>(QStringLiteral("Kiroku"), QStringLiteral("PracticeCount"))->setText(QStringLiteral("10"));
    Control<QPushButton>(QStringLiteral("Kiroku"), QStringLiteral("StartPractice"))->click();
    FlushDeletes();
    SaveWindow(QStringLiteral("Calk"), QStringLiteral("26-practice-question"));
    fx.Stop();
}

// A family of three: the parent's こども page with one picked, and the
// picker お勉強の開始 then shows.
void FamilyScreens(ProgramFixture &fx)
{
    fx.Start();
    const char *names[] = {"はなこ", "たろう", "さくら"};
    for (int i = 0; i < 3; ++i)
        engine::ChangeChildren(*fx.record, [&](study::ChildList &list) {
            return list.Add(QString::fromUtf8(names[i]), i);
        });
    fx.program->setei.Show();
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    auto *tabs = Control<QTabWidget>(QStringLiteral("Kiroku"), QStringLiteral("Tabs"));
    tabs->setCurrentWidget(Control<QWidget>(QStringLiteral("Kiroku"), QStringLiteral("Children")));
    Control<QTableWidget>(QStringLiteral("Kiroku"), QStringLiteral("ChildList"))->setCurrentCell(1, 0);
    SaveWindow(QStringLiteral("Kiroku"), QStringLiteral("27-record-children"));
    fx.program->setei.Unload();
    FlushDeletes();
    Control<QPushButton>(QStringLiteral("Mess01"), QStringLiteral("C1"))->click();
    SaveWindow(QStringLiteral("ChildPicker"), QStringLiteral("28-child-picker"));
    fx.Stop();
}

// A 5 × 5 たし算 grid half typed, then at its end with two crossings wrong.
void GridScreens(ProgramFixture &fx)
{
    fx.Start();
    fx.program->setei.Show();
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    Control<QComboBox>(QStringLiteral("Kiroku"), QStringLiteral("GridSize"))->setCurrentIndex(1);
    Control<QPushButton>(QStringLiteral("Kiroku"), QStringLiteral("GridStart"))->click();
    FlushDeletes();
    const engine::HyakumasuGrid &grid = fx.program->hyakumasu.Grid();
    auto *entry = Control<QLineEdit>(QStringLiteral("HyakumasuForm"), QStringLiteral("Entry"));
    for (int i = 0; i < grid.Count(); ++i) {
        if (i == 12)
            SaveWindow(QStringLiteral("HyakumasuForm"), QStringLiteral("29-hyakumasu-typing"));
        QTest::keyClicks(entry, QString::number(grid.Crossing(i).Answer + (i == 6 || i == 18 ? 1 : 0)));
        QTest::keyClick(entry, Qt::Key_Return);
    }
    SaveWindow(QStringLiteral("HyakumasuForm"), QStringLiteral("30-hyakumasu-finished"));
    Control<QPushButton>(QStringLiteral("HyakumasuForm"), QStringLiteral("MenuButton"))->click();
    FlushDeletes();
    fx.program->setei.Show();
    Control<QPushButton>(QStringLiteral("Setei"), QStringLiteral("Command2"))->click();
    Control<QTabWidget>(QStringLiteral("Kiroku"), QStringLiteral("Tabs"))
        ->setCurrentWidget(Control<QWidget>(QStringLiteral("Kiroku"), QStringLiteral("Grids")));
    SaveWindow(QStringLiteral("Kiroku"), QStringLiteral("31-record-grids"));
    fx.Stop();
}

void QuitQuestion()
{
    QTimer::singleShot(0, [] {
        Save(QApplication::activeModalWidget(), QStringLiteral("18-quit-question"));
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::No)->click();
    });
    platform::QtMessageBox().Show(QStringLiteral("「Mimoran！」を終了しますか？"), platform::Buttons::YesNo);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);
    app::InitialisePlatform(app);
    ProgramFixture fx;
    ChildScreens(fx);
    ParentScreens(fx);
    RetryScreens(fx);
    RecordScreens(fx);
    FamilyScreens(fx);
    GridScreens(fx);
    QuitQuestion();
    std::printf("%d screenshots in %s\n", saved, qPrintable(folder));
    return saved >= 20 ? 0 : 1;
}
