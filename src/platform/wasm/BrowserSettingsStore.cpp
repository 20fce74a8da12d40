#include "platform/wasm/BrowserSettingsStore.h"

#include "platform/UserStore.h"

#include <vector>

// The page's side, in BrowserSettingsStore.js. Texts cross as UTF-16 code
// units: the runtime's text decoders drop a leading U+FEFF, which may be
// part of a password. A length, or -2 when there is no such item and -1 when
// storage cannot be read; 1 or 0 for a write.
extern "C" {
int mimoran_storage_length(const char16_t *name, int nameLength);
int mimoran_storage_get(const char16_t *name, int nameLength, char16_t *buffer, int size);
int mimoran_storage_set(const char16_t *name, int nameLength, const char16_t *value, int valueLength);
}

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
