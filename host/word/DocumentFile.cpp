#include "host/word/DocumentFile.h"

#include "host/files/LineFormat.h"
#include "host/files/PasswordHash.h"

namespace host::word {

std::string WriteDocumentFile(const DocumentFile& file) {
  return std::string(kDocumentMagic) + "\nopen-password: " + file.passwordHash + "\n" + SerializeItems(file.items);
}

bool LooksLikeDocumentFile(std::string_view bytes) {
  return bytes.substr(0, kDocumentMagic.size() + 1) == std::string(kDocumentMagic) + "\n";
}

std::optional<DocumentFile> ReadDocumentFile(std::string_view bytes) {
  auto lines = SplitLines(bytes);
  if (lines.size() < 2 || lines[0] != kDocumentMagic) return std::nullopt;
  FieldLine password = ParseFieldLine(lines[1]);
  if (password.name != "open-password" || !password.hasValue || !IsPasswordHash(password.value)) return std::nullopt;
  auto items = ParseItems({lines.begin() + 2, lines.end()});
  if (!items) return std::nullopt;
  if (items->empty() || items->back().kind != Item::Kind::ParagraphMark) items->push_back(Item::Mark());
  return DocumentFile{std::string(password.value), std::move(*items)};
}

}  // namespace host::word
