#include "common/commands/MenuCommands.h"

#include "common/AddinState.h"
#include "common/dialogs/Dialogs.h"

namespace tavo {

void ShowAbout(AddinState& state) { Dialogs(state).frmAboutUs.Show(platform::forms::ShowMode::Modal); }

void ShowSettings(AddinState& state) {
  state.gConfigMode = 2;
  Dialogs(state).frmConfig.ShowFromGlobals();
}

}  // namespace tavo
