#include "platform/wasm/BrowserRecordStore.h"

#include "platform/RecordRowText.h"

#include <QStringView>

#include <emscripten.h>

#include <vector>

// EM_JS declares C functions: they stay at file scope.

// What a call into the page's IndexedDB came to. Besides these: 0, timed out
// or a passing error; -3, another wait (a message box) has the program's
// stack set aside, and there is no second one; -4, reading failed. All of
// them are tried again at the next answer or look.
namespace {
constexpr int Stored = 1;
constexpr int Refused = -1;     // the browser keeps no site data for this page (private mode, turned off)
constexpr int Full = -2;        // the site's storage is full
constexpr int Unsupported = -5; // no IndexedDB at all
} // namespace

// The page side, made once: the open database, what was learnt about the
// browser, and the hold on input while the program waits.
//
// Asyncify has one program stack to set aside. While it waits for a write,
// the page's input would reach the program on a second stack (Qt delivers it
// at once) and could start a second wait, which would wreck the first; so
// input that arrives during a write is dropped. A write takes milliseconds.
EM_JS(void, mimoran_record_install, (), {
    if (Module.mimoranRecord)
        return;
    var R = Module.mimoranRecord = {
        db: null,
        opening: null,
        refused: 0,          // a status for the rest of this page's life
        restUntil: 0,        // writes give up at once until then
        restMs: 0,
        outstanding: false,  // a transaction given up on that may still commit
        late: new Map(),     // rows such a transaction did commit: text -> times
        holding: 0,
        rows: null,
        chunk: ""
    };
    var hold = function (e) {
        if (!R.holding)
            return;
        e.stopImmediatePropagation();
        if (e.type.startsWith("key"))
            e.preventDefault();
    };
    ["keydown", "keyup", "keypress", "pointerdown", "pointerup", "mousedown", "mouseup", "click", "dblclick",
     "touchstart", "touchend", "wheel"].forEach(function (type) {
        window.addEventListener(type, hold, { capture: true, passive: false });
    });

    R.text = function (pointer, length) {
        var text = "";
        for (var i = 0; i < length; i += 4096)
            text += String.fromCharCode.apply(null, HEAPU16.subarray((pointer >> 1) + i, (pointer >> 1) + Math.min(length, i + 4096)));
        return text;
    };

    // What the browser says when it keeps no data for this site (private
    // browsing, site data turned off); anything else may pass.
    var refusal = function (e) {
        var name = e && e.name;
        return name === "SecurityError" || name === "InvalidStateError" || name === "NotAllowedError" ? -1 : 0;
    };

    // The database, opened once and kept; closed when another tab needs to
    // change its layout, and opened again at the next use.
    R.open = function () {
        if (R.db)
            return Promise.resolve(R.db);
        if (!R.opening) {
            R.opening = new Promise(function (resolve, reject) {
                var factory;
                try {
                    factory = window.indexedDB;
                } catch (e) {
                    reject({ status: refusal(e), error: e });
                    return;
                }
                if (!factory) {
                    reject({ status: -5 });
                    return;
                }
                var attempt = function (version) {
                    var request = version ? factory.open("mimoran-record", version) : factory.open("mimoran-record");
                    request.onupgradeneeded = function () {
                        if (!request.result.objectStoreNames.contains("answers"))
                            request.result.createObjectStore("answers", { autoIncrement: true });
                    };
                    request.onsuccess = function () {
                        var db = request.result;
                        // A database of that name without our store: add it.
                        if (!db.objectStoreNames.contains("answers")) {
                            var next = db.version + 1;
                            db.close();
                            attempt(next);
                            return;
                        }
                        db.onversionchange = function () {
                            db.close();
                            if (R.db === db)
                                R.db = null;
                        };
                        db.onclose = function () {
                            if (R.db === db)
                                R.db = null;
                        };
                        R.db = db;
                        resolve(db);
                    };
                    request.onerror = function (event) {
                        event.preventDefault();
                        reject({ status: refusal(request.error), error: request.error });
                    };
                };
                try {
                    attempt(0);
                } catch (e) {
                    reject({ status: refusal(e), error: e });
                }
            });
            var clear = function () { R.opening = null; };
            R.opening.then(clear, clear);
        }
        return R.opening;
    };

    // One transaction on the answers, waited for at most waitMs. `work` puts
    // its requests; `late` (writes) is told when a transaction given up on
    // commits after all. Resolves with { status, value }, never rejects.
    R.run = function (mode, waitMs, work, late) {
        return new Promise(function (resolve) {
            var done = false, tx = null, value;
            var finish = function (status) {
                if (done)
                    return;
                done = true;
                clearTimeout(timer);
                resolve({ status: status, value: value });
            };
            var timer = setTimeout(function () {
                if (mode === "readwrite")
                    R.restUntil = Date.now() + R.restMs;
                if (tx) {
                    try {
                        tx.abort(); // not committed: nothing of it is kept
                    } catch (e) {
                        // Already committing: what it stores is known later.
                        R.outstanding = true;
                        tx.addEventListener("complete", function () { R.outstanding = false; if (late) late(); });
                        tx.addEventListener("abort", function () { R.outstanding = false; });
                    }
                }
                finish(0);
            }, waitMs);
            R.open().then(function (db) {
                if (done)
                    return;
                try {
                    tx = mode === "readwrite" ? db.transaction("answers", mode, { durability: "strict" })
                                              : db.transaction("answers", mode);
                    tx.oncomplete = function () { finish(1); };
                    tx.onabort = function () {
                        var name = tx.error && tx.error.name;
                        finish(name === "QuotaExceededError" ? -2 : 0);
                    };
                    work(tx.objectStore("answers"), function (v) { value = v; });
                } catch (e) {
                    if (e && e.name === "InvalidStateError" && R.db === db)
                        R.db = null; // closed under us; opened again next time
                    finish(e && e.name === "QuotaExceededError" ? -2 : 0);
                    if (tx) {
                        try { tx.abort(); } catch (ignored) {}
                    }
                }
            }, function (failure) {
                if (failure.status !== 0)
                    R.refused = failure.status;
                if (failure.error)
                    console.warn("learning record:", failure.error.name, failure.error.message);
                finish(failure.status);
            });
        });
    };
});

