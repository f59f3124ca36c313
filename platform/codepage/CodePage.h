#pragma once
// Code-page conversion between the UTF-8 text the program holds, UTF-16, and the bytes of an
// ANSI code page (iconv). The system ANSI code page is a setting of the environment (stored in
// HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage, value ACP), Windows-1252 by default.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::codepage {

inline constexpr std::uint32_t CP_ACP = 0;
inline constexpr std::uint32_t CP_UTF8 = 65001;

std::uint32_t GetACP();
void SetACP(std::uint32_t codePage);  // writes the environment setting (tests, demo)

// Win32 shape: with an empty destination (dst == nullptr or dstLength == 0) returns the length
// needed; otherwise converts and returns the count written, 0 on failure. A source length of -1
// means "up to and including the terminating zero".
int MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags, const char* src, int srcLength,
                        char16_t* dst, int dstLength);
int WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const char16_t* src, int srcLength,
                        char* dst, int dstLength);

// Convenience forms. Characters that the code page cannot represent become "?" (the system's
// default character); bytes that do not decode become U+FFFD.
std::string Utf8ToAnsi(std::string_view utf8, std::uint32_t codePage = CP_ACP);
std::string AnsiToUtf8(std::string_view bytes, std::uint32_t codePage = CP_ACP);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// UTF-16LE bytes (two per code unit, low byte first) and back.
std::string Utf8ToUtf16LeBytes(std::string_view utf8);
std::string Utf16LeBytesToUtf8(std::string_view bytes);  // a final odd byte is dropped
// The code page of a charset name as pages and answers label their text with ("utf-8",
// "ISO-8859-1", "Shift_JIS", "gbk", ...; letter case, blanks and quotes around it ignored):
// CP_UTF8 for UTF-8 and US-ASCII, 0 for a name this layer does not know. ISO-8859-1 is read as
// Windows-1252, its superset, as browsers do.
std::uint32_t CodePageOfCharset(std::string_view name);
// The same for the charset parameter of a Content-Type value ("text/html; charset=gbk"); 0 when
// it names none.
std::uint32_t CodePageOfContentType(std::string_view contentType);
// Whether every character of the text has a representation in the code page that reads back
// as that character.
bool Representable(std::string_view utf8, std::uint32_t codePage = CP_ACP);

}  // namespace platform::codepage
