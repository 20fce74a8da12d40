#include "platform/Conversions.h"

#include <QLocale>
#include <cmath>

namespace platform {

std::optional<double> TextToReal(const QString &text)
{
    // NFKC turns full-width digits, signs, points and the ideographic space
    // into their ASCII forms, so "１２" and "　１２" read like "12".
    const QString normal = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (normal.isEmpty())
        return std::nullopt;

    bool ok = false;
    double value = QLocale::system().toDouble(normal, &ok);
    if (!ok) {
        // A system locale with a decimal comma still lets "12.5" through.
        value = QLocale::c().toDouble(normal, &ok);
    }
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int16_t> RealToInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // Round half to even without depending on the FPU rounding mode.
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole < -32768.0 || whole > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(whole);
}

std::optional<std::int16_t> TextToInt16(const QString &text)
{
    const std::optional<double> value = TextToReal(text);
    if (!value)
        return std::nullopt;
    return RealToInt16(*value);
}

QString NumberToText(long long value)
{
    return QString::number(value);
}

} // namespace platform
