#pragma once

#include "engine/ProblemSet.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {
struct AnswerRow;
}

namespace engine {

// A 百ます計算 grid: numbers across the top and down the left side, each side
// in its own order; the child fills the crossings row by row, left to right.
struct HyakumasuGrid {
    std::int16_t operation = 1; // 1 たし算, 2 ひき算, 3 かけ算
    int size = 10;              // 10 × 10, or 5 × 5 for beginners
    std::vector<std::int16_t> across; // the top numbers, left to right
    std::vector<std::int16_t> down;   // the left numbers, top to bottom

    bool operator==(const HyakumasuGrid &) const = default;
    int Count() const { return size * size; }
    // Crossing i (0-based, row by row): the left number with the top one.
    ProblemRecord Crossing(int i) const;
};

// The grid a seed gives: the same seed, the same grid. Sizes other than 5 and
// 10 are taken as 10, operations outside 1..3 as たし算.
HyakumasuGrid MakeHyakumasu(std::int16_t operation, int size, std::uint32_t seed);

// The grid judged at its end from the texts typed in its crossings.
struct HyakumasuResult {
    int right = 0;
    std::vector<int> wrong; // the crossings wrong or left empty, in order
    bool AllRight() const { return wrong.empty(); }
};
HyakumasuResult JudgeHyakumasu(const HyakumasuGrid &grid, const std::vector<QString> &typed);

// A typed text as the number it says (full-width digits too); none when it
// says no number.
std::optional<int> CrossingNumber(const QString &typed);

// A grid as the record keeps it: its crossings' rows, one drill.
struct HyakumasuDone {
    QDateTime at;               // its last crossing
    std::int16_t operation = 1;
    int size = 10;
    int crossings = 0;          // stored; fewer when it was left before its end
    int right = 0;
    std::int64_t ms = 0;        // the crossings' times summed
    bool Complete() const { return crossings == size * size; }
    // Only a complete grid with every crossing right makes a best time.
    bool MakesABest() const { return Complete() && right == crossings; }
};
// The grids among these rows, in the order they were begun.
std::vector<HyakumasuDone> HyakumasuGrids(const std::vector<platform::AnswerRow> &rows);
// The best time in ms among these grids for this operation and size.
std::optional<std::int64_t> HyakumasuBestOf(const std::vector<HyakumasuDone> &grids, std::int16_t operation,
                                            int size);

// The child's best time in ms for this operation and size, from the record's
// grid rows (rows of one drill make one grid). A grid counts only when it is
// complete and every crossing was right.
std::optional<std::int64_t> HyakumasuBestMs(const std::vector<platform::AnswerRow> &rows,
                                           const QString &child, std::int16_t operation,
                                           int size);

} // namespace engine
