// The learning record's page side (BrowserRecordStore.cpp): the page's
// IndexedDB, one entry per answer, and the named values kept with it. An
// Emscripten JS library, linked into the browser edition.
//
// The functions the program waits for (marked __async) return through
// Asyncify.handleAsync, and are named in Asyncify's imports at the link
// (src/CMakeLists.txt); the desktop suites check that both agree.
//
// The page's journal of answers not seen stored yet: BrowserRecordJournal.js.
mergeInto(LibraryManager.library, {
    // What a call into the page's IndexedDB came to, as BrowserRecordStore::
    // Status names it in C++ (the desktop suites compare the two). Transient,
    // StackHeld and ReadFailed are tried again at the next answer or look.
    $RecordStatus: {
        Changed: 2,       // a value was no longer what the program read
        Stored: 1,
        Transient: 0,     // timed out, or a passing error
        Refused: -1,      // the browser keeps no site data for this page (private mode, turned off)
        Full: -2,         // the site's storage is full
        StackHeld: -3,    // another wait (a message box) has the program's stack set aside, and there is no second one
        ReadFailed: -4,
        Unsupported: -5   // no IndexedDB at all
    },

    // The page side, made once: the open database, what was learnt about the
    // browser, the page's journal and the hold on input while the program
    // waits.
    //
    // Asyncify has one program stack to set aside. While it waits for a
    // write, the page's input would reach the program on a second stack (Qt
    // delivers it at once) and could start a second wait, which would wreck
    // the first; so input that arrives during a write is dropped. A write
    // takes milliseconds.
    mimoran_record_install__deps: ["$RecordStatus", "$recordJournalSet", "$recordJournalMerge"],
    mimoran_record_install: function () {
        if (Module.mimoranRecord)
            return;
        var R = Module.mimoranRecord = {
            db: null,
            opening: null,
            refused: 0,          // a status for the rest of this page's life
            outstanding: 0,      // writes given up on that may still commit
            holding: 0,
            merged: 0,           // answers of earlier pages' journals put in, not yet told
            journalKey: "mimoran-record-waiting-" + Date.now().toString(36) + Math.random().toString(36).slice(2),
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
            if (length < 0)
                return null;
            var text = "";
            for (var i = 0; i < length; i += 4096)
                text += String.fromCharCode.apply(null, HEAPU16.subarray((pointer >> 1) + i, (pointer >> 1) + Math.min(length, i + 4096)));
            return text;
        };

        R.journal = function (rows) { return recordJournalSet(R.journalKey, rows); };

        // What the browser says when it keeps no data for this site (private
        // browsing, site data turned off); anything else may pass.
        var refusal = function (e) {
            var name = e && e.name;
            return name === "SecurityError" || name === "InvalidStateError" || name === "NotAllowedError"
                ? RecordStatus.Refused : RecordStatus.Transient;
        };

        // The database, opened once and kept (earlier pages' journals put in
        // first); closed when another tab needs to change its layout, and
        // opened again at the next use.
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
                        reject({ status: RecordStatus.Unsupported });
                        return;
                    }
                    var complete = function (db) {
                        return db.objectStoreNames.contains("answers") && db.objectStoreNames.contains("values");
                    };
                    var attempt = function (version) {
                        var request = version ? factory.open("mimoran-record", version) : factory.open("mimoran-record");
                        request.onupgradeneeded = function () {
                            var db = request.result;
                            if (!db.objectStoreNames.contains("answers"))
                                db.createObjectStore("answers", { autoIncrement: true });
                            if (!db.objectStoreNames.contains("values"))
                                db.createObjectStore("values");
                        };
                        request.onsuccess = function () {
                            var db = request.result;
                            // A database of that name without our stores: add them.
                            if (!complete(db)) {
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
                            recordJournalMerge(db, R.journalKey).then(function (count) {
                                R.merged += count;
                                R.db = db;
                                resolve(db);
                            });
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

        // One transaction on `name` ("answers" or "values"), waited for at
        // most waitMs; a write that takes longer goes on, and whatever it
        // stores is stored once. `work` puts its requests. Resolves with
        // { status, value }, never rejects.
        R.run = function (name, mode, waitMs, work) {
            return new Promise(function (resolve) {
                var done = false, tx = null, value;
                var finish = function (status) {
                    if (done)
                        return;
                    done = true;
                    clearTimeout(timer);
                    resolve({ status: status, value: value });
                };
                var full = function (error) {
                    return error && error.name === "QuotaExceededError" ? RecordStatus.Full : RecordStatus.Transient;
                };
                var timer = setTimeout(function () {
                    if (tx && mode === "readwrite") {
                        ++R.outstanding;
                        var settled = function () { --R.outstanding; };
                        tx.addEventListener("complete", settled);
                        tx.addEventListener("abort", settled);
                    } else if (tx) {
                        try { tx.abort(); } catch (e) {}
                    }
                    finish(RecordStatus.Transient);
                }, waitMs);
                R.open().then(function (db) {
                    if (done)
                        return;
                    try {
                        tx = mode === "readwrite" ? db.transaction(name, mode, { durability: "strict" })
                                                  : db.transaction(name, mode);
                        tx.oncomplete = function () { finish(value === RecordStatus.Changed ? value : RecordStatus.Stored); };
                        tx.onabort = function () { finish(full(tx.error)); };
                        work(tx.objectStore(name), function (v) { value = v; });
                    } catch (e) {
                        if (e && e.name === "InvalidStateError" && R.db === db)
                            R.db = null; // closed under us; opened again next time
                        finish(full(e));
                        if (tx) {
                            try { tx.abort(); } catch (ignored) {}
                        }
                    }
                }, function (failure) {
                    if (failure.status !== RecordStatus.Transient)
                        R.refused = failure.status;
                    if (failure.error)
                        console.warn("learning record:", failure.error.name, failure.error.message);
                    finish(failure.status);
                });
            });
        };

        // A wait of the program: input held meanwhile, never throws.
        R.wait = async function (failed, job) {
            R.holding++;
            try {
                return await job();
            } catch (e) {
                console.warn("learning record:", e);
                return failed;
            } finally {
                R.holding--;
            }
        };
    },

    // Whether the program may wait for IndexedDB now (Stored when it may):
    // not while another wait has the program's stack set aside, nor after
    // the browser refused.
    mimoran_record_ready__deps: ["$RecordStatus"],
    mimoran_record_ready: function () {
        if (typeof Asyncify === "undefined" || Asyncify.currData || Asyncify.state !== Asyncify.State.Normal)
            return RecordStatus.StackHeld;
        var R = Module.mimoranRecord;
        return R.refused || RecordStatus.Stored;
    },

    // The journal becomes these rows (one a line; none: emptied). 1 when
    // local storage keeps them.
    mimoran_record_journal: function (text, length) {
        var R = Module.mimoranRecord, rows = R.text(text, length);
        return R.journal(rows ? rows.split("\n") : []) ? 1 : 0;
    },

    // Answers of earlier pages' journals put into the record since the last
    // call.
    mimoran_record_take_merged: function () {
        var R = Module.mimoranRecord, merged = R.merged;
        R.merged = 0;
        return merged;
    },

    // The rows (one a line) put in one transaction, committed to disk before
    // it returns (durability "strict"); the journal emptied then. While a
    // write given up on is still on its way, the next waits only briefly.
    mimoran_record_write__deps: ["$RecordStatus", "$recordKey"],
    mimoran_record_write__async: true,
    mimoran_record_write: function (text, length, waitMs, briefMs) {
        return Asyncify.handleAsync(async function () {
            var R = Module.mimoranRecord;
            return R.wait(RecordStatus.Transient, async function () {
                var rows = R.text(text, length).split("\n");
                var result = await R.run("answers", "readwrite", R.outstanding ? briefMs : waitMs, function (store) {
                    rows.forEach(function (row) { store.put(row, recordKey(row)); });
                });
                if (result.status === RecordStatus.Stored)
                    R.journal([]);
                return result.status;
            });
        });
    },

    // Every entry, oldest first, kept on the page side for the chunks below;
    // the number of entries, or a status below zero.
    mimoran_record_read__deps: ["$RecordStatus"],
    mimoran_record_read__async: true,
    mimoran_record_read: function (waitMs) {
        return Asyncify.handleAsync(async function () {
            var R = Module.mimoranRecord;
            return R.wait(RecordStatus.ReadFailed, async function () {
                var result = await R.run("answers", "readonly", waitMs, function (store, keep) {
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
                if (result.status !== RecordStatus.Stored)
                    return result.status < 0 ? result.status : RecordStatus.ReadFailed;
                R.rows = result.value || [];
                return R.rows.length;
            });
        });
    },

    // Entries [first, first + count) as lines of text; an entry that is not
    // one line of text becomes an empty line (not understood). Returns its
    // length in UTF-16 code units; the text waits for
    // mimoran_record_chunk_copy.
    mimoran_record_chunk: function (first, count) {
        var R = Module.mimoranRecord;
        var lines = [];
        for (var i = first; i < first + count && i < R.rows.length; ++i) {
            var v = R.rows[i];
            lines.push(typeof v === "string" && v.indexOf("\n") < 0 ? v : "");
        }
        R.chunk = lines.join("\n");
        return R.chunk.length;
    },

    mimoran_record_chunk_copy: function (buffer) {
        var R = Module.mimoranRecord, text = R.chunk, at = buffer >> 1;
        for (var i = 0; i < text.length; ++i)
            HEAPU16[at + i] = text.charCodeAt(i);
        R.chunk = "";
    },

    mimoran_record_read_done: function () {
        Module.mimoranRecord.rows = null;
    },

    // Every answer, or (children: their child fields as stored, one a line)
    // those of these children, from the record and from every journal.
    mimoran_record_erase__deps: ["$RecordStatus", "$recordChildOf", "$recordJournalFilter"],
    mimoran_record_erase__async: true,
    mimoran_record_erase: function (children, length, waitMs) {
        return Asyncify.handleAsync(async function () {
            var R = Module.mimoranRecord;
            return R.wait(RecordStatus.Transient, async function () {
                var some = length >= 0 ? new Set(R.text(children, length).split("\n")) : null;
                var erased = function (row) { return !some || (typeof row === "string" && some.has(recordChildOf(row))); };
                var result = await R.run("answers", "readwrite", waitMs, function (store) {
                    if (!some) {
                        store.clear();
                        return;
                    }
                    var cursor = store.openCursor();
                    cursor.onsuccess = function () {
                        var at = cursor.result;
                        if (!at)
                            return;
                        if (erased(at.value))
                            at.delete();
                        at.continue();
                    };
                });
                if (result.status === RecordStatus.Stored)
                    recordJournalFilter(function (row) { return !erased(row); });
                return result.status;
            });
        });
    },

    // The named values whose names begin with the prefix, as JSON pairs
    // waiting for mimoran_record_chunk_copy: the text's length, or a status
    // below zero.
    mimoran_record_values__deps: ["$RecordStatus"],
    mimoran_record_values__async: true,
    mimoran_record_values: function (prefix, length, waitMs) {
        return Asyncify.handleAsync(async function () {
            var R = Module.mimoranRecord;
            return R.wait(RecordStatus.ReadFailed, async function () {
                var start = R.text(prefix, length);
                var result = await R.run("values", "readonly", waitMs, function (store, keep) {
                    var pairs = [];
                    keep(pairs);
                    var cursor = store.openCursor(IDBKeyRange.lowerBound(start));
                    cursor.onsuccess = function () {
                        var at = cursor.result;
                        if (!at || typeof at.key !== "string" || !at.key.startsWith(start))
                            return;
                        if (typeof at.value === "string")
                            pairs.push([at.key, at.value]);
                        at.continue();
                    };
                });
                if (result.status !== RecordStatus.Stored)
                    return result.status < 0 ? result.status : RecordStatus.ReadFailed;
                R.chunk = JSON.stringify(result.value);
                return R.chunk.length;
            });
        });
    },

    // A named value set (a length below zero: removed), in one transaction;
    // with `check`, only if it still is `expected` (a length below zero: it
    // does not exist), else Changed.
    mimoran_record_put_value__deps: ["$RecordStatus"],
    mimoran_record_put_value__async: true,
    mimoran_record_put_value: function (name, nameLength, check, expected, expectedLength, value, valueLength, waitMs) {
        return Asyncify.handleAsync(async function () {
            var R = Module.mimoranRecord;
            return R.wait(RecordStatus.Transient, async function () {
                var key = R.text(name, nameLength), was = R.text(expected, expectedLength), to = R.text(value, valueLength);
                var result = await R.run("values", "readwrite", waitMs, function (store, keep) {
                    var change = function () {
                        if (to === null)
                            store.delete(key);
                        else
                            store.put(to, key);
                    };
                    if (!check) {
                        change();
                        return;
                    }
                    var now = store.get(key);
                    now.onsuccess = function () {
                        var found = typeof now.result === "string" ? now.result : null;
                        if (found === was)
                            change();
                        else
                            keep(RecordStatus.Changed);
                    };
                });
                return result.status;
            });
        });
    }
});
