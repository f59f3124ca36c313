#include "common/signin/SharedSignIn.h"

#include "common/AddinHost.h"
#include "common/AddinState.h"
#include "common/Messages.h"
#include "common/RegistryStrings.h"
#include "common/StoredSecret.h"
#include "common/UserFiles.h"
#include "common/signin/Accounts.h"
#include "platform/core/Text.h"

namespace tavo {

std::string SharedAccount(std::string_view name) {
  return GetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, name);
}

void SetSharedAccount(std::string_view name, std::string_view value) {
  SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, name, value);
}

namespace {

// Under this add-in's own settings: the ticket the service last refused to it.
constexpr std::string_view kRefusedTicket = "tavorefusedticket";

// This add-in's side of a sign-out, once the service no longer knows the ticket (or has been
// told): its status "0", neither add-in's settings keeping the ticket, and, unless the other
// add-in is signed in, the shared ticket, name and password cleared. After a refusal they are
// only cleared while they are still the refused sign-in's, not a sign-in made since.
void SignOutOwnSide(AddinState& state, bool refused) {
  const AddinParameterSet& p = state.params;
  if (SharedAccount(p.otherStatusValue) != "1" && (!refused || SharedAccount("tavoticketid") == state.gTicket))
    for (const char* value : {"tavoticketid", "tavousername", "tavopassword"}) SetSharedAccount(value, "");
  SetRegistryString(HKEY_CURRENT_USER, p.otherPluginSettingsKey, "tavoticketid", "");
  SetRegistryString(HKEY_CURRENT_USER, p.pluginSettingsKey, "tavoticketid", "");
  SetSharedAccount(p.ownStatusValue, "0");
  state.signedIn = false;
}

}  // namespace

bool OtherSignInUsable(const AddinState& state) {
  if (SharedAccount(state.params.otherStatusValue) != "1") return false;
  const std::string ticket = SharedAccount("tavoticketid");
  return !platform::text::Trim(ticket).empty() &&
         ticket != GetRegistryString(HKEY_CURRENT_USER, state.params.pluginSettingsKey, kRefusedTicket);
}

void NoteRefusedTicket(AddinState& state) {
  SetRegistryString(HKEY_CURRENT_USER, state.params.pluginSettingsKey, kRefusedTicket, state.gTicket);
  state.gConfigResult = "FALSE";
  if (!state.signedIn) return;
  // "Please sign in again" is to be followed through Login, which the signed-in state disables.
  SignOutOwnSide(state, /*refused=*/true);
  if (state.host) state.host->ShowSignedOut();
}

bool AdoptOtherSignIn(AddinState& state, const std::function<void()>& signedIn) {
  const AddinParameterSet& p = state.params;
  if (!OtherSignInUsable(state)) return false;
  const std::string user = SharedAccount("tavousername");
  const std::string password = SharedAccount("tavopassword");
  // A blank shared value would leave the add-in signed in as nobody: the name known already stays.
  const std::string account = platform::text::Trim(user).empty() ? state.gLoginUser : DecodeStoredSecret(user);
  // Nothing is filed under no account, nor under a name that cannot name this add-in's folders.
  if (platform::text::Trim(account).empty() || RefusedAccountName(state, account)) return false;
  state.gTicket = SharedAccount("tavoticketid");
  state.gLoginUser = account;
  if (!platform::text::Trim(password).empty()) state.gLoginPassword = DecodeStoredSecret(password);
  signedIn();
  InitUserFiles(state, state.gLoginUser);
  SetSharedAccount(p.ownStatusValue, "1");
  state.signedIn = true;
  ShowStatus(state, state.strings[p.adoptedStatusKey]);
  return true;
}

bool RefusedAccountChange(AddinState& state, std::string_view user, std::string_view password) {
  using platform::text::Trim;
  if (!state.signedIn) return false;
  if (platform::text::EqualsText(Trim(user), Trim(state.gLoginUser)) && Trim(password) == Trim(state.gLoginPassword))
    return false;
  ShowMessage(state,
              "You are signed in to Tavo as " + Trim(state.gLoginUser) +
                  ". To use another Tavo ID or password, choose Logout first.",
              0);
  return true;
}

bool SignOutOfSharedAccount(AddinState& state) {
  const AddinParameterSet& p = state.params;
  if (SharedAccount(p.otherStatusValue) != "1" && SharedAccount(p.ownStatusValue) == "1" &&
      !LogoutFromAccounts(state)) {
    // The service still knows the ticket: stay signed in.
    ShowMessage(state, state.strings["gMsg35"], 0);
    return false;
  }
  SignOutOwnSide(state, /*refused=*/false);
  return true;
}

}  // namespace tavo
