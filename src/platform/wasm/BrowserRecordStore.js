// The learning record's page side (BrowserRecordStore.cpp): the page's
// IndexedDB, one entry per answer. An Emscripten JS library, linked into the
// browser edition.
//
// The functions the program waits for (marked __async) return through
// Asyncify.handleAsync, and are named in Asyncify's imports at the link
// (src/CMakeLists.txt); the desktop suites check that both agree.
mergeInto(LibraryManager.library, {
    // What a call into the page's IndexedDB came to, as BrowserRecordStore::
    // Status names it in C++ (the desktop suites compare the two). Transient,
    // StackHeld and ReadFailed are tried again at the next answer or look.
    $RecordStatus: {
        Stored: 1,
        Transient: 0,     // timed out, or a passing error
        Refused: -1,      // the browser keeps no site data for this page (private mode, turned off)
        Full: -2,         // the site's storage is full
        StackHeld: -3,    // another wait (a message box) has the program's stack set aside, and there is no second one
        ReadFailed: -4,
        Unsupported: -5   // no IndexedDB at all
    },

    // The page side, made once: the open database, what was learnt about the
    // browser, and the hold on input while the program waits.
    //
    // Asyncify has one program stack to set aside. While it waits for a
    // write, the page's input would reach the program on a second stack (Qt
    // delivers it at once) and could start a second wait, which would wreck
    // the first; so input that arrives during a write is dropped. A write
    // takes milliseconds.
    mimoran_record_install__deps: ["$RecordStatus"],
    mimoran_record_install: function () {
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
            return name === "SecurityError" || name === "InvalidStateError" || name === "NotAllowedError"
                ? RecordStatus.Refused : RecordStatus.Transient;
        };

        // The database, opened once and kept; closed when another tab needs
        // to change its layout, and opened again at the next use.
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

        // One transaction on the answers, waited for at most waitMs. `work`
        // puts its requests; `late` (writes) is told when a transaction given
        // up on commits after all. Resolves with { status, value }, never
        // rejects.
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
                var full = function (error) {
                    return error && error.name === "QuotaExceededError" ? RecordStatus.Full : RecordStatus.Transient;
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
                    finish(RecordStatus.Transient);
                }, waitMs);
                R.open().then(function (db) {
                    if (done)
                        return;
                    try {
                        tx = mode === "readwrite" ? db.transaction("answers", mode, { durability: "strict" })
                                                  : db.transaction("answers", mode);
                        tx.oncomplete = function () { finish(RecordStatus.Stored); };
                        tx.onabort = function () { finish(full(tx.error)); };
                        work(tx.objectStore("answers"), function (v) { value = v; });
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
    },

    // Whether the program may wait for IndexedDB now (Stored when it may):
    // not while another wait has the program's stack set aside, not after the
    // browser refused, and (for a write) not while resting after a wait that
    // ran out.
    mimoran_record_ready__deps: ["$RecordStatus"],
    mimoran_record_ready: function (forWrite, restMs) {
        if (typeof Asyncify === "undefined" || Asyncify.currData || Asyncify.state !== Asyncify.State.Normal)
            return RecordStatus.StackHeld;
        var R = Module.mimoranRecord;
        R.restMs = restMs;
        if (R.refused)
            return R.refused;
        if (forWrite && (R.outstanding || Date.now() < R.restUntil))
            return RecordStatus.Transient;
        return RecordStatus.Stored;
    },

    // The rows (one a line) added in one transaction, committed to disk
    // before it returns (durability "strict"). Rows that a transaction given
    // up on committed after all are not added again.
    mimoran_record_write__deps: ["$RecordStatus"],
    mimoran_record_write__async: true,
    mimoran_record_write: function (text, length, waitMs) {
        return Asyncify.handleAsync(async function () {
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
                var result = fresh.length === 0 ? { status: RecordStatus.Stored } : await R.run("readwrite", waitMs, function (store) {
                    fresh.forEach(function (row) { store.add(row); });
                }, function () {
                    fresh.forEach(function (row) { R.late.set(row, (R.late.get(row) || 0) + 1); });
                });
                if (result.status === RecordStatus.Stored) {
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
                return RecordStatus.Transient;
            } finally {
                R.holding--;
            }
        });
    },

    // Every entry, oldest first, kept on the page side for the chunks below;
    // the number of entries, or a status below zero.
    mimoran_record_read__deps: ["$RecordStatus"],
    mimoran_record_read__async: true,
    mimoran_record_read: function (waitMs) {
        return Asyncify.handleAsync(async function () {
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
                if (result.status !== RecordStatus.Stored)
                    return result.status < 0 ? result.status : RecordStatus.ReadFailed;
                R.rows = result.value || [];
                return R.rows.length;
            } catch (e) {
                console.warn("learning record:", e);
                return RecordStatus.ReadFailed;
            } finally {
                R.holding--;
            }
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

    mimoran_record_erase__deps: ["$RecordStatus"],
    mimoran_record_erase__async: true,
    mimoran_record_erase: function (waitMs) {
        return Asyncify.handleAsync(async function () {
            var R = Module.mimoranRecord;
            R.holding++;
            try {
                var result = await R.run("readwrite", waitMs, function (store) { store.clear(); });
                if (result.status === RecordStatus.Stored)
                    R.late.clear();
                return result.status;
            } catch (e) {
                console.warn("learning record:", e);
                return RecordStatus.Transient;
            } finally {
                R.holding--;
            }
        });
    }
});
