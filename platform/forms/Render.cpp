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
    const int n = list->ListCount();
    // Numbers right-aligned, so that the entries line up past 9.
    const size_t width = std::to_string(n > 0 ? n - 1 : 0).size();
    for (int i = 0; i < n; ++i) {
      std::string number = std::to_string(i);
      number.insert(0, width - number.size(), ' ');
      lines.push_back(std::string(i == list->ListIndex() ? "> " : "  ") + number + "  " + list->List(i));
    }
    return std::to_string(n) + (n == 1 ? " entry" : " entries");
  }
  if (auto* bar = dynamic_cast<const ProgressBar*>(&c))
    return std::to_string(bar->Min()) + ".." + std::to_string(bar->Max()) + " = " + std::to_string(bar->Value());
  if (auto* image = dynamic_cast<const Image*>(&c)) {
    // A picture is known by what it is for: its tool tip, else the name of its picture file.
    if (!image->ToolTipText().empty()) return "picture, tool tip " + Quote(image->ToolTipText());
    if (image->Picture().empty()) return "(no picture)";
    const std::string& path = image->Picture();
    return "picture " + Quote(path.substr(path.find_last_of("\\/") + 1));
  }
  if (auto* browser = dynamic_cast<const WebBrowser*>(&c)) return Quote(browser->LocationURL());
  return {};
}

}  // namespace

std::vector<RenderedLine> RenderLines(const Form& form) {
  if (!form.IsLoaded()) return {{"", "[" + form.Name() + "] (not loaded)\n"}};
  std::string caption = "[" + form.Name() + "] " + Quote(form.Caption());
  caption += form.IsModal() ? " (modal)" : form.IsVisible() ? " (shown)" : " (hidden)";
  std::vector<RenderedLine> out{{"", caption + "\n"}};

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
    out.push_back({c->Name(), line + "\n", c->Kind()});
    for (size_t i = 0; i < lines.size(); ++i)
      out.push_back({c->Name() + "#" + std::to_string(i), std::string(kindWidth + nameWidth + 6, ' ') + lines[i] + "\n"});
  }
  return out;
}

std::string Render(const Form& form) {
  std::string out;
  for (const auto& line : RenderLines(form)) out += line.text;
  return out;
}

std::string RenderChanges(const std::vector<RenderedLine>& before, const std::vector<RenderedLine>& after) {
  auto find = [](const std::vector<RenderedLine>& lines, const std::string& key) -> const RenderedLine* {
    for (const auto& l : lines)
      if (l.key == key) return &l;
    return nullptr;
  };
  auto control = [](const std::string& key) { return key.substr(0, key.find('#')); };
  std::vector<std::string> changed;  // controls with a line new or changed
  for (const auto& l : after) {
    const RenderedLine* was = find(before, l.key);
    if ((!was || was->text != l.text) && !l.key.empty()) changed.push_back(control(l.key));
  }
  auto isChanged = [&](const std::string& name) { return std::find(changed.begin(), changed.end(), name) != changed.end(); };
  std::string out = after.empty() ? std::string() : after.front().text;
  for (const auto& l : before)
    if (!l.key.empty() && l.key.find('#') == std::string::npos && !find(after, l.key))
      out += "  (" + l.key + " is no longer shown)\n";
  for (const auto& l : after) {
    if (l.key.empty()) continue;
    const RenderedLine* was = find(before, l.key);
    const bool entry = l.key.find('#') != std::string::npos;
    // A control's own line tells which control its changed entries belong to.
    if (entry ? (!was || was->text != l.text) : isChanged(l.key)) out += l.text;
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
