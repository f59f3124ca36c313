#pragma once
// The workbook file of the emulated Excel, also written by the stand-in service for its seed
// data:
//   line 1  "TAVO-WORKBOOK/1"
//   line 2  "open-password: " + nothing, or a salted hash (host/files/PasswordHash.h)
//   then "sheet: <name>" lines, each followed by its cells "<A1-style ref>: <value>" (values
//   escaped: "\" as "\\", a line break as "\n"); lines end with LF. Cells are written row by row.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace host::excel {

inline constexpr std::string_view kWorkbookMagic = "TAVO-WORKBOOK/1";

// A cell position, row-major so that cells sort row by row; both 1-based.
struct CellPosition {
  int row = 0;
  int column = 0;
  auto operator<=>(const CellPosition&) const = default;
};

// "B12" -> {12, 2}; nullopt for anything else ("b12" is accepted).
std::optional<CellPosition> ParseCellRef(std::string_view ref);
std::string CellRef(CellPosition position);

struct SheetData {
  std::string name;
  std::map<CellPosition, std::string> cells;
};

struct WorkbookFile {
  std::string passwordHash;  // "" when the file has no open password
  std::vector<SheetData> sheets;
};

std::string WriteWorkbookFile(const WorkbookFile& file);
// The same bytes for sheets held elsewhere (an open workbook's, not copied), handed to `put` a
// piece at a time, in order, so that they can go to a file as they are made.
using WorkbookPieces = std::function<void(std::string_view piece)>;
void WriteWorkbookFile(std::string_view passwordHash, const std::vector<const SheetData*>& sheets,
                       const WorkbookPieces& put);
// nullopt for bytes that are no workbook file.
std::optional<WorkbookFile> ReadWorkbookFile(std::string_view bytes);

}  // namespace host::excel
