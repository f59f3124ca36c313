#include "common/StoredSecret.h"

#include "common/AddinState.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/Text.h"
#include "platform/xml/Base64.h"
#include "platform/xml/XmlDocument.h"

namespace tavo {

std::string EncodeBase64(std::string_view text) {
  std::string bytes = platform::codepage::Utf8ToUtf16LeBytes(text);
  bytes.push_back('\0');
  return platform::xml::Base64Encode(bytes);
}

std::string DecodeBase64(std::string_view encoded) {
  platform::xml::Document doc;
  doc.loadXML("<DECODER xmlns:dt=\"urn:schemas-microsoft-com:datatypes\" dt:dt=\"bin.base64\">" +
              std::string(encoded) + "</DECODER>");
  // A text that breaks the markup leaves the document empty, and reading the missing node fails.
  return doc.selectSingleNode("DECODER").nodeTypedValue();
}

std::string DecodeStoredSecret(std::string_view encoded) {
  return platform::text::Trim(platform::codepage::Utf16LeBytesToUtf8(DecodeBase64(encoded)));
}

std::string CredentialsFilePath(const AddinState& state) {
  return platform::text::Trim(state.gUserDataFolder) + std::string(state.params.credentialsFileName);
}

void WriteCredentialsFile(const AddinState& state, std::string_view path) {
  platform::xml::Document doc;
  doc.loadXML("<xml><username>" + state.gEncodedUser + "</username><password>" + state.gEncodedPassword +
              "</password></xml>");
  doc.save(path);
}

StoredCredentials ReadCredentialsFile(std::string_view path) {
  platform::xml::Document doc;
  doc.load(path);
  platform::xml::Node root = doc.documentElement();
  return {DecodeStoredSecret(root.child(0).text()), DecodeStoredSecret(root.child(1).text())};
}

}  // namespace tavo
