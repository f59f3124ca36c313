#pragma once
// The text command language of the user actions (UserActions.h), one action a line:
//   click NAME            dblclick NAME [INDEX]      focus NAME      hover [NAME]
//   type NAME TEXT        clear NAME                 key [NAME] CODE
//   select NAME INDEX|"ENTRY"                        check NAME      uncheck NAME
//   option NAME           close                      wait MS
// NAME is a control's name or caption ("&" ignored, case-insensitive); a name or caption
// with blanks is written in double quotes. TEXT is the rest of the line, or a quoted text
// (\" and \\ inside). CODE is a number or one of enter, esc, space, tab, backspace. "key" without
// NAME goes to the control that has the focus (the form itself when none has it), with the
// form's own name to the form; "hover" without NAME to the form.
#include <string>
#include <string_view>

namespace platform::forms {

class Form;

// One parsed line of the command language.
struct Action {
  enum class Verb { Click, DblClick, Focus, Type, Clear, Key, Select, Check, Uncheck, Option, Hover, Close, Wait };
  Verb verb = Verb::Click;
  std::string target;  // control name or caption; "" for the form itself
  std::string text;    // Type: the text; Select: the entry text when no index was given
  long number = -1;    // Key: the code; Select, DblClick: the index (-1 none); Wait: ms
};

// Parses one line; OperatorError with the reason for a line that is not an action.
Action ParseAction(std::string_view line);
// The line that parses back into `action`.
std::string FormatAction(const Action& action);
// Carries out `action` on `form`, resolving the target with Form::FindControl.
void Perform(Form& form, const Action& action);
// ParseAction, then Perform.
void Perform(Form& form, std::string_view line);
// One line per action: its form and what it does.
std::string ActionHelp();

}  // namespace platform::forms
