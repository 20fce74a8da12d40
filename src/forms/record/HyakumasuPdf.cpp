#include "forms/record/HyakumasuPdf.h"

#include "engine/Review.h"
#include "engine/Score.h"
#include "forms/common/FormKit.h"
#include "forms/record/PdfPages.h"

#include <QPainter>

namespace forms {

namespace {

using namespace pdf;
const QColor Shade(232, 232, 232);

QRectF ToPage(const QRectF &mm)
{
    return QRectF(Mm(mm.x()), Mm(mm.y()), Mm(mm.width()), Mm(mm.height()));
}

// The title and number, then blanks for the name and the date, and for the
// time the grid took (a 百ます計算 is done against the clock).
void DrawHeading(QPainter &p, const engine::HyakumasuSheet &sheet, bool answers, double width)
{
    p.setPen(Ink);
    p.setFont(FormFont(Face::Maru, 18, true));
    const QString title = answers ? QStringLiteral("こたえ　") + sheet.title : sheet.title;
    p.drawText(QRectF(0, 0, width * 0.78, Mm(11)), Qt::AlignLeft | Qt::AlignVCenter, title);
    p.setFont(FormFont(Face::Maru, 10));
    p.setPen(Faint);
    p.drawText(QRectF(width * 0.78, 0, width * 0.22, Mm(11)), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("No.%1").arg(sheet.number, 5, 10, QLatin1Char('0')));
    p.setPen(Ink);
    p.setFont(FormFont(Face::Maru, 12));
    const double blankHeight = Mm(10);
    const auto underline = [&](double top, double from, double to) {
        p.drawLine(QPointF(from, top + blankHeight), QPointF(to, top + blankHeight));
    };
    const double nameTop = Mm(13);
    p.drawText(QRectF(0, nameTop, Mm(22), blankHeight), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("なまえ"));
    p.drawText(QRectF(Mm(24), nameTop, width * 0.55 - Mm(24), blankHeight), Qt::AlignLeft | Qt::AlignBottom,
               sheet.childName);
    underline(nameTop, Mm(22), width * 0.55);
    p.drawText(QRectF(width * 0.6, nameTop, width * 0.4, blankHeight), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("　　　月　　　日"));
    underline(nameTop, width * 0.6, width);
    const double timeTop = Mm(25);
    p.drawText(QRectF(width * 0.4, timeTop, width * 0.6, blankHeight), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("かかった　じかん　　　ふん　　　びょう"));
    underline(timeTop, width * 0.4, width);
}

// The grid: the sign in the shaded corner, the top numbers across and the
// left numbers down on shade, the crossings white to write in (on the answer
// page, each crossing's answer in red).
void DrawPage(QPainter &p, const engine::HyakumasuSheet &sheet, bool answers)
{
    const QRectF area = QRectF(p.viewport());
    DrawHeading(p, sheet, answers, area.width());
    const engine::HyakumasuGrid &grid = sheet.grid;
    const engine::HyakumasuSheetLayout l =
        engine::LayOutHyakumasuSheet(grid.size, area.width() / Mm(1), area.height() / Mm(1));
    const double points = l.cell * 72 / 25.4;
    p.setPen(Qt::NoPen);
    p.setBrush(Shade);
    p.drawRect(ToPage(QRectF(l.Cell(0, 0).topLeft(), l.Cell(0, grid.size).bottomRight())));
    p.drawRect(ToPage(QRectF(l.Cell(1, 0).topLeft(), l.Cell(grid.size, 0).bottomRight())));
    p.setBrush(Qt::NoBrush);

    p.setPen(Ink);
    p.setFont(FormFont(Face::Maru, points * 0.5, true));
    p.drawText(ToPage(l.Cell(0, 0)), Qt::AlignCenter, engine::OperatorSign(grid.operation).value_or(QString()));
    for (int i = 0; i < grid.size; ++i) {
        p.drawText(ToPage(l.Cell(0, i + 1)), Qt::AlignCenter, engine::FullWidthNumber(grid.across[std::size_t(i)]));
        p.drawText(ToPage(l.Cell(i + 1, 0)), Qt::AlignCenter, engine::FullWidthNumber(grid.down[std::size_t(i)]));
    }
    if (answers) {
        p.setPen(AnswerRed);
        p.setFont(FormFont(Face::Maru, points * 0.4));
        for (int i = 0; i < grid.Count(); ++i)
            p.drawText(ToPage(l.Cell(i / grid.size + 1, i % grid.size + 1)), Qt::AlignCenter,
                       engine::FullWidthNumber(grid.Crossing(i).Answer));
    }
    // Thin lines between the cells, a thick one round the grid and under and
    // beside the numbers.
    p.setPen(QPen(Faint, Mm(0.25)));
    for (int i = 1; i <= grid.size; ++i) {
        p.drawLine(ToPage(l.Cell(i, 0)).topLeft(), ToPage(l.Cell(i, grid.size)).topRight());
        p.drawLine(ToPage(l.Cell(0, i)).topLeft(), ToPage(l.Cell(grid.size, i)).bottomLeft());
    }
    p.setPen(QPen(Ink, Mm(0.6)));
    p.drawRect(ToPage(l.Grid()));
    p.drawLine(ToPage(l.Cell(1, 0)).topLeft(), ToPage(l.Cell(1, grid.size)).topRight());
    p.drawLine(ToPage(l.Cell(0, 1)).topLeft(), ToPage(l.Cell(grid.size, 1)).bottomLeft());
}

} // namespace

QByteArray HyakumasuSheetPdf(const engine::HyakumasuSheet &sheet)
{
    return A4Pdf(sheet.title, 2, [&](QPainter &p, int page) { DrawPage(p, sheet, page == 1); });
}

} // namespace forms
