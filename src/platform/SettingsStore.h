#pragma once

#include <QString>
#include <optional>

namespace platform {

// The per-user store that keeps the parent's password across runs. Every
// backend keeps the same rules, which live here; a backend only reads and
// writes one entry of its own kind of storage.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored string, "" when there is no entry, or no value at all when the
    // store or the entry exists but cannot be read (a caller must not take
    // that for "none"). Damage elsewhere in the store does not matter.
    std::optional<QString> Read(const QString &section, const QString &key) { return ReadEntry(section, key); }
    // Stores the value and reads it back from the store itself (not from a
    // copy in this process). False when it is not there; a store or entry
    // that cannot be read is never overwritten, and the rest of the store is
    // kept as it was.
    bool Write(const QString &section, const QString &key, const QString &value);

protected:
    // An entry read in two steps (its size, then its text) that another
    // process changes in between is read again, this many times at most.
    static constexpr int ReadAttempts = 4;

    // The entry as stored, read from the storage itself at every call.
    virtual std::optional<QString> ReadEntry(const QString &section, const QString &key) = 0;
    // Puts the value into the storage; false when the storage refuses.
    virtual bool WriteEntry(const QString &section, const QString &key, const QString &value) = 0;
};

// An INI file in QSettings' form, either at the user's standard place for the
// application "Tovrani" or at a file of the caller's choosing (tests).
// Section and key are plain names (letters and digits).
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();                              // the user's real store
    explicit QtSettingsStore(const QString &filePath); // a store in this file
    QString FilePath() const { return path_; }

protected:
    std::optional<QString> ReadEntry(const QString &section, const QString &key) override;
    bool WriteEntry(const QString &section, const QString &key, const QString &value) override;

private:
    QString path_;
};

} // namespace platform
