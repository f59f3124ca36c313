#include "platform/forms/UserActions.h"

#include "platform/codepage/Utf.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/Operator.h"
#include "platform/forms/Timer.h"

namespace platform::forms::user {
namespace {

[[noreturn]] void Refuse(const Control& c, const std::string& why) {
  throw OperatorError(std::string(c.Kind()) + " " + c.Name() + " on " + c.Parent().Name() + " " + why);
}

bool Shown(const Form& form) { return form.IsLoaded() && form.IsVisible(); }

void RequireShown(const Form& form) {
  if (!Shown(form)) throw OperatorError("The form " + form.Name() + " is not shown");
}

// The control must be one a user can reach, on a form that is shown.
void RequireReachable(const Control& c) {
  RequireShown(c.Parent());
  if (!c.Visible()) Refuse(c, "is not visible");
  if (!c.Enabled()) Refuse(c, "is disabled");
  if (!c.Reachable()) Refuse(c, "sits in a frame that is disabled or not visible");
}

// Focuses a focusable control; false when a focus handler took the form away.
bool FocusFirst(Control& c) {
  if (c.Focusable()) c.Parent().FocusControl(c);
  return Shown(c.Parent());
}

void Fire(const std::function<void()>& event) {
  if (event) event();
}

// The next code point of UTF-8 text (a stray byte stands for itself).
char32_t NextCodePoint(std::string_view s, size_t& i) {
  char32_t cp = 0;
  if (!codepage::utf::Next(s, i, &cp)) cp = static_cast<unsigned char>(s[i - 1]);
  return cp;
}

std::string Utf8(char32_t cp) {
  std::string out;
  codepage::utf::Append(cp, out);
  return out;
}

// What a key does to a text box once the handlers have let it through.
void Edit(TextBox& box, int code) {
  if (box.Locked()) return;
  if (code == kKeyBack) {
    if (box.SelLength() == 0) {
      if (box.SelStart() == 0) return;
      int caret = box.SelStart();
      box.SetSelStart(caret - 1);
      box.SetSelLength(1);
    }
    box.SetSelText("");
    return;
  }
  if (code < 32) return;
  if (box.MaxLength() > 0 && box.LengthInCharacters() - box.SelLength() >= box.MaxLength()) return;
  box.SetSelText(Utf8(static_cast<char32_t>(code)));
}

// One key on a focused control: the form's preview, the control's handler, then its effect.
// False when a handler took the form away.
bool Press(Control& c, int code) {
  Form& form = c.Parent();
  if (form.KeyPreview()) {
    form.RaiseKeyPress(code);
    if (!Shown(form)) return false;
  }
  if (code != 0 && c.onKeyPress) {
    c.onKeyPress(code);
    if (!Shown(form)) return false;
  }
  if (code != 0)
    if (auto* box = dynamic_cast<TextBox*>(&c)) Edit(*box, code);
  return Shown(form);
}

}  // namespace

void Click(Control& control) {
  RequireReachable(control);
  if (!FocusFirst(control)) return;
  if (auto* box = dynamic_cast<CheckBox*>(&control))
    box->SetValue(box->Value() == 0 ? 1 : 0);
  else if (auto* option = dynamic_cast<OptionButton*>(&control))
    option->SetValue(true);
  else
    Fire(control.onClick);
}

void DblClick(Control& control) {
  RequireReachable(control);
  if (!FocusFirst(control)) return;
  Fire(control.onDblClick);
}

void Focus(Control& control) {
  RequireReachable(control);
  if (!control.Focusable()) Refuse(control, "cannot take the focus");
  control.Parent().FocusControl(control);
}

void Type(TextBox& box, std::string_view text) {
  RequireReachable(box);
  if (!FocusFirst(box)) return;
  for (size_t i = 0; i < text.size();) {
    if (!Press(box, static_cast<int>(NextCodePoint(text, i)))) return;
  }
}

void Clear(TextBox& box) {
  RequireReachable(box);
  if (!FocusFirst(box) || box.Locked() || box.Text().empty()) return;
  box.SetSelStart(0);
  box.SetSelLength(box.LengthInCharacters());
  box.SetSelText("");
}

void Key(Control& control, int keyAscii) {
  RequireReachable(control);
  if (!control.Focusable()) Refuse(control, "cannot take the focus, so it gets no keys");
  if (!FocusFirst(control)) return;
  Press(control, keyAscii);
}

void Key(Form& form, int keyAscii) {
  RequireShown(form);
  form.RaiseKeyPress(keyAscii);
}

void Select(ListBox& list, int index) {
  RequireReachable(list);
  if (index < 0 || index >= list.ListCount())
    Refuse(list, "has no entry " + std::to_string(index) + " (it has " + std::to_string(list.ListCount()) + ")");
  if (!FocusFirst(list)) return;
  list.SetListIndex(index);
}

void Check(CheckBox& box, bool ticked) {
  RequireReachable(box);
  if (!FocusFirst(box)) return;
  if ((box.Value() == 1) != ticked) box.SetValue(ticked ? 1 : 0);
}

void Choose(OptionButton& option) {
  RequireReachable(option);
  if (!FocusFirst(option)) return;
  option.SetValue(true);
}

void Hover(Control& control) {
  RequireReachable(control);
  Fire(control.onMouseMove);
}

void Hover(Form& form) {
  RequireShown(form);
  form.RaiseMouseMove();
}

void Close(Form& form) {
  RequireShown(form);
  form.CloseBox();
}

void Wait(Milliseconds duration) { forms::Wait(duration); }

}  // namespace platform::forms::user
