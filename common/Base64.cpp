#include "common/Base64.h"

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
  char pairs[4096][2];        // the two characters of every 12-bit value
  std::uint8_t decode[256];  // alphabet characters to 0..63, CR and "=" marked, the rest 0
};

constexpr Tables MakeTables() {
  Tables t{};
  for (int v = 0; v < 4096; ++v) {
    t.pairs[v][0] = kAlphabet[v >> 6];
    t.pairs[v][1] = kAlphabet[v & 63];
  }
  for (int i = 0; i < 64; ++i) t.decode[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::uint8_t>(i);
  t.decode[static_cast<unsigned char>('\r')] = kSkip;
  t.decode[static_cast<unsigned char>('=')] = kSkip;
  return t;
}
constexpr Tables kTables = MakeTables();

inline char* EncodeGroups(const unsigned char* in, std::size_t groups, char* out) {
  for (std::size_t g = 0; g < groups; ++g, in += 3, out += 4) {
    std::uint32_t v = (std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) | in[2];
    std::memcpy(out, kTables.pairs[v >> 12], 2);
    std::memcpy(out + 2, kTables.pairs[v & 0xFFF], 2);
  }
  return out;
}

// Encodes n bytes with the "=" completion of a short last group.
inline char* EncodeRun(const unsigned char* in, std::size_t n, char* out) {
  out = EncodeGroups(in, n / 3, out);
  in += n / 3 * 3;
  switch (n % 3) {
    case 1: {
      std::uint32_t v = std::uint32_t{in[0]} << 4;
      std::memcpy(out, kTables.pairs[v], 2);
      out[2] = out[3] = '=';
      out += 4;
      break;
    }
    case 2: {
      std::uint32_t v = (std::uint32_t{in[0]} << 10) | (std::uint32_t{in[1]} << 2);
      std::memcpy(out, kTables.pairs[v >> 6], 2);
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

bool HasNonAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

}  // namespace

namespace base64 {

std::string EncodeUnbroken(std::string_view bytes) {
  std::string out(EncodedLength(bytes.size()), '\0');
  EncodeRun(Bytes(bytes), bytes.size(), out.data());
  return out;
}

std::string EncodeLines(std::string_view bytes, FinalBreak finalBreak) {
  const std::size_t n = bytes.size();
  const std::size_t length = EncodedLength(n);
  const std::size_t fullLines = n / kLineBytes;
  const std::size_t rest = n % kLineBytes;
  // A break follows every full line except one that ends the text, which gets one only when
  // asked for and the text is longer than one line.
  const bool breakAfterLast = rest != 0 || (finalBreak == FinalBreak::AfterFullLastLine && length > 76);
  const std::size_t breaks = fullLines == 0 ? 0 : fullLines - 1 + (breakAfterLast ? 1 : 0);

  std::string out(length + 2 * breaks, '\0');
  const unsigned char* in = Bytes(bytes);
  char* o = out.data();
  for (std::size_t line = 0; line < fullLines; ++line, in += kLineBytes) {
    o = EncodeGroups(in, kLineGroups, o);
    if (line + 1 < fullLines || breakAfterLast) {
      o[0] = '\r';
      o[1] = '\n';
      o += 2;
    }
  }
  EncodeRun(in, rest, o);
  return out;
}

}  // namespace base64

std::string base64module::Encode(std::string_view sInput) {
  if (sInput.empty()) return {};
  return EncodeArr(platform::codepage::Utf8ToAnsi(sInput));
}

std::string base64module::EncodeFromFile(std::string_view sFileName) {
  std::string bytes;
  try {
    bytes = platform::files::ReadAllBytes(sFileName);
  } catch (const platform::RuntimeError&) {
    return {};
  }
  return EncodeArr(bytes);
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
  std::string out(sInput.size() / 4 * 3 + 3, '\0');
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  const unsigned char* p = Bytes(sInput);
  const unsigned char* const end = p + sInput.size();
  const std::uint8_t* const t = kTables.decode;
  std::uint8_t quad[4];
  int held = 0;
  std::size_t groups = 0;

  while (p < end) {
    if (held == 0 && end - p >= 4) {
      std::uint8_t a = t[p[0]], b = t[p[1]], c = t[p[2]], d = t[p[3]];
      if (((a | b | c | d) & kSkip) == 0) {
        o[0] = static_cast<unsigned char>((a << 2) | (b >> 4));
        o[1] = static_cast<unsigned char>((b << 4) | (c >> 2));
        o[2] = static_cast<unsigned char>((c << 6) | d);
        o += 3;
        p += 4;
        ++groups;
        continue;
      }
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

}  // namespace tavo
