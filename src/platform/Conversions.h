#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace platform {

// A text as a real number, by the locale-aware conversion, also taking what a
// Japanese keyboard types (full-width digits and signs, ideographic spaces).
// Empty text, text that is no number, NaN and infinities give no value.
std::optional<double> TextToReal(const QString &text);

// The nearest whole number, a half going to the even neighbour; no value
// outside -32768..32767 or for a non-finite input.
std::optional<std::int16_t> RealToInt16(double value);

// TextToReal followed by RealToInt16.
std::optional<std::int16_t> TextToInt16(const QString &text);

// Plain decimal digits, a minus sign for negative values, no leading blank.
QString NumberToText(long long value);

} // namespace platform
