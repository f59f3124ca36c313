#pragma once
// The add-ins' toolbars are temporary: they stay until the host application closes, also when
// the add-in is unloaded. An add-in loaded again in the same run builds its controls again in
// the toolbar that is still there, since the host refuses a second bar of the same name.
#include <string_view>

#include "platform/office/CommandBars.h"

namespace tavo {

// The toolbar of that name with its controls deleted; Nothing when there is none.
platform::office::Ref<platform::office::CommandBar> EmptiedToolbar(platform::office::CommandBars& bars,
                                                                   std::string_view name);

}  // namespace tavo
