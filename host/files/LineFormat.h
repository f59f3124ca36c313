#pragma once
// The line-based container files of documents and workbooks: LF-terminated lines of
// "<name>: <value>", values escaped so that each fits on one line ("\" as "\\", a line break
// as "\n").
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

std::string EscapeValue(std::string_view value);
// The same, appended to `out`.
void AppendEscaped(std::string& out, std::string_view value);
// nullopt for a value with a dangling or unknown escape.
std::optional<std::string> UnescapeValue(std::string_view escaped);

// The lines of a file (LF separated; a final LF does not make an empty last line).
std::vector<std::string_view> SplitLines(std::string_view bytes);

// "name: value" -> {name, value}; a line "name" alone has an empty value and no colon.
struct FieldLine {
  std::string_view name;
  std::string_view value;
  bool hasValue = false;
};
FieldLine ParseFieldLine(std::string_view line);

}  // namespace host
