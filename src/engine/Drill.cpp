#include "engine/Drill.h"

#include "engine/Score.h"
#include "platform/Services.h"
#include "study/Children.h"
#include "study/Module1.h"

#include <map>

namespace engine {

void Drill::Begin(platform::RandomSource &random)
{
    Started(DrillContext::FromStudyState());
    problemSet.BuildProblemSet(random);
    KeepIfSpartan();
}

void Drill::Begin(const std::vector<ProblemRecord> &problems, const DrillContext &context,
                  platform::RandomSource &random)
{
    Started(context);
    problemSet.BuildProblemSet(problems, random);
    KeepIfSpartan();
}

void Drill::Started(const DrillContext &context)
{
    EndKept(); // a drill before this one is over
    context_ = context;
    log_.Clear();
    recorder_.Begin(context);
}

void Drill::KeepIfSpartan()
{
    if (Module1::StudyMode != Module1::Spartan)
        return;
    OpenDrill open;
    open.drill = recorder_.DrillName();
    open.mode = Module1::StudyMode;
    open.problemCount = Module1::ProblemCount;
    open.context = context_;
    for (int i = 1; i <= problemSet.GeneratedCount; ++i)
        open.problems.push_back(problemSet.Problems(i));
    if (open.problems.empty())
        return;
    kept_ = true;
    KeepOpen(platform::recordStore(), open);
}

void Drill::Resume(const OpenDrill &open, const std::vector<platform::AnswerRow> &answers)
{
    EndKept();
    context_ = open.context;
    log_.Clear();
    recorder_.Begin(open.context, open.drill);
    Module1::StudyMode = open.mode;
    if (!open.context.practice) {
        Module1::CalcKind = open.context.calcKind;
        Module1::RangeMax = open.context.rangeMax;
    }
    study::StudyingChild = open.context.child;
    problemSet.LoadInOrder(open.problems);
    // The answers stored, question by question; the drill goes on at the
    // first question none was stored for.
    std::map<int, const platform::AnswerRow *> stored;
    for (const platform::AnswerRow &row : answers) {
        if (row.drill == open.drill)
            stored[row.questionNo] = &row;
    }
    for (auto found = stored.find(Module1::QuestionNo); found != stored.end() && !Finished();
         found = stored.find(Module1::QuestionNo)) {
        log_.Add(Current(), found->second->typed, found->second->correct);
        ++(found->second->correct ? Module1::CorrectCount : Module1::WrongCount);
        Next();
    }
    Module1::AnswerState = Module1::Acknowledged;
    kept_ = true;
}

void Drill::EndKept()
{
    if (!kept_)
        return;
    kept_ = false;
    EndOpen(platform::recordStore(), recorder_.DrillName());
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
