#include "tests/soak/HostScreen.h"

#include <cctype>
#include <sstream>

namespace tavo::test::soak {
namespace {

using std::string;

std::vector<string> Lines(const string& text) {
  std::vector<string> lines;
  std::istringstream in(text);
  for (string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A caption as a click names it: without "&" and blanks at the ends, in lower case.
string CaptionKey(const string& caption) {
  string key;
  for (char c : caption)
    if (c != '&') key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t first = key.find_first_not_of(' '), last = key.find_last_not_of(' ');
  return first == string::npos ? string() : key.substr(first, last - first + 1);
}

// A quoted text as the screen writes it ("\"" and "\n" escaped), from `at`; `at` ends after it.
string Unquote(const string& text, size_t& at) {
  string value;
  for (++at; at < text.size() && text[at] != '"'; ++at) {
    if (text[at] == '\\' && at + 1 < text.size()) {
      ++at;
      value += text[at] == 'n' ? '\n' : text[at];
    } else {
      value += text[at];
    }
  }
  if (at < text.size()) ++at;
  return value;
}

bool EndsWith(const string& text, const string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "  TextBox  tavoemailid  "ann"  <focus>" (after the two blanks of indentation).
ScreenControl ParseControl(const string& line) {
  ScreenControl control;
  std::istringstream words(line);
  words >> control.kind >> control.name;
  string rest;
  std::getline(words, rest);
  size_t at = rest.find_first_not_of(' ');
  if (at == string::npos) return control;
  rest = rest.substr(at);
  for (const string flag : {"  <focus>", "  (disabled)"}) {
    while (EndsWith(rest, flag)) {
      if (flag == "  (disabled)") control.enabled = false;
      rest.erase(rest.size() - flag.size());
    }
  }
  if (!rest.empty() && rest[0] == '"') {
    size_t from = 0;
    control.value = Unquote(rest, from);
  } else {
    control.value = rest;
  }
  return control;
}

// One line of the open files: " * C:\a b.doc (modified) (password)" for the active one, three
// blanks before any other.
OpenFile ParseFile(const string& line) {
  OpenFile file;
  file.active = line.starts_with(" * ");
  string entry = line.substr(3);
  for (bool again = true; again;) {
    again = false;
    for (const string flag : {" (modified)", " (password)"}) {
      if (EndsWith(entry, flag)) {
        if (flag == " (modified)") file.modified = true;
        entry.erase(entry.size() - flag.size());
        again = true;
      }
    }
  }
  file.path = entry;
  return file;
}

}  // namespace

const ScreenControl* ScreenDialog::Control(const std::string& name) const {
  for (const auto& c : controls)
    if (c.name == name) return &c;
  return nullptr;
}

std::string ScreenDialog::Value(const std::string& name) const {
  const ScreenControl* c = Control(name);
  return c ? c->value : string();
}

bool HostScreen::Enabled(const std::string& caption) const {
  const string key = CaptionKey(caption);
  for (const string& c : commands)
    if (CaptionKey(c) == key) return true;
  return false;
}

bool HostScreen::SignedIn() const {
  for (const string& c : commands)
    if (CaptionKey(c) == "login (disabled)") return true;
  return false;
}

const ScreenDialog* HostScreen::Modal() const {
  for (auto d = dialogs.rbegin(); d != dialogs.rend(); ++d)
    if (d->modal) return &*d;
  return nullptr;
}

const OpenFile* HostScreen::Active() const {
  for (const auto& f : files)
    if (f.active) return &f;
  return nullptr;
}

HostScreen ParseScreen(const std::string& printed) {
  HostScreen screen;
  const std::vector<string> lines = Lines(printed);
  size_t first = lines.size();
  for (size_t i = lines.size(); i-- > 0;) {
    if (lines[i].starts_with("==== ") && EndsWith(lines[i], " ====")) {
      first = i;
      break;
    }
  }
  if (first == lines.size()) return screen;
  screen.parsed = true;
  bool inMenu = false, inFiles = false;
  ScreenDialog* dialog = nullptr;
  for (size_t i = first + 1; i < lines.size(); ++i) {
    const string& line = lines[i];
    if (line.starts_with("  ") && dialog) {
      if (line.size() > 2 && line[2] != ' ') {
        dialog->controls.push_back(ParseControl(line.substr(2)));
      } else if (!dialog->controls.empty()) {
        // A list box entry: "> 3  Name" (the selected one) or "  3  Name".
        string entry = line.substr(line.find_first_not_of(' '));
        ScreenControl& list = dialog->controls.back();
        if (entry.starts_with("> ")) {
          list.selected = static_cast<int>(list.entries.size());
          entry = entry.substr(2);
        }
        const size_t gap = entry.find("  ");
        list.entries.push_back(gap == string::npos ? string() : entry.substr(gap + 2));
      }
      continue;
    }
    if (inFiles && line.size() > 3 && (line.starts_with(" * ") || line.starts_with("   ")) && line[3] != ' ') {
      screen.files.push_back(ParseFile(line));
      continue;
    }
    if (line.starts_with("  ") && inMenu) {
      if (line != "  ----") screen.commands.push_back(line.substr(2));
      continue;
    }
    inMenu = inFiles = false;
    dialog = nullptr;
    if (line.starts_with("Menu \"") || line.starts_with("Toolbar \"")) {
      // Buttons on the line: "[ &Open ](disabled)"; a popup "[&Tavo Writer v]" lists its items below.
      for (size_t at = line.find("\": ") + 2; (at = line.find('[', at)) != string::npos;) {
        const size_t end = line.find(']', at);
        if (end == string::npos) break;
        const string caption = line.substr(at + 1, end - at - 1);
        const bool disabled = line.compare(end + 1, 10, "(disabled)") == 0;
        if (!EndsWith(caption, " v")) screen.commands.push_back(caption + (disabled ? " (disabled)" : ""));
        at = end;
      }
      inMenu = line.starts_with("Menu \"");
    } else if (line.starts_with("Status bar: ")) {
      screen.status = line.substr(12);
    } else if (line.starts_with("Documents:") || line.starts_with("Workbooks:")) {
      inFiles = true;
    } else if (line.starts_with("[") && line.find("] \"") != string::npos) {
      ScreenDialog d;
      d.name = line.substr(1, line.find(']') - 1);
      size_t at = line.find("] \"") + 2;
      d.caption = Unquote(line, at);
      d.modal = line.compare(at, 8, " (modal)") == 0;
      screen.dialogs.push_back(d);
      dialog = &screen.dialogs.back();
    }
  }
  return screen;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == string::npos ? path : path.substr(slash + 1);
}

}  // namespace tavo::test::soak
