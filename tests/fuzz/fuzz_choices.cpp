// study::ApplyChoices on arbitrary list texts.
//
// The input (as UTF-8, and as raw UTF-16) is split at line feeds: the kind
// text, the range text, the row text, and a fourth part whose first two code
// units pick the CalcKind and RangeMax held before. The result must be what a
// plain lookup in this file's own copy of the three lists gives: a text
// matching no row leaves its value alone, the row list only counts when the
// kind ends up as the multiplication table, and nothing else in Module1
// changes.

#include "FuzzSupport.h"

#include "study/Choices.h"
#include "study/Module1.h"

#include <QStringList>

#include <array>
#include <utility>

using fuzz::Describe;

namespace {

using Row = std::pair<const char *, int>;

// The lists as the screens show them, written out again so that a changed
// text or code in the program's tables is caught here too.
const std::array<Row, 16> Kinds{{
    {"たし算", 1},
    {"ひき算", 2},
    {"かけ算", 3},
    {"わり算", 4},
    {"九九", 81},
    {"たし算＋ひき算", 5},
    {"たし算＋かけ算", 6},
    {"たし算＋わり算", 7},
    {"ひき算＋かけ算", 8},
    {"ひき算＋わり算", 9},
    {"かけ算＋わり算", 10},
    {"たし算＋ひき算＋かけ算", 11},
    {"たし算＋ひき算＋わり算", 12},
    {"たし算＋かけ算＋わり算", 13},
    {"ひき算＋かけ算＋わり算", 14},
    {"たし算＋ひき算＋かけ算＋わり算", 15},
}};

const std::array<Row, 7> Ranges{{
    {"1～10", 10},
    {"1～20", 20},
    {"1～50", 50},
    {"1～100", 100},
    {"1～200", 200},
    {"1～500", 500},
    {"1～999", 999},
}};

const std::array<Row, 10> TableRows{{
    {"九九（全て）", 81},
    {"九九（一の段）", 1},
    {"九九（二の段）", 2},
    {"九九（三の段）", 3},
    {"九九（四の段）", 4},
    {"九九（五の段）", 5},
    {"九九（六の段）", 6},
    {"九九（七の段）", 7},
    {"九九（八の段）", 8},
    {"九九（九の段）", 9},
}};

// Values held before: unset, every code the lists give, and a few no list
// gives.
const std::array<std::int16_t, 32> Earlier{0,  1,  2,  3,   4,   5,   6,   7,   8,     9,      10,
                                           11, 12, 13, 14,  15,  81,  20,  50,  100,   200,    500,
                                           999, 16, 80, 82, -1, 1000, 10000, 32767, -32768, 42};

template <std::size_t N>
int Lookup(const std::array<Row, N> &rows, const QString &text, int before)
{
    for (const Row &row : rows) {
        if (text == QString::fromUtf8(row.first))
            return row.second;
    }
    return before;
}

template <std::size_t N, std::size_t M>
void RequireSameTable(const std::array<Row, N> &ours, const std::array<study::Choice, M> &program, const char *name)
{
    FUZZ_REQUIRE(N == M, QByteArray(name));
    for (std::size_t i = 0; i < N; ++i) {
        const QString text = program[i].Text();
        FUZZ_REQUIRE(text == QString::fromUtf8(ours[i].first) && program[i].value == ours[i].second,
                     QByteArray(name) + " row " + QByteArray::number(qulonglong(i)) + ": " + Describe(text) + " "
                         + QByteArray::number(program[i].value));
    }
}

void Check(const QString &input)
{
    const QStringList parts = input.split(QLatin1Char('\n'));
    const QString kindText = parts.value(0);
    const QString rangeText = parts.value(1);
    const QString rowText = parts.value(2);
    const QString earlier = parts.value(3);
    const std::int16_t kindBefore = Earlier[earlier.size() > 0 ? earlier[0].unicode() % Earlier.size() : 0];
    const std::int16_t rangeBefore = Earlier[earlier.size() > 1 ? earlier[1].unicode() % Earlier.size() : 0];

    Module1::ResetAll();
    Module1::StudyMode = 2;
    Module1::ProblemCount = 30;
    Module1::CorrectCount = 4;
    Module1::WrongCount = 5;
    Module1::QuestionNo = 6;
    Module1::AnswerState = 1;
    Module1::CalcKind = kindBefore;
    Module1::RangeMax = rangeBefore;

    study::ApplyChoices(kindText, rangeText, rowText);

    const int kind = Lookup(Kinds, kindText, kindBefore);
    int range = Lookup(Ranges, rangeText, rangeBefore);
    if (kind == 81)
        range = Lookup(TableRows, rowText, range);

    const QByteArray detail = "texts " + Describe(kindText) + " " + Describe(rangeText) + " " + Describe(rowText)
                              + " from " + QByteArray::number(kindBefore) + "/" + QByteArray::number(rangeBefore)
                              + " gave " + QByteArray::number(Module1::CalcKind) + "/"
                              + QByteArray::number(Module1::RangeMax) + ", expected " + QByteArray::number(kind)
                              + "/" + QByteArray::number(range);
    FUZZ_REQUIRE(Module1::CalcKind == kind, detail);
    FUZZ_REQUIRE(Module1::RangeMax == range, detail);
    FUZZ_REQUIRE(Module1::StudyMode == 2 && Module1::ProblemCount == 30 && Module1::CorrectCount == 4
                     && Module1::WrongCount == 5 && Module1::QuestionNo == 6 && Module1::AnswerState == 1,
                 detail + ", another value changed");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    RequireSameTable(Kinds, study::CalcKindChoices, "kind list");
    RequireSameTable(Ranges, study::RangeChoices, "range list");
    RequireSameTable(TableRows, study::TimesRowChoices, "row list");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    for (const QString &text : fuzz::InputTexts(data, size))
        Check(text);
    return 0;
}
