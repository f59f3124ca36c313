#include "common/LocalFileName.h"

#include <algorithm>

#include "platform/core/Text.h"

namespace tavo {
namespace {

constexpr std::string_view kFolderCharacters = "\\/:";
constexpr std::string_view kForbiddenCharacters = "\\/:*?\"<>|";

bool IsDotName(std::string_view name) { return name == "." || name == ".."; }

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

}  // namespace

bool LeavesFolder(std::string_view name) {
  return IsDotName(name) || name.find_first_of(kFolderCharacters) != std::string_view::npos;
}

bool UnusableAccountName(std::string_view account) {
  const std::string name = platform::text::Trim(account);
  return LeavesFolder(name) || std::any_of(name.begin(), name.end(), IsControl);
}

std::string WindowsFileName(std::string_view name) {
  std::string file(name);
  for (char& c : file)
    if (static_cast<unsigned char>(c) < 0x20 || kForbiddenCharacters.find(c) != std::string_view::npos) c = '_';
  if (file.empty()) return "_";
  if (IsDotName(file)) return std::string(file.size(), '_');
  return file;
}

}  // namespace tavo
