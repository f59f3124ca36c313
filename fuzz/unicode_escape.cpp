// Language-file values as a translator's tool or a damaged file may leave them. The decoder
// sizes its array from the text and must never write past it; the only failure it may report
// is the type mismatch of a pair of digits that is not hexadecimal.
#include "common/LanguageText.h"
#include "fuzz/FuzzSupport.h"
#include "platform/core/RuntimeError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavo;
  const std::string_view text = fuzz::Text(data, size);
  std::string bytes;
  try {
    bytes = UnicodeEscapeToBytes(text);
  } catch (const platform::RuntimeError& e) {
    fuzz::Require(e.number() == platform::err::TypeMismatch, "only a non-hexadecimal pair may fail");
    return 0;
  }
  fuzz::Require(bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE', "the result starts with FF FE");
  // What a control shows of it: decodes without failing, since the bytes did.
  (void)EscapedTextToUtf8(text);
  return 0;
}
