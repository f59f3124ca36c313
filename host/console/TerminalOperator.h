#pragma once
// The operator of `tavo-office`: reads commands from a script or the terminal, echoes each,
// runs it and prints the screen after it. Everything that waits for the user (the top level,
// and every dialog and question shown meanwhile) reads from the same command reader.
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "host/OfficeSession.h"
#include "host/console/Commands.h"
#include "host/console/ConsolePrompter.h"

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

class TerminalOperator {
 public:
  TerminalOperator(OfficeSession& session, std::istream& in, std::ostream& out);
  ~TerminalOperator();
  // Runs commands until "quit" or the end of the input (which quits too, discarding unsaved
  // changes). Returns the exit status: 0, or 1 when any command failed.
  int Run();

  void PrintScreen();

 private:
  void InstallShellHandler();
  OfficeSession& session_;
  std::ostream& out_;
  CommandReader reader_;
  CommandInterpreter interpreter_;
  ConsolePrompter prompter_;
};

}  // namespace host
