#include "common/LocalFileName.h"

#include <algorithm>

#include "platform/core/Text.h"

namespace tavo {
namespace {

constexpr std::string_view kFolderCharacters = "\\/:";
constexpr std::string_view kForbiddenCharacters = "\\/:*?\"<>|";

bool IsDotName(std::string_view name) { return name == "." || name == ".."; }

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

bool IsDigitOrSuperscript(std::string_view s) {
  return (s.size() == 1 && s[0] >= '0' && s[0] <= '9') || s == "\xC2\xB9" || s == "\xC2\xB2" || s == "\xC2\xB3";
}

}  // namespace

bool LeavesFolder(std::string_view name) {
  return IsDotName(name) || name.find_first_of(kFolderCharacters) != std::string_view::npos;
}

bool IsDeviceName(std::string_view name) {
  // Windows looks at the part in front of the first dot, without the blanks it ends in.
  std::string base = platform::text::UCase(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (base == device) return true;
  const std::string_view rest = std::string_view(base).substr(std::min<size_t>(3, base.size()));
  return (base.starts_with("COM") || base.starts_with("LPT")) && IsDigitOrSuperscript(rest);
}

std::string NotADeviceName(std::string_view name) {
  return IsDeviceName(name) ? "_" + std::string(name) : std::string(name);
}

bool UnusableAccountName(std::string_view account) {
  const std::string name = platform::text::Trim(account);
  return LeavesFolder(name) || std::any_of(name.begin(), name.end(), IsControl) || IsDeviceName(name);
}

std::string WindowsFileName(std::string_view name) {
  std::string file(name);
  for (char& c : file)
    if (static_cast<unsigned char>(c) < 0x20 || kForbiddenCharacters.find(c) != std::string_view::npos) c = '_';
  if (file.empty()) return "_";
  if (IsDotName(file)) return std::string(file.size(), '_');
  return NotADeviceName(file);
}

}  // namespace tavo
