#include "engine/Progress.h"

#include "engine/Review.h"
#include "engine/Score.h"
#include "study/Choices.h"
#include "study/Module1.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <map>

namespace engine {

namespace {

template <std::size_t N>
QString ChoiceText(const std::array<study::Choice, N> &table, std::int16_t value)
{
    for (const study::Choice &choice : table) {
        if (choice.value == value)
            return choice.Text();
    }
    return QString::number(value);
}

} // namespace

LatestTries SummariseLatest(const std::vector<FactTry> &tries)
{
    LatestTries latest;
    const std::size_t first = tries.size() > std::size_t(FactRule::LatestTries)
                                  ? tries.size() - std::size_t(FactRule::LatestTries)
                                  : 0;
    std::vector<int> rightTimes;
    for (std::size_t i = first; i < tries.size(); ++i) {
        ++latest.count;
        if (tries[i].correct)
            rightTimes.push_back(tries[i].elapsedMs);
        else
            ++latest.wrong;
    }
    latest.lastRight = !tries.empty() && tries.back().correct;
    latest.rightMedianMs = Median(std::move(rightTimes));
    return latest;
}

FactState StateOf(const LatestTries &latest)
{
    if (latest.count == 0)
        return FactState::NotTried;
    if (!latest.lastRight || latest.wrong >= FactRule::MissedAmongLatest)
        return FactState::OftenMissed;
    if (latest.rightMedianMs && *latest.rightMedianMs > FactRule::SlowMs)
        return FactState::Slow;
    return FactState::Known;
}

FactState StateOfFact(const std::vector<FactTry> &tries)
{
    return StateOf(SummariseLatest(tries));
}

std::optional<double> Median(std::vector<int> values)
{
    if (values.empty())
        return std::nullopt;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(middle), values.end());
    const int upper = values[middle];
    if (values.size() % 2 == 1)
        return upper;
    const int lower = *std::max_element(values.begin(), values.begin() + std::ptrdiff_t(middle));
    return (double(lower) + double(upper)) / 2.0;
}

TimesGrid BuildTimesGrid(const std::vector<AnswerRow> &answers)
{
    TimesGrid grid;
    for (int i = 0; i < int(answers.size()); ++i) {
        const AnswerRow &a = answers[std::size_t(i)];
        if (!IsTimesFact(a.operation, a.left, a.right))
            continue;
        FactSummary &cell = grid[std::size_t(a.left - 1)][std::size_t(a.right - 1)];
        cell.tries.push_back(i);
        if (a.correct)
            ++cell.right;
    }
    for (auto &row : grid) {
        for (FactSummary &cell : row) {
            std::vector<FactTry> tries;
            tries.reserve(cell.tries.size());
            for (int i : cell.tries)
                tries.push_back({answers[std::size_t(i)].correct, answers[std::size_t(i)].elapsedMs});
            const LatestTries latest = SummariseLatest(tries);
            cell.state = StateOf(latest);
            cell.latestMedianMs = latest.rightMedianMs;
        }
    }
    return grid;
}

std::vector<DrillSummary> SummariseDrills(const std::vector<AnswerRow> &answers)
{
    std::vector<DrillSummary> drills;
    QHash<QString, std::size_t> index;
    for (const AnswerRow &a : answers) {
        auto found = index.constFind(a.drill);
        if (found == index.cend()) {
            found = index.insert(a.drill, drills.size());
            DrillSummary d;
            d.drill = a.drill;
            d.started = a.answeredAt.addMSecs(-a.elapsedMs);
            d.ended = a.answeredAt;
            d.mode = a.mode;
            d.calcKind = a.calcKind;
            d.rangeMax = a.rangeMax;
            d.problemCount = a.problemCount;
            d.retry = a.retry;
            d.practice = a.practice;
            drills.push_back(d);
        }
        DrillSummary &d = drills[*found];
        d.started = std::min(d.started, a.answeredAt.addMSecs(-a.elapsedMs));
        d.ended = std::max(d.ended, a.answeredAt);
        ++d.answered;
        if (a.correct)
            ++d.right;
        else
            ++d.wrong;
    }
    for (DrillSummary &d : drills) {
        d.score = PercentRounded(d.right, d.answered);
        d.minutes = double(d.started.msecsTo(d.ended)) / 60000.0;
    }
    std::stable_sort(drills.begin(), drills.end(),
                     [](const DrillSummary &a, const DrillSummary &b) { return a.started > b.started; });
    return drills;
}

