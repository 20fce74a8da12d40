#include "forms/drill/NumberPad.h"

#include <QCloseEvent>

namespace forms {

namespace {

const QColor Cyan(192, 255, 255);
const QColor ButtonCyan(128, 255, 255);
const QColor EraseYellow(255, 255, 160);

// Keys 1200 twips (80 pixels) square at the least, 120 apart: a child's
// fingertip is about 10 mm.
constexpr int Gap = 120;
constexpr int SideKey = 1200;
constexpr int SideStep = SideKey + Gap;
constexpr int BelowKeyWidth = 1440;
constexpr int BelowKeyHeight = 1200;
constexpr int BelowStep = BelowKeyWidth + Gap;

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
    if (shape == Shape::Side) {
        // 7 8 9 / 4 5 6 / 1 2 3 / 0 erase / answer, as on a keyboard's pad,
        // as high as the drill screen.
        setFixedSize(TwipsSize(Gap + 3 * SideStep, 6915));
        for (int d = 1; d < 10; ++d) {
            const int row = 2 - (d - 1) / 3;
            const int column = (d - 1) % 3;
            Key[d]->setGeometry(TwipsRect(Gap + column * SideStep, Gap + row * SideStep, SideKey, SideKey));
        }
        Key[0]->setGeometry(TwipsRect(Gap, Gap + 3 * SideStep, SideKey, SideKey));
        Erase->setGeometry(TwipsRect(Gap + SideStep, Gap + 3 * SideStep, SideStep + SideKey, SideKey));
        Answer->setGeometry(TwipsRect(Gap, Gap + 4 * SideStep, 2 * SideStep + SideKey, 6915 - 2 * Gap - 4 * SideStep));
    } else {
        // 1 to 5 and erase, 6 to 0 and answer: as wide as the drill screen.
        setFixedSize(TwipsSize(9495, Gap + 2 * (BelowKeyHeight + Gap)));
        for (int d = 1; d <= 10; ++d) {
            const int row = (d - 1) / 5;
            const int column = (d - 1) % 5;
            Key[d % 10]->setGeometry(TwipsRect(Gap + column * BelowStep, Gap + row * (BelowKeyHeight + Gap),
                                               BelowKeyWidth, BelowKeyHeight));
        }
        Erase->setGeometry(TwipsRect(Gap + 5 * BelowStep, Gap, BelowKeyWidth, BelowKeyHeight));
        Answer->setGeometry(TwipsRect(Gap + 5 * BelowStep, Gap + BelowKeyHeight + Gap, BelowKeyWidth, BelowKeyHeight));
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
