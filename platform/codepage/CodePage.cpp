#include "platform/codepage/CodePage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/codepage/Utf.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/environment/Environment.h"
#include "platform/registry/Registry.h"

namespace platform::codepage {
namespace {

constexpr std::uint32_t kDefaultAcp = 1252;
const char* const kNlsKey = "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";

struct PageInfo {
  std::uint32_t number;
  const char* iconvName;
  bool singleByte;
};

constexpr PageInfo kPages[] = {
    {437, "IBM437", true},   {850, "IBM850", true},   {866, "IBM866", true},   {874, "CP874", true},
    {1250, "CP1250", true},  {1251, "CP1251", true},  {1252, "CP1252", true},  {1253, "CP1253", true},
    {1254, "CP1254", true},  {1255, "CP1255", true},  {1256, "CP1256", true},  {1257, "CP1257", true},
    {1258, "CP1258", true},  {28591, "ISO-8859-1", true},
    {932, "CP932", false},   {936, "CP936", false},   {949, "CP949", false},   {950, "CP950", false},
    {CP_UTF8, "UTF-8", false},
};

const PageInfo* Find(std::uint32_t codePage) {
  for (const PageInfo& p : kPages) {
    if (p.number == codePage) return &p;
  }
  return nullptr;
}

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// A single-byte page as a table, so that every byte has a character and back: bytes the
// page leaves undefined stand for the control character of the same number, as on Windows
// (0x81 in 1252 is U+0081), so any byte string survives a round trip unchanged.
struct SingleByteTable {
  std::array<char32_t, 256> toUnicode{};
  std::unordered_map<char32_t, unsigned char> fromUnicode;
};

SingleByteTable BuildTable(const PageInfo& page) {
  SingleByteTable table;
  Iconv cd("UTF-32LE", page.iconvName);
  for (int b = 0; b < 256; ++b) {
    char32_t cp = static_cast<char32_t>(b);
    if (cd.ok()) {
      char in = static_cast<char>(b);
      unsigned char out[16] = {};
      char* inPtr = &in;
      char* outPtr = reinterpret_cast<char*>(out);
      size_t inLeft = 1, outLeft = sizeof out;
      iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
      bool converted = iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
                       iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1);
      if (converted && sizeof out - outLeft == 4)
        cp = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    }
    table.toUnicode[b] = cp;
    table.fromUnicode.emplace(cp, static_cast<unsigned char>(b));
  }
  return table;
}

const SingleByteTable& TableFor(const PageInfo& page) {
  static std::mutex mutex;
  static std::map<std::uint32_t, std::unique_ptr<SingleByteTable>> tables;
  std::lock_guard<std::mutex> lock(mutex);
  auto& slot = tables[page.number];
  if (!slot) slot = std::make_unique<SingleByteTable>(BuildTable(page));
  return *slot;
}

// Converts `in` with iconv, appending to `out`. At input that does not convert, `onBad` gets
// the place and the bytes left, appends a replacement and says how many bytes to skip.
bool ConvertWithIconv(const char* to, const char* from, std::string_view in, std::string* out,
                      const std::function<size_t(const char* at, size_t left)>& onBad) {
  Iconv cd(to, from);
  if (!cd.ok()) return false;
  char* at = const_cast<char*>(in.data());
  size_t left = in.size();
  std::string buffer(in.size() * 4 + 16, '\0');
  while (left > 0) {
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    size_t rc = iconv(cd.get(), &at, &left, &outPtr, &outLeft);
    out->append(buffer.data(), buffer.size() - outLeft);
    if (rc != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    size_t skip = onBad(at, left);
    at += skip;
    left -= skip;
  }
  return true;
}

std::uint32_t Resolve(std::uint32_t codePage) { return codePage == CP_ACP ? GetACP() : codePage; }

// UTF-8 to the page. `lossless` reports whether every character had a representation.
bool Encode(std::string_view utf8, std::uint32_t codePage, std::string* out, bool* lossless) {
  const PageInfo* page = Find(Resolve(codePage));
  if (!page) return false;
  *lossless = true;
  out->clear();
  out->reserve(utf8.size());
  if (page->number == CP_UTF8 || page->singleByte) {
    const SingleByteTable* table = page->singleByte ? &TableFor(*page) : nullptr;
    for (size_t i = 0; i < utf8.size();) {
      char32_t cp = 0;
      bool valid = utf::Next(utf8, i, &cp);
      if (!table) {
        utf::Append(valid ? cp : utf::kReplacement, *out);
        *lossless = *lossless && valid;
        continue;
      }
      auto hit = valid ? table->fromUnicode.find(cp) : table->fromUnicode.end();
      if (hit == table->fromUnicode.end()) {
        *out += '?';
        *lossless = false;
      } else {
        *out += static_cast<char>(hit->second);
      }
    }
    return true;
  }
  // A character the page lacks, or bytes that are no UTF-8: one "?" for the sequence.
  return ConvertWithIconv(page->iconvName, "UTF-8", utf8, out, [&](const char* at, size_t left) {
    *out += '?';
    *lossless = false;
    return std::min(left, utf::SequenceLength(static_cast<unsigned char>(*at)));
  });
}

// The page's bytes to UTF-8; bytes that do not decode become U+FFFD.
bool Decode(std::string_view bytes, std::uint32_t codePage, std::string* out) {
  const PageInfo* page = Find(Resolve(codePage));
  if (!page) return false;
  out->clear();
  out->reserve(bytes.size() * 2);
  if (page->number == CP_UTF8 || page->singleByte) {
    const SingleByteTable* table = page->singleByte ? &TableFor(*page) : nullptr;
    for (size_t i = 0; i < bytes.size();) {
      char32_t cp = 0;
      if (table) {
        cp = table->toUnicode[static_cast<unsigned char>(bytes[i++])];
      } else if (!utf::Next(bytes, i, &cp)) {
        cp = utf::kReplacement;
      }
      utf::Append(cp, *out);
    }
    return true;
  }
  return ConvertWithIconv("UTF-8", page->iconvName, bytes, out, [&](const char*, size_t) {
    utf::Append(utf::kReplacement, *out);
    return size_t(1);
  });
}

template <class Unit>
size_t UnitLength(const Unit* src, int srcLength) {
  if (srcLength >= 0) return static_cast<size_t>(srcLength);
  size_t n = 0;
  while (src[n] != 0) ++n;
  return n + 1;  // the terminating zero is converted too
}

template <class Unit, class Result>
int CopyOut(const Result& converted, Unit* dst, int dstLength) {
  if (converted.size() > static_cast<size_t>(INT32_MAX)) return 0;
  int needed = static_cast<int>(converted.size());
  if (!dst || dstLength == 0) return needed;
  if (dstLength < needed) return 0;
  std::memcpy(dst, converted.data(), converted.size() * sizeof(Unit));
  return needed;
}

struct AcpCache {
  std::mutex mutex;
  std::uint64_t environmentId = 0;
  std::uint32_t value = 0;
};

AcpCache& TheAcpCache() {
  static AcpCache cache;
  return cache;
}

std::uint32_t ReadAcp() {
  registry::Value value;
  if (!registry::ReadValue(registry::HKEY_LOCAL_MACHINE, kNlsKey, "ACP", &value) || value.type != registry::REG_SZ)
    return kDefaultAcp;
  std::string digits = text::Trim(value.bytes.substr(0, value.bytes.find('\0')));
  if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
    return kDefaultAcp;
  auto number = static_cast<std::uint32_t>(std::stoul(digits));
  return Find(number) ? number : kDefaultAcp;
}

}  // namespace

std::uint32_t GetACP() {
  AcpCache& cache = TheAcpCache();
  std::uint64_t id = environment::Current().id();
  std::lock_guard<std::mutex> lock(cache.mutex);
  if (cache.environmentId != id || cache.value == 0) {
    cache.value = ReadAcp();
    cache.environmentId = id;
  }
  return cache.value;
}

void SetACP(std::uint32_t codePage) {
  if (!Find(codePage) || codePage == CP_ACP) Raise(err::InvalidProcedureCall, "Unsupported code page " + std::to_string(codePage));
  if (!registry::WriteSystemValue(registry::HKEY_LOCAL_MACHINE, kNlsKey, "ACP",
                                  registry::StringValue(std::to_string(codePage))))
    Raise(err::PathFileAccess, "The system code page could not be stored");
  AcpCache& cache = TheAcpCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  cache.value = codePage;
  cache.environmentId = environment::Current().id();
}

int MultiByteToWideChar(std::uint32_t codePage, std::uint32_t /*flags*/, const char* src, int srcLength,
                        char16_t* dst, int dstLength) {
  if (!src || srcLength == 0 || srcLength < -1 || dstLength < 0) return 0;
  std::string utf8;
  if (!Decode(std::string_view(src, UnitLength(src, srcLength)), codePage, &utf8)) return 0;
  return CopyOut(Utf8ToUtf16(utf8), dst, dstLength);
}

int WideCharToMultiByte(std::uint32_t codePage, std::uint32_t /*flags*/, const char16_t* src, int srcLength,
                        char* dst, int dstLength) {
  if (!src || srcLength == 0 || srcLength < -1 || dstLength < 0) return 0;
  std::string bytes;
  bool lossless = true;
  if (!Encode(Utf16ToUtf8(std::u16string_view(src, UnitLength(src, srcLength))), codePage, &bytes, &lossless))
    return 0;
  return CopyOut(bytes, dst, dstLength);
}

std::string Utf8ToAnsi(std::string_view utf8, std::uint32_t codePage) {
  std::string bytes;
  bool lossless = true;
  if (!Encode(utf8, codePage, &bytes, &lossless)) Raise(err::InvalidProcedureCall, "Unsupported code page");
  return bytes;
}

std::string AnsiToUtf8(std::string_view bytes, std::uint32_t codePage) {
  std::string utf8;
  if (!Decode(bytes, codePage, &utf8)) Raise(err::InvalidProcedureCall, "Unsupported code page");
  return utf8;
}

std::uint32_t CodePageOfCharset(std::string_view name) {
  std::string label = text::LCase(text::Trim(name));
  if (label.size() >= 2 && (label.front() == '"' || label.front() == '\'') && label.back() == label.front())
    label = text::Trim(std::string_view(label).substr(1, label.size() - 2));
  static constexpr std::pair<std::string_view, std::uint32_t> kLabels[] = {
      {"utf-8", CP_UTF8},   {"utf8", CP_UTF8},        {"us-ascii", CP_UTF8},
      {"iso-8859-1", 1252}, {"latin1", 1252},         {"windows-1252", 1252}, {"cp1252", 1252},
      {"shift_jis", 932},   {"windows-31j", 932},     {"cp932", 932},
      {"gbk", 936},         {"gb2312", 936},          {"cp936", 936},
  };
  for (const auto& [known, page] : kLabels)
    if (label == known) return page;
  return 0;
}

std::uint32_t CodePageOfContentType(std::string_view contentType) {
  const std::string lower = text::LCase(contentType);
  const size_t at = lower.find("charset=");
  if (at == std::string::npos) return 0;
  const std::string_view value = std::string_view(lower).substr(at + 8);
  return CodePageOfCharset(value.substr(0, value.find(';')));
}

// A page may give a character the code of a look-alike without a word (932 writes "¥" as "\",
// the wave dash as the full-width tilde): only text that reads back as it was is representable.
bool Representable(std::string_view utf8, std::uint32_t codePage) {
  std::string bytes;
  bool lossless = true;
  if (!Encode(utf8, codePage, &bytes, &lossless) || !lossless) return false;
  std::string back;
  return Decode(bytes, codePage, &back) && back == utf8;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    if (!utf::Next(utf8, i, &cp)) cp = utf::kReplacement;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 | (cp >> 10));
      out += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      unit = utf::kReplacement;  // a lone surrogate
    }
    utf::Append(unit, out);
  }
  return out;
}

std::string Utf8ToUtf16LeBytes(std::string_view utf8) {
  std::u16string units = Utf8ToUtf16(utf8);
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t u : units) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return bytes;
}

std::string Utf16LeBytesToUtf8(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  return Utf16ToUtf8(units);
}

}  // namespace platform::codepage
