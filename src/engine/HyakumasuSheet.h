#pragma once

#include "engine/Hyakumasu.h"

#include <QRectF>
#include <QString>

#include <cstdint>

// A 百ます計算 grid for paper: the same number always prints the same grid.
namespace engine {

struct HyakumasuSheet {
    HyakumasuGrid grid;
    std::uint32_t number = 1; // as the worksheets' numbers, 1..WorksheetMaxNumber
    QString title;            // "百ます計算　たし算"
    QString childName;        // on the なまえ line; empty leaves it to be written in
};

// The grid's seed for a sheet's number: a fixed rule, so a number noted down
// gives the same grid in every edition and every run.
std::uint32_t HyakumasuSheetSeed(std::uint32_t number);

HyakumasuSheet MakeHyakumasuSheet(std::int16_t operation, int size, std::uint32_t number);

// The name offered for its file: "百ます計算_たし算_10_00042.pdf".
QString HyakumasuSheetFileName(const HyakumasuSheet &sheet);

// Where the grid goes, in millimetres of the printable area, under the
// heading (title, name, date and time taken). Row and column 0 are the
// numbers' (the corner the sign's); the crossings are 1..size.
struct HyakumasuSheetLayout {
    int size = 10;
    double left = 0;
    double top = 0;
    double cell = 0; // the cells are square
    QRectF Cell(int row, int column) const
    {
        return QRectF(left + column * cell, top + row * cell, cell, cell);
    }
    QRectF Grid() const { return QRectF(left, top, (size + 1) * cell, (size + 1) * cell); }
};

inline constexpr double HyakumasuHeadingMm = 40;
// Cells no larger than this: a 5 × 5 grid stays a grid, not a page of boxes.
inline constexpr double HyakumasuLargestCellMm = 28;

// The grid as large as the area's width and height below the heading allow,
// centred across.
HyakumasuSheetLayout LayOutHyakumasuSheet(int size, double width, double height);

} // namespace engine
