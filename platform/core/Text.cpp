#include "platform/core/Text.h"

#include <cctype>
#include <cstdlib>

namespace platform::text {
namespace {

// Decodes one UTF-8 sequence at s[i]; invalid bytes are returned as themselves.
char32_t DecodeAt(std::string_view s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  auto cont = [&](size_t k) {
    return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
  };
  if (c < 0x80) { ++i; return c; }
  if ((c & 0xE0) == 0xC0 && cont(1)) {
    char32_t cp = ((c & 0x1F) << 6) | (s[i + 1] & 0x3F);
    i += 2;
    return cp;
  }
  if ((c & 0xF0) == 0xE0 && cont(1) && cont(2)) {
    char32_t cp = ((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
    i += 3;
    return cp;
  }
  if ((c & 0xF8) == 0xF0 && cont(1) && cont(2) && cont(3)) {
    char32_t cp = ((c & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6) |
                  (s[i + 3] & 0x3F);
    i += 4;
    return cp;
  }
  ++i;
  return 0xDC00 | c;  // lone byte kept distinguishable, re-encoded below as the raw byte
}

void Encode(char32_t cp, std::string& out) {
  if (cp >= 0xDC80 && cp <= 0xDCFF) { out.push_back(static_cast<char>(cp & 0xFF)); return; }
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char32_t Lower(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
    bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddPairs) return (c % 2 == 1) ? c + 1 : c;
    return (c % 2 == 0) ? c + 1 : c;
  }
  if (c == 0x178) return 0xFF;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

char32_t Upper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
    bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddPairs) return (c % 2 == 0) ? c - 1 : c;
    return (c % 2 == 1) ? c - 1 : c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

template <class F>
std::string MapChars(std::string_view s, F f) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) Encode(f(DecodeAt(s, i)), out);
  return out;
}

}  // namespace

std::string LTrim(std::string_view s) {
  size_t b = s.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string RTrim(std::string_view s) {
  size_t e = s.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string Trim(std::string_view s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

std::string FoldCase(std::string_view s) { return MapChars(s, Lower); }
std::string LCase(std::string_view s) { return MapChars(s, Lower); }
std::string UCase(std::string_view s) { return MapChars(s, Upper); }

bool EqualsText(std::string_view a, std::string_view b) {
  if (a.size() == b.size() && a == b) return true;
  return FoldCase(a) == FoldCase(b);
}

size_t InStr(std::string_view s, std::string_view find, Compare compare, size_t start) {
  if (start == 0) start = 1;
  if (start > s.size() + 1) return 0;
  if (find.empty()) return start;
  if (compare == Compare::Binary) {
    size_t p = s.find(find, start - 1);
    return p == std::string_view::npos ? 0 : p + 1;
  }
  // Fold both sides; folding is length-preserving for the mapped ranges (same UTF-8 widths),
  // so byte positions in the folded text are positions in the original.
  std::string fs = FoldCase(s), ff = FoldCase(find);
  if (fs.size() != s.size()) {
    // Width changed (only for exotic pairs); fall back to a per-position comparison.
    for (size_t i = start - 1; i < s.size(); ++i) {
      for (size_t len = 1; i + len <= s.size(); ++len) {
        if (FoldCase(s.substr(i, len)) == ff) return i + 1;
        if (len > find.size() * 2 + 4) break;
      }
    }
    return 0;
  }
  size_t p = fs.find(ff, start - 1);
  return p == std::string::npos ? 0 : p + 1;
}

size_t InStrRev(std::string_view s, std::string_view find, Compare compare) {
  if (find.empty()) return s.size();
  if (compare == Compare::Binary) {
    size_t p = s.rfind(find);
    return p == std::string_view::npos ? 0 : p + 1;
  }
  std::string fs = FoldCase(s), ff = FoldCase(find);
  size_t p = fs.rfind(ff);
  return p == std::string::npos ? 0 : p + 1;
}

bool ContainsText(std::string_view haystack, std::string_view needle) {
  return InStr(haystack, needle, Compare::Text) != 0;
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with, Compare compare) {
  if (find.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  size_t pos = 1;
  while (true) {
    size_t hit = InStr(s, find, compare, pos);
    if (hit == 0) break;
    out.append(s.substr(pos - 1, hit - pos));
    out.append(with);
    // Advance past the matched text; for text comparison the match spans find's folded width.
    pos = hit + find.size();
  }
  if (pos - 1 < s.size()) out.append(s.substr(pos - 1));
  return out;
}

std::vector<std::string> Split(std::string_view s, std::string_view delimiter) {
  std::vector<std::string> parts;
  if (s.empty()) return parts;  // an empty text splits into no parts
  if (delimiter.empty()) { parts.emplace_back(s); return parts; }
  size_t start = 0;
  while (true) {
    size_t p = s.find(delimiter, start);
    if (p == std::string_view::npos) { parts.emplace_back(s.substr(start)); break; }
    parts.emplace_back(s.substr(start, p - start));
    start = p + delimiter.size();
  }
  return parts;
}

std::string Reverse(std::string_view s) {
  std::vector<char32_t> cps;
  for (size_t i = 0; i < s.size();) cps.push_back(DecodeAt(s, i));
  std::string out;
  out.reserve(s.size());
  for (auto it = cps.rbegin(); it != cps.rend(); ++it) Encode(*it, out);
  return out;
}

double Val(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
  size_t b = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { ++i; ++digits; }
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) { ++i; ++digits; }
  }
  if (digits == 0) return 0.0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t save = i++;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
      while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    } else {
      i = save;
    }
  }
  std::string num(s.substr(b, i - b));
  return std::strtod(num.c_str(), nullptr);
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace platform::text
