#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace engine {

// part of whole in per cent, counted exactly in whole numbers, a half going
// up (57.5 % is 58); 0 of nothing is 0. Every screen's per cent is this one.
int PercentRounded(int part, int whole);

// The share of right answers among the questionNo - 1 answered, in per cent,
// a half going up. No value when nothing has been answered.
std::optional<int> Score(std::int16_t correctCount, std::int16_t questionNo);

// The operator sign shown for an operation, or no value for anything else.
std::optional<QString> OperatorSign(std::int16_t operation);

// Judges an answer text against the stored answer: no value when the text is
// not a number; otherwise whether it equals the answer exactly.
std::optional<bool> JudgeAnswer(const QString &text, std::int16_t answer);

} // namespace engine
