#include "ExelAddin/sheetPlugin/source/CodePageText.h"

#include <algorithm>
#include <vector>

#include "platform/codepage/CodePage.h"
#include "platform/codepage/Utf.h"

namespace tavo::sheet {
namespace {

namespace cp = platform::codepage;

// The charset with which the spreadsheet service labels its answers.
constexpr std::string_view kAnswerCharset = "ISO-8859-1";

std::uint32_t Resolved(std::int32_t codePage) {
  return codePage == -1 ? cp::GetACP() : static_cast<std::uint32_t>(codePage);
}

bool IsUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    char32_t c = 0;
    if (!cp::utf::Next(bytes, i, &c)) return false;
  }
  return true;
}

}  // namespace

// Both conversions ask for the length first (the source marked as ending in a zero), then
// convert into a buffer of that length and drop the terminating zero.
std::string UnicodeToMultiByte(std::string_view text, std::int32_t codePage, std::uint32_t flags) {
  const std::u16string source = cp::Utf8ToUtf16(text);
  const std::uint32_t page = Resolved(codePage);
  const int needed = cp::WideCharToMultiByte(page, flags, source.c_str(), -1, nullptr, 0);
  if (needed <= 0) return {};
  std::vector<char> buffer(static_cast<size_t>(needed) + 1, '\0');
  const int written = cp::WideCharToMultiByte(page, flags, source.c_str(), -1, buffer.data(), needed + 1);
  return written <= 0 ? std::string() : std::string(buffer.data(), static_cast<size_t>(written) - 1);
}

std::string MultiByteToUnicode(std::string_view bytes, std::int32_t codePage, std::uint32_t flags) {
  const std::string source(bytes.substr(0, bytes.find('\0')));
  const std::uint32_t page = Resolved(codePage);
  const int needed = cp::MultiByteToWideChar(page, flags, source.c_str(), -1, nullptr, 0);
  if (needed <= 0) return {};
  std::vector<char16_t> buffer(static_cast<size_t>(needed) + 1, u'\0');
  const int written = cp::MultiByteToWideChar(page, flags, source.c_str(), -1, buffer.data(), needed + 1);
  return written <= 0 ? std::string() : cp::Utf16ToUtf8(std::u16string_view(buffer.data(), static_cast<size_t>(written) - 1));
}

std::string Utf8ToUnicode(std::string_view text) {
  if (text.empty()) return {};
  // Both code pages below keep ASCII as it is, so a text of ASCII alone comes back unchanged:
  // the conversions are spared for it (they cost a list of thousands of names more than the
  // rest of its search).
  if (std::all_of(text.begin(), text.end(), [](unsigned char c) { return c != 0 && c < 0x80; })) return std::string(text);
  // The answer was read in the code page of its label, whatever the system's code page is: the
  // bytes come back through that same page (on a double-byte system its own page would make other
  // bytes of the text, and the name would stay garbled).
  const std::uint32_t answerPage = cp::CodePageOfCharset(kAnswerCharset);
  if (!cp::Representable(text, answerPage)) return std::string(text);
  const std::string bytes = UnicodeToMultiByte(text, static_cast<std::int32_t>(answerPage), 0);
  if (!IsUtf8(bytes)) return std::string(text);
  return MultiByteToUnicode(bytes, cp::CP_UTF8, 0);
}

}  // namespace tavo::sheet
