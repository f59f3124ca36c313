#include "host/console/TerminalOperator.h"

#include "host/console/Screen.h"
#include "platform/shell/Shell.h"

namespace host {

std::optional<std::string> CommandReader::Next() {
  std::string line;
  if (!std::getline(in_, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  out_ << "> " << line << "\n";
  return line;
}

TerminalOperator::TerminalOperator(OfficeSession& session, std::istream& in, std::ostream& out)
    : session_(session),
      out_(out),
      reader_(in, out),
      interpreter_(session, out),
      prompter_(reader_, out, [this] { PrintScreen(); }) {
  InstallShellHandler();
}

TerminalOperator::~TerminalOperator() { platform::shell::SetShellExecuteHandler(nullptr); }

// No browser runs here: what an add-in opens in "the browser" is printed instead.
void TerminalOperator::InstallShellHandler() {
  platform::shell::SetShellExecuteHandler([this](const platform::shell::ShellExecuteRecord& r) {
    out_ << "Opened in the browser (" << r.operation << "): " << r.file << "\n";
  });
}

void TerminalOperator::PrintScreen() { out_ << RenderScreen(session_) << std::flush; }

int TerminalOperator::Run() {
  int status = 0;
  PrintScreen();
  while (!session_.quit()) {
    auto line = reader_.Next();
    if (!line) {
      out_ << "End of input: quitting.\n";
      session_.Quit(/*discardChanges=*/true);
      break;
    }
    auto result = interpreter_.Execute(*line);
    if (result == CommandInterpreter::Result::Failed || result == CommandInterpreter::Result::Unknown) status = 1;
    if (result == CommandInterpreter::Result::Quit) break;
    PrintScreen();
  }
  out_ << "Bye.\n";
  return status;
}

}  // namespace host
