#include "platform/wasm/BrowserRecordStore.h"

#include "platform/RecordRowText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringView>

#include <vector>

// The page's side, in BrowserRecordStore.js.
extern "C" {
void mimoran_record_install();
int mimoran_record_ready();
int mimoran_record_journal(const char16_t *text, int length);
int mimoran_record_take_merged();
int mimoran_record_write(const char16_t *text, int length, int waitMs, int briefMs); // waits
int mimoran_record_read(int waitMs);                                                // waits
int mimoran_record_chunk(int first, int count);
void mimoran_record_chunk_copy(char16_t *buffer);
void mimoran_record_read_done();
int mimoran_record_erase(const char16_t *children, int length, int waitMs);          // waits
int mimoran_record_values(const char16_t *prefix, int length, int waitMs);           // waits
int mimoran_record_put_value(const char16_t *name, int nameLength, int check, const char16_t *expected,
                             int expectedLength, const char16_t *value, int valueLength, int waitMs); // waits
}

namespace platform {

namespace {

// The texts cross to the page as UTF-16 code units, one by one (the
// runtime's decoders would drop a leading U+FEFF of a typed answer); a
// length below zero is no text at all.
const char16_t *Units(const QString &text)
{
    return reinterpret_cast<const char16_t *>(text.utf16());
}

int Length(const std::optional<QString> &text)
{
    return text ? int(text->size()) : -1;
}

const char16_t *Units(const std::optional<QString> &text)
{
    static const char16_t none = 0;
    return text ? Units(*text) : &none;
}

QString Lines(const std::vector<AnswerRow> &rows)
{
    QString text;
    for (const AnswerRow &row : rows) {
        if (!text.isEmpty())
            text += u'\n';
        text += RecordRowText(row);
    }
    return text;
}

// The text the page has ready for mimoran_record_chunk_copy.
QString TakeChunk(int length)
{
    std::vector<char16_t> buffer(std::size_t(std::max(length, 0)));
    mimoran_record_chunk_copy(buffer.data());
    return QStringView(buffer.data(), length).toString();
}

} // namespace

QString BrowserRecordStore::Location() const
{
    return QStringLiteral("このブラウザー（このサイトの保存領域）");
}

BrowserRecordStore::Status BrowserRecordStore::Ready()
{
    mimoran_record_install();
    return Status(mimoran_record_ready());
}

void BrowserRecordStore::NoticeStatus(Status status)
{
    if (const int merged = mimoran_record_take_merged(); merged > 0)
        Notice(QStringLiteral("前回の終わりに保存が間に合わなかった答え%1問を、学習の記録に加えました。").arg(merged));
    const auto once = [this](bool &noticed, const QString &why) {
        if (noticed)
            return;
        noticed = true;
        Notice(QStringLiteral("このブラウザーでは学習の記録を保存できません（%1）。ドリルはそのまま使えます。").arg(why));
    };
    if (status == Status::Refused)
        once(refusedNoticed_, QStringLiteral("サイトのデータを保存しない設定か、プライベートブラウズのようです"));
    else if (status == Status::Unsupported)
        once(refusedNoticed_, QStringLiteral("記録を保存するしくみがありません"));
    else if (status == Status::Full)
        once(fullNoticed_, QStringLiteral("このサイトの保存領域がいっぱいです"));
}

bool BrowserRecordStore::Write(const std::vector<AnswerRow> &rows, Patience patience)
{
    mimoran_record_install();
    // Into the journal first: the tab may be closed while the write is on its way.
    const QString text = Lines(rows);
    mimoran_record_journal(Units(text), int(text.size()));
    auto status = Ready();
    if (status == Status::Stored) {
        const int wait = patience == Patience::Behind ? BriefWaitMs : WriteWaitMs;
        status = Status(mimoran_record_write(Units(text), int(text.size()), wait, BriefWaitMs));
    }
    NoticeStatus(status);
    return status == Status::Stored;
}

bool BrowserRecordStore::KeepForLater(const std::vector<AnswerRow> &rows)
{
    mimoran_record_install();
    const QString text = Lines(rows);
    return mimoran_record_journal(Units(text), int(text.size())) == 1;
}

std::optional<RecordContents> BrowserRecordStore::ReadRows(const RecordQuery &query)
{
    Status ready = Ready();
    // The number of entries, or a status below zero.
    const int count = ready == Status::Stored ? mimoran_record_read(ReadWaitMs) : int(ready);
    NoticeStatus(count < 0 ? Status(count) : Status::Stored);
    if (count < 0)
        return std::nullopt;

    RecordContents contents;
    contents.answers.reserve(std::size_t(count));
    constexpr int Chunk = 2000; // rows of about 100 characters: 400 KB a chunk
    for (int first = 0; first < count; first += Chunk) {
        const QString chunk = TakeChunk(mimoran_record_chunk(first, Chunk));
        qsizetype at = 0;
        for (int i = first; i < std::min(count, first + Chunk); ++i) {
            qsizetype end = chunk.indexOf(u'\n', at);
            if (end < 0)
                end = chunk.size();
            std::optional<AnswerRow> row = ParseRecordRow(QStringView(chunk).sliced(at, end - at));
            at = end + 1;
            if (!row) {
                ++contents.unreadable;
                continue;
            }
            if (!query.Matches(*row))
                continue;
            // One drill's rows share its name.
            if (!contents.answers.empty() && contents.answers.back().drill == row->drill)
                row->drill = contents.answers.back().drill;
            contents.answers.push_back(std::move(*row));
        }
    }
    mimoran_record_read_done();
    return contents;
}

bool BrowserRecordStore::Erase(const std::optional<QStringList> &children)
{
    auto status = Ready();
    if (status == Status::Stored) {
        if (children && children->isEmpty())
            return true;
        std::optional<QString> fields;
        if (children) {
            QStringList escaped;
            for (const QString &child : *children)
                escaped << RecordRowField(child);
            fields = escaped.join(u'\n');
        }
        status = Status(mimoran_record_erase(Units(fields), Length(fields), ReadWaitMs));
    }
    NoticeStatus(status);
    return status == Status::Stored;
}

std::optional<std::map<QString, QString>> BrowserRecordStore::ReadNamed(const QString &prefix)
{
    const Status ready = Ready();
    const int length = ready == Status::Stored ? mimoran_record_values(Units(prefix), int(prefix.size()), WriteWaitMs)
                                               : int(ready);
    NoticeStatus(length < 0 ? Status(length) : Status::Stored);
    if (length < 0)
        return std::nullopt;
    const QJsonDocument pairs = QJsonDocument::fromJson(TakeChunk(length).toUtf8());
    if (!pairs.isArray())
        return std::nullopt;
    std::map<QString, QString> values;
    for (const QJsonValue &pair : pairs.array()) {
        const QJsonArray named = pair.toArray();
        if (named.size() == 2 && named[0].isString() && named[1].isString())
            values.emplace(named[0].toString(), named[1].toString());
    }
    return values;
}

ValueChange BrowserRecordStore::WriteNamed(const QString &name, bool check, const std::optional<QString> &expected,
                                           const std::optional<QString> &value)
{
    auto status = Ready();
    if (status == Status::Stored)
        status = Status(mimoran_record_put_value(Units(name), int(name.size()), check ? 1 : 0, Units(expected),
                                                 Length(expected), Units(value), Length(value), WriteWaitMs));
    NoticeStatus(status);
    if (status == Status::Changed)
        return ValueChange::ChangedMeanwhile;
    return status == Status::Stored ? ValueChange::Done : ValueChange::Failed;
}

std::unique_ptr<RecordStore> MakeUserRecordStore()
{
    return std::make_unique<BrowserRecordStore>();
}

} // namespace platform
