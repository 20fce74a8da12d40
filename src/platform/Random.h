#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// One process-wide sequence of single-precision values 0 <= r < 1.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float Next() = 0;
    // Starts a new sequence from the seconds since midnight.
    virtual void Reseed(float secondsSinceMidnight) = 0;
};

// The program's generator: a 64-bit permuted congruential generator whose top
// 24 bits make the float, so every value is exact and below 1.
class PcgRandom final : public RandomSource {
public:
    explicit PcgRandom(std::uint64_t seed = 0x853c49e6748fea9bULL) { Seed(seed); }
    // Inline: a 10000-problem build draws some 180,000 values.
    float Next() override { return static_cast<float>(NextBits()) * (1.0F / 16777216.0F); }

    // The same value as a whole number k, r = k / 2^24 exactly (24 bits fill
    // a float's mantissa), so draws can be worked out in integers.
    std::uint32_t NextBits()
    {
        const std::uint64_t old = state_;
        state_ = old * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto xorshifted = static_cast<std::uint32_t>(((old >> 18U) ^ old) >> 27U);
        const auto rot = static_cast<unsigned>(old >> 59U);
        const std::uint32_t bits = (xorshifted >> rot) | (xorshifted << ((32U - rot) & 31U));
        return bits >> 8U;
    }
    void Reseed(float secondsSinceMidnight) override;

private:
    void Seed(std::uint64_t seed);
    std::uint64_t state_ = 0;
};

// Returns the values it was given, in order, so tests can fix every draw.
// Reseeding is ignored. Past the end it falls back to a fixed generator (a
// rejection loop fed a constant would never end) and reports Exhausted().
class ScriptedRandom final : public RandomSource {
public:
    ScriptedRandom() = default;
    explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
    void Append(std::vector<float> values);
    float Next() override;
    void Reseed(float) override { ++reseeds_; }

    std::size_t Consumed() const { return next_; }
    bool Exhausted() const { return next_ > values_.size(); }
    std::size_t Remaining() const { return next_ >= values_.size() ? 0 : values_.size() - next_; }
    int Reseeds() const { return reseeds_; }

private:
    std::vector<float> values_;
    std::size_t next_ = 0;
    int reseeds_ = 0;
    PcgRandom fallback_;
};

// The seconds since midnight, local time, as the reseed takes them.
float SecondsSinceMidnight();

// floor(x) for values in int range, without a libm call on baseline x86-64
// (the build draws hundreds of thousands of values).
inline int FloorToInt(double x)
{
    const int truncated = static_cast<int>(x);
    return truncated - (x < truncated ? 1 : 0);
}

// floor(r * m) and floor(r * m / 2) for a fresh value r, in double precision.
template <typename Source>
inline int DrawScaled(Source &random, int m)
{
    return FloorToInt(static_cast<double>(random.Next()) * m);
}
template <typename Source>
inline int DrawScaledHalf(Source &random, int m)
{
    return FloorToInt(static_cast<double>(random.Next()) * (m / 2.0));
}

// The program's generator gives r = k / 2^24, so the same floors are exact
// integer shifts (k * m stays far inside 64 bits; >> floors negatives too).
// They decide the draw loops' branches sooner than the float conversions.
inline int DrawScaled(PcgRandom &random, int m)
{
    return static_cast<int>((static_cast<std::int64_t>(random.NextBits()) * m) >> 24);
}
inline int DrawScaledHalf(PcgRandom &random, int m)
{
    return static_cast<int>((static_cast<std::int64_t>(random.NextBits()) * m) >> 25);
}

// floor(r * m) + 1: a draw from 1 to m. A template so a concrete generator
// inlines.
template <typename Source>
inline int DrawFrom1To(Source &random, int m)
{
    return DrawScaled(random, m) + 1;
}

} // namespace platform
