#include "host/console/Commands.h"

#include <charconv>

#include "host/common/WinPath.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/environment/Environment.h"
#include "platform/forms/Timer.h"

namespace host {
namespace text = platform::text;
using platform::Raise;

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, inWord = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

std::string CommandInterpreter::Help() {
  return "Commands: open <file> [password], new, type <text>, paragraph, picture <file>, cell <ref> <value>,\n"
         "  save, saveas <file> [password], close [name], activate <name>, click <caption>, wait <ms>, screen,\n"
         "  quit.\n"
         "While a dialog is shown, the dialog commands apply (click, type, key, select, check, close, ...).\n";
}

std::string CommandInterpreter::PathOf(const std::string& name) const {
  if (name.find('\\') != std::string::npos || name.find(':') != std::string::npos) return name;
  return "C:\\Users\\" + platform::environment::Current().userName() + "\\Documents\\" + name;
}

CommandInterpreter::Result CommandInterpreter::Execute(std::string_view line) {
  std::string trimmed = text::Trim(line);
  if (trimmed.empty()) return Result::Done;
  if (trimmed[0] == '#') return Result::Comment;
  auto words = SplitCommandLine(trimmed);
  if (words.empty()) return Result::Done;
  auto space = trimmed.find(' ');
  std::string_view rest = space == std::string::npos ? std::string_view() : std::string_view(trimmed).substr(space + 1);
  try {
    return Run(words, rest);
  } catch (const platform::RuntimeError& e) {
    out_ << "Run-time error " << e.number() << ": " << e.description() << "\n";
    return Result::Failed;
  } catch (const std::exception& e) {
    out_ << "Error: " << e.what() << "\n";
    return Result::Failed;
  }
}

CommandInterpreter::Result CommandInterpreter::Run(const std::vector<std::string>& words, std::string_view rest) {
  const std::string command = text::LCase(words[0]);
  const size_t args = words.size() - 1;
  auto word = session_.word();
  auto excel = session_.excel();
  auto need = [&](size_t least, size_t most, const char* usage) {
    if (args < least || args > most) Raise(platform::err::InvalidProcedureCall, std::string("Usage: ") + usage);
  };
  auto activeDocument = [&] {
    auto d = word->activeDocument();
    if (!d) Raise(platform::err::InvalidProcedureCall, "No document is open");
    return d;
  };
  auto activeWorkbook = [&] {
    auto b = excel->activeWorkbook();
    if (!b) Raise(platform::err::InvalidProcedureCall, "No workbook is open");
    return b;
  };

  if (command == "help") {
    out_ << Help();
  } else if (command == "screen" || command == "show") {
    // The screen is printed after every command.
  } else if (command == "quit" || command == "exit") {
    need(0, 0, "quit");
    if (!session_.Quit()) {
      out_ << "Quit cancelled.\n";
      return Result::Failed;
    }
    return Result::Quit;
  } else if (command == "open") {
    need(1, 2, "open <file> [password]");
    std::string password = args == 2 ? words[2] : "";
    if (word) word->Documents().Open({.fileName = PathOf(words[1]), .passwordDocument = password});
    else excel->Workbooks().Open({.filename = PathOf(words[1]), .password = password});
  } else if (command == "new") {
    need(0, 0, "new");
    if (word) word->Documents().Add();
    else excel->workbooks().Add();
  } else if (command == "saveas") {
    need(1, 2, "saveas <file> [password]");
    std::optional<std::string> password;
    if (args == 2) password = words[2];
    if (word) activeDocument()->SaveAs({.fileName = PathOf(words[1]), .password = password});
    else activeWorkbook()->SaveAs({.filename = PathOf(words[1]), .password = password});
  } else if (command == "save") {
    need(0, 0, "save");
    if (word) activeDocument()->Save();
    else activeWorkbook()->Save();
  } else if (command == "close") {
    need(0, 1, "close [name]");
    if (excel && !args) activeWorkbook();  // a clear error when none is open
    if (word) {
      (args ? word->Documents().Item(words[1]) : word->ActiveDocument())->Close();
    } else {
      auto book = args ? excel->Workbooks().Item(words[1]) : excel->ActiveWorkbook();
      book->Close();
    }
  } else if (command == "activate") {
    need(1, 1, "activate <name>");
    if (word) word->Documents().Item(words[1])->Activate();
    else excel->Workbooks().Item(words[1])->Activate();
  } else if (command == "wait") {
    need(1, 1, "wait <milliseconds>");
    long ms = -1;
    auto [end, ec] = std::from_chars(words[1].data(), words[1].data() + words[1].size(), ms);
    if (ec != std::errc() || end != words[1].data() + words[1].size() || ms < 0)
      Raise(platform::err::InvalidProcedureCall, "Usage: wait <milliseconds>");
    platform::forms::Wait(platform::Milliseconds(ms));
  } else if (command == "click") {
    if (args == 0) Raise(platform::err::InvalidProcedureCall, "Usage: click <caption>");
    session_.Click(rest);
  } else if (word && command == "type") {
    if (args == 0) Raise(platform::err::InvalidProcedureCall, "Usage: type <text>");
    activeDocument();
    word->Selection().TypeText(rest);
  } else if (word && command == "paragraph") {
    need(0, 0, "paragraph");
    activeDocument();
    word->Selection().TypeText("\n");
  } else if (word && command == "picture") {
    need(1, 1, "picture <file>");
    activeDocument()->InsertPicture(PathOf(words[1]));
  } else if (excel && command == "cell") {
    if (args < 1) Raise(platform::err::InvalidProcedureCall, "Usage: cell <ref> <value>");
    auto space = rest.find(' ');
    std::string value = space == std::string_view::npos ? std::string() : std::string(rest.substr(space + 1));
    activeWorkbook()->SetCell(words[1], value);
  } else {
    out_ << "Unknown command \"" << words[0] << "\". " << Help();
    return Result::Unknown;
  }
  return Result::Done;
}

}  // namespace host
