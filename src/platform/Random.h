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
    float Next() override;
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

// floor(r * m) + 1 in double precision: a draw from 1 to m.
inline int DrawFrom1To(RandomSource &random, int m)
{
    return FloorToInt(static_cast<double>(random.Next()) * m) + 1;
}

} // namespace platform
