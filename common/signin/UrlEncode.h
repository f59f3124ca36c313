#pragma once
// The encoding of the sign-in form fields. Every character that has a single-byte code in the
// system ANSI code page is written as "%" and that code in hexadecimal, except letters, digits
// and the blank ("+"); "%" and "+" come out as %25 and %2B. Codes 0 and 3 to 15 keep the short
// forms the accounts service has always received ("%0", "%03" .. "%0F"). Characters outside the
// code page are left as they are.
#include <string>
#include <string_view>

namespace tavo {

std::string UrlEncode(std::string_view text);

}  // namespace tavo
