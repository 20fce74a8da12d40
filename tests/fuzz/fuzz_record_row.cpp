// The browser edition's record rows read from arbitrary text (as UTF-8 and as
// raw UTF-16). A text that reads as a row prints back to one line of the
// current format's 20 fields, no line break in it, that reads as the same row at the same offset
// from UTC and prints the same again: what one version stores, the next
// reads as it was.
#include "FuzzSupport.h"

#include "platform/RecordRowText.h"

using fuzz::Describe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    for (const QString &input : fuzz::InputTexts(data, size)) {
        const std::optional<platform::AnswerRow> row = platform::ParseRecordRow(input);
        if (!row)
            continue;
        const QString text = platform::RecordRowText(*row);
        const QByteArray context = "input " + Describe(input) + "\n  printed " + Describe(text);
        FUZZ_REQUIRE(text.count(u'\t') == 19 && text.startsWith(u"m3\t") && !text.contains(u'\n') && !text.contains(u'\r'), context);
        const std::optional<platform::AnswerRow> again = platform::ParseRecordRow(text);
        FUZZ_REQUIRE(again && *again == *row, context);
        FUZZ_REQUIRE(again->answeredAt.offsetFromUtc() == row->answeredAt.offsetFromUtc(), context);
        FUZZ_REQUIRE(platform::RecordRowText(*again) == text, context);
    }
    return 0;
}
