// The drill screen's number pad, where touch is the main input: where it
// stands, and what its keys do on the screen.
#include "forms/drill/Calk.h"

#include "platform/TextInput.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace forms {

void Calk::AttachPad(QWidget *w)
{
    pad_ = new NumberPad(w);
    platform::KeepSystemKeyboardAway(K);
    platform::KeepSystemKeyboardAway(T1);
    connect(pad_, &NumberPad::DigitPressed, this, &Calk::PadDigit);
    connect(pad_, &NumberPad::ErasePressed, this, &Calk::PadErase);
    connect(pad_, &NumberPad::AnswerPressed, this, &Calk::PadAnswer);
    connect(this, &Form::Opened, this, &Calk::PlacePad);
    // A tablet turned, or a page resized: the pad goes to its new side.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::availableGeometryChanged, pad_, [this] {
            PlaceWindow();
            PlacePad();
        });
}

namespace {

// Room for the window frames, which are not known before the first showing,
// and the space between the two windows.
constexpr int FrameAllowance = 32;
constexpr int PadGap = 8;

} // namespace

void Calk::PlaceWindow()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!pad_ || !screen) {
        Form::PlaceWindow();
        return;
    }
    // The screen and its pad are centred together.
    const QRect area = screen->availableGeometry();
    pad_->SetShape(NumberPad::ShapeFor(area));
    const QSize calk = Window()->size() + QSize(0, FrameAllowance);
    const QSize pad = pad_->size() + QSize(0, FrameAllowance);
    const QSize pair = pad_->CurrentShape() == NumberPad::Shape::Side
                           ? QSize(calk.width() + PadGap + pad.width(), std::max(calk.height(), pad.height()))
                           : QSize(std::max(calk.width(), pad.width()), calk.height() + PadGap + pad.height());
    const QPoint corner = area.center() - QPoint(pair.width() / 2, pair.height() / 2);
    Window()->move(std::max(corner.x(), area.left()), std::max(corner.y(), area.top()));
}

void Calk::PlacePad()
{
    if (!pad_ || !IsLoaded())
        return;
    const QRect frame = Window()->frameGeometry();
    const int below = frame.left() + (frame.width() - pad_->frameGeometry().width()) / 2;
    QPoint corner = pad_->CurrentShape() == NumberPad::Shape::Side ? QPoint(frame.right() + 1 + PadGap, frame.top())
                                                                   : QPoint(below, frame.bottom() + 1 + PadGap);
    // On a screen too small for both, the pad stays within reach.
    if (const QScreen *screen = Window()->screen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = pad_->frameGeometry().size();
        corner.setX(std::clamp(corner.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
        corner.setY(std::clamp(corner.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    }
    pad_->move(corner);
    pad_->show();
}

QLineEdit *Calk::PadTarget() const
{
    // The count box until the drill is built, then the answer box.
    return built_ ? static_cast<QLineEdit *>(K) : T1;
}

void Calk::PadDigit(QChar digit)
{
    if (waiting_)
        return;
    QLineEdit *target = PadTarget();
    target->insert(QString(digit));
    target->setFocus();
}

void Calk::PadErase()
{
    if (waiting_)
        return;
    QLineEdit *target = PadTarget();
    target->backspace();
    target->setFocus();
}

void Calk::PadAnswer()
{
    // As the answer button, or as the Start button before the drill.
    if (built_)
        C2_Click();
    else
        C1_Click();
}

} // namespace forms
