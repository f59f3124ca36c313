#pragma once
// The operator of `tavo-office`: reads commands from a script or the terminal, runs each and
// prints the screen after it. Everything that waits for the user reads from the same command
// reader: the top level (the commands of Commands.h), and every modal dialog an add-in or the
// application shows meanwhile, message boxes included, which take the dialog commands of the
// forms layer ("click Command1", "type tavoemailid ...", "close"). "help" lists what is taken
// where it is typed, and "screen" prints the whole screen.
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/OfficeSession.h"
#include "host/console/Commands.h"
#include "host/console/LineInput.h"
#include "host/console/Screen.h"
#include "platform/forms/Operator.h"

namespace host {

struct TerminalOptions {
  // The user types at a terminal, which shows what is typed: a prompt says what waits for a
  // command, nothing is echoed again, and the end of the input (Ctrl-D) at the top quits as
  // "quit" does. Otherwise (a script, a pipe) every line read is echoed after "> ".
  bool terminal = false;
  // The whole screen after every command; otherwise only the parts of it that changed.
  bool fullScreens = true;
};

class CommandReader {
 public:
  CommandReader(std::unique_ptr<LineInput> input, std::ostream& out) : input_(std::move(input)), out_(out) {}
  // The next command line, after `prompt` at a terminal or echoed after "> " otherwise;
  // nullopt at the end of the input or once a signal asks the host to quit. Ctrl-C at a
  // terminal drops the line typed and reads another.
  std::optional<std::string> Next(std::string_view prompt);
  // The input has ended for good: a script or pipe at its end, a terminal that gave nothing
  // but ends of input several times in a row (it has gone), or a signal to quit came.
  bool Over() const;
  // The signal that asks the host to quit, 0 while none came.
  int stop() const { return stop_; }
  bool terminal() const { return input_->terminal(); }

 private:
  std::unique_ptr<LineInput> input_;
  std::ostream& out_;
  int ends_ = 0;  // ends of input in a row
  int stop_ = 0;
};

class TerminalOperator final : public platform::forms::Operator {
 public:
  // Installs itself as the current operator for its lifetime. Reads `in` as a script.
  TerminalOperator(OfficeSession& session, std::istream& in, std::ostream& out, TerminalOptions options = {});
  // Reads `input`; options.terminal follows from it.
  TerminalOperator(OfficeSession& session, std::unique_ptr<LineInput> input, std::ostream& out,
                   TerminalOptions options = {});
  ~TerminalOperator() override;
  // Runs commands until "quit" or the end of the input (which quits too; at the end of a
  // script unsaved changes are discarded, and said so). A signal to quit quits without asking,
  // and says what was not saved. Returns the exit status: 0, 1 when any command failed, or
  // 128 plus the number of the signal that ended the host.
  int Run();
  // The screen (whole, or what changed since it was last printed).
  void PrintScreen();

  void Act(platform::forms::Form& form) override;
  void Closed(platform::forms::Form& form) override;
  // What a window shown beside the work says meanwhile (the progress window's text), as it
  // changes; only when printing what changed.
  void Idle() override;
  int MessageBox(const platform::forms::MessageBoxRequest& box) override;

 private:
  void InstallHandlers();
  // The next dialog command; "" for "screen" (the whole screen is printed next). "help" prints
  // `help`. Throws OperatorError once the input is over; once a signal asks the host to quit,
  // "close".
  std::string NextDialogCommand(const std::string& what, const std::string& prompt, const std::string& help);

  OfficeSession& session_;
  std::ostream& out_;
  TerminalOptions options_;
  CommandReader reader_;
  CommandInterpreter interpreter_;
  platform::forms::Operator* previous_;
  std::vector<ScreenPart> shown_;  // the screen as last printed
  bool whole_ = true;              // print the whole screen next time
  int status_ = 0;
  int closing_ = 0;  // dialogs closed in a row since a signal asked the host to quit
};

}  // namespace host
