#include "common/commands/AddinCommands.h"

#include "common/AddinState.h"
#include "common/Settings.h"
#include "common/signin/SharedSignIn.h"
#include "platform/core/RuntimeError.h"

namespace tavo {

bool AddinCommands::RefreshCmdBar() {
  try {
    LoadServerSettings(state_);
    AdoptOtherSignIn(state_, [this] { SetCommandStates(true, state_.gSaveLocalFlag == "1"); });
    return true;
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

}  // namespace tavo
