#include "engine/WorksheetLayout.h"

#include "engine/Review.h"

#include <algorithm>

namespace engine {

namespace {

// In ems of the problems' type: the number before a problem, the gap before
// its box, and what is left clear before the next column.
constexpr double NumberEms = 2.2;
constexpr double GapEms = 0.6;
constexpr double ClearEms = 0.6;
constexpr double LargestRowMm = 24;

} // namespace

double HandwrittenEms(int digits)
{
    // A hand writes a digit wider than type does, and keeps off the lines.
    return std::max(digits, 1) * 1.3 + 1.0;
}

LineSheetLayout LayOutLineSheet(const std::vector<ProblemRecord> &problems, double width, double height)
{
    LineSheetLayout layout;
    const int n = std::max(int(problems.size()), 1);
    layout.rows = (n + layout.columns - 1) / layout.columns;
    layout.top = WorksheetHeadingMm;
    layout.columnWidth = width / layout.columns;
    layout.rowHeight = std::min((height - layout.top) / layout.rows, LargestRowMm);

    int textEms = 1;
    int answerDigits = 1;
    for (const ProblemRecord &p : problems) {
        textEms = std::max(textEms, int(ProblemText(p).size()));
        answerDigits = std::max(answerDigits, int(FullWidthNumber(p.Answer).size()));
    }
    const double boxEms = HandwrittenEms(answerDigits);
    const double lineEms = NumberEms + textEms + GapEms + boxEms + ClearEms;
    layout.em = std::min({layout.rowHeight * 0.5, layout.columnWidth / lineEms, WorksheetLargestEmMm});
    layout.numberWidth = NumberEms * layout.em;
    layout.textWidth = textEms * layout.em;
    layout.boxLeft = layout.numberWidth + layout.textWidth + GapEms * layout.em;
    layout.boxWidth = boxEms * layout.em;
    layout.boxHeight = std::min(layout.rowHeight * 0.8, 1.7 * layout.em);
    return layout;
}

} // namespace engine
