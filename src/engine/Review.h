#pragma once

#include "engine/ProblemSet.h"

#include <QString>

#include <vector>

namespace platform {
class RandomSource;
}

namespace engine {

// One answer the check judged: the problem as asked, the text as typed, and
// whether it was right.
struct AnsweredProblem {
    ProblemRecord problem;
    QString typed;
    bool right = false;
};

// Every judged answer of the current drill, in the order asked. A new drill
// starts it afresh; it outlives the drill screen so the results can show it.
class AnswerLog {
public:
    void Clear() { answers_.clear(); }
    void Add(const ProblemRecord &problem, const QString &typed, bool right);
    const std::vector<AnsweredProblem> &Answers() const { return answers_; }
    std::vector<AnsweredProblem> Missed() const;
    bool AnyMissed() const;

private:
    std::vector<AnsweredProblem> answers_;
};

// The problems of another try: every missed problem once (a problem missed
// twice is asked once), and about one in four of the rightly answered ones
// (at least one when there were any), drawn at random. Unordered: the build
// shuffles them.
std::vector<ProblemRecord> RetryProblems(const AnswerLog &log, platform::RandomSource &random);

// The problem as the child saw it, in full-width digits: 「７×８＝」 is
// "７×８＝".
QString ProblemText(const ProblemRecord &problem);
// A number in full-width digits (a minus sign as "－").
QString FullWidthNumber(int value);

} // namespace engine
