#pragma once
// The three wrappers through which the add-ins reach the registry. Every value is a string
// (REG_SZ) in the system ANSI code page; no wrapper reports an error: a missing key or value,
// another value type or a refused write all read as "" or are silently dropped.
#include <string>
#include <string_view>

#include "platform/registry/Registry.h"

namespace tavo {

using platform::registry::HKEY_CURRENT_USER;
using platform::registry::HKEY_LOCAL_MACHINE;

// The key both add-ins share for the current sign-in.
inline constexpr std::string_view kSharedAccountsKey = "Software\\tavo\\accounts\\reg";
// The machine-wide key whose value "Language" holds the interface language code.
inline constexpr std::string_view kLanguageKey = "Software\\Halvorik\\Tavo Plug-in for Microsoft Office";

void CreateRegistryKey(platform::registry::Hive hive, std::string_view keyPath);
// The text up to the first NUL (all of it when there is none); "" on any failure.
std::string GetRegistryString(platform::registry::Hive hive, std::string_view keyPath, std::string_view valueName);
// Writes the ANSI text as REG_SZ without a terminating NUL.
void SetRegistryString(platform::registry::Hive hive, std::string_view keyPath, std::string_view valueName,
                       std::string_view value);

}  // namespace tavo
