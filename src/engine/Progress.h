#pragma once

#include "engine/ProblemSet.h"
#include "platform/RecordStore.h"

#include <QDate>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// What the learning record says of the child: the state of each fact of the
// multiplication table, the drills and days so far, the other kinds. Plain
// figures from the stored answers; the parent's view only draws them.
namespace engine {

using platform::AnswerRow;

// How well a fact is known, from its latest tries.
enum class FactState { NotTried, OftenMissed, Slow, Known };

// The rule that decides a fact's state.
//  - not tried: no answer to it yet;
//  - often missed: its latest try was wrong, or at least two of its latest
//    tries were;
//  - slow: otherwise, when the median time of the right answers among its
//    latest tries is above SlowMs (still worked out, not recalled);
//  - known: right and quick in its latest tries.
struct FactRule {
    static constexpr int LatestTries = 3;
    static constexpr int SlowMs = 3000;
    static constexpr int MissedAmongLatest = 2;
};

struct FactTry {
    bool correct = false;
    int elapsedMs = 0;
};

// What a fact's latest tries (FactRule::LatestTries of them) say.
struct LatestTries {
    int count = 0;
    int wrong = 0;
    bool lastRight = false;
    std::optional<double> rightMedianMs; // the median time of the right ones
};
// tries: oldest first.
LatestTries SummariseLatest(const std::vector<FactTry> &tries);
FactState StateOf(const LatestTries &latest);
FactState StateOfFact(const std::vector<FactTry> &tries);

// The median of the values (the mean of the middle two for an even count,
// its half kept: 3000 and 3001 ms are 3000.5 ms, above 3 s); no value for
// none.
std::optional<double> Median(std::vector<int> values);

// One fact of the multiplication table, left × right, both 1..9.
struct FactSummary {
    FactState state = FactState::NotTried;
    std::vector<int> tries;          // indexes into the answers, oldest first
    int right = 0;                   // of all its tries
    std::optional<double> latestMedianMs; // of the right answers among the latest tries
};

// [left - 1][right - 1]. Every multiplication of two numbers 1..9 counts,
// from any drill (九九 or a multiplication range).
using TimesGrid = std::array<std::array<FactSummary, 9>, 9>;
TimesGrid BuildTimesGrid(const std::vector<AnswerRow> &answers);

// One drill as the record holds it.
struct DrillSummary {
    QString drill;
    QDateTime started;  // the first question shown
    QDateTime ended;    // the last answer
    std::int16_t mode = 0;
    std::int16_t calcKind = 0;
    std::int16_t rangeMax = 0;
    std::int16_t problemCount = 0;
    bool retry = false;
    bool practice = false; // にがて練習
    int answered = 0;
    int right = 0;
    int wrong = 0;
    std::optional<int> score;   // as the results screen counts it
    double minutes = 0;         // from started to ended
    bool finished() const { return answered >= problemCount; }
};

// Newest first.
std::vector<DrillSummary> SummariseDrills(const std::vector<AnswerRow> &answers);

// The answers of one day, for the chart.
struct DayScore {
    QDate day;
    int answered = 0;
    int right = 0;
    int drills = 0;
    int score = 0; // per cent right, a half going up
};

// Oldest first, days without answers left out.
std::vector<DayScore> ScoresByDay(const std::vector<AnswerRow> &answers);

struct MissedProblem {
    ProblemRecord problem;
    int wrong = 0;
    int tries = 0;
};

// All answers of one kind and range, outside the multiplication table.
struct KindSummary {
    std::int16_t calcKind = 0;
    std::int16_t rangeMax = 0;
    int answered = 0;
    int right = 0;
    int sharePercent = 0;
    std::optional<double> medianMs;
    std::vector<MissedProblem> mostMissed; // most wrong first, at most MostMissedShown
};
inline constexpr int MostMissedShown = 5;

// In the order of the settings screen's lists (kind, then range).
std::vector<KindSummary> SummariseKinds(const std::vector<AnswerRow> &answers);

// The texts the parent knows from the settings screen.
QString ModeLabel(std::int16_t mode);
QString KindLabel(std::int16_t calcKind);
QString RangeLabel(std::int16_t calcKind, std::int16_t rangeMax);
// "７×６＝" style, as the drill showed it.
QString ProblemLabel(const AnswerRow &answer);

} // namespace engine
