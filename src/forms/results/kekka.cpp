#include "forms/results/kekka.h"

#include "forms/common/Palette.h"
#include "forms/common/ParentLock.h"

#include "engine/Score.h"
#include "platform/Conversions.h"
#include "platform/Services.h"
#include "study/Module1.h"

namespace forms {

namespace {
const QColor &Pink = palette::ButtonRed;
} // namespace

kekka::kekka(Navigator &navigator) : Form(QStringLiteral("kekka")), navigator_(navigator) {}

void kekka::CreateControls(QWidget *w)
{
    SetCaption(QStringLiteral("学習結果"));
    SetFormColour(Pink);
    SetClientSize(4815, 4455);

    const QFont rowFont = FormFont(Face::Mincho, 15.75);
    L1[4] = MakeLabel(w, ArrayName("L1", 4), QStringLiteral("学習結果"), TwipsRect(240, 120, 4215, 375),
                      FormFont(Face::Pop, 20.25), Qt::AlignCenter);
    // The rounded face's line (27 px) is taller than the label (25 px):
    // centred, only empty leading is cut, not the glyphs.
    SetTextColour(L1[4], palette::TitleBlue);
    const char16_t *captions[4] = {u"総問題数", u"得　　点", u"正 解 数", u"不正解数"};
    for (int i = 0; i < 4; ++i) {
        const int top = 720 + 600 * i;
        L1[i] = MakeLabel(w, ArrayName("L1", i), QString::fromUtf16(captions[i]), TwipsRect(240, top, 1335, 375),
                          rowFont);
        L[i] = MakeLabel(w, ArrayName("L", i), QString(), TwipsRect(1800, top, 2655, 375), rowFont);
    }
    for (QLabel *label : L1)
        SetBackground(label, Pink);
    for (QLabel *label : L)
        SetBackground(label, Pink);

    Label2 = MakeLabel(w, QStringLiteral("Label2"), QStringLiteral("パスワード"), TwipsRect(360, 3240, 1695, 375),
                       FormFont(Face::PGothic, 15.75, true));
    T1 = new TextBox(w, QStringLiteral("T1"), QString(), TwipsRect(1920, 3120, 2535, 495),
                     FormFont(Face::PGothic, 18));
    T1->setEchoMode(QLineEdit::Password);
    T1->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    T1->setAccessibleName(QStringLiteral("パスワード"));
    C1 = new CommandButton(w, QStringLiteral("C1"), QStringLiteral("入力完了"), TwipsRect(360, 3720, 4095, 495),
                           FormFont(Face::PGothic, 15.75, true));
    C1->SetBackColour(Pink);
    // Lies over the password row while it is visible.
    Command1 = new CommandButton(w, QStringLiteral("Command1"), QStringLiteral("メニューに戻る"),
                                 TwipsRect(240, 3120, 4335, 1095), FormFont(Face::PGothic, 15.75));
    Command1->SetBackColour(palette::MenuButtonPink);

    SetTabOrder({Command1, T1, C1});

    connect(C1, &QPushButton::clicked, this, &kekka::C1_Click);
    T1->MoveFocusOnEnter(C1);
    connect(Command1, &QPushButton::clicked, this, &kekka::Command1_Click);
}

void kekka::ClearControls()
{
    L1 = {};
    L = {};
    Label2 = nullptr;
    T1 = nullptr;
    C1 = nullptr;
    Command1 = nullptr;
}

void kekka::Load()
{
    L[0]->setText(platform::NumberToText(Module1::ProblemCount));
    // Nothing answered has no share: show 0 rather than a division by zero.
    L[1]->setText(platform::NumberToText(engine::Score(Module1::CorrectCount, Module1::QuestionNo).value_or(0)));
    L[2]->setText(platform::NumberToText(Module1::CorrectCount));
    L[3]->setText(platform::NumberToText(Module1::WrongCount));

    locked_ = Module1::StudyMode == Module1::Spartan;
    if (locked_) {
        // No close control in Spartan mode, also once unlocked: "メニューに
        // 戻る" is the way back then.
        Command1->hide();
        SetCloseControl(false);
        T1->setFocus();
    } else {
        Command1->show();
        Command1->setFocus();
    }

    navigator_.Close(Screen::Drill);
}

void kekka::CloseRequested()
{
    // Locked results cannot be closed; otherwise closing is the way back.
    if (locked_)
        return;
    Command1_Click();
}

void kekka::C1_Click()
{
    if (ParentPasswordOpens(T1->text(), &RegisteredPassword))
        Unlock();
}

void kekka::Unlock()
{
    // The window frame stays as the load step made it: changing it on a
    // shown window would make Qt rebuild the window.
    locked_ = false;
    Command1->show();
    Command1->setFocus();
    emit Unlocked();
}

void kekka::Command1_Click()
{
    if (locked_)
        return;
    navigator_.Open(Screen::Menu);
    Unload();
}

} // namespace forms
