// The library's exports: its registration for Excel, and its connection objects.
#include "ExelAddin/sheetPlugin/source/Connect.h"
#include "common/commands/Registration.h"
#include "platform/office/AddinLibrary.h"

namespace {

constexpr tavo::AddinIdentity kAddin{
    .progId = tavo::sheet::kProgId,
    .host = "Excel",
    .friendlyName = "TavoSheet",
    .description = "Tavo Sheet Excel Plugin",
    .localMachineKey = "Software\\Microsoft\\Office\\Excel\\Addins\\tavosheet.Connect",
};

}  // namespace

TAVO_ADDIN_EXPORT long DllRegisterServer(const char* libraryPath) { return tavo::RegisterAddin(kAddin, libraryPath); }

TAVO_ADDIN_EXPORT long DllUnregisterServer(const char* libraryPath) { return tavo::UnregisterAddin(kAddin, libraryPath); }

TAVO_ADDIN_EXPORT platform::office::AddinConnection* DllCreateConnection(const char* progId) {
  return tavo::NewConnection<tavo::sheet::Connect>(kAddin, progId);
}

TAVO_ADDIN_EXPORT void DllDestroyConnection(platform::office::AddinConnection* connection) { delete connection; }
