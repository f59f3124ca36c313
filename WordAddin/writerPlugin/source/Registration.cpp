// The library's exports: its registration for Word, and its connection objects.
#include "WordAddin/writerPlugin/source/Service.h"
#include "common/commands/Registration.h"
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

TAVO_ADDIN_EXPORT long DllRegisterServer(const char* libraryPath) {
  return tavo::RegisterAddinChoosingLanguage(Registration(libraryPath));
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
