#include "forms/drill/Hyakumasu.h"

#include "forms/common/Palette.h"
#include "platform/RecordStore.h"
#include "platform/Services.h"
#include "platform/TextInput.h"
#include "study/Children.h"
#include "study/Module1.h"

#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTimer>
#include <QUuid>

namespace forms {

namespace {

const QColor &Cyan = palette::DrillCyan;
constexpr int GridLeft = 240;
constexpr int GridTop = 1080;
constexpr int PanelLeft = 7200;
constexpr int PanelWidth = 3060;

} // namespace

QString HyakumasuTimeText(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    if (seconds < 60)
        return QStringLiteral("%1秒").arg(seconds);
    return QStringLiteral("%1分%2秒").arg(seconds / 60).arg(seconds % 60);
}

QString HyakumasuClockText(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

Hyakumasu::Hyakumasu(Navigator &navigator) : Form(QStringLiteral("HyakumasuForm")), navigator_(navigator) {}

void Hyakumasu::Start(std::int16_t operation, int size)
{
    if (IsLoaded())
        return;
    operation_ = operation;
    size_ = size;
    Show();
}

void Hyakumasu::CreateControls(QWidget *w)
{
    SetCaption(QStringLiteral("百ます計算"));
    SetFormColour(Cyan);
    SetClientSize(10500, 8400);
    grid_ = engine::MakeHyakumasu(operation_, size_, QRandomGenerator::global()->generate());

    Title = MakeLabel(w, QStringLiteral("Title"), QStringLiteral("百ます計算"), TwipsRect(240, 120, 6600, 855),
                      FormFont(Face::PopS, 28, true), Qt::AlignHCenter | Qt::AlignTop);
    SetTextColour(Title, palette::TitleBlue);
    Cells = new HyakumasuCells(w, grid_, QPoint(GridLeft, GridTop));
    Hint = MakeLabel(w, QStringLiteral("Hint"),
                     QStringLiteral("こたえを入れて「こたえる」（Enter）で つぎへ。"
                                    "やじるしキーか、入れたますを おして もどれます。"),
                     TwipsRect(240, 7800, 10020, 495), FormFont(Face::PGothic, 10.5));
    CreateSidePanel(w);

    connect(Cells, &HyakumasuCells::Tapped, this, &Hyakumasu::CellTapped);
    connect(Cells->Entry, &QLineEdit::textEdited, this, &Hyakumasu::EntryEdited);
    Cells->Entry->installEventFilter(this);
    connect(AnswerButton, &QPushButton::clicked, this, &Hyakumasu::AnswerButton_Click);
    connect(MenuButton, &QPushButton::clicked, this, &Hyakumasu::MenuButton_Click);

    if (platform::TouchIsPrimary()) {
        pad_ = new NumberPad(w);
        pad_->SetStartKey(false);
        platform::KeepSystemKeyboardAway(Cells->Entry);
        connect(pad_, &NumberPad::DigitPressed, this, &Hyakumasu::PadDigit);
        connect(pad_, &NumberPad::ErasePressed, this, &Hyakumasu::PadErase);
        connect(pad_, &NumberPad::AnswerPressed, this, &Hyakumasu::AnswerButton_Click);
        connect(this, &Form::Opened, pad_, [this] {
            if (!IsLoaded())
                return;
            pad_->move(Window()->frameGeometry().topRight() + QPoint(8, 0));
            pad_->show();
        });
    }
}

void Hyakumasu::CreateSidePanel(QWidget *w)
{
    const QFont big = FormFont(Face::Gothic, 28, true);
    const QFont normal = FormFont(Face::PGothic, 15.75);
    const QFont result = FormFont(Face::PGothic, 14, true);
    Clock = MakeLabel(w, QStringLiteral("Clock"), QStringLiteral("0:00"), TwipsRect(PanelLeft, GridTop, PanelWidth, 735),
                      big, Qt::AlignCenter);
    Clock->setAccessibleName(QStringLiteral("じかん"));
    AnswerButton = new CommandButton(w, QStringLiteral("AnswerButton"), QStringLiteral("こたえる"),
                                     TwipsRect(PanelLeft, 2040, PanelWidth, 855), normal);
    AnswerButton->SetBackColour(palette::ButtonCyan);
    AnswerButton->setFocusPolicy(Qt::NoFocus);
    const struct {
        QLabel **label;
        const char *name;
        int top;
    } results[] = {{&TimeResult, "TimeResult", 3120},
                   {&RightResult, "RightResult", 3720},
                   {&BestResult, "BestResult", 4320},
                   {&NewRecord, "NewRecord", 4920}};
    for (const auto &r : results) {
        *r.label = MakeLabel(w, QLatin1String(r.name), QString(), TwipsRect(PanelLeft, r.top, PanelWidth, 495), result,
                             Qt::AlignLeft | Qt::AlignVCenter);
        (*r.label)->hide();
    }
    NewRecord->setFont(FormFont(Face::PopS, 20, true));
    SetTextColour(NewRecord, palette::Red);
    MenuButton = new CommandButton(w, QStringLiteral("MenuButton"), QStringLiteral("メニューに戻る"),
                                   TwipsRect(PanelLeft, 6840, PanelWidth, 735), normal);
    MenuButton->SetBackColour(palette::MenuButtonPink);
}

void Hyakumasu::ClearControls()
{
    Title = Clock = TimeResult = RightResult = BestResult = NewRecord = Hint = nullptr;
    Cells = nullptr;
    AnswerButton = MenuButton = nullptr;
    pad_ = nullptr;
    ticker_ = nullptr;
}

void Hyakumasu::Load()
{
    navigator_.Close(Screen::Menu);
    typed_.assign(std::size_t(grid_.Count()), QString());
    elapsed_.assign(std::size_t(grid_.Count()), 0);
    drill_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
    clock_.invalidate();
    lastConfirmMs_ = 0;
    done_ = false;
    // No way out of a Spartan grid before its end.
    spartan_ = Module1::StudyMode == Module1::Spartan;
    if (spartan_) {
        SetCloseControl(false);
        MenuButton->hide();
    }
    ticker_ = new QTimer(Window());
    connect(ticker_, &QTimer::timeout, this, &Hyakumasu::Tick);
    MoveTo(0);
}

void Hyakumasu::CloseRequested()
{
    // The frame's close acts as the way back to the menu.
    if (spartan_ && !done_)
        return;
    MenuButton_Click();
}

bool Hyakumasu::eventFilter(QObject *watched, QEvent *event)
{
    if (!Cells || watched != Cells->Entry || event->type() != QEvent::KeyPress || done_)
        return Form::eventFilter(watched, event);
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: AnswerButton_Click(); return true;
    case Qt::Key_Left: Step(-1, 0); return true;
    case Qt::Key_Right: Step(1, 0); return true;
    case Qt::Key_Up: Step(0, -1); return true;
    case Qt::Key_Down: Step(0, 1); return true;
    default: return Form::eventFilter(watched, event);
    }
}

void Hyakumasu::EntryEdited(const QString &text)
{
    // Digits only, as typed (full-width ones from the input method too).
    QString kept;
    for (QChar c : text) {
        if (engine::CrossingNumber(QString(c)))
            kept += c;
    }
    if (kept != text)
        Cells->Entry->setText(kept);
    if (!kept.isEmpty() && !clock_.isValid()) {
        clock_.start();
        ticker_->start(250);
    }
}

void Hyakumasu::PadDigit(QChar digit)
{
    if (done_)
        return;
    Cells->Entry->insert(QString(digit));
    EntryEdited(Cells->Entry->text());
    Cells->Entry->setFocus();
}

void Hyakumasu::PadErase()
{
    if (done_)
        return;
    Cells->Entry->backspace();
    Cells->Entry->setFocus();
}

void Hyakumasu::AnswerButton_Click()
{
    if (done_ || !IsLoaded())
        return;
    const QString text = Cells->Entry->text().trimmed();
    if (!engine::CrossingNumber(text))
        return; // nothing that says a number yet
    if (text != typed_[std::size_t(current_)]) {
        typed_[std::size_t(current_)] = text;
        Cells->SetText(current_, text);
        Store(current_);
    }
    const int next = NextEmpty(current_);
    if (next < 0)
        Finish();
    else
        MoveTo(next);
}

void Hyakumasu::Store(int crossing)
{
    const qint64 now = clock_.isValid() ? clock_.elapsed() : 0;
    // A changed crossing is stored again, carrying the time of its first try:
    // the grid's crossings add up to its time.
    elapsed_[std::size_t(crossing)] += now - lastConfirmMs_;
    lastConfirmMs_ = now;
    const engine::ProblemRecord p = grid_.Crossing(crossing);
    platform::AnswerRow row;
    row.drill = drill_;
    row.answeredAt = QDateTime::currentDateTime();
    row.mode = Module1::StudyMode;
    row.calcKind = grid_.operation;
    // The range of a drill with the same facts (sums up to 18, minuends up
    // to 19, products up to 81), so that the kinds page and にがて練習 learn
    // from the grid; products of 1-9 reach the 九九 grid as any do.
    row.rangeMax = grid_.operation == 3 ? 100 : 20;
    row.problemCount = std::int16_t(grid_.Count());
    row.questionNo = std::int16_t(crossing + 1);
    row.left = p.LeftOperand;
    row.right = p.RightOperand;
    row.operation = p.Operation;
    row.answer = p.Answer;
    row.typed = typed_[std::size_t(crossing)];
    row.correct = engine::CrossingNumber(row.typed) == int(p.Answer);
    row.elapsedMs = std::int32_t(elapsed_[std::size_t(crossing)]);
    row.child = study::StudyingChild;
    row.grid = true;
    platform::recordStore().AppendSoon(row);
}

int Hyakumasu::NextEmpty(int after) const
{
    for (int k = 1; k <= grid_.Count(); ++k) {
        const int i = (after + k) % grid_.Count();
        if (typed_[std::size_t(i)].isEmpty())
            return i;
    }
    return -1;
}

bool Hyakumasu::Reachable(int crossing) const
{
    return crossing >= 0 && crossing < grid_.Count() &&
           (!typed_[std::size_t(crossing)].isEmpty() || crossing == NextEmpty(-1));
}

void Hyakumasu::Step(int columns, int rows)
{
    const int column = current_ % grid_.size + columns;
    const int row = current_ / grid_.size + rows;
    if (column < 0 || column >= grid_.size || row < 0 || row >= grid_.size)
        return;
    const int to = row * grid_.size + column;
    if (Reachable(to))
        MoveTo(to);
}

void Hyakumasu::CellTapped(int crossing)
{
    if (!done_ && Reachable(crossing))
        MoveTo(crossing);
}

void Hyakumasu::MoveTo(int crossing)
{
    current_ = crossing;
    Cells->SetCurrent(crossing);
    // Typing replaces what the crossing held.
    Cells->Entry->setText(typed_[std::size_t(crossing)]);
    Cells->Entry->selectAll();
    Cells->Entry->setFocus();
}

void Hyakumasu::Tick()
{
    if (clock_.isValid() && !done_)
        Clock->setText(HyakumasuClockText(clock_.elapsed()));
}

void Hyakumasu::Finish()
{
    done_ = true;
    ticker_->stop();
    Cells->SetCurrent(-1);
    AnswerButton->hide();
    Hint->hide();
    const qint64 total = lastConfirmMs_;
    Clock->setText(HyakumasuClockText(total));
    const engine::HyakumasuResult result = engine::JudgeHyakumasu(grid_, typed_);
    for (int i : result.wrong)
        Cells->MarkWrong(i, grid_.Crossing(i).Answer);

    platform::RecordStore &store = platform::recordStore();
    store.StoreWaiting();
    std::vector<platform::AnswerRow> earlier;
    if (std::optional<platform::RecordContents> read = store.ReadAll()) {
        for (platform::AnswerRow &row : read->answers) {
            if (row.drill != drill_)
                earlier.push_back(std::move(row));
        }
    }
    const std::optional<std::int64_t> before =
        engine::HyakumasuBestMs(earlier, study::StudyingChild, grid_.operation, grid_.size);
    const bool beaten = result.AllRight() && (!before || total < *before);
    const std::optional<std::int64_t> best = beaten ? std::optional<std::int64_t>(total) : before;

    TimeResult->setText(QStringLiteral("じかん　%1").arg(HyakumasuTimeText(total)));
    RightResult->setText(QStringLiteral("せいかい　%1／%2").arg(result.right).arg(grid_.Count()));
    BestResult->setText(best ? QStringLiteral("ベスト　%1").arg(HyakumasuTimeText(*best))
                             : QStringLiteral("ベスト　まだなし"));
    NewRecord->setText(QStringLiteral("しんきろく！"));
    for (QLabel *label : {TimeResult, RightResult, BestResult})
        label->show();
    NewRecord->setVisible(beaten);
    MenuButton->show();
    MenuButton->setFocus();
}

void Hyakumasu::MenuButton_Click()
{
    if (spartan_ && !done_)
        return;
    Unload();
    navigator_.Open(Screen::Menu);
}

} // namespace forms
