// TextToReal, RealToInt16 and TextToInt16 on arbitrary input:
//  - the input as a text (UTF-8 and raw UTF-16): never crashes, a value is
//    finite, TextToInt16 is RealToInt16 of TextToReal, surrounding blanks and
//    full-width forms of the ASCII characters change nothing;
//  - the input as a number built from its bytes (sign, digits, point,
//    grouping, exponent, full-width forms, blanks), written the C way or, in a
//    decimal-comma system locale, also that locale's way: the value the C
//    library reads from the plain ASCII form;
//  - the first eight bytes as a double: RealToInt16 rounds half to even and
//    refuses what does not fit in 16 bits.

#include "FuzzSupport.h"

#include "platform/Conversions.h"

#include <QLocale>

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <string>

using fuzz::Describe;
using fuzz::Show;

namespace {

// The signs of the system locale: the built numbers are only compared with
// the C library where the locale writes numbers with these.
enum class Separators { PointComma, CommaPoint, Other };
Separators separators = Separators::Other;

void CheckReal(double value)
{
    const std::optional<std::int16_t> got = platform::RealToInt16(value);
    const std::optional<std::int16_t> expected = fuzz::ReferenceInt16(value);
    const QByteArray detail = "value " + QByteArray::number(value, 'g', 17) + " gave " + Show(got) + ", expected "
                              + Show(expected);
    FUZZ_REQUIRE(got == expected, detail);
    if (got) {
        const double distance = std::fabs(static_cast<double>(*got) - value);
        FUZZ_REQUIRE(distance <= 0.5, detail);
        if (distance == 0.5)
            FUZZ_REQUIRE(*got % 2 == 0, detail);
    }
}

// Every ASCII character that NFKC gets back from a full-width form, widened.
QString Widen(const QString &text)
{
    QString wide = text;
    for (QChar &c : wide) {
        const char16_t u = c.unicode();
        if (u > 0x20 && u < 0x7F)
            c = QChar(static_cast<char16_t>(u - 0x21 + 0xFF01));
    }
    return wide;
}

void CheckText(const QString &text)
{
    const std::optional<double> real = platform::TextToReal(text);
    const QByteArray detail = "text " + Describe(text) + " read as " + Show(real);
    if (real) {
        FUZZ_REQUIRE(std::isfinite(*real), detail);
        CheckReal(*real);
    }

    const std::optional<std::int16_t> whole = platform::TextToInt16(text);
    const std::optional<std::int16_t> viaReal = real ? platform::RealToInt16(*real) : std::nullopt;
    FUZZ_REQUIRE(whole == viaReal, detail + ", TextToInt16 gave " + Show(whole) + " but RealToInt16 " + Show(viaReal));

    // What a Japanese keyboard adds around or instead of ASCII must not change
    // the number a child typed.
    const QString padded = QChar(0x3000) + text + QLatin1Char(' ');
    const std::optional<double> paddedReal = platform::TextToReal(padded);
    FUZZ_REQUIRE(paddedReal == real, detail + ", padded " + Describe(padded) + " read as " + Show(paddedReal));

    const QString wide = Widen(text);
    const std::optional<double> wideReal = platform::TextToReal(wide);
    FUZZ_REQUIRE(wideReal == real, detail + ", full-width " + Describe(wide) + " read as " + Show(wideReal));
}

template <typename T, std::size_t N>
T Pick(FuzzedDataProvider &provider, const std::array<T, N> &choices)
{
    return choices[provider.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

void CheckBuiltNumber(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    static constexpr std::array<const char *, 3> Signs{"", "-", "+"};

    std::string integer;
    const int integerDigits = provider.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < integerDigits; ++i)
        integer += static_cast<char>('0' + provider.ConsumeIntegralInRange(0, 9));
    const bool point = provider.ConsumeBool();
    std::string fraction;
    const int fractionDigits = point ? provider.ConsumeIntegralInRange(0, 6) : 0;
    for (int i = 0; i < fractionDigits; ++i)
        fraction += static_cast<char>('0' + provider.ConsumeIntegralInRange(0, 9));
    if (integer.empty() && fraction.empty())
        integer = "0";
    std::string exponent;
    if (provider.ConsumeBool()) {
        exponent += provider.ConsumeBool() ? 'e' : 'E';
        exponent += Pick(provider, Signs);
        const int exponentDigits = provider.ConsumeIntegralInRange(1, 2);
        for (int i = 0; i < exponentDigits; ++i)
            exponent += static_cast<char>('0' + provider.ConsumeIntegralInRange(0, 9));
    }
    const std::string sign = Pick(provider, Signs);
    const std::string plain = sign + integer + (point ? "." + fraction : "") + exponent;

    // Written the C way, or the way a decimal-comma locale writes it.
    const bool localeStyle = separators == Separators::CommaPoint && provider.ConsumeBool();
    const char decimal = localeStyle ? ',' : '.';
    const char group = localeStyle ? '.' : ',';
    // Grouping in threes only where a locale would write it: at least four
    // digits and no leading zero, and in the C way only where ',' groups.
    std::string grouped = integer;
    const bool grouping = provider.ConsumeBool() && integer.size() >= 4 && integer[0] != '0'
                          && (localeStyle || separators == Separators::PointComma);
    if (grouping) {
        grouped.clear();
        for (std::size_t i = 0; i < integer.size(); ++i) {
            if (i > 0 && (integer.size() - i) % 3 == 0)
                grouped += group;
            grouped += integer[i];
        }
    }
    const std::string written = sign + grouped + (point ? decimal + fraction : "") + exponent;

    // 0 all ASCII, 1 all full-width, otherwise each character by a bit.
    const int width = provider.ConsumeIntegralInRange(0, 2);
    QString text;
    for (const char c : written) {
        const bool wide = width == 1 || (width == 2 && provider.ConsumeBool());
        text += wide ? QChar(static_cast<char16_t>(c - 0x21 + 0xFF01)) : QChar(QLatin1Char(c));
    }
    static const std::array<QString, 5> Blanks{QString(), QStringLiteral(" "), QStringLiteral("\u3000"),
                                               QStringLiteral("\t"), QStringLiteral("\u3000\u3000 ")};
    text = Pick(provider, Blanks) + text + Pick(provider, Blanks);

    char *end = nullptr;
    const double expected = std::strtod(plain.c_str(), &end);
    FUZZ_REQUIRE(end == plain.c_str() + plain.size() && std::isfinite(expected),
                 QByteArray("the C library refused ") + plain.c_str());

    // In a decimal-comma locale "1.500" is fifteen hundred; the C way is only
    // certain where the point cannot be a grouping sign.
    const bool ambiguous = separators == Separators::CommaPoint && !localeStyle && point && fractionDigits == 3
                           && integerDigits >= 1 && integerDigits <= 3;
    if (separators != Separators::Other && !ambiguous) {
        const std::optional<double> real = platform::TextToReal(text);
        const QByteArray detail
            = "text " + Describe(text) + " (" + QByteArray(plain.c_str()) + ") read as " + Show(real);
        FUZZ_REQUIRE(real && *real == expected, detail);
        const std::optional<std::int16_t> whole = platform::TextToInt16(text);
        FUZZ_REQUIRE(whole == fuzz::ReferenceInt16(expected), detail + ", TextToInt16 gave " + Show(whole));
    }
    CheckText(text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const QLocale system = QLocale::system();
    const QString signs = system.decimalPoint() + system.groupSeparator();
    separators = signs == QLatin1String(".,")   ? Separators::PointComma
                 : signs == QLatin1String(",.") ? Separators::CommaPoint
                                                : Separators::Other;
    std::fprintf(stderr, "system locale %s, point and grouping \"%s\": built numbers %s\n",
                 qPrintable(system.name()), qUtf8Printable(signs),
                 separators == Separators::Other ? "only checked for consistency" : "compared with the C library");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    for (const QString &text : fuzz::InputTexts(data, size))
        CheckText(text);

    CheckBuiltNumber(data, size);

    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        CheckReal(value);
    }
    return 0;
}
