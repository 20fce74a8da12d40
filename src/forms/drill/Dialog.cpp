#include "forms/drill/Dialog.h"

#include "forms/common/Palette.h"

#include "platform/EventPump.h"
#include "platform/Services.h"
#include "study/Module1.h"

namespace forms {

Dialog::Dialog(Navigator &navigator) : Form(QStringLiteral("Dialog")), navigator_(navigator) {}

void Dialog::CreateControls(QWidget *w)
{
    SetCaption(QStringLiteral("ﾀﾞｲｱﾛｸﾞ ｷｬﾌﾟｼｮﾝ"));
    SetClientSize(9495, 2910);
    // The drill form stays on screen but takes no input while the child looks
    // at this window, and the frame offers no close control.
    w->setWindowModality(Qt::ApplicationModal);
    SetCloseControl(false);
    w->setWindowFlag(Qt::WindowMinimizeButtonHint, false);

    CB = new CommandButton(w, QStringLiteral("CB"), QStringLiteral("間違い!"), TwipsRect(0, 0, 9505, 2925),
                           FormFont(Face::Maru, 72, true));
    connect(CB, &QPushButton::clicked, this, &Dialog::CB_Click);
}

void Dialog::Load()
{
    if (Module1::AnswerState != Module1::AnsweredWrong) {
        CB->SetBackColour(palette::ButtonRed);
        CB->setText(QStringLiteral(" 正解！"));
    } else {
        CB->SetBackColour(palette::WrongBlue);
        CB->setText(QStringLiteral("間違い!"));
    }
    CB->setFocus();
}

void Dialog::PlaceWindow()
{
    // Outer edges, from the drill form's current position: 4000 twips below
    // its top, flush with its left edge.
    const QWidget *drill = navigator_.WindowOf(Screen::Drill);
    if (!drill)
        return;
    const QRect frame = drill->frameGeometry();
    const float topTwips = static_cast<float>(frame.top() * 15) + 4000.0F;
    Window()->move(frame.left(), qRound(topTwips / 15.0F));
}

void Dialog::CB_Click()
{
    Module1::AnswerState = Module1::Acknowledged;
    Unload();
    platform::eventPump().Wake();
}

} // namespace forms
