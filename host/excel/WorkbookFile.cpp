#include "host/excel/WorkbookFile.h"

#include <cstring>

#include "host/files/LineFormat.h"
#include "host/files/PasswordHash.h"

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
  char digits[12];
  n = 0;
  for (unsigned r = static_cast<unsigned>(p.row); n == 0 || r > 0; r /= 10) digits[n++] = static_cast<char>('0' + r % 10);
  while (n > 0) out.push_back(digits[--n]);
}

// The file is made in a buffer of about this size, handed on whenever it fills: a workbook of
// many megabytes is never held whole, and the buffer's memory serves every piece.
constexpr size_t kPieceBytes = 256 * 1024;

}  // namespace

std::string CellRef(CellPosition p) {
  std::string ref;
  AppendCellRef(ref, p);
  return ref;
}

void WriteWorkbookFile(std::string_view passwordHash, const std::vector<const SheetData*>& sheets,
                       const WorkbookPieces& put) {
  std::string out;
  out.reserve(kPieceBytes + 4096);
  auto handOn = [&] {
    put(out);
    out.clear();
  };
  out.append(kWorkbookMagic).append("\nopen-password: ").append(passwordHash).append("\n");
  for (const SheetData* sheet : sheets) {
    out.append("sheet: ");
    AppendEscaped(out, sheet->name);
    out.push_back('\n');
    for (const auto& [position, value] : sheet->cells) {
      AppendCellRef(out, position);
      out.append(": ");
      // Most values hold nothing to escape: two vectorised searches tell so in a fraction of the
      // time the escaping walk takes over them byte by byte.
      if (std::memchr(value.data(), '\\', value.size()) || std::memchr(value.data(), '\n', value.size()))
        AppendEscaped(out, value);
      else
        out.append(value);
      out.push_back('\n');
      if (out.size() >= kPieceBytes) handOn();
    }
  }
  if (!out.empty()) handOn();
}

std::string WriteWorkbookFile(const WorkbookFile& file) {
  std::vector<const SheetData*> sheets;
  for (const auto& sheet : file.sheets) sheets.push_back(&sheet);
  std::string bytes;
  WriteWorkbookFile(file.passwordHash, sheets, [&](std::string_view piece) { bytes.append(piece); });
  return bytes;
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
