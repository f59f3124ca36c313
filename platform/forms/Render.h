#pragma once
// A text picture of a form, readable at a terminal: the caption line, then each visible
// control in tab order with its kind, name, caption or value and its state. For example:
//
//   [frmConfig] "Tavo Credentials" (modal)
//     Label          Label1        "Tavo ID"
//     TextBox        tavoemailid   "user@example.com"  <focus>
//     TextBox        tavopassword  "****"
//     CheckBox       rememberme    [x]
//     CommandButton  Command1      "Save"  (disabled)
//     ListBox        listdoc       2 entries
//                      0  First document
//                    > 1  Second document
//     ProgressBar    ProgressBar1  0..100 = 40
//
// Timers and hidden controls are left out; texts are quoted with line breaks shown as "\n".
#include <string>

namespace platform::forms {

class Form;
struct MessageBoxRequest;

std::string Render(const Form& form);
// A message box: its title, prompt and buttons.
std::string Render(const MessageBoxRequest& box);

}  // namespace platform::forms
