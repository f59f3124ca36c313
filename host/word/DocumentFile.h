#pragma once
// The document file of the emulated Word:
//   line 1  "TAVO-DOCUMENT/1"
//   line 2  "open-password: " + nothing, or a salted hash (host/files/PasswordHash.h)
//   then the story, one item per line (Story.h); lines end with LF.
#include <optional>
#include <string>
#include <string_view>

#include "host/word/Story.h"

namespace host::word {

inline constexpr std::string_view kDocumentMagic = "TAVO-DOCUMENT/1";

struct DocumentFile {
  std::string passwordHash;  // "" when the file has no open password
  Items items;               // ends with the final paragraph mark
};

std::string WriteDocumentFile(const DocumentFile& file);
// nullopt for bytes that are no document file.
std::optional<DocumentFile> ReadDocumentFile(std::string_view bytes);
bool LooksLikeDocumentFile(std::string_view bytes);

}  // namespace host::word
