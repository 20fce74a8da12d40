#pragma once

#include "platform/SettingsStore.h"

#include <memory>

namespace platform {

// The store where this system keeps the user's settings: an INI file on
// Linux, the per-user registry on Windows, the page's local storage in a
// browser. Each build links the one for its platform.
std::unique_ptr<SettingsStore> MakeUserSettingsStore();

} // namespace platform
