#pragma once
// The parts of workbook file names and Windows paths that the flows look at.
#include <string>

namespace tavo::sheet {

// The text after the name's last ".", the whole name when it has none ("Budget.xls" -> "xls").
inline std::string ExtensionOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(dot + 1);
}

// The file name of a Windows path.
inline std::string FileNameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

}  // namespace tavo::sheet
