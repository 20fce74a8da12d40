// study::CheckProblemCount and CountRefusalMessage on arbitrary input:
//  - the input as a text (UTF-8 and raw UTF-16): the verdict is the one the
//    rule gives for TextToReal's value (none: not usable; above 10000: too
//    large; below 1: not usable; else that count rounded half to even), and
//    the refusal message is non-empty exactly when the count is refused;
//  - a number of halves from the first bytes, written out as a text: the
//    same rule worked out from the number alone, without TextToReal.

#include "FuzzSupport.h"

#include "platform/Conversions.h"
#include "study/Choices.h"

#include <variant>

using fuzz::Describe;

namespace {

enum class Verdict { Accepted, TooLarge, NotUsable };

const char *Name(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Accepted: return "accepted";
    case Verdict::TooLarge: return "too large";
    case Verdict::NotUsable: return "not usable";
    }
    return "?";
}

struct Expected {
    Verdict verdict;
    int count = 0;
};

Expected Rule(std::optional<double> value)
{
    if (!value)
        return {Verdict::NotUsable};
    if (*value > study::MaxProblemCount)
        return {Verdict::TooLarge};
    if (*value < 1)
        return {Verdict::NotUsable};
    const std::optional<std::int16_t> count = fuzz::ReferenceInt16(*value);
    if (!count)
        return {Verdict::NotUsable};
    return {Verdict::Accepted, *count};
}

void Check(const QString &text, const Expected &expected, const QByteArray &why)
{
    const study::CountCheck check = study::CheckProblemCount(text);
    const QString message = study::CountRefusalMessage(check);

    Verdict got = Verdict::NotUsable;
    int count = 0;
    if (const auto *accepted = std::get_if<study::CountAccepted>(&check)) {
        got = Verdict::Accepted;
        count = accepted->count;
    } else if (std::holds_alternative<study::CountTooLarge>(check)) {
        got = Verdict::TooLarge;
    }

    const QByteArray detail = "text " + Describe(text) + " (" + why + ") gave " + Name(got) + " "
                              + QByteArray::number(count) + ", expected " + Name(expected.verdict) + " "
                              + QByteArray::number(expected.count);
    FUZZ_REQUIRE(got == expected.verdict, detail);
    FUZZ_REQUIRE(count == expected.count, detail);
    if (got == Verdict::Accepted) {
        FUZZ_REQUIRE(count >= 1 && count <= study::MaxProblemCount, detail);
        FUZZ_REQUIRE(message.isEmpty(), detail + ", message " + Describe(message));
    } else {
        FUZZ_REQUIRE(!message.isEmpty(), detail);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The two refusals must tell the parent different things.
    const QString tooLarge = study::CountRefusalMessage(study::CountTooLarge{});
    const QString notUsable = study::CountRefusalMessage(study::CountNotUsable{});
    FUZZ_REQUIRE(!tooLarge.isEmpty() && !notUsable.isEmpty() && tooLarge != notUsable, Describe(tooLarge));
    FUZZ_REQUIRE(study::CountRefusalMessage(study::CountAccepted{1}).isEmpty(), QByteArray());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    for (const QString &text : fuzz::InputTexts(data, size)) {
        const std::optional<double> value = platform::TextToReal(text);
        Check(text, Rule(value), "read as " + fuzz::Show(value));
    }

    // A count in halves from -40000 to 40000, so the limits, zero, the
    // 16-bit edges and every tie are all within reach.
    const fuzz::Reader reader(data, size);
    const int halves = static_cast<int>(reader.Little<std::uint32_t>(0) % 160001U) - 80000;
    const double value = halves / 2.0;
    QString text = QString::number(halves / 2) + (halves % 2 != 0 ? QStringLiteral(".5") : QString());
    if (halves < 0 && halves / 2 == 0)
        text.prepend(QLatin1Char('-'));
    if (reader.Byte(4) & 1) {
        // The same number typed on a Japanese keyboard.
        for (QChar &c : text)
            c = c == QLatin1Char('-') ? QChar(0xFF0D) : c == QLatin1Char('.') ? QChar(0xFF0E)
                                                                              : QChar(c.unicode() - '0' + 0xFF10);
        text = QChar(0x3000) + text;
    }
    Expected expected{Verdict::NotUsable};
    if (value > 10000)
        expected = {Verdict::TooLarge};
    else if (value >= 1)
        expected = {Verdict::Accepted, static_cast<int>(std::nearbyint(value))};
    Check(text, expected, "built from " + QByteArray::number(value));
    return 0;
}
