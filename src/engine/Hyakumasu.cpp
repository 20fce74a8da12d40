#include "engine/Hyakumasu.h"

#include "platform/RecordStore.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <random>

namespace engine {

namespace {

std::vector<std::int16_t> Side(std::mt19937 &gen, int size, int base)
{
    std::vector<std::int16_t> all(10);
    std::iota(all.begin(), all.end(), std::int16_t(base));
    // A Fisher–Yates pass of our own: std::shuffle differs between libraries,
    // and a seed must give the same grid in every edition.
    for (int i = 9; i > 0; --i) {
        const int j = int(gen() % std::uint32_t(i + 1));
        std::swap(all[i], all[j]);
    }
    all.resize(size);
    return all;
}

} // namespace

ProblemRecord HyakumasuGrid::Crossing(int i) const
{
    ProblemRecord p;
    p.LeftOperand = down[i / size];
    p.RightOperand = across[i % size];
    p.Operation = operation;
    switch (operation) {
    case 2: p.Answer = std::int16_t(p.LeftOperand - p.RightOperand); break;
    case 3: p.Answer = std::int16_t(p.LeftOperand * p.RightOperand); break;
    default: p.Answer = std::int16_t(p.LeftOperand + p.RightOperand); break;
    }
    return p;
}

HyakumasuGrid MakeHyakumasu(std::int16_t operation, int size, std::uint32_t seed)
{
    HyakumasuGrid grid;
    grid.operation = operation >= 1 && operation <= 3 ? operation : std::int16_t(1);
    grid.size = size == 5 ? 5 : 10;
    std::mt19937 gen(seed);
    grid.across = Side(gen, grid.size, 0);
    // Differences from 10–19 are never negative, as on the printed grids.
    grid.down = Side(gen, grid.size, grid.operation == 2 ? 10 : 0);
    return grid;
}

std::optional<int> CrossingNumber(const QString &typed)
{
    QString digits;
    for (QChar c : typed.trimmed()) {
        if (c >= u'０' && c <= u'９')
            c = QChar(u'0' + (c.unicode() - u'０'));
        if (c < u'0' || c > u'9')
            return std::nullopt;
        digits += c;
    }
    if (digits.isEmpty() || digits.size() > 4)
        return std::nullopt;
    return digits.toInt();
}

HyakumasuResult JudgeHyakumasu(const HyakumasuGrid &grid, const std::vector<QString> &typed)
{
    HyakumasuResult result;
    for (int i = 0; i < grid.Count(); ++i) {
        const std::optional<int> n =
            i < int(typed.size()) ? CrossingNumber(typed[std::size_t(i)]) : std::nullopt;
        if (n && *n == grid.Crossing(i).Answer)
            ++result.right;
        else
            result.wrong.push_back(i);
    }
    return result;
}

namespace {

std::vector<HyakumasuDone> Gather(const std::vector<platform::AnswerRow> &rows, const QString *child)
{
    std::map<QString, std::size_t> index;
    std::vector<HyakumasuDone> grids;
    for (const platform::AnswerRow &row : rows) {
        if (!row.grid || (child && row.child != *child) || (row.problemCount != 25 && row.problemCount != 100))
            continue;
        const auto [at, added] = index.try_emplace(row.drill, grids.size());
        if (added)
            grids.push_back({row.answeredAt, row.calcKind, row.problemCount == 25 ? 5 : 10});
        HyakumasuDone &grid = grids[at->second];
        ++grid.crossings;
        grid.right += row.correct ? 1 : 0;
        grid.ms += row.elapsedMs;
        grid.at = std::max(grid.at, row.answeredAt);
    }
    return grids;
}

} // namespace

std::vector<HyakumasuDone> HyakumasuGrids(const std::vector<platform::AnswerRow> &rows)
{
    return Gather(rows, nullptr);
}

std::optional<std::int64_t> HyakumasuBestMs(const std::vector<platform::AnswerRow> &rows,
                                           const QString &child, std::int16_t operation,
                                           int size)
{
    return HyakumasuBestOf(Gather(rows, &child), operation, size);
}

std::optional<std::int64_t> HyakumasuBestOf(const std::vector<HyakumasuDone> &grids, std::int16_t operation,
                                            int size)
{
    std::optional<std::int64_t> best;
    for (const HyakumasuDone &grid : grids) {
        if (grid.operation == operation && grid.size == size && grid.MakesABest() && (!best || grid.ms < *best))
            best = grid.ms;
    }
    return best;
}

} // namespace engine
