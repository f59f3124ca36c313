#pragma once
// The folder roots every command of an add-in works in, for the account in gLoginUser. Nothing
// is created here (the sign-in creates the folders); a failure is logged without a level as
// "<procedure>:||<description>||<number>".
namespace tavo {

struct AddinState;

// gDocsRoot: <Documents>\tavo\<tavowriter|tavosheet>.
void osdocusernamepath(AddinState& state);
// gAppDataRoot: <AppData>\tavo\<tavowriter|tavosheet>, and gUserDataFolder for gLoginUser.
void oslogusernamepath(AddinState& state);
// Both: osdocusernamepath, then oslogusernamepath.
void SetUserFolders(AddinState& state);

}  // namespace tavo
