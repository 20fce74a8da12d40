#include "engine/Score.h"

#include "platform/Conversions.h"

#include <cmath>

namespace engine {

std::optional<int> Score(std::int16_t correctCount, std::int16_t questionNo)
{
    const int answered = questionNo - 1;
    if (answered <= 0)
        return std::nullopt;
    const double ratio = static_cast<double>(correctCount) / answered;
    return static_cast<int>(std::floor(ratio * 100.0 + 0.5));
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
