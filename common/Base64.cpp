#include "common/Base64.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/codepage/CodePage.h"
#include "platform/core/RuntimeError.h"
#include "platform/files/Files.h"

namespace tavo {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kLineBytes = 57;  // 19 groups make one line of 76 characters
constexpr std::size_t kLineGroups = kLineBytes / 3;
constexpr std::uint8_t kSkip = 0x80;  // decode-table mark of CR and "="

struct Tables {
  std::uint16_t pairs[4096];  // the two characters of every 12-bit value, in memory order
  // Decode tables: the value of a character at each of the four places of a group, shifted into
  // place; CR and "=" carry kSkipBit, characters outside the alphabet count 0.
  std::uint32_t place[4][256];
  std::uint8_t decode[256];
};

constexpr std::uint32_t kSkipBit = 1u << 24;

constexpr Tables MakeTables() {
  Tables t{};
  const bool little = std::endian::native == std::endian::little;
  for (int v = 0; v < 4096; ++v) {
    auto first = static_cast<std::uint16_t>(static_cast<unsigned char>(kAlphabet[v >> 6]));
    auto second = static_cast<std::uint16_t>(static_cast<unsigned char>(kAlphabet[v & 63]));
    t.pairs[v] = little ? static_cast<std::uint16_t>(first | (second << 8)) : static_cast<std::uint16_t>((first << 8) | second);
  }
  for (int i = 0; i < 64; ++i) t.decode[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::uint8_t>(i);
  t.decode[static_cast<unsigned char>('\r')] = kSkip;
  t.decode[static_cast<unsigned char>('=')] = kSkip;
  for (int c = 0; c < 256; ++c) {
    const std::uint32_t v = t.decode[c];
    for (int placeIndex = 0; placeIndex < 4; ++placeIndex)
      t.place[placeIndex][c] = v == kSkip ? kSkipBit : v << (6 * (3 - placeIndex));
  }
  return t;
}
constexpr Tables kTables = MakeTables();

inline void PutPair(char* out, std::uint32_t v) { std::memcpy(out, &kTables.pairs[v], 2); }

inline char* EncodeGroups(const unsigned char* in, std::size_t groups, char* out) {
  std::size_t g = 0;
  // Two groups at a time from one 8-byte load while at least 8 bytes can be read.
  for (; g + 3 <= groups; g += 2, in += 6, out += 8) {
    std::uint64_t v;
    std::memcpy(&v, in, 8);
    if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
    const std::uint64_t p0 = kTables.pairs[(v >> 52) & 0xFFF], p1 = kTables.pairs[(v >> 40) & 0xFFF];
    const std::uint64_t p2 = kTables.pairs[(v >> 28) & 0xFFF], p3 = kTables.pairs[(v >> 16) & 0xFFF];
    const std::uint64_t chars = std::endian::native == std::endian::little
                                    ? p0 | (p1 << 16) | (p2 << 32) | (p3 << 48)
                                    : (p0 << 48) | (p1 << 32) | (p2 << 16) | p3;
    std::memcpy(out, &chars, 8);
  }
  for (; g < groups; ++g, in += 3, out += 4) {
    std::uint32_t v = (std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) | in[2];
    PutPair(out, v >> 12);
    PutPair(out + 2, v & 0xFFF);
  }
  return out;
}

// Encodes n bytes with the "=" completion of a short last group.
inline char* EncodeRun(const unsigned char* in, std::size_t n, char* out) {
  out = EncodeGroups(in, n / 3, out);
  in += n / 3 * 3;
  switch (n % 3) {
    case 1: {
      PutPair(out, std::uint32_t{in[0]} << 4);
      out[2] = out[3] = '=';
      out += 4;
      break;
    }
    case 2: {
      std::uint32_t v = (std::uint32_t{in[0]} << 10) | (std::uint32_t{in[1]} << 2);
      PutPair(out, v >> 6);
      out[2] = kAlphabet[v & 63];
      out[3] = '=';
      out += 4;
      break;
    }
    default:
      break;
  }
  return out;
}

const unsigned char* Bytes(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

std::size_t EncodedLength(std::size_t n) { return (n + 2) / 3 * 4; }

// The text as the decoder sees it: one unit per UTF-16 code unit, its low 8 bits, with every
// CR LF pair and every "=" already dropped. Only needed for text with non-ASCII characters.
std::string FilteredLowBytes(std::string_view text) {
  std::u16string units = platform::codepage::Utf8ToUtf16(text);
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    char16_t u = units[i];
    if (u == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') {
      ++i;
      continue;
    }
    if (u == u'=') continue;
    auto low = static_cast<unsigned char>(u & 0xFF);
    // A low byte that reads as CR or "=" belongs to another character: it decodes as 0, like "A".
    out.push_back(kTables.decode[low] == kSkip ? 'A' : static_cast<char>(low));
  }
  return out;
}

// Runs over every byte of the decoder's input, so it must cost little beside the decoding: whole
// words are or-ed together, a loop the compiler vectorises (a byte loop with an early exit it
// cannot, and on a large text that loop took twice as long as the decoding itself).
bool HasNonAscii(std::string_view s) {
  std::uint64_t any = 0;
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    any |= word;
  }
  for (; i < s.size(); ++i) any |= static_cast<unsigned char>(s[i]);
  return (any & 0x8080808080808080u) != 0;
}

}  // namespace

