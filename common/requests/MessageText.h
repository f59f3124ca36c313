#pragma once
// A message of the per-caller error tables: a language text named by its key, or a fixed
// English text that some callers show in place of one.
#include <string>
#include <string_view>

namespace tavo {

struct AddinState;

struct MessageText {
  std::string_view key;      // "gMsg17"; "" for a fixed text
  std::string_view literal;  // the fixed text when there is no key
};

constexpr MessageText Key(std::string_view key) { return {key, {}}; }
constexpr MessageText Literal(std::string_view text) { return {{}, text}; }

// The text as ShowMessage takes it: the loaded language text, or the fixed text.
std::string TextOf(const AddinState& state, MessageText message);

}  // namespace tavo
