// The sign-in form's field encoding over any text a user can type as a name or password. What
// it writes must leave the field's bounds intact: the only ASCII characters in its output are
// letters, digits, "%" and "+". And where the text has no character the encoding cannot tell
// apart (NUL, whose "%0" runs into a following digit, and U+0001 and U+0002, which stand in for
// "%" and "+" while encoding), the service's standard form decoding gives back the text.
#include <cctype>
#include <string>

#include "common/signin/UrlEncode.h"
#include "fuzz/FuzzSupport.h"
#include "platform/codepage/CodePage.h"

namespace {

namespace cp = platform::codepage;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// application/x-www-form-urlencoded decoding with the ANSI code page: "%XX" is the character of
// that code, "+" a blank; the characters that were left unencoded pass as they are.
std::string FormDecode(std::string_view encoded) {
  std::string text;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    const char c = encoded[i];
    if (c == '+') {
      text += ' ';
    } else if (c == '%' && i + 2 < encoded.size() && HexValue(encoded[i + 1]) >= 0 && HexValue(encoded[i + 2]) >= 0) {
      text += cp::AnsiToUtf8(std::string(1, static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]))));
      i += 2;
    } else {
      text += c;
    }
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tavo::fuzz::Environment();
  const std::string_view input = tavo::fuzz::Text(data, size);
  // The program holds its text as UTF-8; what a user types always is.
  const std::string text = cp::Utf16ToUtf8(cp::Utf8ToUtf16(input));
  const std::string encoded = tavo::UrlEncode(text);
  for (unsigned char c : encoded)
    tavo::fuzz::Require(c >= 0x80 || std::isalnum(c) || c == '%' || c == '+', "only letters, digits, % and + in ASCII");
  if (text.find_first_of(std::string_view("\0\x01\x02", 3)) == std::string::npos)
    tavo::fuzz::Require(FormDecode(encoded) == text, "form decoding gives back the text");
  return 0;
}
