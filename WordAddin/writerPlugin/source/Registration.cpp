// The library's exports: its registration for Word, and its connection objects.
#include "WordAddin/writerPlugin/source/Service.h"
#include "common/RegistryStrings.h"
#include "platform/core/Text.h"
#include "platform/office/AddinLibrary.h"
#include "platform/office/AddinRegistration.h"

namespace {

namespace office = platform::office;

office::AddinRegistration Registration(const char* libraryPath) {
  const std::string progId(tavo::writer::kProgId);
  return {.progId = progId,
          .host = "Word",
          .friendlyName = "TavoWriter",
          .description = "TavoWriter Word Plug-In",
          .loadBehavior = office::kLoadAtStartup,
          .commandLineSafe = 0,
          .libraryPath = libraryPath ? libraryPath : "",
          .localMachineKey = "SOFTWARE\\Microsoft\\Office\\Word\\Addins\\" + progId};
}

}  // namespace

// As the installer does, registration also chooses English for the interface where no
// language is chosen yet (a machine key that refuses the write leaves it to the add-in).
TAVO_ADDIN_EXPORT long DllRegisterServer(const char* libraryPath) {
  if (long rc = office::RegisterAddin(Registration(libraryPath))) return rc;
  if (platform::text::Trim(tavo::GetRegistryString(tavo::HKEY_LOCAL_MACHINE, tavo::kLanguageKey, "Language")).empty())
    tavo::SetRegistryString(tavo::HKEY_LOCAL_MACHINE, tavo::kLanguageKey, "Language", "eng_us");
  return 0;
}

TAVO_ADDIN_EXPORT long DllUnregisterServer(const char* libraryPath) {
  return office::UnregisterAddin(Registration(libraryPath));
}

// ProgIDs are compared ignoring case, as the registry compares key names.
TAVO_ADDIN_EXPORT office::AddinConnection* DllCreateConnection(const char* progId) {
  if (!progId || !platform::text::EqualsText(progId, tavo::writer::kProgId)) return nullptr;
  return new tavo::writer::service();
}

TAVO_ADDIN_EXPORT void DllDestroyConnection(office::AddinConnection* connection) { delete connection; }
