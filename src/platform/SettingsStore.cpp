#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace platform {

namespace {

QString entryName(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QtSettingsStore::QtSettingsStore()
{
    const QSettings probe(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tovrani"),
                          QStringLiteral("Tovrani"));
    path_ = probe.fileName();
}

QtSettingsStore::QtSettingsStore(const QString &filePath) : path_(filePath) {}

std::optional<QString> QtSettingsStore::Read(const QString &section, const QString &key)
{
    const QFileInfo info(path_);
    if (!info.exists())
        return QString();
    if (!info.isFile() || !info.isReadable())
        return std::nullopt;
    QSettings settings(path_, QSettings::IniFormat);
    const QString value = settings.value(entryName(section, key)).toString();
    if (settings.status() != QSettings::NoError)
        return std::nullopt;
    return value;
}

bool QtSettingsStore::Write(const QString &section, const QString &key, const QString &value)
{
    // A store that exists but cannot be read back would be rewritten with only
    // what QSettings understood of it: refuse rather than lose what it held.
    const QFileInfo info(path_);
    if (info.exists() && !Read(section, key))
        return false;

    if (!info.exists()) {
        // Create the file owner-only first; QSettings keeps the permissions of
        // the file it replaces, so the password is never readable by others.
        if (!QDir().mkpath(info.absolutePath()))
            return false;
        QFile file(path_);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return false;
        file.close();
    }
    if (!QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;

    {
        QSettings settings(path_, QSettings::IniFormat);
        if (!settings.isWritable())
            return false;
        settings.setValue(entryName(section, key), value);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return false;
    }

    // Read it back from disk, so a write that silently went nowhere is caught.
    const std::optional<QString> stored = Read(section, key);
    return stored && *stored == value;
}

} // namespace platform
