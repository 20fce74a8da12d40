#pragma once

#include "engine/ProblemSet.h"
#include "engine/Progress.h"

#include <QDate>

#include <array>
#include <cstdint>
#include <vector>

namespace platform {
class RandomSource;
}

// にがて練習 and 計算プリント: which problems to set, from what the learning
// record says of the child.
namespace engine {

// The schedule. A fact missed or slow in its latest tries (FactRule) comes
// first, every time. A known fact comes back once its interval has passed:
// the interval grows with the number of days in a row, counting back from the
// latest, on which it was answered right and quick (a Leitner box per day),
// 1, 2, 4, 8, then 16 days; a miss or a slow answer starts it over. About one
// problem in KnownShareDivisor is such a known fact, mixed back in; what the
// record cannot fill is drawn as a normal drill draws.
struct PracticeRule {
    static constexpr std::array<int, 5> IntervalDays{1, 2, 4, 8, 16};
    static constexpr int KnownShareDivisor = 4;
    static constexpr int DefaultCount = 20;
};

// What the parent picked: a kind and range of the settings screen's lists
// (kind 81 with a row 1..9, or 81 for the whole table).
struct PracticeKind {
    std::int16_t calcKind = study::TimesTableKind;
    std::int16_t rangeMax = 81;
};

// Whether an answer is one of the picked kind's facts: for the table, any
// product of two numbers 1..9 (left in the row, when one row was picked); for
// the others, the same range and one of the kind's operations.
bool BelongsTo(const AnswerRow &answer, const PracticeKind &kind);

// One fact of the picked kind as the record tells it.
struct FactStanding {
    ProblemRecord problem;
    FactState state = FactState::NotTried;
    int wrongAmongLatest = 0;
    std::optional<double> latestMedianMs;
    QDateTime lastTried;
    // Known facts: the days in a row, up to the latest, answered right and
    // quick (at least 1), the latest such day, and when it is due again.
    int box = 0;
    QDate lastGood;
    QDate due;
};

// Every fact of the kind the record holds, in no particular order.
std::vector<FactStanding> StandingsOf(const std::vector<AnswerRow> &answers, const PracticeKind &kind);

// The days a known fact in this box waits before it comes back.
int IntervalDaysOf(int box);

struct PracticePlan {
    std::vector<ProblemRecord> problems; // weak, then known, then drawn
    int weak = 0;  // facts missed or slow
    int known = 0; // known facts due again
    int drawn = 0; // drawn as a normal drill draws
};

// The problems of one practice of count problems (at least 1, at most the
// drill's capacity) on the day today. Weak facts come most needed first
// (missed before slow, then the more misses, the slower, the more recent);
// known ones most overdue first. The draw for the rest uses random, so a
// seeded source gives the same plan from the same record.
PracticePlan PlanPractice(const std::vector<AnswerRow> &answers, const PracticeKind &kind, int count,
                          const QDate &today, platform::RandomSource &random);

// Draws count problems of the kind as a normal drill does.
std::vector<ProblemRecord> DrawProblems(const PracticeKind &kind, int count, platform::RandomSource &random);

} // namespace engine
