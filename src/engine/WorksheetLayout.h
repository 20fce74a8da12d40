#pragma once

#include "engine/ProblemSet.h"

#include <vector>

// Where a worksheet's one-line problems go on the page, in millimetres of the
// printable area. The digits and signs of a problem are full-width, one em
// each, in the sheet's monospaced face.
namespace engine {

struct LineSheetLayout {
    int columns = 2;
    int rows = 0;          // down each column
    double top = 0;        // where the first row starts, under the heading
    double columnWidth = 0;
    double rowHeight = 0;
    double em = 0;         // the problems' type size
    double numberWidth = 0; // "(12)" before each problem
    double textWidth = 0;   // the widest problem of the sheet
    double boxLeft = 0;     // from the column's left, the same for every row
    double boxWidth = 0;    // room for the longest answer written by hand
    double boxHeight = 0;
};

// The heading's height above the problems.
inline constexpr double WorksheetHeadingMm = 32;
// The largest type: about 8.5 mm (24 points).
inline constexpr double WorksheetLargestEmMm = 24 * 25.4 / 72;

// Type as large as the rows and the columns allow, with every box as wide as
// the sheet's longest answer and a hand's looser writing.
LineSheetLayout LayOutLineSheet(const std::vector<ProblemRecord> &problems, double width, double height);

// How many ems a child's hand needs for so many digits.
double HandwrittenEms(int digits);

} // namespace engine
