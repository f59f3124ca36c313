#include "host/console/ConsolePrompter.h"

#include "host/console/Commands.h"
#include "host/console/TerminalOperator.h"
#include "platform/core/Text.h"

namespace host {
namespace text = platform::text;

namespace {
constexpr const char* kBoxName = "Text1";
}

ConsolePrompter::ConsolePrompter(CommandReader& reader, std::ostream& out, std::function<void()> printScreen)
    : reader_(reader), out_(out), printScreen_(std::move(printScreen)), previous_(SetPrompter(this)) {}

ConsolePrompter::~ConsolePrompter() { SetPrompter(previous_); }

Answer ConsolePrompter::AskYesNoCancel(std::string_view title, std::string_view question) {
  switch (Show(title, question, {"Yes", "No", "Cancel"}, nullptr, false)) {
    case 0: return Answer::Yes;
    case 1: return Answer::No;
    default: return Answer::Cancel;
  }
}

std::optional<std::string> ConsolePrompter::AskText(std::string_view title, std::string_view prompt, bool secret) {
  std::string box;
  if (Show(title, prompt, {"OK", "Cancel"}, &box, secret) != 0) return std::nullopt;
  return box;
}

int ConsolePrompter::Show(std::string_view title, std::string_view label, const std::vector<std::string>& buttons,
                          std::string* box, bool secret) {
  while (true) {
    printScreen_();
    out_ << "Dialog \"" << title << "\" (modal):\n  Label1: " << text::Replace(label, "\n", " ") << "\n";
    if (box) out_ << "  TextBox " << kBoxName << ": \"" << (secret ? std::string(box->size(), '*') : *box) << "\"\n";
    out_ << " ";
    for (const auto& b : buttons) out_ << " [" << b << "]";
    out_ << "\n" << std::flush;

    auto line = reader_.Next();
    if (!line) {
      out_ << "End of input: the dialog is closed.\n";
      return -1;
    }
    auto words = SplitCommandLine(*line);
    if (words.empty()) continue;
    const std::string verb = text::LCase(words[0]);
    if (verb == "close" && words.size() == 1) return -1;
    if (verb == "click" && words.size() >= 2) {
      std::string caption = text::Trim(std::string_view(*line).substr(line->find(words[0]) + words[0].size()));
      for (size_t i = 0; i < buttons.size(); ++i)
        if (text::EqualsText(caption, buttons[i]) || text::EqualsText(caption, "Command" + std::to_string(i + 1)))
          return static_cast<int>(i);
      out_ << "The dialog has no button \"" << caption << "\".\n";
      continue;
    }
    if (verb == "type" && box && words.size() >= 2 && text::EqualsText(words[1], kBoxName)) {
      auto at = line->find(words[1]) + words[1].size();
      *box = at < line->size() ? line->substr(at + 1) : std::string();
      continue;
    }
    out_ << "While the dialog \"" << title << "\" is shown: click <button>";
    if (box) out_ << ", type " << kBoxName << " <text>";
    out_ << " or close.\n";
  }
}

}  // namespace host
