#include "study/Choices.h"

#include "platform/Conversions.h"
#include "study/Module1.h"

namespace study {

const std::array<Choice, 16> CalcKindChoices{{
    {u"たし算", 1},
    {u"ひき算", 2},
    {u"かけ算", 3},
    {u"わり算", 4},
    {u"九九", TimesTableKind},
    {u"たし算＋ひき算", 5},
    {u"たし算＋かけ算", 6},
    {u"たし算＋わり算", 7},
    {u"ひき算＋かけ算", 8},
    {u"ひき算＋わり算", 9},
    {u"かけ算＋わり算", 10},
    {u"たし算＋ひき算＋かけ算", 11},
    {u"たし算＋ひき算＋わり算", 12},
    {u"たし算＋かけ算＋わり算", 13},
    {u"ひき算＋かけ算＋わり算", 14},
    {u"たし算＋ひき算＋かけ算＋わり算", 15},
}};

const std::array<Choice, 7> RangeChoices{{
    {u"1～10", 10},
    {u"1～20", 20},
    {u"1～50", 50},
    {u"1～100", 100},
    {u"1～200", 200},
    {u"1～500", 500},
    {u"1～999", 999},
}};

const std::array<Choice, 10> TimesRowChoices{{
    {u"九九（全て）", 81},
    {u"九九（一の段）", 1},
    {u"九九（二の段）", 2},
    {u"九九（三の段）", 3},
    {u"九九（四の段）", 4},
    {u"九九（五の段）", 5},
    {u"九九（六の段）", 6},
    {u"九九（七の段）", 7},
    {u"九九（八の段）", 8},
    {u"九九（九の段）", 9},
}};

namespace {

template <std::size_t N>
void applyMatching(const std::array<Choice, N> &table, const QString &text, std::int16_t &target)
{
    for (const Choice &row : table) {
        if (QStringView(row.text) == text)
            target = row.value;
    }
}

} // namespace

void ApplyChoices(const QString &kindText, const QString &rangeText, const QString &rowText)
{
    applyMatching(CalcKindChoices, kindText, Module1::CalcKind);
    applyMatching(RangeChoices, rangeText, Module1::RangeMax);
    if (Module1::CalcKind == TimesTableKind)
        applyMatching(TimesRowChoices, rowText, Module1::RangeMax);
}

CountCheck CheckProblemCount(const QString &text)
{
    const std::optional<double> value = platform::TextToReal(text);
    if (!value)
        return CountNotUsable{};
    // Both bounds are judged on the value as typed, before rounding: 0.6 is
    // below one problem as 10000.4 is above the limit.
    if (*value > MaxProblemCount)
        return CountTooLarge{};
    if (*value < 1)
        return CountNotUsable{};
    const std::optional<std::int16_t> count = platform::RealToInt16(*value);
    if (!count)
        return CountNotUsable{};
    return CountAccepted{*count};
}

QString CountRefusalMessage(const CountCheck &check)
{
    if (std::holds_alternative<CountTooLarge>(check))
        return QStringLiteral("問題数が多すぎます");
    if (std::holds_alternative<CountNotUsable>(check))
        return QStringLiteral("問題数は1から10000までの数で入力してください");
    return {};
}

} // namespace study
