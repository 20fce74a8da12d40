#pragma once

#include "study/Choices.h"

#include <array>
#include <cstdint>
#include <optional>

namespace engine {

enum Operations : std::int16_t { Addition = 1, Subtraction = 2, Multiplication = 3, Division = 4 };

// Which of the four operations a kind drills, indexed by operation (1..4;
// index 0 is unused). The count of a drill is split between them in this
// order, the last one taking the remainder.
using OperationSet = std::array<bool, 5>;

struct KindOperations {
    std::int16_t calcKind;
    OperationSet operations;
};

inline constexpr std::array<KindOperations, 16> KindTable{{
    {1, {false, true, false, false, false}},
    {2, {false, false, true, false, false}},
    {3, {false, false, false, true, false}},
    {4, {false, false, false, false, true}},
    {5, {false, true, true, false, false}},
    {6, {false, true, false, true, false}},
    {7, {false, true, false, false, true}},
    {8, {false, false, true, true, false}},
    {9, {false, false, true, false, true}},
    {10, {false, false, false, true, true}},
    {11, {false, true, true, true, false}},
    {12, {false, true, true, false, true}},
    {13, {false, true, false, true, true}},
    {14, {false, false, true, true, true}},
    {15, {false, true, true, true, true}},
    {study::TimesTableKind, {false, false, false, true, false}},
}};

// The kind's operations; no value for a kind no list offers.
constexpr std::optional<OperationSet> OperationsOf(std::int16_t calcKind)
{
    for (const KindOperations &k : KindTable) {
        if (k.calcKind == calcKind)
            return k.operations;
    }
    return std::nullopt;
}

// A fact of the multiplication table: two factors from 1 to 9.
constexpr bool IsTimesFact(std::int16_t operation, std::int16_t left, std::int16_t right)
{
    return operation == Multiplication && left >= 1 && left <= 9 && right >= 1 && right <= 9;
}

} // namespace engine
