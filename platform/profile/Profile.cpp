#include "platform/profile/Profile.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/codepage/CodePage.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"

namespace platform::profile {
namespace {

std::string_view TrimBlanks(std::string_view s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// The file's text as ANSI bytes: a UTF-16 file (with its byte-order mark) is converted, and
// a UTF-8 mark is skipped so that it does not hide the first section.
std::string AnsiText(std::string bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
    return codepage::Utf8ToAnsi(codepage::Utf16LeBytesToUtf8(std::string_view(bytes).substr(2)));
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  return bytes;
}

// The value of the key in the first section of that name; false when either is missing.
bool Lookup(std::string_view text, std::string_view section, std::string_view key, std::string* value) {
  bool inSection = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = TrimBlanks(line);
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (inSection) return false;  // only the first section of a name counts
      size_t close = line.find(']');
      std::string_view name = TrimBlanks(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      inSection = text::EqualsText(name, section);
      continue;
    }
    if (!inSection) continue;
    size_t equals = line.find('=');
    std::string_view name = TrimBlanks(line.substr(0, equals));
    if (!text::EqualsText(name, key)) continue;
    *value = equals == std::string_view::npos ? std::string() : std::string(Unquote(TrimBlanks(line.substr(equals + 1))));
    return true;
  }
  return false;
}

bool HasDrive(std::string_view path) { return path.size() >= 2 && path[1] == ':'; }

}  // namespace

std::uint32_t GetPrivateProfileStringA(std::string_view section, std::string_view key, std::string_view defaultValue,
                                       char* buffer, std::uint32_t size, std::string_view fileName) {
  if (!buffer || size == 0) return 0;
  std::string value;
  bool found = false;
  std::string_view wantedSection = TrimBlanks(section), wantedKey = TrimBlanks(key);
  if (!wantedSection.empty() && !wantedKey.empty() && !fileName.empty()) {
    // A bare file name lives in the Windows folder.
    std::string path = HasDrive(fileName) ? std::string(fileName) : "C:\\Windows\\" + std::string(fileName);
    try {
      found = Lookup(AnsiText(files::ReadAllBytes(path)), wantedSection, wantedKey, &value);
    } catch (...) {
      found = false;  // an unreadable file is a missing one
    }
  }
  if (!found) value = text::RTrim(defaultValue);
  std::uint32_t n = static_cast<std::uint32_t>(std::min<size_t>(value.size(), size - 1));
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

}  // namespace platform::profile
