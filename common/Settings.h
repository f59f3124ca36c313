#pragma once
// Moving the add-in's settings between the registry and its state: at start-up (the settings
// key, the application path, the language code, the remembered credentials), at every sign-in
// and refresh (the service addresses and the log level), and when remember-me is confirmed.
namespace tavo {

struct AddinState;

// Creates the add-in's settings key; always true.
bool CreatePluginRegistryKey(AddinState& state);
// gApplicationPath (the add-in's own folder when blank, written back) and gLanguageCode
// ("eng_us" when blank, written back and read again). False on a run-time error.
bool LoadApplicationSettings(AddinState& state);
// gLoginUser and gLoginPassword (decoded and trimmed; kept as they were when none is stored),
// gRememberFlag, gSaveLocalFlag. False on a run-time error, such as a stored text that does
// not decode.
bool LoadSavedCredentials(AddinState& state);
// The service addresses and the log level, each taking its default only when exactly "", all
// written back; the fixed base of the publishing calls takes https when the API URL has it.
// Returns false: no caller reads the result.
bool LoadServerSettings(AddinState& state);
// Stores the encoded name and password with the remember and save-local flags.
void SaveCredentials(AddinState& state);

}  // namespace tavo
