#include "platform/Random.h"

#include <QTime>
#include <cstring>

namespace platform {

void PcgRandom::Seed(std::uint64_t seed)
{
    state_ = 0;
    Next();
    state_ += seed;
    Next();
}

void PcgRandom::Reseed(float secondsSinceMidnight)
{
    // The float's bits (memcpy, not std::bit_cast: emscripten's library lacks it).
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof secondsSinceMidnight);
    std::memcpy(&bits, &secondsSinceMidnight, sizeof bits);
    Seed(bits * 0x9E3779B97F4A7C15ULL);
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
