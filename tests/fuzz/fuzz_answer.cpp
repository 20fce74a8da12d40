// A problem set built from fuzzed settings, and the answer check on it.
//
// Input layout (missing bytes read as 0):
//   0 kind pick, 1 range pick, 2 count size pick, 3-4 count, 5-12 generator
//   seed, 13-16 clock in ms, 17 flags (bit 0: build a second set on top of the
//   first, bit 1: the answer text is raw UTF-16), 18-22 kind, range and count
//   of the second set, 23 a record to judge, 24 how the true answer is typed,
//   25.. an answer text.
//
// After every build each record must be sound for its operation, the records
// must form one unbroken run as long as the split asks for, everything after
// it must be empty, and the answer check must agree with TextToReal.

#include "FuzzSupport.h"

#include "engine/ProblemSet.h"
#include "engine/Score.h"
#include "platform/Conversions.h"
#include "platform/Random.h"
#include "study/Choices.h"
#include "study/Module1.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

using engine::ProblemRecord;
using engine::ProblemSet;
using fuzz::Describe;

namespace {

// Every kind the lists give, and some no list gives.
const std::array<std::int16_t, 24> Kinds{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,    12,
                                         13, 14, 15, 81, 0, 16, 80, 82, -1, 42, 32767, -32768};
// Every range and table row the lists give, and the unset 0.
const std::array<std::int16_t, 18> Ranges{10, 20, 50, 100, 200, 500, 999, 81, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0};

// The operations of each kind in the order add, sub, mul, div; all but the
// last get count / n, the last the rest.
std::array<int, 4> ReferenceSplit(int kind, int count)
{
    std::vector<int> ops;
    switch (kind) {
    case 1: ops = {0}; break;
    case 2: ops = {1}; break;
    case 3: ops = {2}; break;
    case 4: ops = {3}; break;
    case 5: ops = {0, 1}; break;
    case 6: ops = {0, 2}; break;
    case 7: ops = {0, 3}; break;
    case 8: ops = {1, 2}; break;
    case 9: ops = {1, 3}; break;
    case 10: ops = {2, 3}; break;
    case 11: ops = {0, 1, 2}; break;
    case 12: ops = {0, 1, 3}; break;
    case 13: ops = {0, 2, 3}; break;
    case 14: ops = {1, 2, 3}; break;
    case 15: ops = {0, 1, 2, 3}; break;
    case 81: ops = {2}; break;
    default: break;
    }
    std::array<int, 4> parts{};
    if (ops.empty())
        return parts;
    const int n = static_cast<int>(ops.size());
    const int share = count / n;
    for (int i = 0; i + 1 < n; ++i)
        parts[static_cast<std::size_t>(ops[static_cast<std::size_t>(i)])] = share;
    parts[static_cast<std::size_t>(ops.back())] = count - share * (n - 1);
    return parts;
}

// The rules each operation keeps (as in tst_engine's recordFault), widened
// for the ranges no list pairs with that operation: a draw from 1 to 0 gives
// 1, and the product bound of a division starts at 2.
QByteArray RecordFault(const ProblemRecord &r, int range)
{
    const int l = r.LeftOperand, rt = r.RightOperand, a = r.Answer;
    switch (r.Operation) {
    case 1:
        if (l + rt != a || a < 1 || a > std::max(range, 1) || rt < 1 || l < 0)
            return "addition";
        break;
    case 2:
        if (l - rt != a || a < 0 || rt < 1 || l > std::max(range, 1))
            return "subtraction";
        break;
    case 3:
        if (l * rt != a)
            return "product";
        if (range == 81 && (l < 1 || l > 9 || rt < 1 || rt > 9))
            return "whole table";
        if (range < 10 && (l != range || rt < 1 || rt > 9))
            return "table row";
        if (range >= 10 && range != 81 && (l < 2 || rt < 1 || rt > 499 || a > range))
            return "range product";
        break;
    case 4: {
        const int effective = range >= 1 ? range : 10;
        if (l != rt * a || a < 2 || rt < 1 || l > std::max(effective, 2))
            return "division";
        break;
    }
    default:
        return "operation " + QByteArray::number(r.Operation);
    }
    return {};
}

QByteArray Show(const ProblemRecord &r)
{
    return "{" + QByteArray::number(r.LeftOperand) + ", " + QByteArray::number(r.RightOperand) + ", "
           + QByteArray::number(r.Answer) + ", " + QByteArray::number(r.Operation) + "}";
}

// The program's generator, with the clock replaced by a value from the input
// so that a failing input fails again.
class FixedClockRandom final : public platform::RandomSource {
public:
    FixedClockRandom(std::uint64_t seed, float seconds) : inner_(seed), seconds_(seconds) {}
    float Next() override
    {
        const float r = inner_.Next();
        FUZZ_REQUIRE(r >= 0.0F && r < 1.0F, "draw " + QByteArray::number(r, 'g', 9));
        return r;
    }
    void Reseed(float) override
    {
        ++reseeds_;
        inner_.Reseed(seconds_);
    }
    int Reseeds() const { return reseeds_; }

private:
    platform::PcgRandom inner_;
    float seconds_;
    int reseeds_ = 0;
};

int Count(const fuzz::Reader &in, std::size_t at)
{
    const int value = in.Little<std::uint16_t>(at + 1);
    // Mostly small sets, for speed; now and then anything up to the capacity.
    return in.Byte(at) < 0xF0 ? value % 201 : value % (ProblemSet::Capacity + 1);
}

void Build(ProblemSet &set, FixedClockRandom &random, std::int16_t kind, std::int16_t range, int count)
{
    Module1::CalcKind = kind;
    Module1::RangeMax = range;
    Module1::ProblemCount = static_cast<std::int16_t>(count);
    Module1::CorrectCount = 3;
    Module1::WrongCount = 4;
    Module1::QuestionNo = 9;
    set.GeneratedCount = 0; // the drill screen's load step
    const int reseedsBefore = random.Reseeds();
    set.BuildProblemSet(random);

    const QByteArray settings = "kind " + QByteArray::number(kind) + " range " + QByteArray::number(range)
                                + " count " + QByteArray::number(count);
    FUZZ_REQUIRE(random.Reseeds() == reseedsBefore + 1, settings);
    FUZZ_REQUIRE(Module1::QuestionNo == 1 && Module1::CorrectCount == 0 && Module1::WrongCount == 0, settings);

    const std::array<int, 4> parts = ReferenceSplit(kind, count);
    const int total = parts[0] + parts[1] + parts[2] + parts[3];
    FUZZ_REQUIRE(set.AddCount == parts[0] && set.SubCount == parts[1] && set.MulCount == parts[2]
                     && set.DivCount == parts[3],
                 settings + " split " + QByteArray::number(set.AddCount) + "/" + QByteArray::number(set.SubCount)
                     + "/" + QByteArray::number(set.MulCount) + "/" + QByteArray::number(set.DivCount));
    FUZZ_REQUIRE(set.GeneratedCount == total, settings + " generated " + QByteArray::number(set.GeneratedCount));

    std::array<int, 5> perOperation{};
    for (int i = 1; i <= total; ++i) {
        const ProblemRecord &r = set.Problems(i);
        const QByteArray fault = RecordFault(r, range);
        FUZZ_REQUIRE(fault.isEmpty(),
                     settings + " record " + QByteArray::number(i) + " " + Show(r) + ": " + fault);
        FUZZ_REQUIRE(engine::OperatorSign(r.Operation).has_value(), settings);
        ++perOperation[static_cast<std::size_t>(r.Operation)];
    }
    FUZZ_REQUIRE(perOperation[1] == parts[0] && perOperation[2] == parts[1] && perOperation[3] == parts[2]
                     && perOperation[4] == parts[3],
                 settings + " records do not follow the split");
    for (int i = total + 1; i <= ProblemSet::Capacity; ++i)
        FUZZ_REQUIRE(set.Problems(i) == ProblemRecord{},
                     settings + " record " + QByteArray::number(i) + " after the run: " + Show(set.Problems(i)));
    for (int i : {-1, 0, ProblemSet::Capacity + 1})
        FUZZ_REQUIRE(set.Problems(i) == ProblemRecord{}, settings + " record " + QByteArray::number(i));
}

void CheckJudge(const QString &text, std::int16_t answer)
{
    const std::optional<bool> verdict = engine::JudgeAnswer(text, answer);
    const std::optional<double> value = platform::TextToReal(text);
    const std::optional<bool> expected = value ? std::optional<bool>(*value == answer) : std::nullopt;
    FUZZ_REQUIRE(verdict == expected, "answer " + QByteArray::number(answer) + " text " + Describe(text)
                                          + " read as " + fuzz::Show(value));
}

// The answer plus a small change, typed in one of the ways a child might; it
// must be judged right exactly when the change is 0.
void CheckTypedAnswer(std::uint8_t how, std::int16_t answer)
{
    static constexpr std::array<int, 8> Changes{0, 0, 0, 2, -2, 1, -1, 20}; // in halves
    const int change = Changes[(how >> 3) & 7];
    const int halves = 2 * answer + change;
    const bool half = halves % 2 != 0;
    const int magnitude = std::abs(halves) / 2;
    const int form = how & 7;

    QString body = QString::number(magnitude) + (half ? QStringLiteral(".5") : QString());
    switch (form) {
    case 2: body.prepend(QStringLiteral("00")); break;
    case 3: body += half ? QStringLiteral("0") : QStringLiteral(".0"); break;
    case 4: body += half ? QStringLiteral("000") : QStringLiteral(".000"); break;
    case 5: body += QStringLiteral("e0"); break;
    default: break;
    }
    QString text = (halves < 0 ? QStringLiteral("-") : form == 6 ? QStringLiteral("+") : QString()) + body;
    if (form == 1 || form == 7) {
        for (QChar &c : text)
            c = QChar(static_cast<char16_t>(c.unicode() - 0x21 + 0xFF01));
    }
    if (form == 7)
        text = QChar(0x3000) + text + QChar(0x3000);

    const std::optional<bool> verdict = engine::JudgeAnswer(text, answer);
    FUZZ_REQUIRE(verdict && *verdict == (change == 0),
                 "answer " + QByteArray::number(answer) + " typed as " + Describe(text) + " judged "
                     + (verdict ? QByteArray(*verdict ? "right" : "wrong") : QByteArray("not a number")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const fuzz::Reader in(data, size);
    Module1::ResetAll();

    FixedClockRandom random(in.Little<std::uint64_t>(5),
                            static_cast<float>(in.Little<std::uint32_t>(13) % 86400000U) / 1000.0F);
    const auto set = std::make_unique<ProblemSet>();

    std::int16_t range = Ranges[in.Byte(1) % Ranges.size()];
    int count = Count(in, 2);
    Build(*set, random, Kinds[in.Byte(0) % Kinds.size()], range, count);
    if (in.Byte(17) & 1) {
        // The drill screen opened again: the new set must wipe the old run.
        range = Ranges[in.Byte(19) % Ranges.size()];
        count = Count(in, 20);
        Build(*set, random, Kinds[in.Byte(18) % Kinds.size()], range, count);
    }

    const QString text = (in.Byte(17) & 2)
                             ? fuzz::RawUtf16(in.Tail(25), in.TailSize(25))
                             : QString::fromUtf8(reinterpret_cast<const char *>(in.Tail(25)),
                                                 static_cast<qsizetype>(in.TailSize(25)));
    const ProblemRecord &current = set->Problems(Module1::QuestionNo);
    CheckJudge(text, current.Answer);
    CheckTypedAnswer(in.Byte(24), current.Answer);

    // Any other record, including the empty ones around the run.
    const int other = in.Byte(23) % (set->GeneratedCount + 3) - 1;
    CheckJudge(text, set->Problems(other).Answer);
    CheckTypedAnswer(static_cast<std::uint8_t>(in.Byte(24) ^ in.Byte(23)), set->Problems(other).Answer);
    return 0;
}
