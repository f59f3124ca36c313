#pragma once
// Strict UTF-8 and UTF-16 coding for the code-page layer: what does not decode becomes
// U+FFFD, never a guess.
#include <string>
#include <string_view>

namespace platform::codepage::utf {

inline constexpr char32_t kReplacement = 0xFFFD;

// The code point at text[i], advancing i past it; false (and one byte consumed) for a byte
// that starts no valid sequence (overlong forms and surrogates included).
bool Next(std::string_view text, size_t& i, char32_t* cp);
void Append(char32_t cp, std::string& out);
// Length of the sequence a lead byte announces (1 for an invalid lead).
size_t SequenceLength(unsigned char lead);

}  // namespace platform::codepage::utf
