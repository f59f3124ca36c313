#pragma once
// Where the registry holds an add-in, as the Office host reads it:
//   HKCU\Software\Classes\<ProgID>\InprocServer32        (default value) library's Windows path
//   HKCU\Software\Microsoft\Office\<Host>\Addins\<ProgID>  FriendlyName, Description (strings),
//                                                          LoadBehavior, CommandLineSafe (DWORDs)
// and, when given, the same LoadBehavior and CommandLineSafe under a key of HKEY_LOCAL_MACHINE.
// A host loads at start-up every add-in of its Addins key whose LoadBehavior is 3.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::office {

inline constexpr std::uint32_t kLoadAtStartup = 3;

struct AddinRegistration {
  std::string progId{};        // "tavowriterwordaddin.service"
  std::string host{};          // "Word" or "Excel"
  std::string friendlyName{};  // "TavoWriter"
  std::string description{};   // "TavoWriter Word Plug-In"
  std::uint32_t loadBehavior = kLoadAtStartup;
  std::uint32_t commandLineSafe = 0;
  std::string libraryPath{};   // Windows path of the library
  // "SOFTWARE\Microsoft\Office\Word\Addins\tavowriterwordaddin.service"; empty: none.
  std::string localMachineKey{};
};

std::string AddinsKey(std::string_view host);                   // Software\Microsoft\Office\<host>\Addins
std::string ClassServerKey(std::string_view progId);            // Software\Classes\<progId>\InprocServer32

// Writes the values above; a refused HKEY_LOCAL_MACHINE write (a read-only machine key) is
// skipped silently. Returns 0, or the registry error of a failed current-user write.
long RegisterAddin(const AddinRegistration& registration);
// Deletes the values RegisterAddin writes (the keys stay, empty). Returns 0 or a registry error.
long UnregisterAddin(const AddinRegistration& registration);

// One add-in of a host's Addins key.
struct RegisteredAddin {
  std::string progId{};
  std::string friendlyName{};
  std::string description{};
  std::uint32_t loadBehavior = 0;
  std::string libraryPath{};  // Windows path; "" when the class is not registered
};

// Every add-in under the host's Addins key that has a LoadBehavior, in key order.
std::vector<RegisteredAddin> RegisteredAddins(std::string_view host);

}  // namespace platform::office
