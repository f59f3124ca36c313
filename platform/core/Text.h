#pragma once
// String operations with the semantics the add-ins' procedures are written against:
// blanks-only trimming, replace-all, binary and text (case-insensitive) comparison,
// the leading-number value of a text. Text is UTF-8; positions are byte positions,
// 1-based where a procedure counts from 1 (0 = not found).
#include <string>
#include <string_view>
#include <vector>

namespace platform::text {

enum class Compare { Binary, Text };

// Removes leading and trailing blanks (U+0020 only; tabs and line breaks stay).
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);

// Every occurrence of `find` replaced by `with`, scanning left to right without re-scanning
// replaced text. An empty `find` leaves the text unchanged.
std::string Replace(std::string_view s, std::string_view find, std::string_view with,
                    Compare compare = Compare::Binary);

// 1-based byte position of the first occurrence at or after `start` (1-based), 0 if none.
// An empty `find` is found at `start`.
size_t InStr(std::string_view s, std::string_view find, Compare compare = Compare::Binary,
             size_t start = 1);
// 1-based byte position of the last occurrence, 0 if none.
size_t InStrRev(std::string_view s, std::string_view find, Compare compare = Compare::Binary);

// Simple case folding of UTF-8 text (ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic).
std::string FoldCase(std::string_view s);
std::string LCase(std::string_view s);
std::string UCase(std::string_view s);
bool EqualsText(std::string_view a, std::string_view b);          // case-insensitive equality
bool ContainsText(std::string_view haystack, std::string_view needle);  // case-insensitive

std::vector<std::string> Split(std::string_view s, std::string_view delimiter);
std::string Reverse(std::string_view s);  // reverses the characters (code points)

// The leading decimal number of a text (blanks before it skipped; optional sign, digits,
// fraction, exponent); a text with no leading number is 0.
double Val(std::string_view s);

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);

}  // namespace platform::text
