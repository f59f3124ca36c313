#include "host/files/WinPath.h"

namespace host {

std::string NormalizeWindowsPath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    char c = path[i] == '/' ? '\\' : path[i];
    // A leading "\\" (a share) keeps its two separators.
    if (c == '\\' && !out.empty() && out.back() == '\\' && out.size() > 1) continue;
    out.push_back(c);
  }
  return out;
}

PathParts SplitPath(std::string_view path) {
  auto slash = path.find_last_of('\\');
  if (slash == std::string_view::npos) return {"", std::string(path)};
  std::string folder(path.substr(0, slash));
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return {folder, std::string(path.substr(slash + 1))};
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && out.back() != '\\') out += '\\';
  return out + std::string(name);
}

std::string StemOf(std::string_view name) {
  auto dot = name.find_last_of('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string ExtensionOf(std::string_view name) {
  auto dot = name.find_last_of('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

}  // namespace host
