#include "common/commands/AddinShell.h"

#include "common/AddinHost.h"
#include "common/Language.h"
#include "common/Messages.h"
#include "common/Settings.h"
#include "common/signin/SignInCommand.h"
#include "platform/core/RuntimeError.h"

namespace tavo {

namespace office = platform::office;

void AddinShell::OnConnection(const office::Ref<office::Application>& application, int, office::AddIn& addInInst,
                              office::Custom&) {
  long number = 0;
  std::string description;
  try {
    if (StartUp(application, addInInst)) return;
  } catch (const platform::RuntimeError& e) {
    number = e.number();
    description = e.description();
  }
  StartUpFailed(number, description);
  ShowMessage(state_, state_.strings["gMsg43"], 1);
}

bool AddinShell::StartUp(const office::Ref<office::Application>& application, office::AddIn& addInInst) {
  if (state_.host) state_.host->gHostApp = application;
  if (!CreatePluginRegistryKey(state_) || !LoadApplicationSettings(state_) || !LoadSavedCredentials(state_) ||
      !LoadLanguage(state_))
    return false;
  OwnStartUpStep();
  PrefillSignInDialog(state_);
  const std::string progId = addInInst.ProgId();
  if (!Commands().IntiCmdBar(application, progId)) return false;
  return Commands().RefreshCmdBar();
}

}  // namespace tavo
