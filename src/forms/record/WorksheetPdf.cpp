#include "forms/record/WorksheetPdf.h"

#include "engine/Review.h"
#include "engine/WorksheetLayout.h"
#include "forms/common/FormKit.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace forms {

namespace {

constexpr int Dpi = 300;
const QColor Ink(0, 0, 0);
const QColor Faint(110, 110, 110);
const QColor AnswerRed(200, 0, 0);

double Mm(double mm)
{
    return mm * Dpi / 25.4;
}

// A title whole in its room: smaller type for a long one, and wrapped when
// even the smallest is too wide.
void DrawTitle(QPainter &p, const QRectF &room, const QString &text, double points)
{
    QFont font = FormFont(Face::Maru, points, true);
    while (points > 10 && QFontMetricsF(font, p.device()).horizontalAdvance(text) > room.width()) {
        points -= 0.5;
        font.setPointSizeF(points);
    }
    p.setFont(font);
    p.drawText(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
}

// The heading across the page's width: the title, the sheet's number, and
// blanks for name and date.
void DrawHeading(QPainter &p, const engine::Worksheet &sheet, bool answers, double width)
{
    p.setPen(Ink);
    const QString title = answers ? QStringLiteral("こたえ　") + sheet.title : sheet.title;
    DrawTitle(p, QRectF(0, 0, width * 0.78, Mm(11)), title, 18);
    p.setFont(FormFont(Face::Maru, 10));
    p.setPen(Faint);
    p.drawText(QRectF(width * 0.78, 0, width * 0.22, Mm(11)), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("No.%1").arg(sheet.request.number, 5, 10, QLatin1Char('0')));
    p.setPen(Ink);
    p.setFont(FormFont(Face::Maru, 12));
    const double blankTop = Mm(14);
    const double blankHeight = Mm(10);
    p.drawText(QRectF(0, blankTop, Mm(22), blankHeight), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("なまえ"));
    p.drawLine(QPointF(Mm(22), blankTop + blankHeight), QPointF(width * 0.55, blankTop + blankHeight));
    p.drawText(QRectF(Mm(24), blankTop, width * 0.55 - Mm(24), blankHeight), Qt::AlignLeft | Qt::AlignBottom,
               sheet.childName);
    p.drawText(QRectF(width * 0.6, blankTop, width * 0.4, blankHeight), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("　　　月　　　日"));
    p.drawLine(QPointF(width * 0.6, blankTop + blankHeight), QPointF(width, blankTop + blankHeight));
}

// One page: the heading, then the problems in two columns, top to bottom,
// each with its number, the problem in large digits, and a box to write in
// (on the answer page, the answer in it), where the layout puts them.
void DrawPage(QPainter &p, const engine::Worksheet &sheet, bool answers)
{
    const QRectF area = QRectF(p.viewport());
    const double width = area.width();
    DrawHeading(p, sheet, answers, width);

    const engine::LineSheetLayout l = engine::LayOutLineSheet(sheet.problems, width / Mm(1), area.height() / Mm(1));
    const double points = l.em * 72 / 25.4;
    const QFont numberFont = FormFont(Face::Maru, points * 0.55);
    const QFont problemFont = FormFont(Face::Maru, points);
    for (int i = 0; i < int(sheet.problems.size()); ++i) {
        const engine::ProblemRecord &problem = sheet.problems[std::size_t(i)];
        const double x = Mm((i / l.rows) * l.columnWidth);
        const double y = Mm(l.top + (i % l.rows) * l.rowHeight);
        const double rowHeight = Mm(l.rowHeight);

        p.setPen(Faint);
        p.setFont(numberFont);
        p.drawText(QRectF(x, y, Mm(l.numberWidth), rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("(%1)").arg(i + 1));
        p.setPen(Ink);
        p.setFont(problemFont);
        p.drawText(QRectF(x + Mm(l.numberWidth), y, Mm(l.textWidth + l.em), rowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, engine::ProblemText(problem));
        const QRectF box(x + Mm(l.boxLeft), y + (rowHeight - Mm(l.boxHeight)) / 2, Mm(l.boxWidth), Mm(l.boxHeight));
        p.setPen(QPen(Faint, Mm(0.3)));
        p.drawRect(box);
        if (answers) {
            p.setPen(AnswerRed);
            p.drawText(box, Qt::AlignCenter, engine::FullWidthNumber(problem.Answer));
        }
    }
}

} // namespace

QByteArray WorksheetPdf(const engine::Worksheet &sheet)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(sheet.title);
        writer.setCreator(QStringLiteral("Mimoran！"));
        writer.setResolution(Dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        QPainter painter(&writer);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawPage(painter, sheet, false);
        writer.newPage();
        DrawPage(painter, sheet, true);
    }
    return bytes;
}

} // namespace forms
