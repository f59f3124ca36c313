#pragma once
// The private-profile (INI file) reader with the Windows reader's rules: section and key names
// compare case-insensitively and are trimmed of blanks (in the file and in the request); a value
// is trimmed of blanks and of one pair of enclosing quotes; a missing file, section or key gives
// the default (its trailing blanks removed); the copy is cut to size - 1 characters and
// NUL-terminated. The file is read as ANSI bytes; values are returned as those bytes.
#include <cstdint>
#include <string_view>

namespace platform::profile {

// Returns the number of characters copied into `buffer`, not counting the terminating NUL.
std::uint32_t GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                       std::string_view defaultValue, char* buffer, std::uint32_t size,
                                       std::string_view fileName);

}  // namespace platform::profile
