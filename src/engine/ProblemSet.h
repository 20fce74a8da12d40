#pragma once

#include "study/Choices.h"

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

enum Operations : std::int16_t { Addition = 1, Subtraction = 2, Multiplication = 3, Division = 4 };

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
    // tallies, wipe, split ProblemCount by CalcKind, generate, shuffle, and
    // set QuestionNo to 1. The screen hides its set-up frame and shows
    // question 1 around it.
    void BuildProblemSet(platform::RandomSource &random);
    // The same for a set given in advance (another try at missed problems):
    // the problems, each once, in a new random order; ProblemCount becomes
    // their number.
    void BuildProblemSet(const std::vector<ProblemRecord> &problems, platform::RandomSource &random);

    // Splits ProblemCount between the four operations for CalcKind.
    void SplitProblemCount(std::int16_t calcKind, std::int16_t problemCount);
    void ShuffleProblems(platform::RandomSource &random);
    void MakeAdditionProblems(platform::RandomSource &random);
    void MakeSubtractionProblems(platform::RandomSource &random);
    void MakeMultiplicationProblems(platform::RandomSource &random);
    void MakeDivisionProblems(platform::RandomSource &random);

    // Clears the run of records an earlier drill left, stopping at the first
    // empty record.
    void WipeRecords();

private:
    friend struct Generators;
    void Append(std::int16_t left, std::int16_t right, std::int16_t answer, std::int16_t operation);
    std::array<ProblemRecord, Capacity + 1> records_{};
};

} // namespace engine
