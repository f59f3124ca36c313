#pragma once
// The operator of `tavo-office`: reads commands from a script or the terminal, echoes each,
// runs it and prints the screen after it. Everything that waits for the user reads from the
// same command reader: the top level (the commands of Commands.h), and every modal dialog an
// add-in or the application shows meanwhile, message boxes included, which take the dialog
// commands of the forms layer ("click Command1", "type tavoemailid ...", "close").
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "host/OfficeSession.h"
#include "host/console/Commands.h"
#include "platform/forms/Operator.h"

namespace host {

class CommandReader {
 public:
  CommandReader(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
  // The next command line, echoed after "> "; nullopt at the end of the input.
  std::optional<std::string> Next();

 private:
  std::istream& in_;
  std::ostream& out_;
};

class TerminalOperator final : public platform::forms::Operator {
 public:
  // Installs itself as the current operator for its lifetime.
  TerminalOperator(OfficeSession& session, std::istream& in, std::ostream& out);
  ~TerminalOperator() override;
  // Runs commands until "quit" or the end of the input (which quits too, discarding unsaved
  // changes). Returns the exit status: 0, or 1 when any command failed.
  int Run();
  void PrintScreen();

  void Act(platform::forms::Form& form) override;
  int MessageBox(const platform::forms::MessageBoxRequest& box) override;

 private:
  void InstallShellHandler();
  // The next dialog command; throws OperatorError at the end of the input.
  std::string NextDialogCommand(std::string_view what);

  OfficeSession& session_;
  std::ostream& out_;
  CommandReader reader_;
  CommandInterpreter interpreter_;
  platform::forms::Operator* previous_;
  int status_ = 0;
};

}  // namespace host
