#include "common/commands/Registration.h"

#include "common/RegistryStrings.h"
#include "platform/core/Text.h"

namespace tavo {

long RegisterAddinChoosingLanguage(const platform::office::AddinRegistration& registration) {
  if (long rc = platform::office::RegisterAddin(registration)) return rc;
  if (platform::text::Trim(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language")).empty())
    SetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language", "eng_us");
  return 0;
}

}  // namespace tavo
