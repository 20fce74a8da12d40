#include "forms/drill/Hyakumasu.h"

#include "forms/common/Palette.h"

// The 百ます計算 screen's side: the clock, the results, the way back and its
// Spartan lock; and the number pad's keys.
namespace forms {

namespace {
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
    LockLabel = MakeLabel(w, QStringLiteral("LockLabel"), QStringLiteral("パスワード"),
                          TwipsRect(PanelLeft, 5520, PanelWidth, 375), normal, Qt::AlignLeft | Qt::AlignVCenter);
    LockPassword = new TextBox(w, QStringLiteral("LockPassword"), QString(), TwipsRect(PanelLeft, 5940, PanelWidth, 495),
                               normal);
    LockPassword->setEchoMode(QLineEdit::Password);
    LockPassword->setAccessibleName(QStringLiteral("パスワード"));
    LockButton = new CommandButton(w, QStringLiteral("LockButton"), QStringLiteral("入力完了"),
                                   TwipsRect(PanelLeft, 6840, PanelWidth, 735), normal);
    LockButton->SetBackColour(palette::ButtonRed);
    for (QWidget *lock : std::initializer_list<QWidget *>{LockLabel, LockPassword, LockButton})
        lock->hide();
    LockPassword->MoveFocusOnEnter(LockButton);
    connect(LockButton, &QPushButton::clicked, this, &Hyakumasu::LockButton_Click);
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

} // namespace forms
