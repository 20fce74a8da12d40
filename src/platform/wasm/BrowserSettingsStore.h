#pragma once

#include "platform/SettingsStore.h"

namespace platform {

// Settings in the page's local storage, kept per browser profile and site,
// one item a key, named "<root>/<section>/<key>".
class BrowserSettingsStore final : public SettingsStore {
public:
    explicit BrowserSettingsStore(const QString &root = QStringLiteral("Tovrani"));
protected:
    std::optional<QString> ReadEntry(const QString &section, const QString &key) override;
    bool WriteEntry(const QString &section, const QString &key, const QString &value) override;

private:
    QString itemName(const QString &section, const QString &key) const;
    QString root_;
};

} // namespace platform
