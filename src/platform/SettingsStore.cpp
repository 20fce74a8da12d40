#include "platform/SettingsStore.h"

#include <QByteArrayView>
#include <QDataStream>
#include <QVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

// The file is an INI file in the form QSettings reads and writes, so that a
// file written by an earlier version (through QSettings) reads the same, and
// QSettings could read ours. It is read and written here directly: the whole
// file is read from disk at every read (no copy kept in the process), and a
// write changes the one line of the entry, byte for byte nothing else, so a
// line this program does not understand is never dropped.
namespace {

bool IsSpace(char c)
{
    // (QSettings' own blanks between lines: not '\f' nor '\v'.)
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int Digit(char c, int base)
{
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d < base ? d : -1;
}

// One logical line, as QSettings splits a file: blank space before it is
// skipped, a quoted stretch may run over line breaks, a backslash takes the
// next character with it (a line break too), and an unquoted ';' ends the
// line (a line that starts with it is a comment).
struct Line {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype equals = -1; // the first unquoted '=', from start; -1 if none
};

std::vector<Line> SplitLines(QByteArrayView data)
{
    std::vector<Line> lines;
    const qsizetype size = data.size();
    qsizetype pos = data.startsWith("\xef\xbb\xbf") ? 3 : 0;
    for (;;) {
        while (pos < size && IsSpace(data[pos]))
            ++pos;
        if (pos >= size)
            break;
        if (data[pos] == ';') {
            while (pos < size && data[pos] != '\n' && data[pos] != '\r')
                ++pos;
            continue;
        }
        Line line{pos};
        bool quoted = false;
        qsizetype i = pos;
        for (; i < size; ++i) {
            const char c = data[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (c == '\\') {
                if (i + 1 < size) {
                    const char next = data[++i];
                    if (i + 1 < size && ((next == '\n' && data[i + 1] == '\r') || (next == '\r' && data[i + 1] == '\n')))
                        ++i;
                }
            } else if (!quoted) {
                if (c == '\n' || c == '\r' || c == ';')
                    break;
                if (c == '=' && line.equals < 0)
                    line.equals = i - pos;
            }
        }
        line.length = i - pos;
        lines.push_back(line);
        pos = i;
    }
    return lines;
}

// Where an entry is in the file: the line that holds it (the last one, which
// is the one QSettings takes) or, without one, the last header of its section.
struct Place {
    std::optional<Line> entry;
    std::optional<Line> header;
};

Place Find(QByteArrayView data, const QString &section, const QString &key)
{
    const QByteArray sectionName = section.toUtf8();
    const QByteArray keyName = key.toUtf8();
    Place place;
    bool inSection = false;
    for (const Line &line : SplitLines(data)) {
        const QByteArrayView text = data.sliced(line.start, line.length);
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            inSection = text.first(close < 0 ? text.size() : close).sliced(1).trimmed() == sectionName;
            if (inSection)
                place.header = line;
        } else if (inSection && line.equals >= 0 && text.first(line.equals).trimmed() == keyName) {
            place.entry = line;
        }
    }
    return place;
}

// A value as QSettings writes a string: quoted when it holds ';', ',' or '='
// or starts or ends with a space, backslash escapes for quotes, backslashes
// and control characters, a leading '@' doubled, UTF-8 otherwise.
QByteArray EncodeValue(const QString &value)
{
    const QString text = value.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + value : value;
    QByteArray out;
    bool needsQuotes = false;
    bool escapeNextHexDigit = false; // "\x1" then "a" would read as "\x1a"
    QStringEncoder toUtf8(QStringEncoder::Utf8);
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeNextHexDigit && c < 0x80 && Digit(char(c), 16) >= 0) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeNextHexDigit = false;
        static constexpr char named[][2] = {{'\a', 'a'}, {'\b', 'b'}, {'\f', 'f'}, {'\n', 'n'},
                                            {'\r', 'r'}, {'\t', 't'}, {'\v', 'v'}, {'"', '"'}, {'\\', '\\'}};
        const auto *escape = std::find_if(std::begin(named), std::end(named), [c](const char(&e)[2]) { return c == e[0]; });
        if (escape != std::end(named)) {
            out += '\\';
            out += (*escape)[1];
        } else if (c <= 0x1F || c == 0xFEFF) {
            // (U+FEFF as bytes would be taken for a byte order mark and
            // dropped by a reader.)
            out += "\\x" + QByteArray::number(c, 16);
            escapeNextHexDigit = true;
        } else {
            out += toUtf8(QStringView(&qc, 1));
        }
    }
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}

