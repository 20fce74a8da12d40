#include "forms/drill/HyakumasuCells.h"

#include "engine/Score.h"
#include "forms/common/Palette.h"
#include "platform/Conversions.h"

#include <QMouseEvent>

namespace forms {

namespace {

const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);
const QColor WrongPink(255, 192, 192);

} // namespace

int HyakumasuCellTwips(int size)
{
    return size == 5 ? 1100 : 600;
}

HyakumasuCells::HyakumasuCells(QWidget *parent, const engine::HyakumasuGrid &grid, const QPoint &cornerTwips)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("HyakumasuCells"));
    const int step = HyakumasuCellTwips(grid.size);
    const int side = step * (grid.size + 1);
    setGeometry(TwipsRect(cornerTwips.x(), cornerTwips.y(), side, side));
    SetBackground(this, Black);
    const QFont font = FormFont(Face::Gothic, grid.size == 5 ? 24 : 14, true);
    const Qt::Alignment centred = Qt::AlignCenter;
    // One twip-pixel apart, so the black ground draws the lines between them.
    const auto place = [step](int row, int column) {
        return TwipsRect(column * step + 15, row * step + 15, step - 15, step - 15);
    };
    const QString sign = engine::OperatorSign(grid.operation).value_or(QString());
    QLabel *corner = MakeLabel(this, QStringLiteral("GridSign"), sign, place(0, 0), font, centred);
    SetBackground(corner, palette::ButtonYellow);
    for (int i = 0; i < grid.size; ++i) {
        QLabel *across = MakeLabel(this, ArrayName("Across", i), platform::NumberToText(grid.across[std::size_t(i)]),
                                   place(0, i + 1), font, centred);
        QLabel *down = MakeLabel(this, ArrayName("Down", i), platform::NumberToText(grid.down[std::size_t(i)]),
                                 place(i + 1, 0), font, centred);
        SetBackground(across, palette::ButtonCyan);
        SetBackground(down, palette::ButtonCyan);
    }
    for (int i = 0; i < grid.Count(); ++i) {
        cells_.push_back(MakeLabel(this, ArrayName("Cell", i), QString(), place(i / grid.size + 1, i % grid.size + 1),
                                   font, centred));
        Paint(i, White, Black);
    }
    Entry = new TextBox(this, QStringLiteral("Entry"), QString(), place(1, 1), font);
    Entry->setAlignment(Qt::AlignCenter);
    Entry->setMaxLength(3);
    Entry->setFrame(false);
    Entry->setInputMethodHints(Qt::ImhPreferNumbers);
    Entry->setAccessibleName(QStringLiteral("答え"));
    SetBackground(Entry, palette::ButtonYellow);
}

void HyakumasuCells::Paint(int crossing, const QColor &back, const QColor &text)
{
    SetBackground(Cell(crossing), back);
    SetTextColour(Cell(crossing), text);
}

void HyakumasuCells::SetCurrent(int crossing)
{
    if (current_ >= 0)
        Paint(current_, White, Black);
    current_ = crossing;
    if (crossing < 0) {
        Entry->hide();
        return;
    }
    Paint(crossing, palette::ButtonYellow, Black);
    Entry->setGeometry(Cell(crossing)->geometry());
    Entry->show();
    Entry->raise();
}

void HyakumasuCells::SetText(int crossing, const QString &text)
{
    Cell(crossing)->setText(text);
}

void HyakumasuCells::MarkWrong(int crossing, int answer)
{
    Paint(crossing, WrongPink, palette::Red);
    Cell(crossing)->setText(platform::NumberToText(std::int16_t(answer)));
    Cell(crossing)->setAccessibleName(QStringLiteral("まちがい　こたえは%1").arg(answer));
}

void HyakumasuCells::mousePressEvent(QMouseEvent *event)
{
    // The cells' labels leave the press to the grid.
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        if (cells_[i]->geometry().contains(event->position().toPoint())) {
            emit Tapped(int(i));
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

} // namespace forms
