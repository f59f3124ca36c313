#include "host/files/LineFormat.h"

namespace host {

void AppendEscaped(std::string& out, std::string_view value) {
  // Runs without a character to escape go in whole: values are mostly such runs.
  const char* run = value.data();
  const char* const end = run + value.size();
  for (const char* p = run; p != end; ++p) {
    if (*p != '\\' && *p != '\n') continue;
    out.append(run, p).append(*p == '\\' ? "\\\\" : "\\n");
    run = p + 1;
  }
  out.append(run, end);
}

std::string EscapeValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  AppendEscaped(out, value);
  return out;
}

std::optional<std::string> UnescapeValue(std::string_view escaped) {
  std::string out;
  out.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    char c = escaped[i];
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (++i == escaped.size()) return std::nullopt;
    if (escaped[i] == '\\') out.push_back('\\');
    else if (escaped[i] == 'n') out.push_back('\n');
    else return std::nullopt;
  }
  return out;
}

std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

FieldLine ParseFieldLine(std::string_view line) {
  FieldLine field;
  auto colon = line.find(": ");
  if (colon == std::string_view::npos) {
    if (!line.empty() && line.back() == ':') {
      field.name = line.substr(0, line.size() - 1);
      field.hasValue = true;
    } else {
      field.name = line;
    }
    return field;
  }
  field.name = line.substr(0, colon);
  field.value = line.substr(colon + 2);
  field.hasValue = true;
  return field;
}

}  // namespace host
