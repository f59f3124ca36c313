#include "platform/xml/Base64.h"

#include <array>
#include <cstdint>

namespace platform::xml {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> MakeDecodeTable() {
  std::array<std::int8_t, 256> table{};
  for (auto& v : table) v = -1;
  for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
  return table;
}
constexpr auto kDecode = MakeDecodeTable();

bool Ignored(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  auto at = [&](size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])); };
  for (; i + 3 <= bytes.size(); i += 3) {
    std::uint32_t v = at(i) << 16 | at(i + 1) << 8 | at(i + 2);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  size_t left = bytes.size() - i;
  if (left > 0) {
    std::uint32_t v = at(i) << 16 | (left == 2 ? at(i + 1) << 8 : 0);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += left == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool Base64Decode(std::string_view text, std::string* bytes) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  std::uint32_t accumulator = 0;
  size_t digits = 0, padding = 0;
  for (char c : text) {
    if (Ignored(c)) continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    std::int8_t v = kDecode[static_cast<unsigned char>(c)];
    if (v < 0 || padding > 0) return false;
    accumulator = accumulator << 6 | static_cast<std::uint32_t>(v);
    if (++digits % 4 == 0) {
      out += static_cast<char>(accumulator >> 16);
      out += static_cast<char>(accumulator >> 8);
      out += static_cast<char>(accumulator);
      accumulator = 0;
    }
  }
  size_t tail = digits % 4;
  if (tail == 1 || padding > 2 || (padding > 0 && (tail + padding) % 4 != 0)) return false;
  if (tail == 2) out += static_cast<char>(accumulator >> 4);
  if (tail == 3) {
    out += static_cast<char>(accumulator >> 10);
    out += static_cast<char>(accumulator >> 2);
  }
  *bytes = std::move(out);
  return true;
}

}  // namespace platform::xml
