#pragma once
// What each add-in library's four exports (platform/office/AddinLibrary.h) do, given who the
// add-in is:
//
//   constexpr tavo::AddinIdentity kAddin{...};
//   TAVO_ADDIN_EXPORT long DllRegisterServer(const char* path) { return tavo::RegisterAddin(kAddin, path); }
#include <string_view>

#include "platform/core/Text.h"
#include "platform/office/AddinConnection.h"
#include "platform/office/AddinRegistration.h"

namespace tavo {

struct AddinIdentity {
  std::string_view progId;           // of the connection class
  std::string_view host;             // "Word" or "Excel"
  std::string_view friendlyName;
  std::string_view description;
  std::string_view localMachineKey;  // the machine's Addins key of the ProgID
};

// Loaded at every start of the host (load behaviour 3), not command-line safe.
platform::office::AddinRegistration RegistrationOf(const AddinIdentity& addin, const char* libraryPath);

// Writes the registration and, as the installer does, chooses English for the interface where
// no language is chosen yet (a machine key that refuses the write leaves it to the add-in).
// Returns 0, or the registry error of the registration.
long RegisterAddin(const AddinIdentity& addin, const char* libraryPath);
long UnregisterAddin(const AddinIdentity& addin, const char* libraryPath);

// A new connection object for the add-in's ProgID, compared ignoring case as the registry
// compares key names; nullptr for any other.
template <class Connection>
platform::office::AddinConnection* NewConnection(const AddinIdentity& addin, const char* progId) {
  if (!progId || !platform::text::EqualsText(progId, addin.progId)) return nullptr;
  return new Connection();
}

}  // namespace tavo
