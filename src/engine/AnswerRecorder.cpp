#include "engine/AnswerRecorder.h"

#include "platform/RecordStore.h"
#include "platform/Services.h"
#include "study/Children.h"
#include "study/Module1.h"

#include <QUuid>

#include <limits>

namespace engine {

DrillContext DrillContext::FromStudyState()
{
    return {Module1::CalcKind, Module1::RangeMax, false, false, study::StudyingChild};
}

DrillContext DrillContext::Practice(const PracticeKind &kind)
{
    return {kind.calcKind, kind.rangeMax, false, true, study::StudyingChild};
}

DrillContext DrillContext::Retry() const
{
    DrillContext retry = *this;
    retry.retry = true;
    return retry;
}

void AnswerRecorder::Begin(const DrillContext &context, const QString &drill)
{
    // Unique across copies of the program drilling at once.
    drill_ = drill.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : drill;
    context_ = context;
    shown_.invalidate();
}

void AnswerRecorder::QuestionShown()
{
    shown_.start();
}

void AnswerRecorder::Judged(const ProblemRecord &problem, const QString &typed, bool right)
{
    platform::AnswerRow row;
    row.drill = drill_.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : drill_;
    row.answeredAt = QDateTime::currentDateTime();
    row.mode = Module1::StudyMode;
    row.calcKind = context_.calcKind;
    row.rangeMax = context_.rangeMax;
    row.practice = context_.practice;
    row.problemCount = Module1::ProblemCount;
    row.retry = context_.retry;
    row.questionNo = Module1::QuestionNo;
    row.left = problem.LeftOperand;
    row.right = problem.RightOperand;
    row.operation = problem.Operation;
    row.answer = problem.Answer;
    row.typed = typed;
    row.correct = right;
    row.child = context_.child;
    const qint64 elapsed = shown_.isValid() ? shown_.elapsed() : 0;
    row.elapsedMs = int(std::min<qint64>(elapsed, std::numeric_limits<std::int32_t>::max()));
    platform::recordStore().Append(row);
}

} // namespace engine
