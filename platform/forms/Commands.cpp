#include "platform/forms/Commands.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "platform/core/Text.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/Operator.h"
#include "platform/forms/UserActions.h"

namespace platform::forms {
namespace {

using Verb = Action::Verb;

struct VerbName {
  Verb verb;
  std::string_view name;
  std::string_view usage;
  std::string_view what;
};
constexpr VerbName kVerbs[] = {
    {Verb::Click, "click", "click NAME", "click a button (or any control) by its name or caption"},
    {Verb::DblClick, "dblclick", "dblclick NAME [INDEX]", "double-click a control; with INDEX, that list entry"},
    {Verb::Focus, "focus", "focus NAME", "move the focus to a control"},
    {Verb::Type, "type", "type NAME TEXT", "type TEXT (the rest of the line) into a text box"},
    {Verb::Clear, "clear", "clear NAME", "empty a text box"},
    {Verb::Key, "key", "key [NAME] KEY", "press enter, esc, space, tab, backspace or a key code"},
    {Verb::Select, "select", "select NAME INDEX|\"ENTRY\"", "select a list entry by its number or its text"},
    {Verb::Check, "check", "check NAME", "tick a check box"},
    {Verb::Uncheck, "uncheck", "uncheck NAME", "clear a check box"},
    {Verb::Option, "option", "option NAME", "choose an option button"},
    {Verb::Hover, "hover", "hover [NAME]", "move the mouse over a control (or the dialog)"},
    {Verb::Close, "close", "close", "close the dialog by its close box"},
    {Verb::Wait, "wait", "wait MS", "let MS milliseconds pass"},
};

std::string VerbList() {
  std::string list;
  for (const auto& v : kVerbs) list += (list.empty() ? "" : ", ") + std::string(v.name);
  return list;
}

struct KeyName {
  std::string_view name;
  int code;
};
constexpr KeyName kKeys[] = {{"enter", 13}, {"esc", 27}, {"escape", 27}, {"space", 32}, {"tab", 9}, {"backspace", 8}};

struct Word {
  std::string text;
  bool quoted = false;
};

[[noreturn]] void Bad(std::string_view line, const std::string& why) {
  throw OperatorError("Cannot read the action \"" + std::string(line) + "\": " + why);
}

// Reads words off the front of a line: bare words end at a blank, quoted ones may hold
// blanks, \" and \\.
class Reader {
 public:
  explicit Reader(std::string_view line) : line_(line) {}

  bool AtEnd() {
    SkipBlanks();
    return pos_ >= line_.size();
  }

