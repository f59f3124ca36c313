#include "platform/codepage/Utf.h"

namespace platform::codepage::utf {

size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

bool Next(std::string_view text, size_t& i, char32_t* cp) {
  auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) {
    *cp = lead;
    ++i;
    return true;
  }
  size_t length = SequenceLength(lead);
  if (length == 1 || i + length > text.size()) {
    ++i;
    return false;
  }
  char32_t value = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return false;
    }
    value = value << 6 | (c & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++i;
    return false;
  }
  *cp = value;
  i += length;
  return true;
}

void Append(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
    return;
  }
  int length = cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
  static constexpr unsigned char kLeads[] = {0, 0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLeads[length] | (cp >> (6 * (length - 1))));
  for (int k = length - 2; k >= 0; --k) out += static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F));
}

}  // namespace platform::codepage::utf
