#pragma once
// Base64 as the DOM's "bin.base64" values use it: the standard alphabet, padded with "=",
// no line breaks when writing.
#include <string>
#include <string_view>

namespace platform::xml {

std::string Base64Encode(std::string_view bytes);
// Blanks, tabs, CR and LF are ignored wherever they stand. False for any other character
// outside the alphabet, "=" other than one or two at the end, or a length that leaves a
// single character over.
bool Base64Decode(std::string_view text, std::string* bytes);

}  // namespace platform::xml