namespace base64 {

namespace {

// Where the line breaks of the text of `n` bytes fall. Lines are counted in characters: a last
// line of 76 may hold fewer than 57 bytes, its last group completed with "=".
struct Lines {
  std::size_t length;     // the Base64 text without breaks
  std::size_t fullLines;  // lines of 76 characters
  bool breakAfterLast;    // whether the last full line is followed by a break too
  std::size_t breaks() const { return fullLines == 0 ? 0 : fullLines - 1 + (breakAfterLast ? 1 : 0); }
  std::size_t size() const { return length + 2 * breaks(); }
};

Lines LinesOf(std::size_t n, FinalBreak finalBreak) {
  const std::size_t length = EncodedLength(n);
  const std::size_t groups = (n + 2) / 3;
  // A break follows every full line except one that ends the text, which gets one only when
  // asked for and the text is longer than one line.
  return {length, groups / kLineGroups,
          groups % kLineGroups != 0 || (finalBreak == FinalBreak::AfterFullLastLine && length > 76)};
}

// Writes the text of `n` bytes broken as `lines` says; returns the end.
char* PutLines(const unsigned char* in, std::size_t n, const Lines& lines, char* o) {
  std::size_t left = n;
  for (std::size_t line = 0; line < lines.fullLines; ++line) {
    const std::size_t take = left < kLineBytes ? left : kLineBytes;
    o = EncodeRun(in, take, o);
    in += take;
    left -= take;
    if (line + 1 < lines.fullLines || lines.breakAfterLast) {
      o[0] = '\r';
      o[1] = '\n';
      o += 2;
    }
  }
  return EncodeRun(in, left, o);
}

static_assert(kFilePieceBytes % kLineBytes == 0, "a file's pieces are whole lines");

}  // namespace

std::string EncodeLines(std::string_view bytes, FinalBreak finalBreak) {
  const Lines lines = LinesOf(bytes.size(), finalBreak);
  // A little room is kept after the text: a request that wraps its few hundred characters of
  // markup around it can then do so in place instead of copying the whole text.
  std::string out;
  out.reserve(lines.size() + kRoomAround);
  out.resize(lines.size());
  PutLines(Bytes(bytes), bytes.size(), lines, out.data());
  return out;
}

std::string EncodeFileLines(std::string_view path, FinalBreak finalBreak) {
  platform::files::PieceReader file(path);
  std::string out;
  out.reserve(LinesOf(file.Length(), finalBreak).size() + kRoomAround);
  std::string piece(kFilePieceBytes, '\0');
  std::size_t total = 0;
  std::size_t n = 0;
  do {
    n = file.Read(piece.data(), piece.size());
    total += n;
    // Every full line of a piece is written with its break, since more text may follow; only
    // the text's last line can be one that goes without (within the room reserved).
    Lines lines = LinesOf(n, finalBreak);
    lines.breakAfterLast = true;
    const std::size_t at = out.size();
    out.resize(at + lines.size());
    PutLines(Bytes(piece), n, lines, out.data() + at);
  } while (n == piece.size());
  // A text that ends with a full line keeps its break only when the whole text would.
  if (out.ends_with("\r\n") && !LinesOf(total, finalBreak).breakAfterLast) out.resize(out.size() - 2);
  return out;
}

}  // namespace base64

std::string base64module::Encode(std::string_view sInput) {
  if (sInput.empty()) return {};
  return EncodeArr(platform::codepage::Utf8ToAnsi(sInput));
}

std::string base64module::EncodeFromFile(std::string_view sFileName) {
  try {
    return base64::EncodeFileLines(sFileName, base64::FinalBreak::AfterFullLastLine);
  } catch (const platform::RuntimeError&) {
    return {};
  }
}

std::string base64module::EncodeArr(std::string_view bytInput) {
  return base64::EncodeLines(bytInput, base64::FinalBreak::AfterFullLastLine);
}

