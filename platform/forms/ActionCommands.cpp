#include "platform/forms/ActionCommands.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "platform/core/Text.h"
#include "platform/forms/CommandWords.h"
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
    {Verb::Key, "key", "key [NAME] KEY", "press enter, esc, space, tab, backspace or a key code: on the control with the focus, or NAME (the dialog's own name for the dialog)"},
    {Verb::Select, "select", "select NAME INDEX|\"ENTRY\"", "select a list entry by its number or its text"},
    {Verb::Check, "check", "check NAME", "tick a check box"},
    {Verb::Uncheck, "uncheck", "uncheck NAME", "clear a check box"},
    {Verb::Option, "option", "option NAME", "choose an option button"},
    {Verb::Hover, "hover", "hover [NAME]", "move the mouse over a control (or the dialog); shows its tool tip"},
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

using Word = CommandWord;

[[noreturn]] void Bad(std::string_view line, const std::string& why) {
  throw OperatorError("Cannot read the action \"" + std::string(line) + "\": " + why);
}

// The words of an action line; a line that cannot be cut into words is no action.
class Reader {
 public:
  explicit Reader(std::string_view line) : line_(line), words_(line) {}
  bool AtEnd() { return words_.AtEnd(); }
  Word Next() {
    from_ = words_.Position();
    return Guarded([&] { return words_.Next(); });
  }
  std::string Rest() { return Guarded([&] { return words_.Rest(); }); }

  // What to write instead when the last word read was the first of a name or entry with
  // blanks that is not in quotes.
  std::string QuotingHint() const {
    return "; a name or entry with blanks goes in double quotes: " + std::string(line_.substr(0, from_)) +
           AlwaysQuoted(text::Trim(line_.substr(from_)));
  }

 private:
  template <class F>
  auto Guarded(F read) -> decltype(read()) {
    try {
      return read();
    } catch (const CommandLineError& e) {
      Bad(line_, e.what());
    }
  }
  std::string_view line_;
  CommandWords words_;
  size_t from_ = 0;  // where the last word read starts
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

  Word last;
  auto target = [&](bool required) {
    if (r.AtEnd()) {
      if (required) Bad(line, "it names no control");
      return;
    }
    last = r.Next();
    a.target = last.text;
    if (a.target.empty()) Bad(line, "the control name is empty");
  };
  // `named`: the last word read was a control's name or an entry, which may hold blanks.
  auto noMore = [&](bool named = false) {
    if (r.AtEnd()) return;
    Bad(line, "there is more than the action takes" + (named && !last.quoted ? r.QuotingHint() : std::string()));
  };

  switch (a.verb) {
    case Verb::Click:
    case Verb::Focus:
    case Verb::Clear:
    case Verb::Check:
    case Verb::Uncheck:
    case Verb::Option:
      target(true);
      noMore(true);
      break;
    case Verb::Hover:
      target(false);
      noMore(true);
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
      last = r.Next();
      long n = 0;
      if (!last.quoted && ParseNumber(last.text, n)) {
        if (n < 0) Bad(line, "entry numbers start at 0");
        a.number = n;
      } else {
        a.text = last.text;
      }
      noMore(true);
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
  if (!action.target.empty()) out += " " + QuotedWord(action.target);
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
        out += " " + (ParseNumber(action.text, n) ? AlwaysQuoted(action.text) : QuotedWord(action.text));
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
      if (action.target.empty()) {
        // As on a real form, a key goes to the control that has the focus.
        Control* focused = form.ActiveControl();
        if (focused && focused->Reachable() && focused->Focusable())
          user::Key(*focused, static_cast<int>(action.number));
        else
          user::Key(form, static_cast<int>(action.number));
      } else if (text::EqualsText(action.target, form.Name()) && !form.FindControl(action.target)) {
        user::Key(form, static_cast<int>(action.number));
      } else
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
