#include "common/requests/MessageText.h"

#include "common/AddinState.h"

namespace tavo {

std::string TextOf(const AddinState& state, MessageText message) {
  return message.key.empty() ? std::string(message.literal) : state.strings[message.key];
}

}  // namespace tavo
