// The settings file reader and writer against Qt's own (QSettings) on
// arbitrary files. The input is one byte n, n bytes of the value to write
// (UTF-8), then the file.
//
// - Reading: where QSettings reads the password as a string from a file
//   that is valid UTF-8, the store reads the same string; where QSettings
//   sees a list or another type, the store calls the entry unreadable; no
//   entry reads as "".
// - Writing: an unreadable entry is refused and the file left byte for byte.
//   Otherwise the write succeeds (unless the file ends inside a quote, which
//   would swallow anything added: then it is refused, the file left as it
//   was), both readers then read the value, and
//   every other entry reads as before; the bytes that changed hold the
//   entry alone, so the rest of the file is kept as it was.
#include "FuzzSupport.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryDir>

namespace {

const QString Section = QStringLiteral("Data");
const QString Key = QStringLiteral("PassWord");
const QString Entry = QStringLiteral("Data/PassWord");

void Put(const QString &path, const QByteArray &data)
{
    QFile file(path);
    FUZZ_REQUIRE(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size(),
                 QByteArray("cannot write the scratch file"));
}

QByteArray Get(const QString &path)
{
    QFile file(path);
    FUZZ_REQUIRE(file.open(QIODevice::ReadOnly), QByteArray("cannot read the scratch file"));
    return file.readAll();
}

// Every entry as QSettings reads these bytes. From a file of a new name each
// time: QSettings keeps what it read of a file, and misses a change that
// keeps the size and the time stamp, which here happens within a millisecond.
QVariantMap Theirs(const QTemporaryDir &dir, const QByteArray &data)
{
    static int round = 0;
    const QString path = dir.filePath(QStringLiteral("theirs-%1.ini").arg(++round));
    Put(path, data);
    QVariantMap out;
    {
        QSettings settings(path, QSettings::IniFormat);
        for (const QString &key : settings.allKeys())
            out.insert(key, settings.value(key));
    }
    QFile::remove(path);
    return out;
}

// Every entry but the password's. QSettings lists a key as the file spells
// it ("[Data/]" gives "Data//PassWord") but looks each one up by its
// normalised form, so any spelling of the password's key is the password.
QVariantMap Others(QVariantMap all)
{
    const auto normalised = [](const QString &key) {
        QString out;
        for (const QChar c : key) {
            if (c != u'/' || (!out.isEmpty() && !out.endsWith(u'/')))
                out += c;
        }
        if (out.endsWith(u'/'))
            out.chop(1);
        return out;
    };
    for (auto it = all.begin(); it != all.end();)
        it = normalised(it.key()) == Entry ? all.erase(it) : std::next(it);
    return all;
}

bool ValidUtf8(const QByteArray &data)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(data); // (decoded only when taken)
    return !decoder.hasError();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tovrani.ini"));
    const fuzz::Reader in(data, size);
    const std::size_t valueSize = std::min<std::size_t>(in.Byte(0), in.TailSize(1));
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(in.Tail(1)), qsizetype(valueSize));
    const QByteArray file(reinterpret_cast<const char *>(in.Tail(1 + valueSize)), qsizetype(in.TailSize(1 + valueSize)));

    Put(path, file);
    platform::QtSettingsStore store(path);
    const std::optional<QString> ours = store.Read(Section, Key);
    const QVariantMap before = Theirs(dir, file);
    const QVariant theirs = before.value(Entry);
    const QByteArray context = "file " + fuzz::Describe(QString::fromLatin1(file)) + "\n  ours " +
                               (ours ? fuzz::Describe(*ours) : QByteArray("unreadable")) + ", QSettings " +
                               theirs.metaType().name() + " " + fuzz::Describe(theirs.toString());
    if (!theirs.isValid())
        FUZZ_REQUIRE(ours == QString(), context);
    else if (theirs.typeId() != QMetaType::QString)
        FUZZ_REQUIRE(!ours, context);
    else if (ValidUtf8(file))
        // Unless an escape split a character ("\\" and the first byte of a
        // multi-byte one), where QSettings reads replacement characters and
        // the store calls the value unreadable, as for any text not UTF-8.
        FUZZ_REQUIRE(ours == theirs.toString() || (!ours && theirs.toString().contains(QChar::ReplacementCharacter)),
                     context);

    const QVariantMap othersBefore = Others(before);
    const bool written = store.Write(Section, Key, value);
    const QByteArray after = Get(path);
    const QByteArray writeContext = context + "\n  wrote " + fuzz::Describe(value) + ", after " +
                                    fuzz::Describe(QString::fromLatin1(after));
    if (!ours) {
        FUZZ_REQUIRE(!written && after == file, writeContext);
        return 0;
    }
    if (!written) {
        // Refused only where nothing can be added without changing what the
        // file says (it ends inside a quote), and then nothing is changed.
        const QByteArray probe = file + "\n\n[Data]\nPassWord=probe\n";
        FUZZ_REQUIRE(after == file && Theirs(dir, probe).value(Entry) != QStringLiteral("probe"), writeContext);
        return 0;
    }
    FUZZ_REQUIRE(store.Read(Section, Key) == value, writeContext);
    const QVariantMap now = Theirs(dir, after);
    FUZZ_REQUIRE(now.value(Entry).toString() == value, writeContext);
    FUZZ_REQUIRE(Others(now) == othersBefore, writeContext);
    // What lies around the changed lines reads as the old file did without
    // them: nothing but the password's entry went. (Whole lines: the bytes
    // alone can leave half an entry behind, such as the opening quote that
    // the old and new values share.)
    const auto lineBreak = [](char c) { return c == '\n' || c == '\r'; };
    qsizetype prefix = 0;
    while (prefix < file.size() && prefix < after.size() && file[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < file.size() - prefix && suffix < after.size() - prefix &&
           file[file.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    // (Only where bytes of the file were replaced, not where text was only
    // added.)
    if (prefix + suffix < file.size()) {
        while (prefix > 0 && !lineBreak(file[prefix - 1]))
            --prefix;
        while (suffix > 0 && !lineBreak(file[file.size() - suffix]))
            --suffix;
    }
    FUZZ_REQUIRE(Others(Theirs(dir, file.first(prefix) + file.last(suffix))) == othersBefore, writeContext);
    return 0;
}
