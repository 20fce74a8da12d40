#include "forms/record/WorksheetPdf.h"

#include "engine/ColumnSheet.h"
#include "engine/Review.h"
#include "engine/WorksheetLayout.h"
#include "forms/common/FormKit.h"
#include "forms/record/PdfPages.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace forms {

namespace {

using namespace pdf;

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
    if (!sheet.request.columns) {
        p.drawText(QRectF(width * 0.6, blankTop, width * 0.4, blankHeight), Qt::AlignLeft | Qt::AlignBottom,
                   QStringLiteral("　　　月　　　日"));
        p.drawLine(QPointF(width * 0.6, blankTop + blankHeight), QPointF(width, blankTop + blankHeight));
        return;
    }
    // Boxes for the day and the score, as the printed column sheets have.
    const QRectF day(width * 0.58, blankTop - Mm(1), width * 0.22, blankHeight + Mm(2));
    const QRectF score(width * 0.82, blankTop - Mm(1), width * 0.18, blankHeight + Mm(2));
    p.setPen(QPen(Ink, Mm(0.3)));
    p.drawRect(day);
    p.drawRect(score);
    p.drawText(day, Qt::AlignCenter, QStringLiteral("　　月　　日"));
    p.drawText(score.adjusted(0, 0, -Mm(2), 0), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("てん"));
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

// A problem in columns in its slot: its number, the upper number, the sign
// and the lower number, a rule, a box for each digit of the answer (on the
// answer page the digits in them), and thin lines between the places.
void DrawInColumns(QPainter &p, const engine::ProblemRecord &problem, int number, const QPointF &at,
                   const engine::ColumnSheetLayout &l, bool answers)
{
    const engine::ColumnFigures f = engine::InColumns(problem);
    const double cell = Mm(l.cell);
    const double labelHeight = cell * 0.7;
    p.setPen(Faint);
    p.setFont(FormFont(Face::Maru, l.cell * 72 / 25.4 * 0.4));
    p.drawText(QRectF(at, QSizeF(Mm(l.slotWidth), labelHeight)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("(%1)").arg(number));
    const double left = at.x() + cell * 0.5;
    const double top = at.y() + labelHeight;
    const auto cellAt = [&](int row, int column) {
        return QRectF(left + column * cell, top + row * cell, cell, cell);
    };
    const int first = f.columns; // the ones' column; 0 is the sign's
    const auto figureCell = [&](int row, int fromRight) { return cellAt(row, first - fromRight); };
    const QFont digits = FormFont(Face::Maru, l.cell * 72 / 25.4 * 0.62);
    p.setFont(digits);
    p.setPen(Ink);
    for (int i = 0; i < int(f.upper.size()); ++i)
        p.drawText(figureCell(0, int(f.upper.size()) - 1 - i), Qt::AlignCenter, f.upper.at(i));
    for (int i = 0; i < int(f.lower.size()); ++i)
        p.drawText(figureCell(1, int(f.lower.size()) - 1 - i), Qt::AlignCenter, f.lower.at(i));
    p.drawText(cellAt(1, 0), Qt::AlignCenter, f.sign);
    // Place-value lines through the numbers, the rule under them.
    p.setPen(QPen(Faint, Mm(0.15), Qt::DotLine));
    for (int column = 2; column <= first; ++column)
        p.drawLine(cellAt(0, column).topLeft(), cellAt(1, column).bottomLeft());
    p.setPen(QPen(Ink, Mm(0.5)));
    p.drawLine(cellAt(1, 0).bottomLeft(), cellAt(1, first).bottomRight());
    const int boxes = int(f.answer.size());
    for (int i = 0; i < boxes; ++i) {
        const QRectF box = figureCell(2, boxes - 1 - i).adjusted(Mm(0.6), Mm(0.8), -Mm(0.6), -Mm(0.4));
        p.setPen(QPen(Faint, Mm(0.3)));
        p.drawRect(box);
        if (answers) {
            p.setPen(AnswerRed);
            p.drawText(box, Qt::AlignCenter, f.answer.at(i));
        }
    }
}

// A problem not worked in columns, in a slot of a column sheet: on one line,
// its box under it.
void DrawOnOneLine(QPainter &p, const engine::ProblemRecord &problem, int number, const QPointF &at,
                   const engine::ColumnSheetLayout &l, bool answers)
{
    const double cell = Mm(l.cell);
    const QRectF slot(at, QSizeF(Mm(l.slotWidth), Mm(l.slotHeight)));
    p.setPen(Faint);
    p.setFont(FormFont(Face::Maru, l.cell * 72 / 25.4 * 0.4));
    p.drawText(QRectF(at, QSizeF(slot.width(), cell * 0.7)), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("(%1)").arg(number));
    QFont font = FormFont(Face::Maru, l.cell * 72 / 25.4 * 0.5);
    p.setFont(font);
    p.setPen(Ink);
    p.drawText(QRectF(at.x() + cell * 0.5, at.y() + cell * 0.7, slot.width() - cell, cell), Qt::AlignLeft | Qt::AlignVCenter,
               engine::ProblemText(problem));
    const QString answer = engine::FullWidthNumber(problem.Answer);
    const QRectF box(at.x() + cell * 0.5, at.y() + cell * 1.9,
                     std::min(slot.width() - cell, engine::HandwrittenEms(int(answer.size())) * cell * 0.6), cell);
    p.setPen(QPen(Faint, Mm(0.3)));
    p.drawRect(box);
    if (answers) {
        p.setPen(AnswerRed);
        p.drawText(box, Qt::AlignCenter, answer);
    }
}

// The problems of one page of a column sheet (or their answers), in rows of
// slots from the top left.
void DrawColumnPage(QPainter &p, const engine::Worksheet &sheet, int page, bool answers)
{
    const QRectF area = QRectF(p.viewport());
    DrawHeading(p, sheet, answers, area.width());
    const engine::ColumnSheetLayout l =
        engine::LayOutColumnSheet(sheet.problems, area.width() / Mm(1), area.height() / Mm(1));
    const int from = page * l.PerPage();
    const int to = std::min(int(sheet.problems.size()), from + l.PerPage());
    for (int i = from; i < to; ++i) {
        const int slot = i - from;
        const QPointF at(Mm((slot % l.across) * l.slotWidth), Mm(l.top + (slot / l.across) * l.slotHeight));
        const engine::ProblemRecord &problem = sheet.problems[std::size_t(i)];
        if (engine::WorkedInColumns(problem))
            DrawInColumns(p, problem, i + 1, at, l, answers);
        else
            DrawOnOneLine(p, problem, i + 1, at, l, answers);
    }
}

} // namespace

QByteArray WorksheetPdf(const engine::Worksheet &sheet)
{
    if (!sheet.request.columns)
        return A4Pdf(sheet.title, 2, [&](QPainter &p, int page) { DrawPage(p, sheet, page == 1); });
    // The problems' pages, then as many of answers.
    const int pages = engine::ColumnSheetLayout{}.Pages(int(sheet.problems.size()));
    return A4Pdf(sheet.title, 2 * pages,
                 [&](QPainter &p, int page) { DrawColumnPage(p, sheet, page % pages, page >= pages); });
}

} // namespace forms
