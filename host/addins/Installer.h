#pragma once
// What the add-ins' installer does beside calling a library's own registration: it records the
// interface language the user chose and, on this machine, the system's ANSI code page (which on
// Windows comes with the system's language), and it tells whether a library is registered.
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace host {

// "eng_us", "chi_ch", "jap_ja".
bool IsLanguageCode(std::string_view code);
// Writes the language the add-ins read at start-up (the machine-wide value "Language").
// Raises RuntimeError when the machine's registry refuses the write.
void SetInstallLanguage(std::string_view code);

// Whether an add-in of Word or Excel is registered with this library.
bool IsRegisteredLibrary(const std::filesystem::path& library);

}  // namespace host
