#include "host/addins/Installer.h"

#include <string>

#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/environment/Environment.h"
#include "platform/office/AddinRegistration.h"
#include "platform/registry/Registry.h"

namespace host {
namespace {
// The machine key of both add-ins' installation, where they read their language.
constexpr std::string_view kInstallKey = "Software\\Halvorik\\Tavo Plug-in for Microsoft Office";
}  // namespace

bool IsLanguageCode(std::string_view code) { return code == "eng_us" || code == "chi_ch" || code == "jap_ja"; }

void SetInstallLanguage(std::string_view code) {
  namespace reg = platform::registry;
  // The installer runs with the rights to write the machine key, locked down or not.
  if (!reg::WriteSystemValue(reg::HKEY_LOCAL_MACHINE, kInstallKey, "Language", reg::StringValue(std::string(code))))
    platform::Raise(platform::err::InvalidProcedureCall, "the machine's registry refused to record the language");
}

bool IsRegisteredLibrary(const std::filesystem::path& library) {
  const std::string path = platform::environment::Current().WindowsPath(std::filesystem::absolute(library));
  for (const char* application : {"Word", "Excel"})
    for (const auto& addin : platform::office::RegisteredAddins(application))
      if (platform::text::EqualsText(addin.libraryPath, path)) return true;
  return false;
}

}  // namespace host
