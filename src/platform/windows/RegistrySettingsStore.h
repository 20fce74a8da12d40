#pragma once

#include "platform/SettingsStore.h"

namespace platform {

// Settings as string values in the per-user registry, one subkey a section:
// HKEY_CURRENT_USER\<root>\<section>, value <key>. The default root is where
// Windows programs of this kind have always kept such settings, so a
// password registered there earlier keeps working.
class RegistrySettingsStore final : public SettingsStore {
public:
    RegistrySettingsStore();
    explicit RegistrySettingsStore(const QString &root); // below HKEY_CURRENT_USER
    QString Root() const { return root_; }

protected:
    std::optional<QString> ReadEntry(const QString &section, const QString &key) override;
    bool WriteEntry(const QString &section, const QString &key, const QString &value) override;

private:
    QString root_;
};

} // namespace platform
