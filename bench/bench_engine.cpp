// Building a 10000-problem set, for every kind at the widest range and for the
// whole multiplication table, beside the bare cost of the random draws that
// build makes (the same number of values through the same generator).
#include "engine/ProblemSet.h"
#include "platform/Random.h"
#include "study/Module1.h"

#include <benchmark/benchmark.h>

namespace {

// Counts the values a build takes, so the bare-draw reference makes as many.
class CountingRandom final : public platform::RandomSource {
public:
    float Next() override
    {
        ++count;
        return inner.Next();
    }
    void Reseed(float s) override { inner.Reseed(s); }
    platform::PcgRandom inner;
    long long count = 0;
};

void configure(int kind, int range)
{
    Module1::CalcKind = static_cast<std::int16_t>(kind);
    Module1::RangeMax = static_cast<std::int16_t>(range);
    Module1::ProblemCount = 10000;
}

long long drawsPerBuild(int kind, int range)
{
    configure(kind, range);
    engine::ProblemSet set;
    CountingRandom random;
    long long total = 0;
    constexpr int Builds = 20;
    for (int i = 0; i < Builds; ++i) {
        set.GeneratedCount = 0;
        random.count = 0;
        set.BuildProblemSet(random);
        total += random.count;
    }
    return total / Builds;
}

void BM_Build10000(benchmark::State &state)
{
    const int kind = static_cast<int>(state.range(0));
    const int range = static_cast<int>(state.range(1));
    configure(kind, range);
    static engine::ProblemSet set; // 80 KB; one per process, as on the screen
    platform::PcgRandom random;
    for (auto _ : state) {
        set.GeneratedCount = 0; // the screen's load step
        set.BuildProblemSet(random);
        benchmark::DoNotOptimize(set.Problems(1));
    }
    state.counters["draws"] = static_cast<double>(drawsPerBuild(kind, range));
}

void BM_BareDraws(benchmark::State &state)
{
    const long long draws = drawsPerBuild(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    // The program's generator, called the way the build calls it (inlined).
    platform::PcgRandom random;
    for (auto _ : state) {
        for (long long i = 0; i < draws; ++i)
            benchmark::DoNotOptimize(random.Next());
    }
    state.counters["draws"] = static_cast<double>(draws);
}

void kinds(benchmark::internal::Benchmark *b)
{
    for (int kind = 1; kind <= 15; ++kind)
        b->Args({kind, 999});
    b->Args({81, 81});
}

} // namespace

BENCHMARK(BM_Build10000)->Apply(kinds)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_BareDraws)->Apply(kinds)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
