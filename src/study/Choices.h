#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <variant>

namespace study {

struct Choice {
    const char16_t *text;
    std::int16_t value;
    QString Text() const { return QString::fromUtf16(text); }
};

extern const std::array<Choice, 16> CalcKindChoices;
extern const std::array<Choice, 7> RangeChoices;
extern const std::array<Choice, 10> TimesRowChoices;

// The capacity of a problem set and the largest count any screen accepts.
inline constexpr std::int16_t MaxProblemCount = 10000;

inline constexpr std::int16_t TimesTableKind = 81;

// Turns the three list texts into CalcKind and RangeMax. Texts are compared
// exactly; one that matches no row leaves its value as it was.
void ApplyChoices(const QString &kindText, const QString &rangeText, const QString &rowText);

// The count check shared by the drill screen and the settings screen.
struct CountAccepted { std::int16_t count; };
struct CountTooLarge {};   // read as a number above MaxProblemCount
struct CountNotUsable {};  // empty, not a number, or below 1 as typed
using CountCheck = std::variant<CountAccepted, CountTooLarge, CountNotUsable>;

CountCheck CheckProblemCount(const QString &text);

// The message that refuses a count, or an empty string when it was accepted.
QString CountRefusalMessage(const CountCheck &check);

} // namespace study
