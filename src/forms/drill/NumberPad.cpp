#include "forms/drill/NumberPad.h"

#include "forms/common/Palette.h"

#include <QCloseEvent>

namespace forms {

namespace {

using palette::ButtonCyan;
const QColor &Cyan = palette::DrillCyan;
const QColor EraseYellow(255, 255, 160);

// Keys 1200 twips (80 pixels) square at the least, 120 apart: a child's
// fingertip is about 10 mm.
constexpr int Gap = 120;
constexpr int SideKey = 1200;
constexpr int SideStep = SideKey + Gap;
constexpr int BelowAnswerWidth = 1800;

} // namespace

NumberPad::NumberPad(QWidget *owner) : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("NumberPad"));
    setWindowTitle(QStringLiteral("テンキー"));
    // Taps must leave the keyboard focus in the drill screen's box.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    SetBackground(this, Cyan);

    const QFont digits = FormFont(Face::Gothic, 36, true);
    const QFont words = FormFont(Face::PGothic, 16, true);
    for (int d = 0; d < 10; ++d) {
        Key[d] = new CommandButton(this, ArrayName("Key", d), QString::number(d), {}, digits);
        Key[d]->setAccessibleName(QString::number(d));
        connect(Key[d], &QPushButton::clicked, this, [this, d] { emit DigitPressed(QChar(u'0' + d)); });
    }
    Erase = new CommandButton(this, QStringLiteral("Erase"), QStringLiteral("けす"), {}, words);
    Answer = new CommandButton(this, QStringLiteral("Answer"), QStringLiteral("こたえる"), {}, words);
    connect(Erase, &QPushButton::clicked, this, &NumberPad::ErasePressed);
    connect(Answer, &QPushButton::clicked, this, &NumberPad::AnswerPressed);
    for (CommandButton *key : Key)
        key->SetBackColour(ButtonCyan);
    Erase->SetBackColour(EraseYellow);
    Answer->SetBackColour(ButtonCyan);
    for (QWidget *key : findChildren<CommandButton *>())
        key->setFocusPolicy(Qt::NoFocus);
    SetShape(Shape::Side);
}

NumberPad::Shape NumberPad::ShapeFor(const QRect &screenArea)
{
    return screenArea.height() > screenArea.width() ? Shape::Below : Shape::Side;
}

void NumberPad::SetShape(Shape shape)
{
    shape_ = shape;
    // 7 8 9 / 4 5 6 / 1 2 3 / 0 erase, as on a keyboard's pad, and the same
    // whichever way the screen is held: a child's hand learns one place for
    // each digit. Only the answer key moves, below the keys on a wide screen
    // (where the pad is as high as the drill screen), beside them on a tall
    // one (where the pad is below the drill screen).
    for (int d = 1; d < 10; ++d) {
        const int row = 2 - (d - 1) / 3;
        const int column = (d - 1) % 3;
        Key[d]->setGeometry(TwipsRect(Gap + column * SideStep, Gap + row * SideStep, SideKey, SideKey));
    }
    Key[0]->setGeometry(TwipsRect(Gap, Gap + 3 * SideStep, SideKey, SideKey));
    Erase->setGeometry(TwipsRect(Gap + SideStep, Gap + 3 * SideStep, SideStep + SideKey, SideKey));
    const int keysWidth = Gap + 3 * SideStep;
    if (shape == Shape::Side) {
        setFixedSize(TwipsSize(keysWidth, 6915));
        Answer->setGeometry(TwipsRect(Gap, Gap + 4 * SideStep, 2 * SideStep + SideKey, 6915 - 2 * Gap - 4 * SideStep));
    } else {
        setFixedSize(TwipsSize(keysWidth + BelowAnswerWidth + Gap, Gap + 4 * SideStep));
        Answer->setGeometry(TwipsRect(keysWidth, Gap, BelowAnswerWidth, 4 * SideStep - Gap));
    }
}

void NumberPad::SetStartKey(bool start)
{
    Answer->setText(start ? QStringLiteral("はじめる") : QStringLiteral("こたえる"));
}

void NumberPad::closeEvent(QCloseEvent *event)
{
    // It goes with the drill screen, not on its own.
    event->ignore();
}

} // namespace forms
