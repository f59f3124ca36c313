#include "common/commands/Registration.h"

#include <string>

#include "common/RegistryStrings.h"

namespace tavo {

namespace office = platform::office;

office::AddinRegistration RegistrationOf(const AddinIdentity& addin, const char* libraryPath) {
  return {.progId = std::string(addin.progId),
          .host = std::string(addin.host),
          .friendlyName = std::string(addin.friendlyName),
          .description = std::string(addin.description),
          .loadBehavior = office::kLoadAtStartup,
          .commandLineSafe = 0,
          .libraryPath = libraryPath ? libraryPath : "",
          .localMachineKey = std::string(addin.localMachineKey)};
}

long RegisterAddin(const AddinIdentity& addin, const char* libraryPath) {
  if (long rc = office::RegisterAddin(RegistrationOf(addin, libraryPath))) return rc;
  if (platform::text::Trim(GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language")).empty())
    SetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language", "eng_us");
  return 0;
}

long UnregisterAddin(const AddinIdentity& addin, const char* libraryPath) {
  return office::UnregisterAddin(RegistrationOf(addin, libraryPath));
}

}  // namespace tavo
