#include "host/word/HtmlCharset.h"

#include <algorithm>
#include <cstdint>

#include "platform/codepage/CodePage.h"
#include "platform/core/Text.h"
#include "platform/html/HtmlDocument.h"

namespace host::word {
namespace {

namespace cp = platform::codepage;

// Where the body element starts (its name in any letter case), or the end of the page.
size_t BodyStart(std::string_view bytes) {
  constexpr std::string_view kBody = "<body";
  const auto at = std::search(bytes.begin(), bytes.end(), kBody.begin(), kBody.end(), [](char byte, char letter) {
    return (byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte) == letter;
  });
  return static_cast<size_t>(at - bytes.begin());
}

// The code page that a meta element before the body declares; 0 when none declares one this
// layer knows. Markup and charset names are ASCII in every code page a page is written in, and
// none of their bytes is the second byte of a double-byte character, so the part before the
// body is read one character per byte, whatever it holds besides.
std::uint32_t DeclaredCodePage(std::string_view bytes) {
  constexpr std::uint32_t kOneCharacterPerByte = 1252;
  const std::string head = cp::AnsiToUtf8(bytes.substr(0, BodyStart(bytes)), kOneCharacterPerByte);
  const auto metas = platform::html::Document::FromText(head).getElementsByTagName("meta");
  for (size_t i = 0; i < metas.length(); ++i) {
    const auto meta = metas.item(i);
    std::uint32_t declared = cp::CodePageOfCharset(meta.getAttribute("charset"));
    const std::string equiv = platform::text::Trim(meta.getAttribute("http-equiv"));
    if (declared == 0 && platform::text::EqualsText(equiv, "content-type"))
      declared = cp::CodePageOfContentType(meta.getAttribute("content"));
    if (declared != 0) return declared;
  }
  return 0;
}

}  // namespace

std::string HtmlPageText(std::string_view bytes) {
  std::uint32_t page = bytes.starts_with("\xEF\xBB\xBF") ? cp::CP_UTF8 : DeclaredCodePage(bytes);
  if (page == 0) page = cp::GetACP();
  // Bytes that do not decode (also in a page that says it is UTF-8) become U+FFFD.
  return cp::AnsiToUtf8(bytes, page);
}

}  // namespace host::word
