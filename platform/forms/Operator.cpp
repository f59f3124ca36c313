#include "platform/forms/Operator.h"

namespace platform::forms {
namespace {
Operator* g_operator = nullptr;
}  // namespace

Operator* CurrentOperator() { return g_operator; }

Operator* SetCurrentOperator(Operator* op) {
  Operator* previous = g_operator;
  g_operator = op;
  return previous;
}

int MsgBox(std::string_view prompt, int buttons, std::string_view title) {
  Operator* op = CurrentOperator();
  if (!op) throw OperatorError("No operator is installed to answer the message box \"" + std::string(prompt) + "\"");
  return op->MessageBox({std::string(prompt), buttons, std::string(title)});
}

}  // namespace platform::forms
