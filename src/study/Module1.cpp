#include "study/Module1.h"

namespace Module1 {

void ResetAll()
{
    StudyMode = CalcKind = RangeMax = ProblemCount = 0;
    CorrectCount = WrongCount = QuestionNo = AnswerState = 0;
}

} // namespace Module1
