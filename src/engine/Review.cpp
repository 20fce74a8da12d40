#include "engine/Review.h"

#include "engine/Score.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace engine {

void AnswerLog::Add(const ProblemRecord &problem, const QString &typed, bool right)
{
    answers_.push_back({problem, typed, right});
}

std::vector<AnsweredProblem> AnswerLog::Missed() const
{
    std::vector<AnsweredProblem> missed;
    std::copy_if(answers_.begin(), answers_.end(), std::back_inserter(missed),
                 [](const AnsweredProblem &a) { return !a.right; });
    return missed;
}

bool AnswerLog::AnyMissed() const
{
    return std::any_of(answers_.begin(), answers_.end(), [](const AnsweredProblem &a) { return !a.right; });
}

std::vector<ProblemRecord> RetryProblems(const AnswerLog &log, platform::RandomSource &random)
{
    std::vector<ProblemRecord> missed;
    std::vector<ProblemRecord> right;
    auto contains = [](const std::vector<ProblemRecord> &list, const ProblemRecord &p) {
        return std::find(list.begin(), list.end(), p) != list.end();
    };
    for (const AnsweredProblem &a : log.Answers()) {
        if (!a.right && !contains(missed, a.problem))
            missed.push_back(a.problem);
    }
    // A problem both missed and answered right (asked twice) counts as missed.
    for (const AnsweredProblem &a : log.Answers()) {
        if (a.right && !contains(missed, a.problem) && !contains(right, a.problem))
            right.push_back(a.problem);
    }

    std::vector<ProblemRecord> problems = missed;
    if (!right.empty()) {
        const auto share = std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(right.size() / 4.0)));
        // A partial shuffle: each pick is drawn from those not yet picked.
        for (std::size_t i = 0; i < share; ++i) {
            const auto left = static_cast<int>(right.size() - i);
            const auto pick = i + static_cast<std::size_t>(platform::DrawFrom1To(random, left) - 1);
            std::swap(right[i], right[pick]);
            problems.push_back(right[i]);
        }
    }
    return problems;
}

QString FullWidthNumber(int value)
{
    QString text = QString::number(value);
    for (QChar &c : text) {
        if (c.isDigit())
            c = QChar(0xFF10 + (c.unicode() - u'0'));
        else if (c == u'-')
            c = QChar(0xFF0D);
    }
    return text;
}

QString ProblemText(const ProblemRecord &problem)
{
    return FullWidthNumber(problem.LeftOperand) + OperatorSign(problem.Operation).value_or(QString()) +
           FullWidthNumber(problem.RightOperand) + QStringLiteral("＝");
}

} // namespace engine
