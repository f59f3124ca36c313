#include "common/LanguageText.h"

#include "common/AddinState.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo {
namespace {

// Length of a UTF-8 text in UTF-16 code units, as the host's strings count characters.
std::size_t Utf16Length(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s) {
    if ((c & 0xC0) == 0x80) continue;
    n += c >= 0xF0 ? 2 : 1;
  }
  return n;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  platform::Raise(platform::err::TypeMismatch);
}

char HexByte(char high, char low) { return static_cast<char>(HexDigit(high) * 16 + HexDigit(low)); }

void Put(std::string& bytes, std::size_t at, char value) {
  if (at >= bytes.size()) platform::Raise(platform::err::SubscriptOutOfRange);
  bytes[at] = value;
}

}  // namespace

std::string UnicodeEscapeToBytes(std::string_view text) {
  std::vector<std::string> parts = platform::text::Split(text, "\\");
  // The array is sized from the text: its length less the number of separators, plus one, and
  // never less than the mark (a value of nothing but "\" would leave no room for it).
  const long separators = static_cast<long>(parts.size()) - 1;
  const long size = static_cast<long>(Utf16Length(text)) - separators + 1;
  std::string bytes(static_cast<std::size_t>(size > 2 ? size : 2), '\0');
  Put(bytes, 0, '\xFF');
  Put(bytes, 1, '\xFE');
  std::size_t at = 2;
  for (const std::string& part : parts) {
    std::string digits = platform::text::Replace(part, "u", "");
    if (Utf16Length(digits) < 4) continue;
    // Bytes that are not UTF-8 can count as four characters in fewer than four bytes; they are
    // no hexadecimal digits either way.
    if (digits.size() < 4) platform::Raise(platform::err::TypeMismatch);
    // Only the first four characters count; anything after them is ignored.
    Put(bytes, at, HexByte(digits[2], digits[3]));
    Put(bytes, at + 1, HexByte(digits[0], digits[1]));
    at += 2;
  }
  return bytes;
}

std::string EscapedTextToUtf8(std::string_view text) {
  std::string bytes = UnicodeEscapeToBytes(text);
  std::size_t end = 2;  // past the FF FE mark
  while (end + 1 < bytes.size() && (bytes[end] != '\0' || bytes[end + 1] != '\0')) end += 2;
  return platform::codepage::Utf16LeBytesToUtf8(std::string_view(bytes).substr(2, end - 2));
}

std::string DisplayText(const AddinState& state, std::string_view text) {
  if (state.gLanguageName == "english") return std::string(text);
  return EscapedTextToUtf8(text);
}

std::string DisplayMessageText(const AddinState& state, std::string_view text) {
  if (state.gLanguageName == "english") return std::string(text);
  auto isHex = [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  };
  std::u16string units;
  std::size_t plainStart = 0;
  auto flushPlain = [&](std::size_t end) {
    units += platform::codepage::Utf8ToUtf16(text.substr(plainStart, end - plainStart));
  };
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '\\' && i + 5 < text.size() && text[i + 1] == 'u' && isHex(text[i + 2]) &&
        isHex(text[i + 3]) && isHex(text[i + 4]) && isHex(text[i + 5])) {
      flushPlain(i);
      units.push_back(static_cast<char16_t>(HexDigit(text[i + 2]) << 12 | HexDigit(text[i + 3]) << 8 |
                                            HexDigit(text[i + 4]) << 4 | HexDigit(text[i + 5])));
      i += 6;
      plainStart = i;
    } else {
      ++i;
    }
  }
  flushPlain(text.size());
  if (!units.empty() && units.front() == u'\uFEFF') units.erase(0, 1);
  if (auto nul = units.find(u'\0'); nul != std::u16string::npos) units.resize(nul);
  return platform::codepage::Utf16ToUtf8(units);
}

std::string LanguageText(const AddinState& state, std::string_view key) {
  return DisplayText(state, state.strings[key]);
}

}  // namespace tavo