std::vector<DayScore> ScoresByDay(const std::vector<AnswerRow> &answers)
{
    std::map<QDate, DayScore> days;
    std::map<QDate, QSet<QString>> drills;
    const AnswerRow *previous = nullptr;
    for (const AnswerRow &a : answers) {
        const QDate day = a.answeredAt.date();
        DayScore &d = days[day];
        d.day = day;
        ++d.answered;
        if (a.correct)
            ++d.right;
        // A drill's answers come one after another: each counted once.
        if (!previous || previous->drill != a.drill || previous->answeredAt.date() != day)
            drills[day].insert(a.drill);
        previous = &a;
    }
    std::vector<DayScore> out;
    out.reserve(days.size());
    for (auto &[day, d] : days) {
        d.drills = int(drills[day].size());
        d.score = PercentRounded(d.right, d.answered);
        out.push_back(d);
    }
    return out;
}

std::vector<KindSummary> SummariseKinds(const std::vector<AnswerRow> &answers)
{
    struct Gathered {
        KindSummary summary;
        std::vector<int> times;
        std::map<std::tuple<int, int, int>, MissedProblem> problems;
    };
    // Ordered as the settings screen lists them.
    auto listPlace = [](std::int16_t kind, std::int16_t range) {
        int kindPlace = int(study::CalcKindChoices.size());
        for (std::size_t i = 0; i < study::CalcKindChoices.size(); ++i) {
            if (study::CalcKindChoices[i].value == kind)
                kindPlace = int(i);
        }
        return std::make_pair(kindPlace, int(range));
    };
    std::map<std::pair<int, int>, Gathered> kinds;
    for (const AnswerRow &a : answers) {
        if (a.calcKind == study::TimesTableKind)
            continue;
        Gathered &g = kinds[listPlace(a.calcKind, a.rangeMax)];
        g.summary.calcKind = a.calcKind;
        g.summary.rangeMax = a.rangeMax;
        ++g.summary.answered;
        g.times.push_back(a.elapsedMs);
        MissedProblem &p = g.problems[{a.left, a.operation, a.right}];
        p.problem = {a.left, a.right, a.answer, a.operation};
        ++p.tries;
        if (a.correct)
            ++g.summary.right;
        else
            ++p.wrong;
    }
    std::vector<KindSummary> out;
    for (auto &[place, g] : kinds) {
        KindSummary s = g.summary;
        s.sharePercent = PercentRounded(s.right, s.answered);
        s.medianMs = Median(std::move(g.times));
        for (const auto &[key, p] : g.problems) {
            if (p.wrong > 0)
                s.mostMissed.push_back(p);
        }
        std::stable_sort(s.mostMissed.begin(), s.mostMissed.end(),
                         [](const MissedProblem &a, const MissedProblem &b) { return a.wrong > b.wrong; });
        if (s.mostMissed.size() > std::size_t(MostMissedShown))
            s.mostMissed.resize(std::size_t(MostMissedShown));
        out.push_back(std::move(s));
    }
    return out;
}

QString ModeLabel(std::int16_t mode)
{
    switch (mode) {
    case Module1::FreeStudy: return QStringLiteral("自由学習");
    case Module1::DesignatedStudy: return QStringLiteral("指定学習");
    case Module1::Spartan: return QStringLiteral("スパルタ");
    default: return QString::number(mode);
    }
}

QString KindLabel(std::int16_t calcKind)
{
    return ChoiceText(study::CalcKindChoices, calcKind);
}

QString RangeLabel(std::int16_t calcKind, std::int16_t rangeMax)
{
    return calcKind == study::TimesTableKind ? ChoiceText(study::TimesRowChoices, rangeMax)
                                             : ChoiceText(study::RangeChoices, rangeMax);
}

QString ProblemLabel(const AnswerRow &answer)
{
    return ProblemText({answer.left, answer.right, answer.answer, answer.operation});
}

} // namespace engine
