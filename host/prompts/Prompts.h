#pragma once
// The questions the emulated applications themselves ask the user (save changes?, replace the
// file?, the open password). They go to the installed Prompter: by default modal
// dialogs shown through the forms Operator (PromptDialog.h), so that a person, a script or a
// test answers them like any other dialog.
#include <optional>
#include <string>
#include <string_view>

namespace host {

enum class Answer { Yes, No, Cancel };

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer AskYesNoCancel(std::string_view title, std::string_view question) = 0;
  // A line of text (typed hidden when `secret`); nullopt when the user cancels.
  virtual std::optional<std::string> AskText(std::string_view title, std::string_view prompt, bool secret) = 0;
};

// The open password check of a protected file: `given` is the password the caller passed;
// when it is "" the user is asked (with `prompt`). No password stored accepts anything.
enum class PasswordCheck { Accepted, Cancelled, Refused };
PasswordCheck CheckOpenPassword(std::string_view storedHash, std::string_view given, std::string_view prompt);

Prompter& CurrentPrompter();
// Installs `prompter` for the process (nullptr restores the default). Returns the previous one.
Prompter* SetPrompter(Prompter* prompter);

}  // namespace host
