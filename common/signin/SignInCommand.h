#pragma once
// What both add-ins' start-ups and Login commands do alike with the sign-in dialog.
namespace tavo {

struct AddinState;

// At start-up: the hidden sign-in dialog takes the remembered name, password and
// keep-local-copy choice (loading it, which runs its own load handler).
void PrefillSignInDialog(AddinState& state);

enum class SignInStart {
  AdoptOther,  // the other add-in is signed in: take over its sign-in instead
  Stop,        // the dialog was cancelled
  SignIn,      // credentials to sign in with are in gLoginUser and gLoginPassword
};
// The first steps of the Login command: gConfigMode becomes 1; unless the other add-in's
// sign-in can be taken over (OtherSignInUsable), the sign-in dialog (its OK reading gMsg44)
// asks for the credentials when none are in memory or the last dialog was cancelled, and the
// per-user folder roots are set whatever its answer. An account name that cannot name its
// folders stops the command with a message.
SignInStart StartSignIn(AddinState& state);

}  // namespace tavo
