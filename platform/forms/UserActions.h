#pragma once
// What a user can do to a form, in one place for every operator. Each action checks that its
// control can be reached (enabled and visible, with its frame) and throws OperatorError
// naming the control and the form when it cannot, or when the action does not fit the kind of
// control. Focus rules: an action on a focusable control first moves the focus there
// (LostFocus on the previous holder, then GotFocus); labels and pictures never take it.
#include <string_view>

#include "platform/core/Clock.h"

namespace platform::forms {

class CheckBox;
class Control;
class Form;
class ListBox;
class OptionButton;
class TextBox;

namespace user {

// Click: focuses a focusable control, then: a check box toggles (Click follows from the value
// change), an option button is chosen, anything else raises Click.
void Click(Control& control);
// Focuses, then raises DblClick.
void DblClick(Control& control);
void Focus(Control& control);
// Each character in turn: the form's KeyPress first when KeyPreview is on, then the box's;
// a code the handlers leave non-zero is typed over the selection (Change follows).
void Type(TextBox& box, std::string_view text);
// Selects the whole text and deletes it (one Change when it was not empty).
void Clear(TextBox& box);
// A key press on a control (focused first), as Type does for one character; 8 deletes the
// character before the caret, codes below 32 type nothing.
void Key(Control& control, int keyAscii);
// A key press on the form itself.
void Key(Form& form, int keyAscii);
// Chooses entry `index` of a list (Click follows when the selection changes).
void Select(ListBox& list, int index);
// Ticks or unticks; nothing happens when the box is already so.
void Check(CheckBox& box, bool ticked);
void Choose(OptionButton& option);
void Hover(Control& control);
void Hover(Form& form);
// The window's close box.
void Close(Form& form);
// Waits, with timers firing as they fall due (see Wait in Timer.h).
void Wait(Milliseconds duration);

}  // namespace user

}  // namespace platform::forms
