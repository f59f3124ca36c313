#pragma once
// The per-user log: one line per call, "[YYYY-MM-DD HH:MM:SS] -- [level] -- message", appended
// with the file opened and closed each time. The configured level "Info" writes every line;
// any other level writes only lines of exactly that level. A log that cannot be written never
// disturbs the caller.
#include <string>
#include <string_view>

namespace tavo {

struct AddinState;

void WriteLog(AddinState& state, std::string_view message, std::string_view level);

// The line as written (without its CR LF), at the current time.
std::string LogLine(std::string_view message, std::string_view level);

// The line with every secret the add-in holds (the ticket, the API key, the password and its
// stored encoding) replaced by "***". Secrets shorter than 4 characters are left alone so that
// they cannot blank out the fixed texts.
std::string MaskSecrets(const AddinState& state, std::string_view line);

}  // namespace tavo
