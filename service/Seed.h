#pragma once
// Seed data: workbook files in the emulated spreadsheet's container format, and the demo
// account.
#include <string>
#include <utility>
#include <vector>

namespace tavo::service {

class Server;

struct SeedSheet {
  std::string name;
  std::vector<std::pair<std::string, std::string>> cells;  // A1-style ref, value; row by row
};

// The workbook file the emulated spreadsheet reads:
//   "TAVO-WORKBOOK/1", "open-password: " (empty: no password), then per sheet
//   "sheet: <name>" and its cells "<ref>: <value>" (values escaped: "\" as "\\", line break
//   as "\n"); every line ends with LF.
std::string WorkbookFile(const std::vector<SeedSheet>& sheets);

struct DemoSeed {
  std::vector<std::string> documentIds;  // Welcome, Bob's notes, Draft: plan? (auto-saved), Trip report
  std::vector<std::string> workbookIds;  // Müller, Budget
};

// The account demo@tavo.example / demo-pass with a few documents (one whose version is
// negative, shown as auto-saved; one holding a picture the service serves) and workbooks
// (one named Müller, one Budget).
DemoSeed SeedDemo(Server& server);

}  // namespace tavo::service
