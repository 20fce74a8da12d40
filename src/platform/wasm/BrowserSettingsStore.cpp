#include "platform/wasm/BrowserSettingsStore.h"

#include "platform/UserStore.h"

#include <emscripten.h>

#include <vector>

// EM_JS declares C functions: they stay at file scope.

// Storage can throw at every step (storage turned off, a sandboxed page, a
// full quota), so each call catches in JavaScript and reports a status.
// Texts cross as UTF-16 code units, copied one by one: the runtime's text
// decoders drop a leading U+FEFF, which may be part of a password.

// The item's length in UTF-16 code units, -2 when there is no such item, -1
// when storage cannot be read.
EM_JS(int, mimoran_storage_length, (const char16_t *name, int nameLength), {
    try {
        var key = String.fromCharCode.apply(null, HEAPU16.subarray(name >> 1, (name >> 1) + nameLength));
        var value = window.localStorage.getItem(key);
        return value === null ? -2 : value.length;
    } catch (e) {
        return -1;
    }
});

EM_JS(int, mimoran_storage_get, (const char16_t *name, int nameLength, char16_t *buffer, int size), {
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
});

EM_JS(int, mimoran_storage_set, (const char16_t *name, int nameLength, const char16_t *value, int valueLength), {
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
});

namespace platform {

BrowserSettingsStore::BrowserSettingsStore(const QString &root) : root_(root) {}

QString BrowserSettingsStore::itemName(const QString &section, const QString &key) const
{
    return root_ + QLatin1Char('/') + section + QLatin1Char('/') + key;
}

std::optional<QString> BrowserSettingsStore::ReadEntry(const QString &section, const QString &key)
{
    const QString name = itemName(section, key);
    const auto *name16 = reinterpret_cast<const char16_t *>(name.utf16());
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        const int length = mimoran_storage_length(name16, int(name.size()));
        if (length == -2)
            return QString();
        if (length < 0)
            return std::nullopt;
        std::vector<char16_t> buffer(static_cast<std::size_t>(length) + 1, u'\0');
        const int got = mimoran_storage_get(name16, int(name.size()), buffer.data(), length);
        if (got == -2)
            return QString();
        if (got < 0)
            return std::nullopt;
        if (got == length) // otherwise another tab changed it in between
            return QString(reinterpret_cast<const QChar *>(buffer.data()), length); // (fromUtf16 would drop a BOM)
    }
    return std::nullopt;
}

bool BrowserSettingsStore::WriteEntry(const QString &section, const QString &key, const QString &value)
{
    const QString name = itemName(section, key);
    return mimoran_storage_set(reinterpret_cast<const char16_t *>(name.utf16()), int(name.size()),
                               reinterpret_cast<const char16_t *>(value.utf16()), int(value.size())) != 0;
}

std::unique_ptr<SettingsStore> MakeUserSettingsStore()
{
    return std::make_unique<BrowserSettingsStore>();
}

} // namespace platform
