// The tolerant Base64 decoder against the plain statement of its rules, and both encoders
// against it. The decoder works in wide strides over the input, so a reference that walks the
// text one character at a time tells a wrong byte from a right one:
//  - every CR LF pair goes, then every "="; nothing else is removed;
//  - each character left counts by the low 8 bits of its UTF-16 code unit, anything outside
//    the alphabet as "A";
//  - groups of 4 give 3 bytes; a tail of 1, 2 or 3 characters gives 1 (zero), 1 or 2 bytes;
//  - nothing left to decode is run-time error 9.
#include <optional>
#include <string>

#include "common/Base64.h"
#include "fuzz/FuzzSupport.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/RuntimeError.h"

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::optional<std::string> ReferenceDecode(std::string_view text) {
  std::u16string units = platform::codepage::Utf8ToUtf16(text);
  std::u16string kept;
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') {
      ++i;
      continue;
    }
    kept += units[i];
  }
  std::string values;
  for (char16_t unit : kept) {
    if (unit == u'=') continue;
    const std::size_t at = kAlphabet.find(static_cast<char>(unit & 0xFF));
    values += static_cast<char>(at == std::string_view::npos ? 0 : at);
  }
  if (values.empty()) return std::nullopt;
  std::string bytes;
  std::size_t i = 0;
  auto v = [&](std::size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(values[k])); };
  for (; i + 4 <= values.size(); i += 4) {
    bytes += static_cast<char>((v(i) << 2) | (v(i + 1) >> 4));
    bytes += static_cast<char>((v(i + 1) << 4) | (v(i + 2) >> 2));
    bytes += static_cast<char>((v(i + 2) << 6) | v(i + 3));
  }
  const std::size_t tail = values.size() - i;
  if (tail == 1) bytes += '\0';
  if (tail >= 2) bytes += static_cast<char>((v(i) << 2) | (v(i + 1) >> 4));
  if (tail == 3) bytes += static_cast<char>((v(i + 1) << 4) | (v(i + 2) >> 2));
  return bytes;
}

std::optional<std::string> Decoded(std::string_view text) {
  try {
    return tavo::base64module().DecodeArr(text);
  } catch (const platform::RuntimeError& e) {
    tavo::fuzz::Require(e.number() == platform::err::SubscriptOutOfRange, "the decoder fails only with error 9");
    return std::nullopt;
  }
}

// Base64 length L of n bytes, and the breaks each encoder adds to it.
std::size_t Unbroken(std::size_t n) { return (n + 2) / 3 * 4; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavo;
  fuzz::Environment();
  const std::string_view input = fuzz::Text(data, size);

  fuzz::Require(Decoded(input) == ReferenceDecode(input), "DecodeArr decodes as the rules say");

  // The same bytes through both encoders come back unchanged, with the line breaks each places.
  if (input.empty()) return 0;
  const std::size_t L = Unbroken(input.size());
  const std::string arr = base64module().EncodeArr(input);
  const std::string byteArray = Base64Class().EncodeByteArray(input);
  fuzz::Require(arr.size() == L + (L > 76 ? 2 * (L / 76) : 0), "EncodeArr breaks after every 76 characters");
  fuzz::Require(byteArray.size() == L + 2 * (L / 76) - (L % 76 == 0 ? 2 : 0),
                "EncodeByteArray never ends with a break");
  fuzz::Require(Decoded(arr) == std::string(input), "EncodeArr round trip");
  fuzz::Require(Decoded(byteArray) == std::string(input), "EncodeByteArray round trip");
  return 0;
}
