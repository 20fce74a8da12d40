#include "platform/windows/RegistrySettingsStore.h"

#include "platform/UserStore.h"

#include <windows.h>

#include <vector>

namespace platform {

namespace {

std::wstring subkeyOf(const QString &root, const QString &section)
{
    return (root + QLatin1Char('\\') + section).toStdWString();
}

// The value as stored, code unit for code unit; an absent value is "". A value
// of another type, or one the registry refuses to give, is unreadable.
std::optional<QString> readValue(HKEY key, const std::wstring &name, int attempts)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes);
        if (status == ERROR_FILE_NOT_FOUND)
            return QString();
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE *>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA)
            continue; // it grew in between
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        std::size_t length = size / sizeof(wchar_t);
        // The stored terminator is not part of the value.
        if (length > 0 && buffer[length - 1] == L'\0')
            --length;
        // Code unit for code unit (fromWCharArray would drop a leading U+FEFF).
        static_assert(sizeof(wchar_t) == sizeof(QChar));
        return QString(reinterpret_cast<const QChar *>(buffer.data()), static_cast<qsizetype>(length));
    }
    return std::nullopt;
}

} // namespace

RegistrySettingsStore::RegistrySettingsStore()
    : root_(QStringLiteral("Software\\VB and VBA Program Settings\\Tovrani"))
{
}

RegistrySettingsStore::RegistrySettingsStore(const QString &root) : root_(root) {}

std::optional<QString> RegistrySettingsStore::ReadEntry(const QString &section, const QString &key)
{
    HKEY handle = nullptr;
    const LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, subkeyOf(root_, section).c_str(), 0,
                                      KEY_QUERY_VALUE, &handle);
    if (status == ERROR_FILE_NOT_FOUND)
        return QString();
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<QString> value = readValue(handle, key.toStdWString(), ReadAttempts);
    RegCloseKey(handle);
    return value;
}

bool RegistrySettingsStore::WriteEntry(const QString &section, const QString &key, const QString &value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subkeyOf(root_, section).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring name = key.toStdWString();
    const std::wstring data = value.toStdWString();
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    bool ok = RegSetValueExW(handle, name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE *>(data.c_str()), bytes) == ERROR_SUCCESS;
    // Onto the disk now, not at the system's leisure: the parent may switch the
    // computer off right after registering.
    ok = ok && RegFlushKey(handle) == ERROR_SUCCESS;
    RegCloseKey(handle);
    return ok;
}

std::unique_ptr<SettingsStore> MakeUserSettingsStore()
{
    return std::make_unique<RegistrySettingsStore>();
}

} // namespace platform
