// Document files of the emulated Word as a crash, another program or a hostile sender may leave
// them (the clipboard's story is read by the same reader). A file the reader takes must save and
// read back as it was, and its export as a web page, which Add, Save and Publish run, must write
// its pictures into their own folder and nowhere else.
#include "fuzz/WordChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = host::word::ReadDocumentFile(tavo::fuzz::Text(data, size));
  if (!file) return 0;
  tavo::fuzz::RequireSavesAndReadsBack(*file);
  tavo::fuzz::RequireExportStaysInItsFolder(file->items);
  return 0;
}
