#include "engine/Practice.h"

#include "platform/Random.h"

#include <algorithm>
#include <map>
#include <memory>
#include <tuple>

namespace engine {

namespace {

bool IsWeak(FactState state)
{
    return state == FactState::OftenMissed || state == FactState::Slow;
}

using FactKey = std::tuple<std::int16_t, std::int16_t, std::int16_t>; // operation, left, right

} // namespace

bool BelongsTo(const AnswerRow &answer, const PracticeKind &kind)
{
    if (kind.calcKind == study::TimesTableKind) {
        if (!IsTimesFact(answer.operation, answer.left, answer.right))
            return false;
        return kind.rangeMax < 1 || kind.rangeMax > 9 || answer.left == kind.rangeMax;
    }
    if (answer.calcKind == study::TimesTableKind || answer.rangeMax != kind.rangeMax || answer.operation < 1 ||
        answer.operation > 4)
        return false;
    const std::optional<OperationSet> operations = OperationsOf(kind.calcKind);
    return operations && (*operations)[std::size_t(answer.operation)];
}

int IntervalDaysOf(int box)
{
    const int i = std::clamp(box, 1, int(PracticeRule::IntervalDays.size())) - 1;
    return PracticeRule::IntervalDays[std::size_t(i)];
}

std::vector<FactStanding> StandingsOf(const std::vector<AnswerRow> &answers, const PracticeKind &kind)
{
    std::map<FactKey, std::vector<const AnswerRow *>> facts;
    for (const AnswerRow &a : answers) {
        if (BelongsTo(a, kind))
            facts[{a.operation, a.left, a.right}].push_back(&a);
    }
    std::vector<FactStanding> standings;
    standings.reserve(facts.size());
    for (const auto &[key, tries] : facts) {
        FactStanding s;
        const AnswerRow &last = *tries.back();
        s.problem = {last.left, last.right, last.answer, last.operation};
        s.lastTried = last.answeredAt;
        std::vector<FactTry> plain;
        plain.reserve(tries.size());
        for (const AnswerRow *a : tries)
            plain.push_back({a->correct, a->elapsedMs});
        const LatestTries latest = SummariseLatest(plain);
        s.state = StateOf(latest);
        s.wrongAmongLatest = latest.wrong;
        s.latestMedianMs = latest.rightMedianMs;
        if (s.state == FactState::Known) {
            // Days in a row, from the latest back, with every try right and
            // quick.
            QDate day;
            bool good = true;
            for (auto it = tries.rbegin(); it != tries.rend(); ++it) {
                const AnswerRow &a = **it;
                const QDate d = a.answeredAt.date();
                if (d != day) {
                    if (!good)
                        break;
                    if (day.isValid())
                        ++s.box;
                    else
                        s.lastGood = d;
                    day = d;
                    good = true;
                }
                if (!a.correct || a.elapsedMs > FactRule::SlowMs)
                    good = false;
            }
            if (good && day.isValid())
                ++s.box;
            // Known, yet its latest day had a slip: it starts over, from that day.
            if (s.box == 0) {
                s.box = 1;
                s.lastGood = last.answeredAt.date();
            }
            s.due = s.lastGood.addDays(IntervalDaysOf(s.box));
        }
        standings.push_back(s);
    }
    return standings;
}

std::vector<ProblemRecord> DrawProblems(const PracticeKind &kind, int count, platform::RandomSource &random)
{
    std::vector<ProblemRecord> drawn;
    if (count <= 0)
        return drawn;
    auto set = std::make_unique<ProblemSet>();
    set->SplitProblemCount(kind.calcKind, std::int16_t(std::min(count, int(ProblemSet::Capacity))));
    set->MakeAdditionProblems(random, kind.rangeMax);
    set->MakeSubtractionProblems(random, kind.rangeMax);
    set->MakeMultiplicationProblems(random, kind.rangeMax);
    set->MakeDivisionProblems(random, kind.rangeMax);
    set->ShuffleProblems(random);
    for (int i = 1; i <= set->GeneratedCount; ++i)
        drawn.push_back(set->Problems(i));
    return drawn;
}

PracticePlan PlanPractice(const std::vector<AnswerRow> &answers, const PracticeKind &kind, int count,
                          const QDate &today, platform::RandomSource &random)
{
    count = std::clamp(count, 1, int(ProblemSet::Capacity));
    std::vector<FactStanding> weak;
    std::vector<FactStanding> due;
    for (FactStanding &s : StandingsOf(answers, kind)) {
        if (IsWeak(s.state))
            weak.push_back(std::move(s));
        else if (s.state == FactState::Known && s.due <= today)
            due.push_back(std::move(s));
    }
    std::sort(weak.begin(), weak.end(), [](const FactStanding &a, const FactStanding &b) {
        const auto need = [](const FactStanding &s) {
            return std::make_tuple(s.state == FactState::OftenMissed, s.wrongAmongLatest, s.latestMedianMs.value_or(0),
                                   s.lastTried);
        };
        return need(a) > need(b);
    });
    std::sort(due.begin(), due.end(), [](const FactStanding &a, const FactStanding &b) {
        return std::tie(a.due, a.lastTried) < std::tie(b.due, b.lastTried);
    });

    PracticePlan plan;
    const int knownShare = std::min<int>(count / PracticeRule::KnownShareDivisor, int(due.size()));
    plan.weak = std::min<int>(count - knownShare, int(weak.size()));
    // Fewer weak facts than room: known ones that are due take the rest first.
    plan.known = std::min<int>(count - plan.weak, int(due.size()));
    for (int i = 0; i < plan.weak; ++i)
        plan.problems.push_back(weak[std::size_t(i)].problem);
    for (int i = 0; i < plan.known; ++i)
        plan.problems.push_back(due[std::size_t(i)].problem);
    const std::vector<ProblemRecord> drawn = DrawProblems(kind, count - plan.weak - plan.known, random);
    plan.drawn = int(drawn.size());
    plan.problems.insert(plan.problems.end(), drawn.begin(), drawn.end());
    return plan;
}

} // namespace engine
