#include "platform/wasm/BrowserRecordStore.h"

#include "platform/RecordRowText.h"

#include <QStringView>

#include <vector>

// The page's side, in BrowserRecordStore.js.
extern "C" {
void mimoran_record_install();
int mimoran_record_ready(int forWrite, int restMs);
int mimoran_record_write(const char16_t *text, int length, int waitMs); // waits
int mimoran_record_read(int waitMs);                                    // waits
int mimoran_record_chunk(int first, int count);
void mimoran_record_chunk_copy(char16_t *buffer);
void mimoran_record_read_done();
int mimoran_record_erase(int waitMs); // waits
}

namespace platform {

namespace {

// The texts cross to the page as UTF-16 code units, one by one (the
// runtime's decoders would drop a leading U+FEFF of a typed answer).
const char16_t *Units(const QString &text)
{
    return reinterpret_cast<const char16_t *>(text.utf16());
}

} // namespace

QString BrowserRecordStore::Location() const
{
    return QStringLiteral("このブラウザー（このサイトの保存領域）");
}

void BrowserRecordStore::NoticeStatus(Status status)
{
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

bool BrowserRecordStore::Write(const std::vector<AnswerRow> &rows)
{
    mimoran_record_install();
    auto status = Status(mimoran_record_ready(1, RestAfterTimeoutMs));
    if (status == Status::Stored) {
        QString text;
        for (const AnswerRow &row : rows) {
            if (!text.isEmpty())
                text += u'\n';
            text += RecordRowText(row);
        }
        status = Status(mimoran_record_write(Units(text), int(text.size()), WriteWaitMs));
    }
    NoticeStatus(status);
    return status == Status::Stored;
}

std::optional<RecordContents> BrowserRecordStore::Read()
{
    mimoran_record_install();
    const int ready = mimoran_record_ready(0, RestAfterTimeoutMs);
    // The number of entries, or a status below zero.
    const int count = ready == int(Status::Stored) ? mimoran_record_read(ReadWaitMs) : ready;
    if (count < 0) {
        NoticeStatus(Status(count));
        return std::nullopt;
    }

    RecordContents contents;
    contents.answers.reserve(std::size_t(count));
    constexpr int Chunk = 2000; // rows of about 100 characters: 400 KB a chunk
    std::vector<char16_t> buffer;
    for (int first = 0; first < count; first += Chunk) {
        const int length = mimoran_record_chunk(first, Chunk);
        buffer.resize(std::size_t(length));
        mimoran_record_chunk_copy(buffer.data());
        const QStringView chunk(buffer.data(), length);
        qsizetype at = 0;
        for (int i = first; i < std::min(count, first + Chunk); ++i) {
            qsizetype end = chunk.indexOf(u'\n', at);
            if (end < 0)
                end = chunk.size();
            std::optional<AnswerRow> row = ParseRecordRow(chunk.sliced(at, end - at));
            at = end + 1;
            if (!row) {
                ++contents.unreadable;
                continue;
            }
            // One drill's rows share its name.
            if (!contents.answers.empty() && contents.answers.back().drill == row->drill)
                row->drill = contents.answers.back().drill;
            contents.answers.push_back(std::move(*row));
        }
    }
    mimoran_record_read_done();
    return contents;
}

bool BrowserRecordStore::Erase()
{
    mimoran_record_install();
    auto status = Status(mimoran_record_ready(0, RestAfterTimeoutMs));
    if (status == Status::Stored)
        status = Status(mimoran_record_erase(ReadWaitMs));
    NoticeStatus(status);
    return status == Status::Stored;
}

std::unique_ptr<RecordStore> MakeUserRecordStore()
{
    return std::make_unique<BrowserRecordStore>();
}

} // namespace platform
