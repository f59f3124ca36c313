#include "common/requests/MessageText.h"

#include "common/AddinState.h"

namespace tavo {

std::string TextOf(const AddinState& state, ShownText text) {
  return text.key.empty() ? std::string(text.fixed) : state.strings[text.key];
}

}  // namespace tavo
