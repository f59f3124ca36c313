#pragma once
// Turning language-file values into the text a user sees. Translated values are runs of \uXXXX
// escapes (one per UTF-16 code unit, lowercase u); English values are plain text and are shown
// as they are.
#include <string>
#include <string_view>

namespace tavo {

struct AddinState;

// The escapes as UTF-16LE bytes behind an FF FE mark, with the zero bytes the fixed-size result
// keeps at its end. Raises run-time error 13 (type mismatch) when a pair of digits is not
// hexadecimal.
std::string UnicodeEscapeToBytes(std::string_view text);

// The UTF-8 text those bytes stand for: the leading U+FEFF and everything from the first NUL
// left out, as a control shows it.
std::string EscapedTextToUtf8(std::string_view text);

// What every consumer shows for a language text: the text itself while the interface language
// is "english", otherwise its decoded form.
std::string DisplayText(const AddinState& state, std::string_view text);
// What a message dialog shows for a message text: the text itself in English; otherwise its
// \uXXXX escapes decoded while any plain text (a fixed English message, an extension put in front
// of a translated text) stays as it is, so that a message never fails to show.
std::string DisplayMessageText(const AddinState& state, std::string_view text);
// DisplayText of the loaded value of a key (a variable name such as "gMsg17").
std::string LanguageText(const AddinState& state, std::string_view key);

}  // namespace tavo