// The "@Type(...)" forms QSettings gives other types in, as it reads them:
// nothing for another type, "" for none. A form it does not know, or whose
// arguments do not fit, is the text itself.
std::optional<QString> FromStoredForm(const QString &text)
{
    const auto startsWith = [&text](const char *prefix) { return text.startsWith(QLatin1String(prefix)); };
    // (QSettings counts a geometry's arguments by their blanks and brackets.)
    const auto arguments = [&text](qsizetype open) {
        return text.sliced(open + 1).count(QLatin1Char(' ')) + text.sliced(open + 1).count(QLatin1Char(')'));
    };
    if (startsWith("@") && text.endsWith(QLatin1Char(')'))) {
        if (startsWith("@ByteArray("))
            return std::nullopt;
        if (startsWith("@String("))
            return text.sliced(8).chopped(1);
        if (startsWith("@Variant(") || startsWith("@DateTime(")) {
            const bool dateTime = text.at(1) == QLatin1Char('D');
            QByteArray bytes = QStringView(text).sliced(dateTime ? 10 : 9).toLatin1();
            QDataStream stream(&bytes, QIODevice::ReadOnly);
            stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
            QVariant value;
            stream >> value;
            if (!value.isValid())
                return QString();
            if (value.typeId() == QMetaType::QString)
                return value.toString();
            return std::nullopt;
        }
        if ((startsWith("@Rect(") && arguments(5) == 4) || (startsWith("@Size(") && arguments(5) == 2) ||
            (startsWith("@Point(") && arguments(6) == 2))
            return std::nullopt;
        if (text == QLatin1String("@Invalid()"))
            return QString();
    }
    if (startsWith("@@"))
        return text.sliced(1);
    return text;
}

// The escape after a backslash, at raw[i], added to out as QSettings reads
// it; i moves past it.
void AppendEscaped(QByteArrayView raw, qsizetype &i, QString &out)
{
    const char e = raw[i++];
    static constexpr char named[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
                                        {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    const auto *escape = std::find_if(std::begin(named), std::end(named), [e](const char(&n)[2]) { return e == n[0]; });
    if (escape != std::end(named)) {
        out += QLatin1Char((*escape)[1]);
    } else if (e == 'x' || Digit(e, 8) >= 0) {
        // A hex escape needs one digit at least; "\x" alone is dropped.
        const int base = e == 'x' ? 16 : 8;
        char16_t code = e == 'x' ? 0 : char16_t(Digit(e, 8));
        const qsizetype first = i;
        for (; i < raw.size() && Digit(raw[i], base) >= 0; ++i)
            code = char16_t(code * base + Digit(raw[i], base));
        if (e != 'x' || i > first)
            out += QChar(code);
    } else if (e == '\r' || e == '\n') {
        if (i < raw.size() && (raw[i] == '\r' || raw[i] == '\n') && raw[i] != e)
            ++i;
    }
}

// Reads a value the way QSettings reads a string, or nothing when it is not
// one string: a list (an unquoted ','), text that is not
// UTF-8, or another type's "@Type(...)" form.
std::optional<QString> DecodeValue(QByteArrayView raw)
{
    QString out;
    QStringDecoder fromUtf8(QStringDecoder::Utf8);
    bool quoted = false;
    bool wasQuoted = false;
    qsizetype keep = 0; // trailing blanks before this are the value's own
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
    };
    skipBlanks();
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '"') {
            ++i;
            quoted = !quoted;
            wasQuoted = true;
            if (!quoted)
                skipBlanks();
            keep = out.size();
        } else if (c == ',' && !quoted) {
            return std::nullopt;
        } else if (c == '\\') {
            if (++i >= raw.size())
                break;
            AppendEscaped(raw, i, out);
            keep = out.size();
        } else {
            qsizetype j = i + 1;
            while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',')
                ++j;
            out += fromUtf8(raw.sliced(i, j - i));
            i = j;
        }
    }
    // (A quote left open runs to the end of the file, as QSettings reads it.)
    if (fromUtf8.hasError())
        return std::nullopt;
    if (!wasQuoted) {
        qsizetype end = out.size();
        while (end > keep && (out[end - 1] == QLatin1Char(' ') || out[end - 1] == QLatin1Char('\t')))
            --end;
        out.truncate(end);
    }
    return FromStoredForm(out);
}

