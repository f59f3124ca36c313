#include "host/console/TerminalOperator.h"

#include "host/console/Screen.h"
#include "platform/shell/Shell.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/forms/Commands.h"
#include "platform/forms/Form.h"
#include "platform/forms/Render.h"
#include "platform/forms/Timer.h"

namespace host {
namespace forms = platform::forms;
namespace text = platform::text;

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
      previous_(forms::SetCurrentOperator(this)) {
  InstallShellHandler();
}

TerminalOperator::~TerminalOperator() {
  platform::shell::SetShellExecuteHandler(nullptr);
  forms::SetCurrentOperator(previous_);
}

// No browser runs here: what an add-in opens in "the browser" is printed instead.
void TerminalOperator::InstallShellHandler() {
  platform::shell::SetShellExecuteHandler([this](const platform::shell::ShellExecuteRecord& r) {
    out_ << "Opened in the browser (" << r.operation << "): " << r.file << "\n";
  });
}

void TerminalOperator::PrintScreen() { out_ << RenderScreen(session_) << std::flush; }

int TerminalOperator::Run() {
  PrintScreen();
  while (!session_.quit()) {
    auto line = reader_.Next();
    if (!line) {
      out_ << "End of input: quitting.\n";
      session_.Quit(/*discardChanges=*/true);
      break;
    }
    auto result = interpreter_.Execute(*line);
    if (result == CommandInterpreter::Result::Failed || result == CommandInterpreter::Result::Unknown) status_ = 1;
    if (result == CommandInterpreter::Result::Quit) break;
    // A comment narrates a script and changes nothing: the screen is not printed again for it.
    if (result == CommandInterpreter::Result::Comment) continue;
    forms::DoEvents();  // what fell due meanwhile (timers, pages that arrived) happens now
    PrintScreen();
  }
  out_ << "Bye.\n";
  return status_;
}

std::string TerminalOperator::NextDialogCommand(std::string_view what) {
  while (true) {
    auto line = reader_.Next();
    if (!line) throw forms::OperatorError("End of input while " + std::string(what) + " is shown");
    std::string trimmed = text::Trim(*line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    if (text::EqualsText(trimmed, "screen")) return {};
    return trimmed;
  }
}

void TerminalOperator::Act(forms::Form& form) {
  PrintScreen();
  std::string command = NextDialogCommand("the dialog \"" + form.Caption() + "\"");
  if (command.empty()) return;
  try {
    forms::Perform(form, command);
  } catch (const forms::OperatorError& e) {
    status_ = 1;
    out_ << "Error: " << e.what() << "\n";
  } catch (const platform::RuntimeError& e) {
    // An error no handler of the dialog trapped: shown, and the dialog goes on.
    status_ = 1;
    out_ << "Run-time error " << e.number() << ": " << e.description() << "\n";
  }
}

int TerminalOperator::MessageBox(const forms::MessageBoxRequest& box) {
  struct Button {
    const char* caption;
    int answer;
  };
  const int set = box.buttons & 7;
  std::vector<Button> buttons;
  if (set == forms::kYesNo) buttons = {{"Yes", forms::kYes}, {"No", forms::kNo}};
  else if (set == forms::kOKCancel) buttons = {{"OK", forms::kOK}, {"Cancel", forms::kCancel}};
  else buttons = {{"OK", forms::kOK}};
  while (true) {
    PrintScreen();
    out_ << forms::Render(box) << std::flush;
    std::string command = NextDialogCommand("the message box \"" + box.title + "\"");
    if (command.empty()) continue;
    try {
      forms::Action action = forms::ParseAction(command);
      if (action.verb == forms::Action::Verb::Close && set != forms::kYesNo)
        return set == forms::kOKCancel ? forms::kCancel : forms::kOK;
      if (action.verb == forms::Action::Verb::Click) {
        for (const auto& b : buttons)
          if (platform::office::CaptionKey(action.target) == platform::office::CaptionKey(b.caption)) return b.answer;
      }
      out_ << "Error: the message box takes \"click <button>\" for one of its buttons.\n";
    } catch (const forms::OperatorError& e) {
      out_ << "Error: " << e.what() << "\n";
    }
    status_ = 1;
  }
}

}  // namespace host
