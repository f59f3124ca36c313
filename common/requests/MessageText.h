#pragma once
// The messages of the per-caller error tables: a language text named by its key, or a fixed
// English text that some callers show in place of one.
#include <string>
#include <string_view>

#include "common/AddinParameterSet.h"

namespace tavo {

struct AddinState;

constexpr ShownText Key(std::string_view key) { return {key, {}}; }
constexpr ShownText Fixed(std::string_view text) { return {{}, text}; }

// The text as ShowMessage takes it: the loaded language text, or the fixed text.
std::string TextOf(const AddinState& state, ShownText text);

}  // namespace tavo
