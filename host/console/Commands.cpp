#include "host/console/Commands.h"

#include <charconv>
#include <cstdint>

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

namespace {

enum HostMask : unsigned { kWord = 1, kExcel = 2, kBoth = 3 };

struct CommandInfo {
  std::string_view name;
  std::string_view usage;
  std::string_view what;
  unsigned hosts;
};
constexpr CommandInfo kCommands[] = {
    {"open", "open <file> [password]", "open a file", kBoth},
    {"new", "new", "a new, empty file", kBoth},
    {"type", "type <text>", "type the rest of the line at the selection", kWord},
    {"paragraph", "paragraph", "start a new paragraph", kWord},
    {"picture", "picture <file>", "insert a picture from a file at the selection", kWord},
    {"cell", "cell <ref> <value>", "set a cell of the active sheet, e.g. cell B2 12", kExcel},
    {"save", "save", "save the active file", kBoth},
    {"saveas", "saveas <file> [password]", "save the active file under a name, with an open password", kBoth},
    {"close", "close [name]", "close the active file, or the open file of that name", kBoth},
    {"activate", "activate <name>", "make the open file of that name the active one", kBoth},
    {"click", "click <caption>", "click a toolbar button or menu item (\"&\" and case do not matter)", kBoth},
    {"wait", "wait <milliseconds>", "let time pass (the timers of the dialogs shown run)", kBoth},
    {"screen", "screen", "print the whole screen", kBoth},
    {"help", "help", "this list", kBoth},
    {"quit", "quit", "quit (asking about unsaved changes)", kBoth},
};

unsigned MaskOf(HostKind kind) { return kind == HostKind::Word ? kWord : kExcel; }

const CommandInfo* FindCommand(std::string_view name, HostKind kind) {
  for (const auto& c : kCommands)
    if (c.name == name && (c.hosts & MaskOf(kind))) return &c;
  return nullptr;
}

}  // namespace

std::string CommandInterpreter::Help() const {
  const bool word = session_.kind() == HostKind::Word;
  const std::string extension = word ? ".doc" : ".xls";
  std::string help = std::string(word ? "Word" : "Excel") + " takes these commands:\n";
  for (const auto& c : kCommands) {
    if (!(c.hosts & MaskOf(session_.kind()))) continue;
    constexpr size_t kWidth = 28;
    help += "  " + std::string(c.usage) + std::string(c.usage.size() < kWidth ? kWidth - c.usage.size() : 1, ' ') +
            std::string(c.what) + "\n";
  }
  return help + "A file is a Windows path: a bare name is in your Documents folder, and this machine's own files\n" +
         "are on drive Z: (Z:\\tmp\\x" + extension + " is /tmp/x" + extension +
         "). Write an argument holding blanks in double quotes.\n"
         "While a dialog is shown, \"help\" lists the actions it takes.\n";
}

std::string CommandInterpreter::CommandList() const {
  std::string list;
  for (const auto& c : kCommands)
    if (c.hosts & MaskOf(session_.kind())) list += (list.empty() ? "" : ", ") + std::string(c.name);
  return list;
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
  std::string command = text::LCase(words[0]);
  if (command == "show") command = "screen";
  if (command == "exit") command = "quit";
  const CommandInfo* info = FindCommand(command, session_.kind());
  if (!info) {
    out_ << "Unknown command \"" << words[0] << "\". " << (session_.word() ? "Word" : "Excel") << " takes "
         << CommandList() << " (\"help\" tells what each does).\n";
    return Result::Unknown;
  }
  const std::string usage = "Usage: " + std::string(info->usage);
  const size_t args = words.size() - 1;
  auto word = session_.word();
  auto excel = session_.excel();
  auto need = [&](size_t least, size_t most) {
    if (args < least || args > most) Raise(platform::err::InvalidProcedureCall, usage);
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
  } else if (command == "screen") {
    return Result::Screen;
  } else if (command == "quit") {
    need(0, 0);
    if (!session_.Quit()) {
      out_ << "Quit cancelled.\n";
      return Result::Failed;
    }
    return Result::Quit;
  } else if (command == "open") {
    need(1, 2);
    std::string password = args == 2 ? words[2] : "";
    if (word) word->Documents().Open({.fileName = PathOf(words[1]), .passwordDocument = password});
    else excel->Workbooks().Open({.filename = PathOf(words[1]), .password = password});
  } else if (command == "new") {
    need(0, 0);
    if (word) word->Documents().Add();
    else excel->workbooks().Add();
  } else if (command == "saveas") {
    need(1, 2);
    std::optional<std::string> password;
    if (args == 2) password = words[2];
    if (word) activeDocument()->SaveAs({.fileName = PathOf(words[1]), .password = password});
    else activeWorkbook()->SaveAs({.filename = PathOf(words[1]), .password = password});
  } else if (command == "save") {
    need(0, 0);
    if (word) activeDocument()->Save();
    else activeWorkbook()->Save();
  } else if (command == "close") {
    need(0, 1);
    if (excel && !args) activeWorkbook();  // a clear error when none is open
    if (word) {
      (args ? word->Documents().Item(words[1]) : word->ActiveDocument())->Close();
    } else {
      auto book = args ? excel->Workbooks().Item(words[1]) : excel->ActiveWorkbook();
      book->Close();
    }
  } else if (command == "activate") {
    need(1, 1);
    if (word) word->Documents().Item(words[1])->Activate();
    else excel->Workbooks().Item(words[1])->Activate();
  } else if (command == "wait") {
    need(1, 1);
    long ms = -1;
    auto [end, ec] = std::from_chars(words[1].data(), words[1].data() + words[1].size(), ms);
    if (ec != std::errc() || end != words[1].data() + words[1].size() || ms < 0)
      Raise(platform::err::InvalidProcedureCall, usage);
    platform::forms::Wait(platform::Milliseconds(ms));
  } else if (command == "click") {
    need(1, SIZE_MAX);
    session_.Click(rest);
  } else if (command == "type") {
    need(1, SIZE_MAX);
    activeDocument();
    word->Selection().TypeText(rest);
  } else if (command == "paragraph") {
    need(0, 0);
    activeDocument();
    word->Selection().TypeText("\n");
  } else if (command == "picture") {
    need(1, 1);
    activeDocument()->InsertPicture(PathOf(words[1]));
  } else if (command == "cell") {
    need(1, SIZE_MAX);
    auto space = rest.find(' ');
    std::string value = space == std::string_view::npos ? std::string() : std::string(rest.substr(space + 1));
    activeWorkbook()->SetCell(words[1], value);
  }
  return Result::Done;
}

}  // namespace host
