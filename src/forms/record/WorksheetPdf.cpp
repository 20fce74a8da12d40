#include "forms/record/WorksheetPdf.h"

#include "engine/Review.h"
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

// The heading across the page's width: the title, the sheet's number, and
// blanks for name and date.
void DrawHeading(QPainter &p, const engine::Worksheet &sheet, bool answers, double width)
{
    p.setPen(Ink);
    p.setFont(FormFont(Face::Maru, 18, true));
    const QString title = answers ? QStringLiteral("こたえ　") + sheet.title : sheet.title;
    p.drawText(QRectF(0, 0, width * 0.78, Mm(11)), Qt::AlignLeft | Qt::AlignVCenter, title);
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
    p.drawText(QRectF(width * 0.6, blankTop, width * 0.4, blankHeight), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("　　　月　　　日"));
    p.drawLine(QPointF(width * 0.6, blankTop + blankHeight), QPointF(width, blankTop + blankHeight));
}

// One page: the heading, then the problems in two columns, top to bottom,
// each with its number, the problem in large digits, and a box to write in
// (on the answer page, the answer in it).
void DrawPage(QPainter &p, const engine::Worksheet &sheet, bool answers)
{
    const QRectF area = QRectF(p.viewport());
    const double width = area.width();
    DrawHeading(p, sheet, answers, width);

    // The problems: rows as tall as the page allows, digits as large as the
    // rows allow (at most 24 points, about 8.5 mm).
    const int n = int(sheet.problems.size());
    const int rows = std::max(1, (n + 1) / 2);
    const double top = Mm(32);
    const double rowHeight = std::min((area.height() - top) / rows, Mm(24));
    const double points = std::clamp(rowHeight / Dpi * 72.0 * 0.5, 12.0, 24.0);
    const QFont numberFont = FormFont(Face::Maru, points * 0.55);
    const QFont problemFont = FormFont(Face::Maru, points);
    const double columnWidth = width / 2;
    const QFontMetricsF metrics(problemFont, p.device());
    for (int i = 0; i < n; ++i) {
        const engine::ProblemRecord &problem = sheet.problems[std::size_t(i)];
        const int column = i / rows;
        const int row = i % rows;
        const double x = column * columnWidth;
        const double y = top + row * rowHeight;
        const QRectF line(x, y, columnWidth, rowHeight);

        p.setPen(Faint);
        p.setFont(numberFont);
        p.drawText(QRectF(x, y, Mm(12), rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("(%1)").arg(i + 1));
        p.setPen(Ink);
        p.setFont(problemFont);
        const QString text = engine::ProblemText(problem);
        const double textWidth = metrics.horizontalAdvance(text);
        p.drawText(QRectF(x + Mm(13), y, textWidth + Mm(2), rowHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
        // Room for four digits, written by hand.
        const double boxLeft = x + Mm(13) + textWidth + Mm(3);
        const double boxHeight = std::min(rowHeight * 0.8, Mm(14));
        const QRectF box(boxLeft, y + (rowHeight - boxHeight) / 2,
                         std::min(metrics.horizontalAdvance(QStringLiteral("８８８８")) + Mm(4),
                                  line.right() - boxLeft - Mm(4)),
                         boxHeight);
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
