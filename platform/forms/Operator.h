#pragma once
// The operator: whoever acts as the user. A modal form is handed to the current operator, which
// acts on it (click, type, close, wait, ...: see UserActions.h) until the form is hidden or
// unloaded. The operator is also told when a form is shown modelessly or goes away, and answers
// message boxes. There is one current operator per process, installed by the host or a test.
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform::forms {

class Form;

// A failure of the user's side, not of the program: no operator, an action refused by a
// disabled or hidden control, a script with no action left for a form. It is deliberately
// not a RuntimeError, so that the error handlers of dialog code do not swallow it and it
// unwinds the modal show.
class OperatorError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Message box styles and answers.
inline constexpr int kOKOnly = 0;
inline constexpr int kOKCancel = 1;
inline constexpr int kYesNo = 4;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kOK = 1;
inline constexpr int kCancel = 2;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;

struct MessageBoxRequest {
  std::string prompt;
  int buttons = kOKOnly;  // button set plus icon, e.g. kOKOnly + kExclamation
  std::string title;
};

class Operator {
 public:
  virtual ~Operator() = default;

  // One user action on `form`, the modal form on top. Called again for as long as the form
  // stays shown; may throw (OperatorError) to give up, which unwinds the modal show.
  virtual void Act(Form& form) = 0;
  // A form became visible, modally or not (after Form_Load and the first focus).
  virtual void Shown(Form& form, bool modal) { (void)form, (void)modal; }
  // A visible form was hidden or unloaded.
  virtual void Closed(Form& form) { (void)form; }
  // The program yields to the message loop (DoEvents) in the middle of its work: an operator
  // may show what changed on the screen meanwhile (a progress window's text).
  virtual void Idle() {}
  // A message box; returns the answer (kOK, kYes, ...).
  virtual int MessageBox(const MessageBoxRequest& box) = 0;
};

// The current operator, or nullptr when none is installed.
Operator* CurrentOperator();
// Installs `op` for the process; returns the previous one.
Operator* SetCurrentOperator(Operator* op);

class ScopedOperator {
 public:
  explicit ScopedOperator(Operator& op) : previous_(SetCurrentOperator(&op)) {}
  ~ScopedOperator() { SetCurrentOperator(previous_); }
  ScopedOperator(const ScopedOperator&) = delete;
  ScopedOperator& operator=(const ScopedOperator&) = delete;

 private:
  Operator* previous_;
};

// The standard message box; returns the operator's answer. OperatorError without an operator.
int MsgBox(std::string_view prompt, int buttons = kOKOnly, std::string_view title = {});

}  // namespace platform::forms
