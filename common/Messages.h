#pragma once
// The one way every part of the add-in talks to the user: a modal message, or a text in the host
// application's status bar. The status bar is written only while the interface language is
// English, so translated texts never reach it.
#include <string>
#include <string_view>

namespace platform::forms {
class Form;
}

namespace tavo {

struct AddinState;

// Kind 0 information, 1 error, 2 a plain message box with the text as given; other kinds show
// nothing. Kinds 0 and 1 show the text decoded from its escapes unless the language is English,
// in which case the text also goes to the status bar. An add-in with a single message dialog
// shows every kind in it by the rule of kinds 0 and 1.
void ShowMessage(AddinState& state, std::string_view text, int kind);

// Sets the host's status bar ("" clears it) while the interface language is English.
void ShowStatus(AddinState& state, std::string_view text);

// Moves a dialog to the centre of the screen.
void CenterForm(platform::forms::Form& form);

// Shows the message dialog for the kind with the given label text and returns when it closes.
void ShowMessageDialog(AddinState& state, int kind, const std::string& label);

}  // namespace tavo
