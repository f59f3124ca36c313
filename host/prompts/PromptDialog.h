#pragma once
// The applications' own questions (Prompts.h) as a small modal dialog shown through the
// Operator, so that a person at the terminal, a script or a test's scripted operator answers
// them like any other dialog. The dialog's caption is the question's title ("Word", "Excel",
// "Password", "Save As"); it has the label Label1, the text box Text1 (for a line of text;
// Enter confirms) and the buttons Command1 ("&Yes" or "OK"), Command2 ("&No") and Command3
// ("Cancel"). The close box and Esc cancel.
#include "host/prompts/Prompts.h"

namespace host {

class DialogPrompter final : public Prompter {
 public:
  Answer AskYesNoCancel(std::string_view title, std::string_view question) override;
  std::optional<std::string> AskText(std::string_view title, std::string_view prompt, bool secret) override;
};

}  // namespace host
