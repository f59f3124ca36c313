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

namespace {

void AppendCellRef(std::string& out, CellPosition p) {
  char letters[8];
  size_t n = 0;
  for (int c = p.column; c > 0 && n < sizeof letters; c = (c - 1) / 26) letters[n++] = static_cast<char>('A' + (c - 1) % 26);
  while (n > 0) out.push_back(letters[--n]);
  out.append(std::to_string(p.row));
}

}  // namespace

std::string CellRef(CellPosition p) {
  std::string ref;
  AppendCellRef(ref, p);
  return ref;
}

std::string WriteWorkbookFile(const WorkbookFile& file) {
  std::vector<const SheetData*> sheets;
  for (const auto& sheet : file.sheets) sheets.push_back(&sheet);
  return WriteWorkbookFile(file.passwordHash, sheets);
}

std::string WriteWorkbookFile(std::string_view passwordHash, const std::vector<const SheetData*>& sheets) {
  // Sized first (a reference is at most 10 characters; escapes may add a little), then written
  // in place: a workbook of many megabytes is neither copied nor built from temporary pieces.
  size_t size = kWorkbookMagic.size() + passwordHash.size() + 32;
  for (const SheetData* sheet : sheets) {
    size += sheet->name.size() + 16;
    for (const auto& [position, value] : sheet->cells) size += value.size() + 13;
  }
  std::string out;
  out.reserve(size);
  out.append(kWorkbookMagic).append("\nopen-password: ").append(passwordHash).append("\n");
  for (const SheetData* sheet : sheets) {
    out.append("sheet: ");
    AppendEscaped(out, sheet->name);
    out.push_back('\n');
    for (const auto& [position, value] : sheet->cells) {
      AppendCellRef(out, position);
      out.append(": ");
      AppendEscaped(out, value);
      out.push_back('\n');
    }
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
