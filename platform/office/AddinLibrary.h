#pragma once
// What an add-in library exports, by these C names, so that a host finds and creates it with
// dlopen/dlsym and an installer registers it:
//
//   long DllRegisterServer(const char* libraryPath);
//       Writes the add-in's registration (AddinRegistration.h) for the library at libraryPath
//       (a Windows path of the current environment). 0 on success.
//   long DllUnregisterServer(const char* libraryPath);
//       Removes what DllRegisterServer wrote. 0 on success.
//   platform::office::AddinConnection* DllCreateConnection(const char* progId);
//       A new connection object for the ProgID, nullptr for a ProgID the library does not serve.
//   void DllDestroyConnection(platform::office::AddinConnection* connection);
//       Destroys an object made by DllCreateConnection.
//
// An add-in library defines them with TAVO_ADDIN_EXPORT, e.g.
//   TAVO_ADDIN_EXPORT long DllRegisterServer(const char* libraryPath) { ... }
#include "platform/office/AddinConnection.h"

#define TAVO_ADDIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace platform::office {

inline constexpr const char* kRegisterServerSymbol = "DllRegisterServer";
inline constexpr const char* kUnregisterServerSymbol = "DllUnregisterServer";
inline constexpr const char* kCreateConnectionSymbol = "DllCreateConnection";
inline constexpr const char* kDestroyConnectionSymbol = "DllDestroyConnection";

using RegisterServerFunction = long (*)(const char* libraryPath);
using UnregisterServerFunction = long (*)(const char* libraryPath);
using CreateConnectionFunction = AddinConnection* (*)(const char* progId);
using DestroyConnectionFunction = void (*)(AddinConnection* connection);

}  // namespace platform::office
