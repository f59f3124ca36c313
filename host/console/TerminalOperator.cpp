#include "host/console/TerminalOperator.h"

#include <signal.h>

#include <algorithm>

#include "host/prompts/Notices.h"
#include "host/console/Signals.h"
#include "platform/shell/Shell.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/forms/ActionCommands.h"
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
// Closing a dialog at quit this many times in a row without it going means it will not go.
constexpr int kClosesOfAStuckDialog = 5;
}  // namespace

std::optional<std::string> CommandReader::Next(std::string_view prompt) {
  out_ << std::flush;
  while (true) {
    LineInput::Read read = input_->ReadLine(std::string(prompt));
    switch (read.status) {
      case LineInput::Status::Line:
        ends_ = 0;
        if (!read.line.empty() && read.line.back() == '\r') read.line.pop_back();
        if (!input_->terminal()) out_ << "> " << read.line << "\n";
        return read.line;
      case LineInput::Status::End:
        ++ends_;
        return std::nullopt;
      case LineInput::Status::Interrupted:
        out_ << "^C\n";
        if (read.line.empty()) out_ << "(Ctrl-C drops the line being typed; \"quit\" or Ctrl-D quits.)\n";
        out_ << std::flush;
        continue;
      case LineInput::Status::Stopped:
        if (!stop_ && input_->terminal()) out_ << "\n";  // off the prompt's line
        stop_ = signals::Stop();
        return std::nullopt;
    }
  }
}

bool CommandReader::Over() const {
  return stop_ || (ends_ > 0 && (!input_->terminal() || ends_ >= kEndsOfAGoneTerminal));
}

namespace {
// The open files with changes not saved, e.g. "Document1, C:\x\a.doc".
std::string Unsaved(OfficeSession& session) {
  std::string names;
  auto add = [&](const auto& file) {
    if (!file->Saved()) names += (names.empty() ? "" : ", ") + file->FullName();
  };
  if (auto word = session.word())
    for (const auto& d : word->documents()) add(d);
  else
    for (const auto& b : session.excel()->workbookList()) add(b);
  return names;
}

std::string SignalName(int signal) {
  switch (signal) {
    case SIGHUP: return "The terminal hung up";
    case SIGTERM: return "Asked to end (SIGTERM)";
    case SIGINT: return "Interrupted (Ctrl-C)";
    default: return "Signal " + std::to_string(signal);
  }
}
}  // namespace

TerminalOperator::TerminalOperator(OfficeSession& session, std::istream& in, std::ostream& out, TerminalOptions options)
    : TerminalOperator(session, StreamInput(in), out, options) {}

TerminalOperator::TerminalOperator(OfficeSession& session, std::unique_ptr<LineInput> input, std::ostream& out,
                                   TerminalOptions options)
    : session_(session),
      out_(out),
      options_(options),
      reader_(std::move(input), out),
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
        const std::string unsaved = Unsaved(session_);
        const std::string lost = unsaved.empty() ? "." : "; the changes to " + unsaved + " are not saved.";
        if (reader_.stop()) {
          out_ << SignalName(reader_.stop()) << ": quitting without asking" << lost << "\n" << std::flush;
          status_ = 128 + reader_.stop();
        } else {
          out_ << "End of input: quitting" << lost << "\n";
        }
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
      if (reader_.stop()) return "close";
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
  if (reader_.stop()) {
    // The host is quitting: each dialog is closed by its close box, as when the system ends
    // the session. One that will not close ends the show.
    if (++closing_ > kClosesOfAStuckDialog)
      throw forms::OperatorError("The dialog \"" + form.Caption() + "\" does not close while the host quits");
    out_ << "Closing the dialog \"" << form.Caption() << "\": the host is quitting.\n";
  }
  try {
    const forms::Action action = forms::ParseAction(command);
    forms::Perform(form, action);
    // A tool tip shows while the mouse rests on the control.
    if (action.verb == forms::Action::Verb::Hover && !action.target.empty() && form.IsLoaded()) {
      if (const forms::Control* c = form.FindControl(action.target)) {
        if (c->ToolTipText().empty()) out_ << c->Name() << " has no tool tip.\n";
        else out_ << c->Name() << ": tool tip \"" << c->ToolTipText() << "\"\n";
      }
    }
  } catch (const forms::OperatorError& e) {
    status_ = 1;
    out_ << "Error: " << e.what() << "\n";
  } catch (const platform::RuntimeError& e) {
    // An error no handler of the dialog trapped: shown, and the dialog goes on.
    status_ = 1;
    out_ << "Run-time error " << e.number() << ": " << e.description() << "\n";
  }
}

void TerminalOperator::Closed(forms::Form&) { closing_ = 0; }

void TerminalOperator::Idle() {
  if (options_.fullScreens || whole_) return;
  auto labels = [](const std::vector<forms::RenderedLine>& lines) {
    std::vector<forms::RenderedLine> kept;
    for (const auto& l : lines)
      if (l.key.empty() || l.kind == "Label") kept.push_back(l);
    return kept;
  };
  for (const auto* form : forms::LoadedForms()) {
    if (!form->IsVisible() || form->IsModal()) continue;
    ScreenPart now = FormPart(*form);
    auto was = std::find_if(shown_.begin(), shown_.end(), [&](const ScreenPart& p) { return p.key == now.key; });
    if (was == shown_.end()) {
      out_ << now.text << std::flush;
      shown_.push_back(std::move(now));
      continue;
    }
    const std::vector<forms::RenderedLine> before = labels(was->lines), after = labels(now.lines);
    bool same = before.size() == after.size();
    for (size_t i = 0; same && i < before.size(); ++i) same = before[i].text == after[i].text;
    if (same) continue;
    out_ << forms::RenderChanges(before, after) << std::flush;
    *was = std::move(now);
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
    if (reader_.stop()) {
      // The host is quitting: the box gets the answer that changes least.
      const Button& answer = buttons.back();
      out_ << "Answered \"" << answer.caption << "\": the host is quitting.\n" << std::flush;
      return answer.answer;
    }
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
