#include "forms/common/ParentLock.h"

#include "forms/common/FormKit.h"
#include "platform/MessageBox.h"
#include "platform/Services.h"
#include "platform/SettingsStore.h"
#include "study/Password.h"

namespace forms {

bool ParentPasswordOpens(const QString &typed, QString *registered)
{
    const std::optional<QString> stored =
        platform::settingsStore().Read(platform::PasswordSection, platform::PasswordKey);
    if (!stored) {
        platform::messageBox().Show(StoreUnreadable, platform::Buttons::Ok);
        return false;
    }
    if (registered)
        *registered = *stored;
    return study::OpensLock(typed, stored);
}

} // namespace forms
