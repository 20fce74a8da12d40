#include "platform/wasm/BrowserSettingsStore.h"

#include "platform/UserStore.h"

#include <emscripten.h>

#include <vector>

// EM_JS declares C functions: they stay at file scope.

// Storage can throw at every step (storage turned off, a sandboxed page, a
// full quota), so each call catches in JavaScript and reports a status.

// The item's length in UTF-8 bytes, -2 when there is no such item, -1 when
// storage cannot be read.
EM_JS(int, mimoran_storage_length, (const char *name), {
    try {
        var value = window.localStorage.getItem(UTF8ToString(name));
        return value === null ? -2 : lengthBytesUTF8(value);
    } catch (e) {
        return -1;
    }
});

EM_JS(int, mimoran_storage_get, (const char *name, char *buffer, int size), {
    try {
        var value = window.localStorage.getItem(UTF8ToString(name));
        if (value === null)
            return -2;
        stringToUTF8(value, buffer, size);
        return lengthBytesUTF8(value);
    } catch (e) {
        return -1;
    }
});

EM_JS(int, mimoran_storage_set, (const char *name, const char *value), {
    try {
        window.localStorage.setItem(UTF8ToString(name), UTF8ToString(value));
        return 1;
    } catch (e) {
        return 0;
    }
});

namespace platform {

BrowserSettingsStore::BrowserSettingsStore(const QString &root) : root_(root) {}

QByteArray BrowserSettingsStore::itemName(const QString &section, const QString &key) const
{
    return (root_ + QLatin1Char('/') + section + QLatin1Char('/') + key).toUtf8();
}

std::optional<QString> BrowserSettingsStore::ReadEntry(const QString &section, const QString &key)
{
    const QByteArray name = itemName(section, key);
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        const int length = mimoran_storage_length(name.constData());
        if (length == -2)
            return QString();
        if (length < 0)
            return std::nullopt;
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
        const int got = mimoran_storage_get(name.constData(), buffer.data(), length + 1);
        if (got == -2)
            return QString();
        if (got < 0)
            return std::nullopt;
        if (got == length) // otherwise another tab changed it in between
            return QString::fromUtf8(buffer.data(), length);
    }
    return std::nullopt;
}

bool BrowserSettingsStore::WriteEntry(const QString &section, const QString &key, const QString &value)
{
    // (A value that cannot travel through storage exactly, such as a lone
    // surrogate, is caught by the read-back.)
    return mimoran_storage_set(itemName(section, key).constData(), value.toUtf8().constData()) != 0;
}

std::unique_ptr<SettingsStore> MakeUserSettingsStore()
{
    return std::make_unique<BrowserSettingsStore>();
}

} // namespace platform
