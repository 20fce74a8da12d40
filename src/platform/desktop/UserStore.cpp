#include "platform/UserStore.h"

namespace platform {

std::unique_ptr<SettingsStore> MakeUserSettingsStore()
{
    return std::make_unique<QtSettingsStore>();
}

} // namespace platform