// The entry's line in these bytes, read as a value; no line gives no value
// at all, not "".
std::optional<std::optional<QString>> EntryIn(QByteArrayView data, const QString &section, const QString &key)
{
    const Place place = Find(data, section, key);
    if (!place.entry)
        return std::nullopt;
    const Line &line = *place.entry;
    return DecodeValue(data.sliced(line.start + line.equals + 1, line.length - line.equals - 1));
}

bool HoldsEntry(QByteArrayView data, const QString &section, const QString &key, const QString &value)
{
    return EntryIn(data, section, key) == std::optional<std::optional<QString>>(value);
}

// The file's bytes, or nothing when it exists and cannot be read.
std::optional<QByteArray> ReadFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}

} // namespace

bool SettingsStore::Write(const QString &section, const QString &key, const QString &value)
{
    // An entry that is there but cannot be read is left as it is: what it
    // holds may be the password, in a form this program does not understand.
    if (!Read(section, key) || !WriteEntry(section, key, value))
        return false;
    // Read back from the storage, so a write that went nowhere, or a value
    // the storage cannot keep exactly, is never reported as saved.
    const std::optional<QString> stored = Read(section, key);
    return stored && *stored == value;
}

QtSettingsStore::QtSettingsStore()
{
    // Where QSettings keeps the user's INI file for "Tovrani".
    const QSettings probe(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tovrani"),
                          QStringLiteral("Tovrani"));
    path_ = probe.fileName();
}

QtSettingsStore::QtSettingsStore(const QString &filePath) : path_(filePath) {}

std::optional<QString> QtSettingsStore::ReadEntry(const QString &section, const QString &key)
{
    if (!QFileInfo::exists(path_))
        return QString();
    const std::optional<QByteArray> data = ReadFile(path_);
    if (!data)
        return std::nullopt;
    return EntryIn(*data, section, key).value_or(QString());
}

bool QtSettingsStore::WriteEntry(const QString &section, const QString &key, const QString &value)
{
    QByteArray data;
    if (QFileInfo::exists(path_)) {
        const std::optional<QByteArray> existing = ReadFile(path_);
        if (!existing)
            return false;
        data = *existing;
    }

    const QByteArray entry = key.toUtf8() + '=' + EncodeValue(value);
    const Place place = Find(data, section, key);
    if (place.entry) {
        data.replace(place.entry->start, place.entry->length, entry);
    } else if (place.header) {
        // After the header's line; one that ends in a backslash (it runs on
        // to the end of the file) takes a line break with it, as below.
        const qsizetype end = place.header->start + place.header->length;
        QByteArray inserted = '\n' + entry;
        for (int extra = 0; extra < 2 && !HoldsEntry(data.first(end) + inserted + data.sliced(end), section, key, value);
             ++extra)
            inserted.prepend('\n');
        data.insert(end, inserted);
    } else {
        if (!data.isEmpty() && !data.endsWith('\n') && !data.endsWith('\r'))
            data += '\n';
        // A last line that ends in a backslash takes the next line break
        // with it: more breaks until the new section stands on its own.
        const QByteArray added = '[' + section.toUtf8() + "]\n" + entry + '\n';
        for (int extra = 0; extra < 2 && !HoldsEntry(data + added, section, key, value); ++extra)
            data += '\n';
        data += added;
    }
    // The entry must read back from the new text before that replaces the
    // file: a file that ends inside a quote would swallow it.
    if (!HoldsEntry(data, section, key, value))
        return false;

    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return false;
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The password is plain text: the file is its owner's alone.
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) && file.write(data) == data.size() &&
           file.commit();
}

} // namespace platform
