// The library's exports: its registration for Word, and its connection objects.
#include "WordAddin/writerPlugin/source/Service.h"
#include "common/commands/Registration.h"
#include "platform/office/AddinLibrary.h"

namespace {

constexpr tavo::AddinIdentity kAddin{
    .progId = tavo::writer::kProgId,
    .host = "Word",
    .friendlyName = "TavoWriter",
    .description = "TavoWriter Word Plug-In",
    .localMachineKey = "SOFTWARE\\Microsoft\\Office\\Word\\Addins\\tavowriterwordaddin.service",
};

}  // namespace

TAVO_ADDIN_EXPORT long DllRegisterServer(const char* libraryPath) { return tavo::RegisterAddin(kAddin, libraryPath); }

TAVO_ADDIN_EXPORT long DllUnregisterServer(const char* libraryPath) { return tavo::UnregisterAddin(kAddin, libraryPath); }

TAVO_ADDIN_EXPORT platform::office::AddinConnection* DllCreateConnection(const char* progId) {
  return tavo::NewConnection<tavo::writer::service>(kAddin, progId);
}

TAVO_ADDIN_EXPORT void DllDestroyConnection(platform::office::AddinConnection* connection) { delete connection; }