  Word Next() {
    SkipBlanks();
    Word w;
    if (pos_ < line_.size() && line_[pos_] == '"') {
      w.quoted = true;
      ++pos_;
      while (true) {
        if (pos_ >= line_.size()) Bad(line_, "a quoted text is not closed");
        char c = line_[pos_++];
        if (c == '"') break;
        if (c == '\\' && pos_ < line_.size() && (line_[pos_] == '"' || line_[pos_] == '\\')) c = line_[pos_++];
        w.text += c;
      }
      if (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t') Bad(line_, "a blank must follow a quoted text");
      return w;
    }
    while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t') w.text += line_[pos_++];
    return w;
  }

  // The rest of the line as typed text: one quoted text, or everything after one blank.
  std::string Rest() {
    if (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
    if (pos_ < line_.size() && line_[pos_] == '"') {
      Word w = Next();
      if (!AtEnd()) Bad(line_, "nothing may follow the quoted text");
      return w.text;
    }
    std::string rest(line_.substr(pos_));
    pos_ = line_.size();
    return rest;
  }

 private:
  void SkipBlanks() {
    while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
  }
  std::string_view line_;
  size_t pos_ = 0;
};

bool ParseNumber(const std::string& s, long& out) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

long KeyCode(std::string_view line, const Word& w) {
  long code = 0;
  if (!w.quoted && ParseNumber(w.text, code)) {
    if (code < 0 || code > 0x10FFFF) Bad(line, "key code " + w.text + " is out of range");
    return code;
  }
  for (const auto& k : kKeys)
    if (text::EqualsText(k.name, w.text)) return k.code;
  Bad(line, "\"" + w.text + "\" is not a key code or key name");
}

std::string AlwaysQuoted(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// A word as the reader reads it back: bare when it can be, else quoted.
std::string Quoted(std::string_view s) {
  bool plain = !s.empty() && s.find_first_of(" \t\"\\") == std::string_view::npos;
  return plain ? std::string(s) : AlwaysQuoted(s);
}

// What a user can act on in the form: the controls within reach but labels and timers, each
// with its caption.
std::string ReachableControls(const Form& form) {
  std::string list;
  for (const Control* c : form.TabOrder()) {
    if (!c->Reachable() || dynamic_cast<const Label*>(c) || c->Kind() == "Timer") continue;
    list += (list.empty() ? "" : ", ") + c->Name();
    auto* captioned = dynamic_cast<const CaptionedControl*>(c);
    if (captioned && !captioned->Caption().empty()) list += " \"" + captioned->Caption() + "\"";
  }
  return list.empty() ? "nothing within reach" : list;
}

Control& Find(Form& form, const Action& action) {
  Control* c = form.FindControl(action.target);
  if (!c)
    throw OperatorError("The form " + form.Name() + " has no control \"" + action.target + "\"; it has " +
                        ReachableControls(form));
  return *c;
}

template <class T>
T& As(Form& form, const Action& action) {
  Control& c = Find(form, action);
  auto* t = dynamic_cast<T*>(&c);
  if (!t) {
    throw OperatorError(std::string(c.Kind()) + " " + c.Name() + " on " + form.Name() + " cannot be used with \"" +
                        FormatAction(action) + "\"");
  }
  return *t;
}

int EntryIndex(ListBox& list, const Action& action) {
  if (action.number >= 0) return static_cast<int>(action.number);
  for (int i = 0; i < list.ListCount(); ++i)
    if (list.List(i) == action.text) return i;
  // Trailing blanks of an entry do not show on the screen: the text as shown finds it too.
  for (int i = 0; i < list.ListCount(); ++i)
    if (text::RTrim(list.List(i)) == text::RTrim(action.text)) return i;
  throw OperatorError("ListBox " + list.Name() + " on " + list.Parent().Name() + " has no entry \"" + action.text + "\"");
}

}  // namespace

Action ParseAction(std::string_view line) {
  Reader r(line);
  if (r.AtEnd()) Bad(line, "it is empty");
  Word verbWord = r.Next();
  Action a;
  bool known = false;
  for (const auto& v : kVerbs) {
    if (!verbWord.quoted && text::EqualsText(v.name, verbWord.text)) {
      a.verb = v.verb;
      known = true;
    }
  }
  if (!known) Bad(line, "\"" + verbWord.text + "\" is not an action; a dialog takes " + VerbList());

  auto target = [&](bool required) {
    if (r.AtEnd()) {
      if (required) Bad(line, "it names no control");
      return;
    }
    a.target = r.Next().text;
    if (a.target.empty()) Bad(line, "the control name is empty");
  };
  auto noMore = [&] {
    if (!r.AtEnd()) Bad(line, "there is more than the action takes");
  };

  switch (a.verb) {
    case Verb::Click:
    case Verb::Focus:
    case Verb::Clear:
    case Verb::Check:
    case Verb::Uncheck:
    case Verb::Option:
      target(true);
      noMore();
      break;
    case Verb::Hover:
      target(false);
      noMore();
      break;
    case Verb::DblClick:
      target(true);
      if (!r.AtEnd()) {
        Word w = r.Next();
        if (w.quoted || !ParseNumber(w.text, a.number) || a.number < 0) Bad(line, "\"" + w.text + "\" is not an entry number");
      }
      noMore();
      break;
    case Verb::Type:
      target(true);
      a.text = r.Rest();
      break;
    case Verb::Key: {
      if (r.AtEnd()) Bad(line, "it gives no key");
      Word first = r.Next();
      if (r.AtEnd()) {
        a.number = KeyCode(line, first);
      } else {
        a.target = first.text;
        a.number = KeyCode(line, r.Next());
      }
      noMore();
      break;
    }
    case Verb::Select: {
      target(true);
      if (r.AtEnd()) Bad(line, "it gives no entry");
      Word w = r.Next();
      long n = 0;
      if (!w.quoted && ParseNumber(w.text, n)) {
        if (n < 0) Bad(line, "entry numbers start at 0");
        a.number = n;
      } else {
        a.text = w.text;
      }
      noMore();
      break;
    }
    case Verb::Close:
      noMore();
      break;
    case Verb::Wait: {
      if (r.AtEnd()) Bad(line, "it gives no time");
      Word w = r.Next();
      if (w.quoted || !ParseNumber(w.text, a.number) || a.number < 0) Bad(line, "\"" + w.text + "\" is not a number of milliseconds");
      noMore();
      break;
    }
  }
  return a;
}

std::string FormatAction(const Action& action) {
  std::string out;
  for (const auto& v : kVerbs)
    if (v.verb == action.verb) out = std::string(v.name);
  if (!action.target.empty()) out += " " + Quoted(action.target);
  switch (action.verb) {
    case Verb::Type: {
      const std::string& t = action.text;
      bool bare = !t.empty() && t.front() != ' ' && t.front() != '"' && t.back() != ' ' &&
                  t.find('\t') == std::string::npos;
      out += " " + (bare ? t : AlwaysQuoted(t));
      break;
    }
    case Verb::Key:
    case Verb::Wait:
      out += " " + std::to_string(action.number);
      break;
    case Verb::Select: {
      long n = 0;
      if (action.number >= 0)
        out += " " + std::to_string(action.number);
      else
        out += " " + (ParseNumber(action.text, n) ? AlwaysQuoted(action.text) : Quoted(action.text));
      break;
    }
    case Verb::DblClick:
      if (action.number >= 0) out += " " + std::to_string(action.number);
      break;
    default:
      break;
  }
  return out;
}

void Perform(Form& form, const Action& action) {
  switch (action.verb) {
    case Verb::Click: user::Click(Find(form, action)); return;
    case Verb::DblClick: {
      Control& c = As<Control>(form, action);
      if (action.number >= 0) user::Select(As<ListBox>(form, action), static_cast<int>(action.number));
      if (form.IsLoaded() && form.IsVisible()) user::DblClick(c);
      return;
    }
    case Verb::Focus: user::Focus(As<Control>(form, action)); return;
    case Verb::Type: user::Type(As<TextBox>(form, action), action.text); return;
    case Verb::Clear: user::Clear(As<TextBox>(form, action)); return;
    case Verb::Key:
      if (action.target.empty())
        user::Key(form, static_cast<int>(action.number));
      else
        user::Key(As<Control>(form, action), static_cast<int>(action.number));
      return;
    case Verb::Select: {
      ListBox& list = As<ListBox>(form, action);
      user::Select(list, EntryIndex(list, action));
      return;
    }
    case Verb::Check: user::Check(As<CheckBox>(form, action), true); return;
    case Verb::Uncheck: user::Check(As<CheckBox>(form, action), false); return;
    case Verb::Option: user::Choose(As<OptionButton>(form, action)); return;
    case Verb::Hover:
      if (action.target.empty())
        user::Hover(form);
      else
        user::Hover(As<Control>(form, action));
      return;
    case Verb::Close: user::Close(form); return;
    case Verb::Wait: user::Wait(Milliseconds(action.number)); return;
  }
}

void Perform(Form& form, std::string_view line) { Perform(form, ParseAction(line)); }

std::string ActionHelp() {
  size_t width = 0;
  for (const auto& v : kVerbs) width = std::max(width, v.usage.size());
  std::string help;
  for (const auto& v : kVerbs)
    help += "  " + std::string(v.usage) + std::string(width + 2 - v.usage.size(), ' ') + std::string(v.what) + "\n";
  return help;
}

}  // namespace platform::forms
