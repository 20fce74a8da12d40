#include "engine/Drill.h"

#include "engine/Score.h"
#include "study/Module1.h"

namespace engine {

void Drill::Begin(platform::RandomSource &random)
{
    Started(DrillContext::FromStudyState());
    problemSet.BuildProblemSet(random);
}

void Drill::Begin(const std::vector<ProblemRecord> &problems, const DrillContext &context,
                  platform::RandomSource &random)
{
    Started(context);
    problemSet.BuildProblemSet(problems, random);
}

void Drill::Started(const DrillContext &context)
{
    context_ = context;
    log_.Clear();
    recorder_.Begin(context);
}

bool Drill::Finished() const
{
    return Module1::QuestionNo > Module1::ProblemCount;
}

const ProblemRecord &Drill::Current() const
{
    return problemSet.Problems(Module1::QuestionNo);
}

void Drill::Shown()
{
    recorder_.QuestionShown();
}

Verdict Drill::Judge(const QString &typed)
{
    if (typed.isEmpty())
        return Verdict::NothingTyped;
    const ProblemRecord &record = Current();
    const std::optional<bool> right = JudgeAnswer(typed, record.Answer);
    if (!right)
        return Verdict::NotANumber;

    log_.Add(record, typed, *right);
    if (*right) {
        Module1::AnswerState = Module1::AnsweredRight;
        ++Module1::CorrectCount;
    } else {
        Module1::AnswerState = Module1::AnsweredWrong;
        ++Module1::WrongCount;
    }
    // Kept before the child sees the verdict: whatever happens next, the
    // answer is in the record.
    recorder_.Judged(record, typed, *right);
    return *right ? Verdict::Right : Verdict::Wrong;
}

void Drill::Next()
{
    ++Module1::QuestionNo;
}

std::optional<int> Drill::ShownScore() const
{
    if (Module1::QuestionNo == 0 || Module1::CorrectCount == 0)
        return std::nullopt;
    return Score(Module1::CorrectCount, Module1::QuestionNo);
}

} // namespace engine
