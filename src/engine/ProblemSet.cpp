#include "engine/ProblemSet.h"

#include "platform/Random.h"
#include "study/Module1.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace engine {

using platform::DrawFrom1To;

namespace {

const ProblemRecord EmptyRecord{};

// The range rule shared by multiplication and division: a product bound P in
// 2..range and a factor B with 1 <= B <= P / 2. Returns {C, B} with C = P / B.
template <typename Source>
std::pair<int, int> DrawRangeFactors(Source &random, int range)
{
    const int p = platform::DrawScaled(random, range - 1) + 2;
    int b = 0;
    do {
        b = platform::DrawScaledHalf(random, range) + 1; // floor(r * range / 2) + 1
    } while (2 * b > p);                                 // b > p / 2, exactly, in integers
    return {p / b, b};
}

// Runs f with the generator's concrete type when it is the program's own, so
// its Next() inlines into the draw loops; any other source goes through the
// interface.
template <typename F>
void WithSource(platform::RandomSource &random, F &&f)
{
    if (auto *pcg = dynamic_cast<platform::PcgRandom *>(&random))
        f(*pcg);
    else
        f(random);
}

} // namespace

// The draw loops, written once for any source type.
struct Generators {
    template <typename Source>
    static void Addition(ProblemSet &set, Source &random, const int range)
    {
        for (int i = 0; i < set.AddCount; ++i) {
            const int s = DrawFrom1To(random, range);
            int b = 0;
            do {
                b = DrawFrom1To(random, range);
            } while (b > s);
            set.Append(static_cast<std::int16_t>(s - b), static_cast<std::int16_t>(b), static_cast<std::int16_t>(s),
                       engine::Addition);
        }
    }

    template <typename Source>
    static void Subtraction(ProblemSet &set, Source &random, const int range)
    {
        for (int i = 0; i < set.SubCount; ++i) {
            const int a = DrawFrom1To(random, range);
            int b = 0;
            do {
                b = DrawFrom1To(random, range);
            } while (b > a);
            set.Append(static_cast<std::int16_t>(a), static_cast<std::int16_t>(b), static_cast<std::int16_t>(a - b),
                       engine::Subtraction);
        }
    }

    template <typename Source>
    static void Multiplication(ProblemSet &set, Source &random, const int range)
    {
        for (int i = 0; i < set.MulCount; ++i) {
            int left = 0;
            int right = 0;
            if (range == 81) {
                left = DrawFrom1To(random, 9);
                right = DrawFrom1To(random, 9);
            } else if (range < 10) {
                left = range;
                right = DrawFrom1To(random, 9);
            } else {
                const auto [c, b] = DrawRangeFactors(random, range);
                left = c;
                right = b;
            }
            set.Append(static_cast<std::int16_t>(left), static_cast<std::int16_t>(right),
                       static_cast<std::int16_t>(left * right), engine::Multiplication);
        }
    }

    template <typename Source>
    static void Division(ProblemSet &set, Source &random, const int drawRange)
    {
        // Below 1 no divisor can meet the range rule and the draw would never
        // end. That only happens before any range was applied; divide within
        // the smallest range the lists offer instead.
        const int range = drawRange >= 1 ? drawRange : study::RangeChoices.front().value;
        for (int i = 0; i < set.DivCount; ++i) {
            const auto [c, b] = DrawRangeFactors(random, range);
            set.Append(static_cast<std::int16_t>(c * b), static_cast<std::int16_t>(b), static_cast<std::int16_t>(c),
                       engine::Division);
        }
    }

    template <typename Source>
    static void Shuffle(ProblemSet &set, Source &random)
    {
        const int n = set.GeneratedCount;
        if (n <= 0)
            return;
        const std::int32_t exchanges = 5 * static_cast<std::int32_t>(n);
        for (std::int32_t k = 0; k < exchanges; ++k) {
            const int a = DrawFrom1To(random, n);
            int b = DrawFrom1To(random, n);
            while (n != 1 && b == a)
                b = DrawFrom1To(random, n);
            std::swap(set.records_[static_cast<std::size_t>(a)], set.records_[static_cast<std::size_t>(b)]);
        }
    }
};

const ProblemRecord &ProblemSet::Problems(int i) const
{
    if (i < 0 || i > Capacity)
        return EmptyRecord;
    return records_[static_cast<std::size_t>(i)];
}

