#pragma once

#include "engine/Kinds.h"

#include <array>
#include <cstdint>
#include <vector>

namespace platform {
class RandomSource;
}

namespace engine {

struct ProblemRecord {
    std::int16_t LeftOperand = 0;
    std::int16_t RightOperand = 0;
    std::int16_t Answer = 0;
    std::int16_t Operation = 0; // 1 +, 2 -, 3 ×, 4 ÷; 0 marks an empty record

    bool operator==(const ProblemRecord &) const = default;
};

// The drill screen's problem set: a fixed array of records 1..10000 (slot 0
// stays empty, so a question number of 0 reads an empty record), with the
// per-operation counts of the current set. The records outlive a drill; the
// next build wipes the run an earlier drill left.
class ProblemSet {
public:
    static constexpr int Capacity = study::MaxProblemCount;

    std::int16_t AddCount = 0;
    std::int16_t SubCount = 0;
    std::int16_t MulCount = 0;
    std::int16_t DivCount = 0;
    // Records written since the drill screen loaded; the screen's load step
    // sets it to 0 and the build relies on that.
    std::int16_t GeneratedCount = 0;

    // Record i, 1-based. i outside 0..Capacity gives an empty record.
    const ProblemRecord &Problems(int i) const;

    // Everything of a build that is not the screen's own: reseed, reset the
    // tallies, wipe, split ProblemCount by CalcKind, generate within
    // RangeMax, shuffle, and set QuestionNo to 1. The screen hides its set-up
    // frame and shows question 1 around it.
    void BuildProblemSet(platform::RandomSource &random);
    // The same for a set given in advance (another try at missed problems):
    // the problems, each once, in a new random order; ProblemCount becomes
    // their number.
    void BuildProblemSet(const std::vector<ProblemRecord> &problems, platform::RandomSource &random);

    // The problems as given, in this order (a drill taken up again): the
    // tallies start afresh and QuestionNo is 1.
    void LoadInOrder(const std::vector<ProblemRecord> &problems);

    // Splits the count between the kind's operations (KindTable): each gets
    // count / n, the last one the rest. A kind no list offers gets nothing.
    void SplitProblemCount(std::int16_t calcKind, std::int16_t problemCount);
    void ShuffleProblems(platform::RandomSource &random);
    // Each appends its count of problems drawn within the range: a number
    // range (10..999), or for multiplication a table row (1..9, 81 all rows).
    void MakeAdditionProblems(platform::RandomSource &random, std::int16_t range);
    void MakeSubtractionProblems(platform::RandomSource &random, std::int16_t range);
    void MakeMultiplicationProblems(platform::RandomSource &random, std::int16_t range);
    void MakeDivisionProblems(platform::RandomSource &random, std::int16_t range);

    // Clears the run of records an earlier drill left, stopping at the first
    // empty record.
    void WipeRecords();

private:
    friend struct Generators;
    void Append(std::int16_t left, std::int16_t right, std::int16_t answer, std::int16_t operation);
    std::array<ProblemRecord, Capacity + 1> records_{};
};

} // namespace engine
