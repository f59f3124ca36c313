#pragma once
// The one sign-in the two add-ins share through the registry key kSharedAccountsKey: the
// ticket, the encoded name and password, and one status value per add-in ("1" signed in).
// Each add-in takes over the other's sign-in, and the account is signed out of the service
// only by the last add-in signed in.
#include <functional>
#include <string>
#include <string_view>

namespace tavo {

struct AddinState;

// A value of the shared key ("" when missing).
std::string SharedAccount(std::string_view name);
void SetSharedAccount(std::string_view name, std::string_view value);

// Whether the other add-in holds a sign-in this add-in can take over: its status value is "1",
// and the shared ticket is neither blank nor one the service has refused to this add-in. A host
// killed while signed in leaves its status "1" for good, with a ticket the service ends some
// time after; taking that over again and again would leave no way back to a working sign-in.
bool OtherSignInUsable(const AddinState& state);

// The service has refused the current ticket (the authentication error of either API): the
// other add-in's sign-in is no longer taken over while it holds that ticket (kept in this
// add-in's settings, so also after a restart), and the next Login asks for the credentials.
// A new sign-in of either add-in writes a new ticket and is trusted again. A signed-in add-in
// goes back to its signed-out state, as after Logout, so that Login can sign in again: no
// sign-out is sent (the service knows the ticket no more), and the shared ticket, name and
// password stay when they are no longer the refused ones (a sign-in made since, elsewhere).
void NoteRefusedTicket(AddinState& state);

// When the other add-in's sign-in is usable: takes its ticket, name and password (decoded; a
// blank stored value keeps the one already in memory), lets `signedIn` put the add-in's controls
// into their signed-in state, prepares the user's files, records this add-in as signed in and
// says so in the status bar. False, with nothing changed, when it is not, or when its account
// name is blank or cannot name this add-in's folders (the user is told).
bool AdoptOtherSignIn(AddinState& state, const std::function<void()>& signedIn);

// True, after telling the user, when the add-in is signed in and the name or password a sign-in
// dialog was given is not the one the ticket was given for (the name compared trimmed and in
// any letter case, the password trimmed and exactly): the account of a sign-in only changes
// through Logout and a new sign-in, so that what is opened, saved and recorded is always filed
// under the account the service serves.
bool RefusedAccountChange(AddinState& state, std::string_view user, std::string_view password);

// Signs this add-in out: when the other add-in is not signed in, the account is signed out of
// the service (if this add-in was signed in) and the shared ticket, name and password are
// cleared; in every case this add-in's status becomes "0" and neither add-in's settings keep
// the ticket. False when the service refused the sign-out: gMsg35 has been shown and nothing
// has changed, so the add-in stays signed in.
bool SignOutOfSharedAccount(AddinState& state);

}  // namespace tavo
