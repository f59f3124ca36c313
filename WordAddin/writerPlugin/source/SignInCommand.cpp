// The Login command: adopt the spreadsheet add-in's sign-in, or ask for the credentials, warm
// up the connection by loading the suite's home page while the progress window advances, sign
// in with the accounts service and switch the commands to their signed-in or signed-out state.
#include <chrono>

#include "WordAddin/writerPlugin/source/ClassInit.h"
#include "common/LanguageText.h"
#include "common/Messages.h"
#include "common/dialogs/Dialogs.h"
#include "common/signin/Accounts.h"
#include "common/signin/HomePageWait.h"
#include "common/signin/SignInCommand.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/forms/Timer.h"

namespace tavo::writer {
namespace {

namespace forms = platform::forms;
using platform::text::Trim;

// How long the home page may take before the sign-in gives up.
constexpr auto kHomePageLimit = std::chrono::seconds(30);

constexpr std::string_view kContactFailure =
    "An Error occurred while contacting Tavo. Please try again in few minutes.";

}  // namespace

void ClassInit::oLoginCmdBar_Click() {
  // What to tell the user if the command fails: nothing before the progress window shows, then
  // what fits the stage reached.
  std::string failure;
  AddinDialogs& dialogs = Dialogs(state_);
  frmProgress& progress = dialogs.frmProgress;
  try {
    switch (StartSignIn(state_)) {
      case SignInStart::AdoptOther: RefreshCmdBar(); return;
      case SignInStart::Stop: return;
      case SignInStart::SignIn: break;
    }

    failure = kContactFailure;
    progress.ProgressBar1.SetMin(0);
    progress.ProgressBar1.SetMax(100);
    progress.ProgressBar1.SetValue(0);
    forms::DoEvents();
    progress.SetText(LanguageText(state_, "gMsg45"));
    progress.Show();

    const std::string_view home = state_.params.homePageUrl;
    dialogs.frmConfig.WBrowser.Navigate(home.empty() ? std::string_view(state_.gWriterUrl) : home);
    platform::Sleep(platform::Milliseconds(1000));
    failure = state_.strings["gMsg26"];
    WaitForHomePage(state_, kHomePageLimit);

    forms::DoEvents();
    progress.SetText(LanguageText(state_, "gMsg34"));
    if (progress.ProgressBar1.Value() < 75) progress.SetValue(75);
    platform::Sleep(platform::Milliseconds(1000));

    if (LoginToAccounts(state_, Trim(state_.gLoginUser), Trim(state_.gLoginPassword))) {
      platform::Sleep(platform::Milliseconds(1000));
      progress.Label1.SetForeColor(forms::kBlue);
      progress.SetText(LanguageText(state_, "gMsg46"));
      progress.Unload();
      FindControlsAgain();
      SetCommandStates(true, state_.gSaveLocalFlag == "1");
      return;
    }
    // The sign-in has told the user why already.
    failure.clear();
    progress.Unload();
  } catch (const platform::RuntimeError&) {
    // A browser or network failure, or a home page that never came.
  }
  progress.Unload();
  if (!failure.empty()) ShowMessage(state_, failure, 0);
  FindControlsAgain();
  SetCommandStates(false, true);
}

}  // namespace tavo::writer
