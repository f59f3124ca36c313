#pragma once
// The per-user log: one line per call, "[YYYY-MM-DD HH:MM:SS] -- [level] -- message", appended
// with the file opened and closed each time. The configured level "Info" writes every line;
// any other level writes only lines of exactly that level. A log that cannot be written never
// disturbs the caller.
#include <string>
#include <string_view>

#include "platform/core/RuntimeError.h"

namespace tavo {

struct AddinState;

void WriteLog(AddinState& state, std::string_view message, std::string_view level);
// Whether WriteLog writes a line of this level: a message that is costly to make (the markup
// of a whole list) is made only then.
bool LogWrites(const AddinState& state, std::string_view level);

// The text with every control character (C0, DEL and C1) written as "\xHH", so that a name or
// an answer from the service can neither start a line of its own in the log nor send a terminal
// that shows the log a command. WriteLog writes every message so.
std::string EscapeControls(std::string_view text);

// The line as written (without its CR LF), at the current time.
std::string LogLine(std::string_view message, std::string_view level);

// The line with every secret the add-in holds (the ticket, the API key, the password and its
// stored encoding) replaced by "***". Secrets shorter than 4 characters are left alone so that
// they cannot blank out the fixed texts.
std::string MaskSecrets(const AddinState& state, std::string_view line);

// Runs `body`; a run-time error ends it with the one line that the folder, local-copy and
// clean-up procedures write: "<procedure>:||<description>||<number>", without a level (so it is
// written only when the configured level is "Info").
template <class Body>
void Logged(AddinState& state, std::string_view procedure, Body body) {
  try {
    body();
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, std::string(procedure) + ":||" + e.description() + "||" + std::to_string(e.number()), "");
  }
}

}  // namespace tavo
