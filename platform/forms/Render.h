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
//     Image          Image1        picture, tool tip "Click me"
//
// Timers and hidden controls are left out; texts are quoted with line breaks shown as "\n";
// list entries are numbered from 0, right-aligned.
#include <string>
#include <string_view>
#include <vector>

namespace platform::forms {

class Form;
struct MessageBoxRequest;

std::string Render(const Form& form);

// The picture a line at a time: the caption line (key ""), then a line per control (its name)
// and per list entry ("listdoc#3").
struct RenderedLine {
  std::string key;
  std::string text;  // with its line break
  std::string_view kind = {};  // of the control the line shows ("Label"); "" for the others
};
std::vector<RenderedLine> RenderLines(const Form& form);
// From one picture of a form to the next: the caption line, a note for each control no longer
// shown, then each control whose line changed or that has entries new or changed, with those
// entries; nothing else.
std::string RenderChanges(const std::vector<RenderedLine>& before, const std::vector<RenderedLine>& after);
// A message box: its title, prompt and buttons.
std::string Render(const MessageBoxRequest& box);

}  // namespace platform::forms
