// The learning record's journal (BrowserRecordStore.js): the answers a page
// has not seen stored yet, in the page's local storage under a name of the
// page's own, written at once (local storage is synchronous), so a tab
// closed or reloaded while a write is on its way loses nothing. The next
// page to open the record puts every journal it finds into it and removes
// it. An Emscripten JS library, linked into the browser edition.
//
// Every answer is put under a key made of itself ([time, row text]), so the
// same answer stored twice is one entry: a write given up on that commits
// after all, or a journal put in after its write got through, never doubles
// an answer. Rows of the first layout, added under numbers, sort before
// them, as they are older.
mergeInto(LibraryManager.library, {
    $recordKey: function (row) {
        var ms = Number(row.split("\t", 3)[2]);
        return [isFinite(ms) ? ms : 0, row];
    },

    // Whose a row is: the child field of the current layout, none before.
    $recordChildOf: function (row) {
        var f = row.split("\t");
        return f[0] === "m3" && f.length === 20 ? f[18] : "";
    },

    $recordJournalStorage: function () {
        try {
            return window.localStorage;
        } catch (e) {
            return null;
        }
    },

    // The journal `name` becomes these rows (none: removed). False when
    // local storage will not keep them.
    $recordJournalSet__deps: ["$recordJournalStorage"],
    $recordJournalSet: function (name, rows) {
        var storage = recordJournalStorage();
        if (!storage)
            return false;
        try {
            if (rows.length)
                storage.setItem(name, rows.join("\n"));
            else
                storage.removeItem(name);
            return true;
        } catch (e) {
            return false;
        }
    },

    $recordJournalNames__deps: ["$recordJournalStorage"],
    $recordJournalNames: function () {
        var storage = recordJournalStorage(), found = [];
        try {
            for (var i = 0; storage && i < storage.length; ++i) {
                var name = storage.key(i);
                if (name && name.startsWith("mimoran-record-waiting-"))
                    found.push(name);
            }
        } catch (e) {}
        return found;
    },

    // Every journal keeps only the rows `keep` says (after an erase).
    $recordJournalFilter__deps: ["$recordJournalStorage", "$recordJournalNames"],
    $recordJournalFilter: function (keep) {
        var storage = recordJournalStorage();
        recordJournalNames().forEach(function (name) {
            try {
                var rows = (storage.getItem(name) || "").split("\n").filter(function (r) { return r && keep(r); });
                if (rows.length)
                    storage.setItem(name, rows.join("\n"));
                else
                    storage.removeItem(name);
            } catch (e) {}
        });
    },

    // The other pages' journals into the record, each removed once stored
    // unless its page wrote it again meanwhile (a page still open puts its
    // rows again, under the same keys, when it writes). Resolves with the
    // number of answers put in, never rejects.
    $recordJournalMerge__deps: ["$recordJournalStorage", "$recordJournalNames", "$recordKey"],
    $recordJournalMerge: function (db, own) {
        var storage = recordJournalStorage(), found = [];
        recordJournalNames().forEach(function (name) {
            try {
                var text = name !== own && storage.getItem(name);
                if (text)
                    found.push({ name: name, text: text });
            } catch (e) {}
        });
        if (!found.length)
            return Promise.resolve(0);
        return new Promise(function (resolve) {
            var count = 0, tx;
            try {
                tx = db.transaction("answers", "readwrite", { durability: "strict" });
                var store = tx.objectStore("answers");
                found.forEach(function (j) {
                    j.text.split("\n").forEach(function (row) {
                        if (row) {
                            store.put(row, recordKey(row));
                            ++count;
                        }
                    });
                });
            } catch (e) {
                resolve(0);
                return;
            }
            tx.oncomplete = function () {
                found.forEach(function (j) {
                    try {
                        if (storage.getItem(j.name) === j.text)
                            storage.removeItem(j.name);
                    } catch (e) {}
                });
                resolve(count);
            };
            tx.onabort = function () { resolve(0); };
        });
    }
});
