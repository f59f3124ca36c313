#pragma once
// The applications' own questions at the terminal: each is shown as a small dialog under the
// screen and answered with the dialog commands "click <button>", "type <box> <text>" and
// "close" (the close box, as Cancel), read from the operator's command reader.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "host/common/Prompts.h"

namespace host {

class CommandReader;

class ConsolePrompter final : public Prompter {
 public:
  ConsolePrompter(CommandReader& reader, std::ostream& out, std::function<void()> printScreen);
  ~ConsolePrompter() override;

  Answer AskYesNoCancel(std::string_view title, std::string_view question) override;
  std::optional<std::string> AskText(std::string_view title, std::string_view prompt, bool secret) override;

 private:
  // Shows the dialog until a button is clicked; returns the button's index, or -1 for the
  // close box and the end of the input. `box` (when not null) is the dialog's text box.
  int Show(std::string_view title, std::string_view label, const std::vector<std::string>& buttons,
           std::string* box, bool secret);

  CommandReader& reader_;
  std::ostream& out_;
  std::function<void()> printScreen_;
  Prompter* previous_;
};

}  // namespace host
