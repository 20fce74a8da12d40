#include "platform/RecordRowText.h"

#include <array>
#include <limits>

namespace platform {

namespace {

constexpr QStringView Format = u"m3";
constexpr QStringView SecondFormat = u"m2";
constexpr QStringView FirstFormat = u"m1";
constexpr int FieldCount = 20;
constexpr int SecondFieldCount = 18;
constexpr int FirstFieldCount = 17;

// Text fields keep tabs and line breaks out of the row.
QString Escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

std::optional<QString> Unescaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i].unicode()) {
        case u'\\': out += u'\\'; break;
        case u't': out += u'\t'; break;
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

template <typename T>
bool ReadNumber(QStringView field, T &out)
{
    bool ok = false;
    const qlonglong value = field.toLongLong(&ok);
    if (!ok || value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
        return false;
    out = static_cast<T>(value);
    return true;
}

bool ReadFlag(QStringView field, bool &out)
{
    if (field != u"0" && field != u"1")
        return false;
    out = field == u"1";
    return true;
}

} // namespace

QString RecordRowText(const AnswerRow &row)
{
    const QChar tab = u'\t';
    QString text;
    text.reserve(96 + row.drill.size() + row.typed.size());
    text += Format;
    text += tab + Escaped(row.drill);
    text += tab + QString::number(row.answeredAt.toMSecsSinceEpoch());
    text += tab + QString::number(row.answeredAt.offsetFromUtc());
    for (const int number : {int(row.mode), int(row.calcKind), int(row.rangeMax), int(row.problemCount),
                             int(row.retry), int(row.questionNo), int(row.left), int(row.right),
                             int(row.operation), int(row.answer), int(row.correct), int(row.elapsedMs)})
        text += tab + QString::number(number);
    text += tab + Escaped(row.typed);
    text += tab + QString::number(int(row.practice));
    text += tab + Escaped(row.child);
    text += tab + QString::number(int(row.grid));
    return text;
}

QString RecordRowField(const QString &text)
{
    return Escaped(text);
}

std::optional<AnswerRow> ParseRecordRow(QStringView text)
{
    std::array<QStringView, FieldCount> f;
    int n = 0;
    for (const QStringView field : text.tokenize(u'\t')) {
        if (n == FieldCount)
            return std::nullopt;
        f[std::size_t(n++)] = field;
    }
    const bool first = n == FirstFieldCount && f[0] == FirstFormat;
    const bool second = n == SecondFieldCount && f[0] == SecondFormat;
    if (!first && !second && (n != FieldCount || f[0] != Format))
        return std::nullopt;
    AnswerRow row;
    if (!first && !ReadFlag(f[17], row.practice))
        return std::nullopt;
    if (!first && !second) {
        const std::optional<QString> child = Unescaped(f[18]);
        if (!child || !ReadFlag(f[19], row.grid))
            return std::nullopt;
        row.child = *child;
    }
    qint64 ms = 0;
    int offset = 0;
    const std::optional<QString> drill = Unescaped(f[1]);
    const std::optional<QString> typed = Unescaped(f[16]);
    if (!drill || drill->isEmpty() || !typed || !ReadNumber(f[2], ms) || !ReadNumber(f[3], offset) ||
        !ReadNumber(f[4], row.mode) || !ReadNumber(f[5], row.calcKind) || !ReadNumber(f[6], row.rangeMax) ||
        !ReadNumber(f[7], row.problemCount) || !ReadFlag(f[8], row.retry) || !ReadNumber(f[9], row.questionNo) ||
        !ReadNumber(f[10], row.left) || !ReadNumber(f[11], row.right) || !ReadNumber(f[12], row.operation) ||
        !ReadNumber(f[13], row.answer) || !ReadFlag(f[14], row.correct) || !ReadNumber(f[15], row.elapsedMs))
        return std::nullopt;
    // The clock as it read where the child answered (no time zone lookup
    // for each of many rows).
    row.answeredAt = QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offset);
    if (!row.answeredAt.isValid())
        return std::nullopt;
    row.drill = *drill;
    row.typed = *typed;
    return row;
}

} // namespace platform
