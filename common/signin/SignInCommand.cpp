#include "common/signin/SignInCommand.h"

#include "common/AddinState.h"
#include "common/LanguageText.h"
#include "common/UserFiles.h"
#include "common/signin/SharedSignIn.h"
#include "common/commands/UserFolders.h"
#include "common/dialogs/Dialogs.h"
#include "platform/core/Text.h"

namespace tavo {

void PrefillSignInDialog(AddinState& state) {
  frmConfig& signIn = Dialogs(state).frmConfig;
  signIn.tavoemailid.SetText(state.gLoginUser);
  signIn.tavopassword.SetText(state.gLoginPassword);
  if (state.gSaveLocalFlag == "1") signIn.localsave.SetValue(1);
}

SignInStart StartSignIn(AddinState& state) {
  using platform::text::Trim;
  state.gConfigMode = 1;
  if (OtherSignInUsable(state)) return SignInStart::AdoptOther;
  if (Trim(state.gLoginUser).empty() || Trim(state.gLoginPassword).empty() || state.gConfigResult == "FALSE") {
    frmConfig& dialog = Dialogs(state).frmConfig;
    dialog.Command1.SetCaption(LanguageText(state, "gMsg44"));
    dialog.ShowFromGlobals();
  } else {
    state.gConfigResult = "TRUE";
  }
  // A remembered name that cannot name the account's folders is not signed in with; the next
  // Login asks for the name again.
  if (state.gConfigResult == "TRUE" && RefusedAccountName(state, state.gLoginUser)) {
    state.gConfigResult = "FALSE";
    return SignInStart::Stop;
  }
  SetUserFolders(state);
  return state.gConfigResult == "TRUE" ? SignInStart::SignIn : SignInStart::Stop;
}

}  // namespace tavo