// Whether the program may wait for IndexedDB now: not while another wait has
// the program's stack set aside, not after the browser refused, and (for a
// write) not while resting after a wait that ran out.
EM_JS(int, mimoran_record_ready, (int forWrite, int restMs), {
    if (typeof Asyncify === "undefined" || Asyncify.currData || Asyncify.state !== Asyncify.State.Normal)
        return -3;
    var R = Module.mimoranRecord;
    R.restMs = restMs;
    if (R.refused)
        return R.refused;
    if (forWrite && (R.outstanding || Date.now() < R.restUntil))
        return 0;
    return 1;
});

// The rows (one a line) added in one transaction, committed to disk before
// it returns (durability "strict"). Rows that a transaction given up on
// committed after all are not added again.
EM_ASYNC_JS(int, mimoran_record_write, (const char16_t *text, int length, int waitMs), {
    var R = Module.mimoranRecord;
    R.holding++;
    try {
        var rows = R.text(text, length).split("\n");
        var fresh = [], seen = new Map();
        rows.forEach(function (row) {
            var n = (seen.get(row) || 0) + 1;
            seen.set(row, n);
            if (n > (R.late.get(row) || 0))
                fresh.push(row);
        });
        var result = fresh.length === 0 ? { status: 1 } : await R.run("readwrite", waitMs, function (store) {
            fresh.forEach(function (row) { store.add(row); });
        }, function () {
            fresh.forEach(function (row) { R.late.set(row, (R.late.get(row) || 0) + 1); });
        });
        if (result.status === 1) {
            seen.forEach(function (n, row) {
                var left = (R.late.get(row) || 0) - n;
                if (left > 0)
                    R.late.set(row, left);
                else
                    R.late.delete(row);
            });
        }
        return result.status;
    } catch (e) {
        console.warn("learning record:", e);
        return 0;
    } finally {
        R.holding--;
    }
});

