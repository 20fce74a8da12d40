#include "engine/AnswerRecorder.h"

#include "platform/RecordStore.h"
#include "platform/Services.h"
#include "study/Module1.h"

#include <QUuid>

#include <limits>

namespace engine {

void AnswerRecorder::BeginDrill(bool retry)
{
    // Unique across copies of the program drilling at once.
    drill_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
    retry_ = retry;
    practice_.reset();
    shown_.invalidate();
}

void AnswerRecorder::BeginPractice(const PracticeKind &kind)
{
    BeginDrill(false);
    practice_ = kind;
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
    row.calcKind = practice_ ? practice_->calcKind : Module1::CalcKind;
    row.rangeMax = practice_ ? practice_->rangeMax : Module1::RangeMax;
    row.practice = practice_.has_value();
    row.problemCount = Module1::ProblemCount;
    row.retry = retry_;
    row.questionNo = Module1::QuestionNo;
    row.left = problem.LeftOperand;
    row.right = problem.RightOperand;
    row.operation = problem.Operation;
    row.answer = problem.Answer;
    row.typed = typed;
    row.correct = right;
    const qint64 elapsed = shown_.isValid() ? shown_.elapsed() : 0;
    row.elapsedMs = int(std::min<qint64>(elapsed, std::numeric_limits<std::int32_t>::max()));
    platform::recordStore().Append(row);
}

} // namespace engine
