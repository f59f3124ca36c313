#pragma once
// Windows path texts as the applications keep them: "\" separators, no doubled separators.
#include <string>
#include <string_view>

namespace host {

std::string NormalizeWindowsPath(std::string_view path);

struct PathParts {
  std::string folder;  // "C:\Users\tavo" ("C:\" for a file at the root)
  std::string name;    // "a.doc"
};
PathParts SplitPath(std::string_view normalizedPath);

std::string JoinPath(std::string_view folder, std::string_view name);
std::string StemOf(std::string_view name);       // "a.b.html" -> "a.b"
std::string ExtensionOf(std::string_view name);  // "a.b.html" -> "html"; "" without a dot

}  // namespace host
