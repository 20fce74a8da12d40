#pragma once

#include <QString>
#include <optional>

namespace platform {

// The per-user store that keeps the parent's password across runs.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored string, "" when there is no entry, or no value at all when the
    // store or the entry exists but cannot be read (a caller must not take
    // that for "none"). Damage elsewhere in the store does not matter.
    virtual std::optional<QString> Read(const QString &section, const QString &key) = 0;
    // Stores the value and reads it back from the store itself (not from a
    // copy in this process). False when it is not there; a store or entry
    // that cannot be read is never overwritten, and the rest of the store is
    // kept as it was.
    virtual bool Write(const QString &section, const QString &key, const QString &value) = 0;
};

// An INI file in QSettings' form, either at the user's standard place for the
// application "Tovrani" or at a file of the caller's choosing (tests).
// Section and key are plain names (letters and digits).
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();                              // the user's real store
    explicit QtSettingsStore(const QString &filePath); // a store in this file
    std::optional<QString> Read(const QString &section, const QString &key) override;
    bool Write(const QString &section, const QString &key, const QString &value) override;
    QString FilePath() const { return path_; }

private:
    QString path_;
};

} // namespace platform
