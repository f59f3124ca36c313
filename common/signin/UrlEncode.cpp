#include "common/signin/UrlEncode.h"

#include <map>
#include <optional>

#include "platform/codepage/CodePage.h"

namespace tavo {
namespace {

namespace cp = platform::codepage;

// Stand-ins for "%" and "+" while the other characters are encoded: the encoding leaves the
// codes of "%" and "+" alone, so both are marked first and the marks written as %25 and %2B.
constexpr char16_t kPercentMark = 0x01;
constexpr char16_t kPlusMark = 0x02;

// The character that each single-byte code of the ANSI code page stands for.
std::map<char16_t, int> AnsiCodes() {
  std::map<char16_t, int> codes;
  for (int c = 0; c < 256; ++c) {
    const std::u16string units = cp::Utf8ToUtf16(cp::AnsiToUtf8(std::string(1, static_cast<char>(c))));
    if (units.size() != 1 || units[0] == u'\uFFFD') continue;  // a lead byte, or no character
    codes.emplace(units[0], c);
  }
  return codes;
}

std::string Hex(int c) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  if (c >= 16) out += kDigits[c / 16];
  out += kDigits[c % 16];
  return out;
}

std::optional<std::string> Encoded(int c) {
  const bool kept = c == '%' || c == '+' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (kept) return std::nullopt;
  if (c == kPercentMark) return "%25";
  if (c == kPlusMark) return "%2B";
  if (c == ' ') return "+";
  if (c >= 3 && c <= 15) return "%0" + Hex(c);
  return "%" + Hex(c);
}

}  // namespace

std::string UrlEncode(std::string_view text) {
  const std::map<char16_t, int> codes = AnsiCodes();
  std::string out;
  std::u16string unchanged;  // a run of characters written as they are
  for (char16_t unit : cp::Utf8ToUtf16(text)) {
    if (unit == u'%') unit = kPercentMark;
    else if (unit == u'+') unit = kPlusMark;
    const auto code = codes.find(unit);
    const std::optional<std::string> encoded = code == codes.end() ? std::nullopt : Encoded(code->second);
    if (!encoded) {
      unchanged += unit;
      continue;
    }
    out += cp::Utf16ToUtf8(unchanged) + *encoded;
    unchanged.clear();
  }
  return out + cp::Utf16ToUtf8(unchanged);
}

}  // namespace tavo
