#include "engine/HyakumasuResume.h"

#include "platform/RecordStore.h"

namespace engine {

OpenDrill KeptHyakumasu(const HyakumasuGrid &grid, const QString &drill, std::int16_t mode, const QString &child)
{
    OpenDrill open;
    open.drill = drill;
    open.mode = mode;
    open.problemCount = std::int16_t(grid.Count());
    open.context.calcKind = grid.operation;
    open.context.child = child;
    open.gridSize = grid.size;
    for (int i = 0; i < grid.Count(); ++i)
        open.problems.push_back(grid.Crossing(i));
    return open;
}

namespace {

std::optional<HyakumasuGrid> GridOf(const OpenDrill &open)
{
    const int size = open.gridSize;
    if ((size != 5 && size != 10) || open.problems.size() != std::size_t(size * size))
        return std::nullopt;
    HyakumasuGrid grid;
    grid.size = size;
    grid.operation = open.problems.front().Operation;
    for (int i = 0; i < size; ++i) {
        grid.across.push_back(open.problems[std::size_t(i)].RightOperand);
        grid.down.push_back(open.problems[std::size_t(i * size)].LeftOperand);
    }
    // Every crossing must be the one its row and column say.
    for (int i = 0; i < grid.Count(); ++i) {
        if (!(grid.Crossing(i) == open.problems[std::size_t(i)]))
            return std::nullopt;
    }
    return grid;
}

} // namespace

std::optional<HyakumasuTakenUp> TakeUpHyakumasu(const OpenDrill &open, const std::vector<platform::AnswerRow> &rows)
{
    std::optional<HyakumasuGrid> grid = GridOf(open);
    if (!grid)
        return std::nullopt;
    HyakumasuTakenUp up;
    up.grid = *grid;
    up.typed.assign(std::size_t(grid->Count()), QString());
    up.elapsed.assign(std::size_t(grid->Count()), 0);
    // Rows come in the order stored: a crossing changed later was stored
    // again, carrying its whole time, so its last row holds.
    for (const platform::AnswerRow &row : rows) {
        const int i = row.questionNo - 1;
        if (row.drill != open.drill || i < 0 || i >= grid->Count())
            continue;
        up.typed[std::size_t(i)] = row.typed;
        up.elapsed[std::size_t(i)] = row.elapsedMs;
    }
    up.next = grid->Count();
    for (int i = 0; i < grid->Count(); ++i) {
        up.ms += up.elapsed[std::size_t(i)];
        if (up.typed[std::size_t(i)].isEmpty() && up.next == grid->Count())
            up.next = i;
    }
    return up;
}

} // namespace engine