// Every entry, oldest first, kept on the page side for the chunks below;
// the number of entries, or a status below zero.
EM_ASYNC_JS(int, mimoran_record_read, (int waitMs), {
    var R = Module.mimoranRecord;
    R.holding++;
    try {
        var result = await R.run("readonly", waitMs, function (store, keep) {
            var values = [];
            var CHUNK = 10000;
            var more = function (after) {
                var range = after === undefined ? undefined : IDBKeyRange.lowerBound(after, true);
                var keys = store.getAllKeys(range, CHUNK);
                var got = store.getAll(range, CHUNK);
                got.onsuccess = function () {
                    for (var i = 0; i < got.result.length; ++i)
                        values.push(got.result[i]);
                    keep(values);
                    if (got.result.length === CHUNK)
                        more(keys.result[keys.result.length - 1]);
                };
            };
            more(undefined);
        });
        if (result.status !== 1)
            return result.status < 0 ? result.status : -4;
        R.rows = result.value || [];
        return R.rows.length;
    } catch (e) {
        console.warn("learning record:", e);
        return -4;
    } finally {
        R.holding--;
    }
});

// Entries [first, first + count) as lines of text; an entry that is not one
// line of text becomes an empty line (not understood). Returns its length in
// UTF-16 code units; the text waits for mimoran_record_chunk_copy.
EM_JS(int, mimoran_record_chunk, (int first, int count), {
    var R = Module.mimoranRecord;
    var lines = [];
    for (var i = first; i < first + count && i < R.rows.length; ++i) {
        var v = R.rows[i];
        lines.push(typeof v === "string" && v.indexOf("\n") < 0 ? v : "");
    }
    R.chunk = lines.join("\n");
    return R.chunk.length;
});

EM_JS(void, mimoran_record_chunk_copy, (char16_t *buffer), {
    var R = Module.mimoranRecord, text = R.chunk, at = buffer >> 1;
    for (var i = 0; i < text.length; ++i)
        HEAPU16[at + i] = text.charCodeAt(i);
    R.chunk = "";
});

EM_JS(void, mimoran_record_read_done, (), {
    Module.mimoranRecord.rows = null;
});

EM_ASYNC_JS(int, mimoran_record_erase, (int waitMs), {
    var R = Module.mimoranRecord;
    R.holding++;
    try {
        var result = await R.run("readwrite", waitMs, function (store) { store.clear(); });
        if (result.status === 1)
            R.late.clear();
        return result.status;
    } catch (e) {
        console.warn("learning record:", e);
        return 0;
    } finally {
        R.holding--;
    }
});

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

void BrowserRecordStore::NoticeStatus(int status)
{
    const auto once = [this](bool &noticed, const QString &why) {
        if (noticed)
            return;
        noticed = true;
        Notice(QStringLiteral("このブラウザーでは学習の記録を保存できません（%1）。ドリルはそのまま使えます。").arg(why));
    };
    if (status == Refused)
        once(refusedNoticed_, QStringLiteral("サイトのデータを保存しない設定か、プライベートブラウズのようです"));
    else if (status == Unsupported)
        once(refusedNoticed_, QStringLiteral("記録を保存するしくみがありません"));
    else if (status == Full)
        once(fullNoticed_, QStringLiteral("このサイトの保存領域がいっぱいです"));
}

bool BrowserRecordStore::Write(const std::vector<AnswerRow> &rows)
{
    mimoran_record_install();
    int status = mimoran_record_ready(1, RestAfterTimeoutMs);
    if (status == Stored) {
        QString text;
        for (const AnswerRow &row : rows) {
            if (!text.isEmpty())
                text += u'\n';
            text += RecordRowText(row);
        }
        status = mimoran_record_write(Units(text), int(text.size()), WriteWaitMs);
    }
    NoticeStatus(status);
    return status == Stored;
}

std::optional<RecordContents> BrowserRecordStore::Read()
{
    mimoran_record_install();
    const int ready = mimoran_record_ready(0, RestAfterTimeoutMs);
    const int count = ready == Stored ? mimoran_record_read(ReadWaitMs) : ready;
    if (count < 0) {
        NoticeStatus(count);
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
    int status = mimoran_record_ready(0, RestAfterTimeoutMs);
    if (status == Stored)
        status = mimoran_record_erase(ReadWaitMs);
    NoticeStatus(status);
    return status == Stored;
}

std::unique_ptr<RecordStore> MakeUserRecordStore()
{
    return std::make_unique<BrowserRecordStore>();
}

} // namespace platform
