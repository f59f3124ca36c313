// The Login command: adopt the Word add-in's sign-in, or ask for the credentials, warm up the
// connection by loading the spreadsheet's web page while the progress window advances, sign in
// with the accounts service and switch the commands to their signed-in or signed-out state.
#include <chrono>

#include "ExelAddin/sheetPlugin/source/ClassInit.h"
#include "common/LanguageText.h"
#include "common/Messages.h"
#include "common/dialogs/Dialogs.h"
#include "common/signin/Accounts.h"
#include "common/signin/HomePageWait.h"
#include "common/signin/SignInCommand.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo::sheet {
namespace {

namespace forms = platform::forms;
using platform::text::Trim;

// How long the page may take before the sign-in gives up.
constexpr auto kHomePageLimit = std::chrono::seconds(30);

}  // namespace

void ClassInit::oLoginCmdBar_Click() {
  // What to tell the user if the command fails from here on; nothing before the probe.
  std::string pending;
  AddinDialogs& dialogs = Dialogs(state_);
  frmProgress& progress = dialogs.frmProgress;
  try {
    switch (StartSignIn(state_)) {
      case SignInStart::AdoptOther: RefreshCmdBar(); return;
      case SignInStart::Stop: return;
      case SignInStart::SignIn: break;
    }

    pending = state_.strings["gMsg26"];
    ShowStatus(state_, state_.strings["gMsg45"]);
    progress.Show();
    progress.ProgressBar1.SetMin(0);
    progress.ProgressBar1.SetMax(100);
    progress.SetValue(0);

    dialogs.frmConfig.WBrowser.Navigate(Trim(state_.gWriterUrl));
    WaitForHomePage(state_, kHomePageLimit);

    progress.SetText(LanguageText(state_, "gMsg66"));
    if (progress.ProgressBar1.Value() < 75) progress.SetValue(75);
    platform::Sleep(platform::Milliseconds(200));
    progress.SetText(LanguageText(state_, "gMsg47"));

    if (LoginToAccounts(state_, Trim(state_.gLoginUser), Trim(state_.gLoginPassword))) {
      ShowStatus(state_, state_.strings["gMsg57"]);
      SetCommandStates(true, state_.gSaveLocalFlag == "1");
      progress.Unload();
      return;
    }
    // The sign-in has told the user why already.
    pending.clear();
  } catch (const platform::RuntimeError&) {
    // A browser or network failure, or a page that never came.
  }
  progress.Unload();
  if (!pending.empty()) ShowMessage(state_, pending, 0);
  SetCommandStates(false, true);
}

}  // namespace tavo::sheet
