#include "forms/drill/Hyakumasu.h"

#include "forms/common/Palette.h"
#include "forms/common/ParentLock.h"
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

} // namespace

Hyakumasu::Hyakumasu(Navigator &navigator) : Form(QStringLiteral("HyakumasuForm")), navigator_(navigator) {}

void Hyakumasu::Start(std::int16_t operation, int size)
{
    if (IsLoaded())
        return;
    grid_ = engine::MakeHyakumasu(operation, size, QRandomGenerator::global()->generate());
    resumed_.reset();
    Show();
}

bool Hyakumasu::StartResumed(const engine::OpenDrill &open, const std::vector<platform::AnswerRow> &rows)
{
    std::optional<engine::HyakumasuTakenUp> up = engine::TakeUpHyakumasu(open, rows);
    if (IsLoaded() || !up)
        return false;
    grid_ = up->grid;
    resumed_ = std::move(up);
    drill_ = open.drill;
    Module1::StudyMode = open.mode;
    study::StudyingChild = open.context.child;
    Show();
    return true;
}

void Hyakumasu::CreateControls(QWidget *w)
{
    SetCaption(QStringLiteral("百ます計算"));
    SetFormColour(Cyan);
    SetClientSize(10500, 8400);

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

void Hyakumasu::ClearControls()
{
    Title = Clock = TimeResult = RightResult = BestResult = NewRecord = Hint = nullptr;
    Cells = nullptr;
    AnswerButton = MenuButton = LockButton = nullptr;
    LockLabel = nullptr;
    LockPassword = nullptr;
    pad_ = nullptr;
    ticker_ = nullptr;
}

void Hyakumasu::Load()
{
    navigator_.Close(Screen::Menu);
    clock_.invalidate();
    done_ = locked_ = false;
    // No way out of a Spartan grid before its end.
    spartan_ = Module1::StudyMode == Module1::Spartan;
    if (spartan_) {
        SetCloseControl(false);
        MenuButton->hide();
    }
    ticker_ = new QTimer(Window());
    connect(ticker_, &QTimer::timeout, this, &Hyakumasu::Tick);
    if (resumed_)
        TakeUp(*std::exchange(resumed_, std::nullopt));
    else
        Begin();
}

void Hyakumasu::Begin()
{
    typed_.assign(std::size_t(grid_.Count()), QString());
    elapsed_.assign(std::size_t(grid_.Count()), 0);
    drill_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
    base_ = lastConfirmMs_ = 0;
    // A Spartan grid outlives a reload or a killed program.
    if (spartan_)
        engine::KeepOpen(platform::recordStore(),
                         engine::KeptHyakumasu(grid_, drill_, Module1::StudyMode, study::StudyingChild));
    MoveTo(0);
}

void Hyakumasu::TakeUp(const engine::HyakumasuTakenUp &up)
{
    typed_ = up.typed;
    elapsed_ = up.elapsed;
    // The clock goes on from the stored crossings' time when typing resumes.
    base_ = lastConfirmMs_ = up.ms;
    for (int i = 0; i < grid_.Count(); ++i)
        Cells->SetText(i, typed_[std::size_t(i)]);
    Clock->setText(HyakumasuClockText(base_));
    if (up.next >= grid_.Count())
        Finish();
    else
        MoveTo(up.next);
}

qint64 Hyakumasu::Now() const
{
    return base_ + (clock_.isValid() ? clock_.elapsed() : 0);
}

void Hyakumasu::CloseRequested()
{
    // The frame's close acts as the way back to the menu.
    if (WayOut())
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
    const qint64 now = Now();
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
        Clock->setText(HyakumasuClockText(Now()));
}

void Hyakumasu::Finish()
{
    done_ = true;
    // Locked before the record is asked for the best time: in the browser
    // that wait lets events in, and a Spartan grid that is over but not yet
    // locked would let the frame's close through.
    locked_ = spartan_;
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
    if (locked_) {
        for (QWidget *lock : std::initializer_list<QWidget *>{LockLabel, LockPassword, LockButton})
            lock->show();
        LockPassword->setFocus();
    } else {
        MenuButton->show();
        MenuButton->setFocus();
    }
}

void Hyakumasu::LockButton_Click()
{
    if (!locked_ || !ParentPasswordOpens(LockPassword->text()))
        return;
    locked_ = false;
    engine::EndOpen(platform::recordStore(), drill_);
    for (QWidget *lock : std::initializer_list<QWidget *>{LockLabel, LockPassword, LockButton})
        lock->hide();
    MenuButton->show();
    MenuButton->setFocus();
}

void Hyakumasu::MenuButton_Click()
{
    if (!WayOut())
        return;
    Unload();
    navigator_.Open(Screen::Menu);
}

} // namespace forms