std::string base64module::Decode(std::string_view sInput) {
  if (sInput.empty()) return {};
  return platform::codepage::AnsiToUtf8(DecodeArr(sInput));
}

void base64module::DecodeToFile(std::string_view sInput, std::string_view sFileName) {
  constexpr long kFileExists = -2147220504;  // the COM interface error base + 1000
  if (platform::files::FileExists(sFileName))
    platform::Raise(kFileExists, "File already exists.", "Base64.DecodeToFile");
  platform::files::WriteAllBytes(sFileName, DecodeArr(sInput));
}

std::string base64module::DecodeArr(std::string_view sInput) {
  std::string filtered;
  if (HasNonAscii(sInput)) {
    filtered = FilteredLowBytes(sInput);
    sInput = filtered;
  }
  std::string out(sInput.size() / 4 * 3 + 8, '\0');  // room for the widest store
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  const unsigned char* p = Bytes(sInput);
  const unsigned char* const end = p + sInput.size();
  const std::uint8_t* const t = kTables.decode;
  std::uint8_t quad[4];
  int held = 0;
  std::size_t groups = 0;

  while (p < end) {
    if (held == 0) {
      // Whole groups without CR or "=" go straight through, two at a time where possible.
      while (end - p >= 8) {
        const std::uint32_t x = kTables.place[0][p[0]] | kTables.place[1][p[1]] | kTables.place[2][p[2]] |
                                kTables.place[3][p[3]];
        const std::uint32_t y = kTables.place[0][p[4]] | kTables.place[1][p[5]] | kTables.place[2][p[6]] |
                                kTables.place[3][p[7]];
        if ((x | y) & kSkipBit) break;
        const std::uint64_t six = (std::uint64_t{x} << 24) | y;  // the 6 bytes in the low 48 bits
        const std::uint64_t bytes = std::endian::native == std::endian::little ? __builtin_bswap64(six << 16) : six << 16;
        std::memcpy(o, &bytes, 8);
        o += 6;
        p += 8;
        groups += 2;
      }
      while (end - p >= 4) {
        const std::uint32_t x = kTables.place[0][p[0]] | kTables.place[1][p[1]] | kTables.place[2][p[2]] |
                                kTables.place[3][p[3]];
        if (x & kSkipBit) break;
        // One 4-byte store of the 3 bytes; the buffer has room for the extra one.
        const std::uint32_t three = std::endian::native == std::endian::little ? __builtin_bswap32(x << 8) : x << 8;
        std::memcpy(o, &three, 4);
        o += 3;
        p += 4;
        ++groups;
      }
      if (p == end) break;
    }
    std::uint8_t v = t[*p];
    if (v == kSkip) {
      if (*p == '=') {
        ++p;
        continue;
      }
      if (p + 1 < end && p[1] == '\n') {
        p += 2;
        continue;
      }
      v = 0;  // a lone CR is just another character outside the alphabet
    }
    quad[held++] = v;
    ++p;
    if (held == 4) {
      o[0] = static_cast<unsigned char>((quad[0] << 2) | (quad[1] >> 4));
      o[1] = static_cast<unsigned char>((quad[1] << 4) | (quad[2] >> 2));
      o[2] = static_cast<unsigned char>((quad[2] << 6) | quad[3]);
      o += 3;
      held = 0;
      ++groups;
    }
  }
  if (groups == 0 && held == 0) platform::Raise(platform::err::SubscriptOutOfRange);
  switch (held) {
    case 1:
      *o++ = 0;
      break;
    case 2:
      *o++ = static_cast<unsigned char>((quad[0] << 2) | (quad[1] >> 4));
      break;
    case 3:
      *o++ = static_cast<unsigned char>((quad[0] << 2) | (quad[1] >> 4));
      *o++ = static_cast<unsigned char>((quad[1] << 4) | (quad[2] >> 2));
      break;
    default:
      break;
  }
  out.resize(static_cast<std::size_t>(o - reinterpret_cast<unsigned char*>(out.data())));
  return out;
}

std::string Base64Class::EncodeString(std::string_view text) {
  return EncodeByteArray(platform::codepage::Utf8ToAnsi(text));
}

std::string Base64Class::EncodeByteArray(std::string_view bytes) {
  if (bytes.empty()) platform::Raise(platform::err::SubscriptOutOfRange);
  return base64::EncodeLines(bytes, base64::FinalBreak::Never);
}

std::string Base64Class::EncodeFileBytes(std::string_view path) {
  std::string text = base64::EncodeFileLines(path, base64::FinalBreak::Never);
  if (text.empty()) platform::Raise(platform::err::SubscriptOutOfRange);
  return text;
}

}  // namespace tavo
