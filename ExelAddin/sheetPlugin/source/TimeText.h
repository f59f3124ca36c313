#pragma once
// Time texts of the spreadsheet service read as points in time, so that two of them can be
// compared: the service's "YYYY-MM-DD HH:MM:SS", and the system's short form
// "M/D/YYYY H:MM[:SS] [AM|PM]"; the time of day may be left out (midnight).
#include <cstdint>
#include <optional>
#include <string_view>

namespace tavo::sheet {

// Seconds since 1970-01-01 00:00:00 of the text's calendar time; nullopt for a text that is no
// valid date and time.
std::optional<std::int64_t> TimeValue(std::string_view text);

}  // namespace tavo::sheet
