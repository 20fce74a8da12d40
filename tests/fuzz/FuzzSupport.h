#pragma once

// Helpers shared by the libFuzzer harnesses: turning the input into texts,
// independent reference rules, and a check that stops the run with a readable
// message (libFuzzer then saves the input as a crash file).

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace fuzz {

// A text with everything outside printable ASCII written as \uXXXX, so a
// failure message shows exactly which code units were involved.
inline QByteArray Describe(const QString &text)
{
    QByteArray out = "\"";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F && u != '\\' && u != '"')
            out += static_cast<char>(u);
        else
            out += QByteArray("\\u") + QByteArray::number(u, 16).rightJustified(4, '0');
    }
    return out + "\"";
}

[[noreturn]] inline void Fail(const char *file, int line, const char *condition, const QByteArray &detail)
{
    std::fprintf(stderr, "\n%s:%d: property violated: %s\n  %s\n", file, line, condition, detail.constData());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_REQUIRE(condition, detail)                                                                        \
    do {                                                                                                       \
        if (!(condition))                                                                                      \
            ::fuzz::Fail(__FILE__, __LINE__, #condition, (detail));                                            \
    } while (0)

// The bytes as raw UTF-16 in host order: unpaired surrogates, BOMs and NULs
// stay as they are; an odd last byte is dropped.
inline QString RawUtf16(const std::uint8_t *data, std::size_t size)
{
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    // Copied, not cast: the input need not be aligned for char16_t.
    std::memcpy(text.data(), data, size / 2 * 2);
    return text;
}

// The whole input as UTF-8 and, when it holds at least one code unit, as raw
// UTF-16.
inline std::vector<QString> InputTexts(const std::uint8_t *data, std::size_t size)
{
    std::vector<QString> texts;
    texts.push_back(QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (size >= 2)
        texts.push_back(RawUtf16(data, size));
    return texts;
}

// Round half to even by the C library in its default rounding mode, as the
// reference for RealToInt16: no value outside -32768..32767 or when not finite.
inline std::optional<std::int16_t> ReferenceInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double whole = std::nearbyint(value);
    if (whole < -32768.0 || whole > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(whole);
}

inline QByteArray Show(std::optional<double> value)
{
    return value ? QByteArray::number(*value, 'g', 17) : QByteArray("none");
}

inline QByteArray Show(std::optional<std::int16_t> value)
{
    return value ? QByteArray::number(*value) : QByteArray("none");
}

// Reads fixed fields from the input; past its end every byte reads as 0.
class Reader {
public:
    Reader(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte(std::size_t at) const { return at < size_ ? data_[at] : 0; }

    template <typename T>
    T Little(std::size_t at) const
    {
        T value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value = static_cast<T>(value | static_cast<T>(static_cast<T>(Byte(at + i)) << (8 * i)));
        return value;
    }

    // The bytes from at on (none when at is past the end).
    const std::uint8_t *Tail(std::size_t at) const { return at < size_ ? data_ + at : data_ + size_; }
    std::size_t TailSize(std::size_t at) const { return at < size_ ? size_ - at : 0; }

private:
    const std::uint8_t *data_;
    std::size_t size_;
};

} // namespace fuzz
