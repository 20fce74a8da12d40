#pragma once

#include <cstdint>

// The values every screen shares for the life of the process. They are plain
// 16-bit integers on the one GUI thread; nothing here is saved between runs.
namespace Module1 {

inline std::int16_t StudyMode = 0;    // 0 free study, 1 designated, 2 Spartan
inline std::int16_t CalcKind = 0;     // 1..15, or 81 for the multiplication table
inline std::int16_t RangeMax = 0;     // range upper end, or table row (1..9, 81 = all)
inline std::int16_t ProblemCount = 0; // problems in one drill
inline std::int16_t CorrectCount = 0; // right answers in the current drill
inline std::int16_t WrongCount = 0;   // wrong answers in the current drill
inline std::int16_t QuestionNo = 0;   // 1-based number of the question on screen
inline std::int16_t AnswerState = 0;  // 0 wrong, 1 right, 2 acknowledged

enum StudyModes : std::int16_t { FreeStudy = 0, DesignatedStudy = 1, Spartan = 2 };
enum AnswerStates : std::int16_t { AnsweredWrong = 0, AnsweredRight = 1, Acknowledged = 2 };

// Puts every value back to its process-start value (0). For tests that run
// several programs in one process.
void ResetAll();

} // namespace Module1
