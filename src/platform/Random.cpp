#include "platform/Random.h"

#include <QTime>
#include <bit>

namespace platform {

namespace {
constexpr std::uint64_t Multiplier = 6364136223846793005ULL;
constexpr std::uint64_t Increment = 1442695040888963407ULL;
} // namespace

void PcgRandom::Seed(std::uint64_t seed)
{
    state_ = 0;
    Next();
    state_ += seed;
    Next();
}

float PcgRandom::Next()
{
    const std::uint64_t old = state_;
    state_ = old * Multiplier + Increment;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18U) ^ old) >> 27U);
    const auto rot = static_cast<int>(old >> 59U);
    const std::uint32_t bits = std::rotr(xorshifted, rot);
    // 24 bits fill a float's mantissa exactly: the result is k / 2^24 < 1.
    return static_cast<float>(bits >> 8U) * (1.0F / 16777216.0F);
}

void PcgRandom::Reseed(float secondsSinceMidnight)
{
    Seed(std::bit_cast<std::uint32_t>(secondsSinceMidnight) * 0x9E3779B97F4A7C15ULL);
}

void ScriptedRandom::Append(std::vector<float> values)
{
    values_.insert(values_.end(), values.begin(), values.end());
}

float ScriptedRandom::Next()
{
    if (next_ >= values_.size()) {
        next_ = values_.size() + 1;
        return fallback_.Next();
    }
    return values_[next_++];
}

float SecondsSinceMidnight()
{
    return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0F;
}

} // namespace platform