void ProblemSet::Append(std::int16_t left, std::int16_t right, std::int16_t answer, std::int16_t operation)
{
    ++GeneratedCount;
    records_[static_cast<std::size_t>(GeneratedCount)] = {left, right, answer, operation};
}

void ProblemSet::BuildProblemSet(platform::RandomSource &random)
{
    random.Reseed(platform::SecondsSinceMidnight());

    AddCount = SubCount = MulCount = DivCount = 0;
    Module1::CorrectCount = 0;
    Module1::WrongCount = 0;

    WipeRecords();
    SplitProblemCount(Module1::CalcKind, Module1::ProblemCount);

    const int range = Module1::RangeMax;
    WithSource(random, [this, range](auto &source) {
        if (AddCount > 0)
            Generators::Addition(*this, source, range);
        if (SubCount > 0)
            Generators::Subtraction(*this, source, range);
        if (MulCount > 0)
            Generators::Multiplication(*this, source, range);
        if (DivCount > 0)
            Generators::Division(*this, source, range);
        Generators::Shuffle(*this, source);
    });
    Module1::QuestionNo = 1;
}

void ProblemSet::BuildProblemSet(const std::vector<ProblemRecord> &problems, platform::RandomSource &random)
{
    random.Reseed(platform::SecondsSinceMidnight());
    LoadInOrder(problems);
    WithSource(random, [this](auto &source) { Generators::Shuffle(*this, source); });
}

void ProblemSet::LoadInOrder(const std::vector<ProblemRecord> &problems)
{
    AddCount = SubCount = MulCount = DivCount = 0;
    Module1::CorrectCount = 0;
    Module1::WrongCount = 0;

    WipeRecords();
    GeneratedCount = 0;
    for (const ProblemRecord &p : problems) {
        if (GeneratedCount >= Capacity)
            break;
        Append(p.LeftOperand, p.RightOperand, p.Answer, p.Operation);
        std::int16_t *count = p.Operation == Addition         ? &AddCount
                              : p.Operation == Subtraction    ? &SubCount
                              : p.Operation == Multiplication ? &MulCount
                                                              : &DivCount;
        ++*count;
    }
    Module1::ProblemCount = GeneratedCount;
    Module1::QuestionNo = 1;
}

void ProblemSet::WipeRecords()
{
    for (int i = 1; i <= Capacity && records_[static_cast<std::size_t>(i)].Operation != 0; ++i)
        records_[static_cast<std::size_t>(i)] = ProblemRecord{};
}

void ProblemSet::SplitProblemCount(std::int16_t calcKind, std::int16_t problemCount)
{
    AddCount = SubCount = MulCount = DivCount = 0;
    const std::optional<OperationSet> operations = OperationsOf(calcKind);
    if (!operations)
        return;
    // The screens never pass more than the capacity; the clamp keeps a stray
    // value from writing past the array.
    const int pc = std::min<int>(problemCount, Capacity);
    const int n = int(std::count(operations->begin(), operations->end(), true));
    // Floor of the real quotient, also for negative counts.
    const int part = static_cast<int>(std::floor(pc / static_cast<double>(n)));
    std::int16_t *counts[5] = {nullptr, &AddCount, &SubCount, &MulCount, &DivCount};
    int given = 0;
    int seen = 0;
    for (int op = Addition; op <= Division; ++op) {
        if (!(*operations)[std::size_t(op)])
            continue;
        const int share = ++seen == n ? pc - given : part;
        *counts[op] = static_cast<std::int16_t>(share);
        given += share;
    }
}

void ProblemSet::ShuffleProblems(platform::RandomSource &random)
{
    WithSource(random, [this](auto &source) { Generators::Shuffle(*this, source); });
}

void ProblemSet::MakeAdditionProblems(platform::RandomSource &random, std::int16_t range)
{
    WithSource(random, [this, range](auto &source) { Generators::Addition(*this, source, range); });
}

void ProblemSet::MakeSubtractionProblems(platform::RandomSource &random, std::int16_t range)
{
    WithSource(random, [this, range](auto &source) { Generators::Subtraction(*this, source, range); });
}

void ProblemSet::MakeMultiplicationProblems(platform::RandomSource &random, std::int16_t range)
{
    WithSource(random, [this, range](auto &source) { Generators::Multiplication(*this, source, range); });
}

void ProblemSet::MakeDivisionProblems(platform::RandomSource &random, std::int16_t range)
{
    WithSource(random, [this, range](auto &source) { Generators::Division(*this, source, range); });
}

} // namespace engine
