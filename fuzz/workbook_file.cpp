// Workbook files of the emulated Excel as a crash, another program, the service's downloads or a
// hostile sender may leave them. A file the reader takes must save and read back as it was: its
// password, its sheets in order with their names, and every cell.
#include "fuzz/FuzzSupport.h"
#include "host/excel/WorkbookFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace host::excel;
  const auto file = ReadWorkbookFile(tavo::fuzz::Text(data, size));
  if (!file) return 0;
  const std::string written = WriteWorkbookFile(*file);
  const auto again = ReadWorkbookFile(written);
  tavo::fuzz::Require(again.has_value(), "a workbook Excel holds saves to a file it opens again");
  tavo::fuzz::Require(again->passwordHash == file->passwordHash, "the open password reads back");
  tavo::fuzz::Require(again->sheets.size() == file->sheets.size(), "every sheet reads back");
  for (size_t i = 0; i < file->sheets.size(); ++i)
    tavo::fuzz::Require(
        again->sheets[i].name == file->sheets[i].name && again->sheets[i].cells == file->sheets[i].cells,
        "every sheet reads back with its name and cells");
  return 0;
}
