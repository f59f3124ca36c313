#include "platform/forms/Render.h"

#include <algorithm>

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/Operator.h"
#include "platform/forms/WebBrowser.h"

namespace platform::forms {
namespace {

std::string Quote(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      continue;
    } else {
      if (c == '"') out += '\\';
      out += c;
    }
  }
  return out + "\"";
}

std::string Pad(std::string s, size_t width) {
  if (s.size() < width) s.append(width - s.size(), ' ');
  return s;
}

bool Shown(const Control& c) {
  for (const Control* at = &c; at; at = at->Container())
    if (!at->Visible()) return false;
  return c.Kind() != "Timer";
}

// The caption or value of a control, and the extra lines it needs (list entries).
std::string Describe(const Control& c, std::vector<std::string>& lines) {
  if (auto* box = dynamic_cast<const CheckBox*>(&c)) {
    std::string mark = box->Value() == 1 ? "[x]" : box->Value() == 2 ? "[-]" : "[ ]";
    return box->Caption().empty() ? mark : mark + " " + Quote(box->Caption());
  }
  if (auto* option = dynamic_cast<const OptionButton*>(&c)) {
    std::string mark = option->Value() ? "(o)" : "( )";
    return option->Caption().empty() ? mark : mark + " " + Quote(option->Caption());
  }
  if (auto* captioned = dynamic_cast<const CaptionedControl*>(&c)) return Quote(captioned->Caption());
  if (auto* box = dynamic_cast<const TextBox*>(&c)) return Quote(box->DisplayText());
  if (auto* list = dynamic_cast<const ListBox*>(&c)) {
    for (int i = 0; i < list->ListCount(); ++i)
      lines.push_back(std::string(i == list->ListIndex() ? "> " : "  ") + std::to_string(i) + "  " + list->List(i));
    int n = list->ListCount();
    return std::to_string(n) + (n == 1 ? " entry" : " entries");
  }
  if (auto* bar = dynamic_cast<const ProgressBar*>(&c))
    return std::to_string(bar->Min()) + ".." + std::to_string(bar->Max()) + " = " + std::to_string(bar->Value());
  if (auto* image = dynamic_cast<const Image*>(&c)) return image->Picture().empty() ? "(no picture)" : Quote(image->Picture());
  if (auto* browser = dynamic_cast<const WebBrowser*>(&c)) return Quote(browser->LocationURL());
  return {};
}

}  // namespace

std::string Render(const Form& form) {
  if (!form.IsLoaded()) return "[" + form.Name() + "] (not loaded)\n";
  std::string out = "[" + form.Name() + "] " + Quote(form.Caption());
  out += form.IsModal() ? " (modal)" : form.IsVisible() ? " (shown)" : " (hidden)";
  out += "\n";

  std::vector<const Control*> shown;
  size_t kindWidth = 0, nameWidth = 0;
  for (const Control* c : form.TabOrder()) {
    if (!Shown(*c)) continue;
    shown.push_back(c);
    kindWidth = std::max(kindWidth, c->Kind().size());
    nameWidth = std::max(nameWidth, c->Name().size());
  }
  for (const Control* c : shown) {
    std::vector<std::string> lines;
    std::string line = "  " + Pad(std::string(c->Kind()), kindWidth + 2) + Pad(c->Name(), nameWidth + 2) + Describe(*c, lines);
    if (!c->Enabled()) line += "  (disabled)";
    if (c->HasFocus()) line += "  <focus>";
    out += line + "\n";
    for (const auto& l : lines) out += std::string(kindWidth + nameWidth + 6, ' ') + l + "\n";
  }
  return out;
}

std::string Render(const MessageBoxRequest& box) {
  std::string out = "[MsgBox] " + Quote(box.title) + "\n  " + Quote(box.prompt) + "\n  ";
  switch (box.buttons & 7) {
    case kOKCancel: out += "[OK] [Cancel]"; break;
    case 2: out += "[Abort] [Retry] [Ignore]"; break;
    case 3: out += "[Yes] [No] [Cancel]"; break;
    case kYesNo: out += "[Yes] [No]"; break;
    case 5: out += "[Retry] [Cancel]"; break;
    default: out += "[OK]"; break;
  }
  return out + "\n";
}

}  // namespace platform::forms
