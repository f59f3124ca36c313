#pragma once
// The two menu commands that are the same in both add-ins.
namespace tavo {

struct AddinState;

// About: the about box, modally.
void ShowAbout(AddinState& state);
// Settings: the sign-in dialog in settings mode (gConfigMode 2), modally; it only changes the
// stored choices, so nothing follows when it closes.
void ShowSettings(AddinState& state);

}  // namespace tavo
