#include "host/excel/WorkbookFile.h"

#include "host/common/LineFormat.h"
#include "host/common/PasswordHash.h"

namespace host::excel {

std::optional<CellPosition> ParseCellRef(std::string_view ref) {
  CellPosition p;
  size_t i = 0;
  for (; i < ref.size(); ++i) {
    char c = ref[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c < 'A' || c > 'Z') break;
    p.column = p.column * 26 + (c - 'A' + 1);
    if (p.column > 16384) return std::nullopt;
  }
  if (i == 0 || i == ref.size() || ref[i] == '0') return std::nullopt;
  for (; i < ref.size(); ++i) {
    if (ref[i] < '0' || ref[i] > '9') return std::nullopt;
    p.row = p.row * 10 + (ref[i] - '0');
    if (p.row > 1048576) return std::nullopt;
  }
  return p;
}

std::string CellRef(CellPosition p) {
  std::string letters;
  for (int c = p.column; c > 0; c = (c - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters + std::to_string(p.row);
}

std::string WriteWorkbookFile(const WorkbookFile& file) {
  std::string out = std::string(kWorkbookMagic) + "\nopen-password: " + file.passwordHash + "\n";
  for (const auto& sheet : file.sheets) {
    out += "sheet: " + EscapeValue(sheet.name) + "\n";
    for (const auto& [position, value] : sheet.cells) out += CellRef(position) + ": " + EscapeValue(value) + "\n";
  }
  return out;
}

std::optional<WorkbookFile> ReadWorkbookFile(std::string_view bytes) {
  auto lines = SplitLines(bytes);
  if (lines.size() < 2 || lines[0] != kWorkbookMagic) return std::nullopt;
  FieldLine password = ParseFieldLine(lines[1]);
  if (password.name != "open-password" || !password.hasValue || !IsPasswordHash(password.value)) return std::nullopt;
  WorkbookFile file{std::string(password.value), {}};
  for (size_t i = 2; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    FieldLine field = ParseFieldLine(lines[i]);
    if (!field.hasValue) return std::nullopt;
    auto value = UnescapeValue(field.value);
    if (!value) return std::nullopt;
    if (field.name == "sheet") {
      file.sheets.push_back({std::move(*value), {}});
      continue;
    }
    auto position = ParseCellRef(field.name);
    if (!position || file.sheets.empty()) return std::nullopt;
    file.sheets.back().cells[*position] = std::move(*value);
  }
  return file;
}

}  // namespace host::excel
