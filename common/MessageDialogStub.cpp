// Until the message dialogs exist, a message is recorded on the state, where tests read it.
#include "common/AddinState.h"
#include "common/Messages.h"

namespace tavo {

void ShowMessageDialog(AddinState& state, int kind, const std::string& label) {
  state.shownMessages.push_back({kind, label});
}

}  // namespace tavo
