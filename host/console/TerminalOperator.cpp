#include "host/console/TerminalOperator.h"

#include "host/common/Notices.h"
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

namespace {
// A terminal gives an end of input for each Ctrl-D; this many in a row, and nothing else,
// means that it has gone.
constexpr int kEndsOfAGoneTerminal = 3;
}  // namespace

std::optional<std::string> CommandReader::Next(std::string_view prompt) {
  if (terminal_) out_ << prompt << std::flush;
  std::string line;
  if (!std::getline(in_, line)) {
    ++ends_;
    if (terminal_) in_.clear();  // a terminal goes on after Ctrl-D
    return std::nullopt;
  }
  ends_ = 0;
  if (terminal_ && in_.eof()) in_.clear();  // Ctrl-D after text ends the line
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (!terminal_) out_ << "> " << line << "\n";
  return line;
}

bool CommandReader::Over() const { return ends_ > 0 && (!terminal_ || ends_ >= kEndsOfAGoneTerminal); }

TerminalOperator::TerminalOperator(OfficeSession& session, std::istream& in, std::ostream& out, TerminalOptions options)
    : session_(session),
      out_(out),
      options_(options),
      reader_(in, out, options.terminal),
      interpreter_(session, out),
      previous_(forms::SetCurrentOperator(this)) {
  InstallHandlers();
}

TerminalOperator::~TerminalOperator() {
  SetNoticeHandler(nullptr);
  platform::shell::SetShellExecuteHandler(nullptr);
  forms::SetCurrentOperator(previous_);
}

void TerminalOperator::InstallHandlers() {
  // No browser runs here: what an add-in opens in "the browser" is printed instead.
  platform::shell::SetShellExecuteHandler([this](const platform::shell::ShellExecuteRecord& r) {
    out_ << "Opened in the browser (" << r.operation << "): " << r.file << "\n";
  });
  // Why the application refused an add-in's call, which the add-in's own message may not say.
  SetNoticeHandler([this](const std::string& notice) { out_ << notice << "\n"; });
}

void TerminalOperator::PrintScreen() {
  std::vector<ScreenPart> parts = RenderParts(session_);
  if (options_.fullScreens || whole_) {
    for (const auto& part : parts) out_ << part.text;
  } else {
    out_ << ScreenChanges(shown_, parts);
  }
  out_ << std::flush;
  shown_ = std::move(parts);
  whole_ = false;
}

int TerminalOperator::Run() {
  PrintScreen();
  const std::string prompt = session_.application()->Name() + "> ";
  while (!session_.quit()) {
    auto line = reader_.Next(prompt);
    if (!line) {
      if (reader_.Over()) {
        out_ << "End of input: quitting.\n";
        session_.Quit(/*discardChanges=*/true);
        break;
      }
      out_ << "quit\n";  // Ctrl-D at the prompt
      line = "quit";
    }
    auto result = interpreter_.Execute(*line);
    if (result == CommandInterpreter::Result::Failed || result == CommandInterpreter::Result::Unknown) status_ = 1;
    if (result == CommandInterpreter::Result::Quit) break;
    // A comment narrates a script and changes nothing: the screen is not printed again for it.
    if (result == CommandInterpreter::Result::Comment) continue;
    if (result == CommandInterpreter::Result::Screen) whole_ = true;
    forms::DoEvents();  // what fell due meanwhile (timers, pages that arrived) happens now
    PrintScreen();
  }
  out_ << "Bye.\n";
  return status_;
}

std::string TerminalOperator::NextDialogCommand(const std::string& what, const std::string& prompt,
                                                const std::string& help) {
  while (true) {
    auto line = reader_.Next(prompt);
    if (!line) {
      if (reader_.Over()) throw forms::OperatorError("End of input while " + what + " is shown");
      out_ << "\nInput ended, but " << what << " is still shown: \"close\" closes it, \"help\" lists what it takes.\n";
      continue;
    }
    std::string trimmed = text::Trim(*line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    if (text::EqualsText(trimmed, "help")) {
      out_ << help << std::flush;
      continue;
    }
    if (text::EqualsText(trimmed, "screen")) {
      whole_ = true;
      return {};
    }
    return trimmed;
  }
}

void TerminalOperator::Act(forms::Form& form) {
  PrintScreen();
  const std::string help = "The dialog [" + form.Name() + "] takes these actions (NAME: a control's name or caption):\n" +
                           forms::ActionHelp() + "\"screen\" prints the whole screen.\n";
  std::string command = NextDialogCommand("the dialog \"" + form.Caption() + "\"", "[" + form.Name() + "]> ", help);
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
  std::string clicks;
  for (const auto& b : buttons) clicks += std::string(clicks.empty() ? "" : " or ") + "\"click " + b.caption + "\"";
  const std::string help = "The message box takes " + clicks + (set == forms::kYesNo ? "" : ", or \"close\"") +
                           "; \"screen\" prints the whole screen.\n";
  while (true) {
    PrintScreen();
    out_ << forms::Render(box) << std::flush;
    std::string command = NextDialogCommand("the message box \"" + box.title + "\"", "[MsgBox]> ", help);
    if (command.empty()) continue;
    try {
      forms::Action action = forms::ParseAction(command);
      if (action.verb == forms::Action::Verb::Close && set != forms::kYesNo)
        return set == forms::kOKCancel ? forms::kCancel : forms::kOK;
      if (action.verb == forms::Action::Verb::Click) {
        for (const auto& b : buttons)
          if (platform::office::CaptionKey(action.target) == platform::office::CaptionKey(b.caption)) return b.answer;
      }
      out_ << "Error: the message box takes \"click <button>\" for one of its buttons: " << clicks << ".\n";
    } catch (const forms::OperatorError& e) {
      out_ << "Error: " << e.what() << "\n";
    }
    status_ = 1;
  }
}

}  // namespace host
