#pragma once
// What the fuzz targets of the emulated Word's readers require of every document they make: it
// saves to a document file that reads back as it was written, and its export as a web page
// writes each picture into the export's own folder, under a name of a picture type.
#include <string>

#include "fuzz/FuzzSupport.h"
#include "host/word/DocumentFile.h"
#include "host/word/Html.h"

namespace tavo::fuzz {

inline void RequireSavesAndReadsBack(const host::word::DocumentFile& file) {
  const std::string written = host::word::WriteDocumentFile(file);
  const auto again = host::word::ReadDocumentFile(written);
  Require(again.has_value(), "a document Word holds saves to a file it opens again");
  Require(again->passwordHash == file.passwordHash, "the open password reads back");
  Require(host::word::WriteDocumentFile(*again) == written, "the document reads back as it was written");
}

inline void RequireExportStaysInItsFolder(const host::word::Items& items) {
  for (const auto& [name, bytes] : host::word::ExportHtml(items, "page").files) {
    const auto dot = name.rfind('.');
    Require(name.find_first_of("\\/:") == std::string::npos && name.starts_with("image") && dot != std::string::npos &&
                host::word::IsPictureType(name.substr(dot + 1)),
            "every picture file of the export is a plain name of a picture type");
  }
}

}  // namespace tavo::fuzz
