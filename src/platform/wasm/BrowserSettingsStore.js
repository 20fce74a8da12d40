// The settings store's page side (BrowserSettingsStore.cpp): the page's local
// storage. An Emscripten JS library, linked into the browser edition.
//
// Storage can throw at every step (storage turned off, a sandboxed page, a
// full quota), so each call catches and reports a status. Texts cross as
// UTF-16 code units, copied one by one: the runtime's text decoders drop a
// leading U+FEFF, which may be part of a password.
mergeInto(LibraryManager.library, {
    // The item's length in UTF-16 code units, -2 when there is no such item,
    // -1 when storage cannot be read.
    mimoran_storage_length: function (name, nameLength) {
        try {
            var key = String.fromCharCode.apply(null, HEAPU16.subarray(name >> 1, (name >> 1) + nameLength));
            var value = window.localStorage.getItem(key);
            return value === null ? -2 : value.length;
        } catch (e) {
            return -1;
        }
    },

    // The item copied into buffer (at most size code units), with the same
    // results.
    mimoran_storage_get: function (name, nameLength, buffer, size) {
        try {
            var key = String.fromCharCode.apply(null, HEAPU16.subarray(name >> 1, (name >> 1) + nameLength));
            var value = window.localStorage.getItem(key);
            if (value === null)
                return -2;
            for (var i = 0; i < value.length && i < size; ++i)
                HEAPU16[(buffer >> 1) + i] = value.charCodeAt(i);
            return value.length;
        } catch (e) {
            return -1;
        }
    },

    // 1 when stored, 0 when storage refused.
    mimoran_storage_set: function (name, nameLength, value, valueLength) {
        try {
            var key = String.fromCharCode.apply(null, HEAPU16.subarray(name >> 1, (name >> 1) + nameLength));
            var text = "";
            for (var i = 0; i < valueLength; i += 4096)
                text += String.fromCharCode.apply(null, HEAPU16.subarray((value >> 1) + i, (value >> 1) + Math.min(valueLength, i + 4096)));
            window.localStorage.setItem(key, text);
            return 1;
        } catch (e) {
            return 0;
        }
    }
});
