#include "engine/HyakumasuSheet.h"

#include "engine/Progress.h"

#include <algorithm>

namespace engine {

std::uint32_t HyakumasuSheetSeed(std::uint32_t number)
{
    // A multiplicative hash: neighbouring numbers give seeds far apart, and
    // none of them the small seeds the on-screen grids are tested with.
    return (number * 2654435761U) ^ 0x68796b6dU;
}

HyakumasuSheet MakeHyakumasuSheet(std::int16_t operation, int size, std::uint32_t number)
{
    HyakumasuSheet sheet;
    sheet.grid = MakeHyakumasu(operation, size, HyakumasuSheetSeed(number));
    sheet.number = number;
    sheet.title = QStringLiteral("百ます計算　") + KindLabel(sheet.grid.operation);
    return sheet;
}

QString HyakumasuSheetFileName(const HyakumasuSheet &sheet)
{
    return QStringLiteral("百ます計算_%1_%2_%3.pdf")
        .arg(KindLabel(sheet.grid.operation))
        .arg(sheet.grid.size)
        .arg(sheet.number, 5, 10, QLatin1Char('0'));
}

HyakumasuSheetLayout LayOutHyakumasuSheet(int size, double width, double height)
{
    HyakumasuSheetLayout layout;
    layout.size = size;
    const int cells = size + 1;
    layout.cell = std::min({width / cells, (height - HyakumasuHeadingMm) / cells, HyakumasuLargestCellMm});
    layout.left = (width - cells * layout.cell) / 2;
    layout.top = HyakumasuHeadingMm;
    return layout;
}

} // namespace engine
