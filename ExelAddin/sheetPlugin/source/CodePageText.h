#pragma once
// The spreadsheet service labels its answers with a single-byte character set (ISO-8859-1) while
// it writes UTF-8, so a name such as "Müller" arrives as "MÃ¼ller": one character per byte of its
// UTF-8 form, read in the code page of that label. Utf8ToUnicode turns such a text back into the
// characters those bytes encode, on every system code page.
#include <cstdint>
#include <string>
#include <string_view>

namespace tavo::sheet {

// The text encoded in the code page of the answers' label and decoded again as UTF-8. A text
// whose bytes are no UTF-8 (it was not mis-decoded, or holds characters that code page lacks)
// comes back as it was; ASCII passes unchanged; "" gives "".
std::string Utf8ToUnicode(std::string_view text);

// The text encoded in the code page, without a terminating zero. Code page -1 is the system
// ANSI code page.
std::string UnicodeToMultiByte(std::string_view text, std::int32_t codePage, std::uint32_t flags);
// The bytes up to their first zero decoded in the code page. Code page -1 is the system ANSI
// code page.
std::string MultiByteToUnicode(std::string_view bytes, std::int32_t codePage, std::uint32_t flags);

}  // namespace tavo::sheet
