#include "common/Log.h"

#include <algorithm>
#include <vector>

#include "common/AddinState.h"
#include "common/StoredSecret.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace tavo {
namespace {

std::size_t CharacterCount(std::string_view s) {
  return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  auto escaped = [](unsigned code) { return std::string{'\\', 'x', kHex[code >> 4], kHex[code & 0xF]}; };
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      out += escaped(c);
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0 &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80) {
      out += escaped(static_cast<unsigned char>(text[++i]));  // U+0080 to U+009F
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string LogLine(std::string_view message, std::string_view level) {
  return "[" + platform::FormatLogTimestamp(platform::LocalTime(platform::Now())) + "] -- [" + std::string(level) +
         "] -- " + std::string(message);
}

std::string MaskSecrets(const AddinState& state, std::string_view line) {
  std::vector<std::string> secrets = {state.gTicket, std::string(kApiKey), state.gLoginPassword,
                                      state.gEncodedPassword};
  if (!state.gLoginPassword.empty()) secrets.push_back(EncodeBase64(state.gLoginPassword));
  // Longer secrets first, so that one holding another is replaced whole.
  std::sort(secrets.begin(), secrets.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
  std::string masked(line);
  for (const std::string& secret : secrets)
    if (CharacterCount(secret) >= 4) masked = platform::text::Replace(masked, secret, "***");
  return masked;
}

bool LogWrites(const AddinState& state, std::string_view level) {
  return (state.gLogLevel == "Info" || level == state.gLogLevel) && !state.gLogFile.empty();
}

void WriteLog(AddinState& state, std::string_view message, std::string_view level) {
  if (message.empty() || !LogWrites(state, level)) return;
  try {
    // Masked first: a secret holding a control character is found as it stands.
    std::string line = EscapeControls(MaskSecrets(state, LogLine(message, level)));
    platform::files::AppendText(state.gLogFile, platform::codepage::Utf8ToAnsi(line) + "\r\n");
  } catch (const platform::RuntimeError&) {
    // a log that cannot be written is skipped
  }
}

}  // namespace tavo
