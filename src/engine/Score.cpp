#include "engine/Score.h"

#include "platform/Conversions.h"


namespace engine {

int PercentRounded(int part, int whole)
{
    if (whole <= 0)
        return 0;
    // floor(100 * part / whole + 1/2) = floor((200 * part + whole) / (2 * whole)).
    const std::int64_t numerator = 200LL * part + whole;
    const std::int64_t denominator = 2LL * whole;
    const std::int64_t quotient = numerator / denominator;
    return int(numerator % denominator < 0 ? quotient - 1 : quotient);
}

std::optional<int> Score(std::int16_t correctCount, std::int16_t questionNo)
{
    const int answered = questionNo - 1;
    if (answered <= 0)
        return std::nullopt;
    return PercentRounded(correctCount, answered);
}

std::optional<QString> OperatorSign(std::int16_t operation)
{
    switch (operation) {
    case 1: return QStringLiteral("＋");
    case 2: return QStringLiteral("－");
    case 3: return QStringLiteral("×");
    case 4: return QStringLiteral("÷");
    default: return std::nullopt;
    }
}

std::optional<bool> JudgeAnswer(const QString &text, std::int16_t answer)
{
    const std::optional<double> value = platform::TextToReal(text);
    if (!value)
        return std::nullopt;
    return *value == static_cast<double>(answer);
}

} // namespace engine
