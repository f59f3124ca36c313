// The library's exports: its registration for Excel, and its connection objects.
#include "ExelAddin/sheetPlugin/source/Connect.h"
#include "common/commands/Registration.h"
#include "platform/core/Text.h"
#include "platform/office/AddinLibrary.h"
#include "platform/office/AddinRegistration.h"

namespace {

namespace office = platform::office;

office::AddinRegistration Registration(const char* libraryPath) {
  const std::string progId(tavo::sheet::kProgId);
  return {.progId = progId,
          .host = "Excel",
          .friendlyName = "TavoSheet",
          .description = "Tavo Sheet Excel Plugin",
          .loadBehavior = office::kLoadAtStartup,
          .commandLineSafe = 0,
          .libraryPath = libraryPath ? libraryPath : "",
          .localMachineKey = "Software\\Microsoft\\Office\\Excel\\Addins\\" + progId};
}

}  // namespace

TAVO_ADDIN_EXPORT long DllRegisterServer(const char* libraryPath) {
  return tavo::RegisterAddinChoosingLanguage(Registration(libraryPath));
}

TAVO_ADDIN_EXPORT long DllUnregisterServer(const char* libraryPath) {
  return office::UnregisterAddin(Registration(libraryPath));
}

// ProgIDs are compared ignoring case, as the registry compares key names.
TAVO_ADDIN_EXPORT office::AddinConnection* DllCreateConnection(const char* progId) {
  if (!progId || !platform::text::EqualsText(progId, tavo::sheet::kProgId)) return nullptr;
  return new tavo::sheet::Connect();
}

TAVO_ADDIN_EXPORT void DllDestroyConnection(office::AddinConnection* connection) { delete connection; }
