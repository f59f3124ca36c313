// Text the emulated host prints that others wrote: names and messages from the service, contents
// of documents, values of the registry. Whatever the bytes, what reaches the terminal is valid
// UTF-8 holding no control character but line breaks and tabs; it is the same written whole or
// in two pieces (split where the first byte says); and text that is already such UTF-8 passes
// unchanged.
#include <sstream>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "host/console/VisibleText.h"

namespace {

// Whether the bytes are UTF-8 (shortest forms, no surrogates, nothing past U+10FFFF) and hold no
// control character but LF and TAB; CR counts as one.
bool PrintableUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto lead = static_cast<unsigned char>(s[i]);
    const size_t length = lead < 0x80             ? 1
                          : (lead & 0xE0) == 0xC0 ? 2
                          : (lead & 0xF0) == 0xE0 ? 3
                          : (lead & 0xF8) == 0xF0 ? 4
                                                  : 0;
    if (length == 0 || i + length > s.size()) return false;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(s[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kShortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    if ((c < 0x20 && c != '\n' && c != '\t') || (c >= 0x7F && c <= 0x9F)) return false;
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = tavo::fuzz::Text(data, size);
  const std::string shown = host::VisibleText(text);
  tavo::fuzz::Require(PrintableUtf8(shown), "what is shown is UTF-8 without control characters");
  if (PrintableUtf8(text)) tavo::fuzz::Require(shown == text, "printable UTF-8 passes unchanged");

  const size_t cut = size == 0 ? 0 : data[0] % (size + 1);
  std::ostringstream out;
  {
    host::VisibleStream visible(out);
    visible << text.substr(0, cut) << std::flush << text.substr(cut);
  }
  tavo::fuzz::Require(out.str() == shown, "text written in pieces is shown as written whole");
  return 0;
}
