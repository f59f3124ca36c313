// Pages the emulated Word opens: the document the add-in downloads, a page saved on disk. The input
// is the page, then (after a 0x1F byte) the bytes every local picture it names reads as. Whatever
// the page, the document made of it saves and reads back as it was, and its export writes its
// pictures only into their own folder. The picture bytes also go through the size reader of an
// inserted picture.
#include <optional>
#include <string>

#include "fuzz/WordChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tavo::fuzz::Environment();  // the page's charset falls back to the system code page
  std::string_view rest = tavo::fuzz::Text(data, size);
  const std::string_view page = tavo::fuzz::TakePiece(rest);
  const std::string picture(rest);
  const host::word::Items items =
      host::word::ImportHtml(page, [&picture](std::string_view) { return std::optional<std::string>(picture); });
  tavo::fuzz::RequireSavesAndReadsBack({"", items});
  tavo::fuzz::RequireExportStaysInItsFolder(items);
  for (const char* type : {"png", "gif", "jpg"}) {
    const auto inserted = host::word::PictureFromFile(type, picture);
    tavo::fuzz::Require(inserted && host::word::PictureLength(inserted->width) == inserted->width &&
                            host::word::PictureLength(inserted->height) == inserted->height,
                        "an inserted picture's size is a length the document keeps");
  }
  return 0;
}
