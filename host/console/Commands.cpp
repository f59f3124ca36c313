#include "host/console/Commands.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <stdexcept>
#include <vector>

#include "host/files/UserPaths.h"
#include "host/files/WinPath.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/forms/CommandWords.h"
#include "platform/forms/Timer.h"

namespace host {
namespace forms = platform::forms;
namespace text = platform::text;

namespace {

enum HostMask : unsigned { kWord = 1, kExcel = 2, kBoth = 3 };

// `least`, `most`: how many words the command takes. One with a text (`text`) takes `least`
// words, then the rest of the line as its text.
struct CommandInfo {
  std::string_view name;
  std::string_view usage;
  std::string_view what;
  unsigned hosts;
  size_t least = 0, most = 0;
  bool text = false;
};
constexpr CommandInfo kCommands[] = {
    {"open", "open <file> [password]", "open a file", kBoth, 1, 2},
    {"new", "new", "a new, empty file", kBoth},
    {"type", "type <text>", "type the text at the selection", kWord, 0, 0, true},
    {"paragraph", "paragraph", "start a new paragraph", kWord},
    {"picture", "picture <file>", "insert a picture from a file at the selection", kWord, 1, 1},
    {"cell", "cell <ref> [value]", "set a cell of the active sheet, e.g. cell B2 12 (no value clears it)", kExcel, 1, 1,
     true},
    {"save", "save", "save the active file", kBoth},
    {"saveas", "saveas <file> [password]", "save the active file under a name, with an open password", kBoth, 1, 2},
    {"close", "close [name]", "close the active file, or the open file of that name", kBoth, 0, 1},
    {"activate", "activate <name>", "make the open file of that name the active one", kBoth, 1, 1},
    {"click", "click <caption>", "click a toolbar button or menu item (\"&\" and case do not matter)", kBoth, 0, 0,
     true},
    {"wait", "wait <milliseconds>", "let time pass (the timers of the dialogs shown run)", kBoth, 1, 1},
    {"screen", "screen", "print the whole screen", kBoth},
    {"help", "help", "this list", kBoth},
    {"quit", "quit", "quit (asking about unsaved changes)", kBoth},
};

// A command line that does not fit its command, or a command that cannot run as things stand:
// told as it is, with what to do instead.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
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
  const std::string files = word ? "documents" : "workbooks";
  return help + "A file is a Windows path: a bare name is in your Documents folder, and this machine's own files\n" +
         "are on drive Z: (Z:\\tmp\\x" + extension + " is /tmp/x" + extension +
         "). Write an argument holding blanks in double quotes (\\\" and \\\\ inside for \" and \\);\n"
         "a text (of type, cell, click) is the rest of the line, or one quoted text.\n"
         "The screen lists the open " + files + " one a line: \"*\" marks the active one, \"(modified)\" one with\n"
         "changes not saved yet, \"(password)\" one saved with an open password.\n"
         "While a dialog is shown, \"help\" lists the actions it takes. At a terminal, Up and Down go through\n"
         "the lines typed before, Ctrl-C drops the line being typed, and Ctrl-D quits as \"quit\" does.\n";
}

std::string CommandInterpreter::CommandList() const {
  std::string list;
  for (const auto& c : kCommands)
    if (c.hosts & MaskOf(session_.kind())) list += (list.empty() ? "" : ", ") + std::string(c.name);
  return list;
}

CommandInterpreter::Result CommandInterpreter::Execute(std::string_view line) {
  std::string trimmed = text::Trim(line);
  if (trimmed.empty()) return Result::Done;
  if (trimmed[0] == '#') return Result::Comment;
  try {
    return Run(trimmed);
  } catch (const CommandError& e) {
    out_ << e.what() << "\n";
    return Result::Failed;
  } catch (const forms::CommandLineError& e) {
    out_ << "Cannot read the command \"" << trimmed << "\": " << e.what() << ".\n";
    return Result::Failed;
  } catch (const platform::RuntimeError& e) {
    out_ << "Run-time error " << e.number() << ": " << e.description() << "\n";
    return Result::Failed;
  } catch (const std::exception& e) {
    out_ << "Error: " << e.what() << "\n";
    return Result::Failed;
  }
}

CommandInterpreter::Result CommandInterpreter::Run(std::string_view line) {
  forms::CommandWords reader(line);
  const forms::CommandWord verb = reader.Next();
  std::string command = verb.quoted ? std::string() : text::LCase(verb.text);
  if (command == "show") command = "screen";
  if (command == "exit") command = "quit";
  const CommandInfo* info = FindCommand(command, session_.kind());
  const bool isWord = session_.kind() == HostKind::Word;
  if (!info) {
    out_ << "Unknown command \"" << verb.text << "\". " << (isWord ? "Word" : "Excel") << " takes "
         << CommandList() << " (\"help\" tells what each does).\n";
    return Result::Unknown;
  }
  const std::string usage = "Usage: " + std::string(info->usage) + " (" + std::string(info->what) + ").";
  std::vector<forms::CommandWord> words;
  // A text keeps the blanks it starts with: no look past the words before it.
  while ((!info->text || words.size() < info->least) && !reader.AtEnd()) {
    words.push_back(reader.Next());
    if (words.size() > info->most) {
      // A name with blanks that is not in quotes reads as several words.
      const bool named = info->most > 0 && command != "wait" && !words[info->most - 1].quoted;
      throw CommandError(usage + (named ? " A name with blanks goes in double quotes." : ""));
    }
  }
  if (words.size() < info->least) throw CommandError(usage);
  const std::string textArgument = info->text ? reader.Rest() : std::string();
  if (info->text && command != "cell" && text::Trim(textArgument).empty()) throw CommandError(usage);
  auto arg = [&](size_t i) -> const std::string& { return words[i].text; };
  const size_t args = words.size();

  auto word = session_.word();
  auto excel = session_.excel();
  const char* file = isWord ? "document" : "workbook";
  auto activeDocument = [&] {
    auto d = word->activeDocument();
    if (!d) throw CommandError("No document is open: \"new\" makes one, \"open <file>\" opens one.");
    return d;
  };
  auto activeWorkbook = [&] {
    auto b = excel->activeWorkbook();
    if (!b) throw CommandError("No workbook is open: \"new\" makes one, \"open <file>\" opens one.");
    return b;
  };
  // The names of the open files, for a name that is none of them.
  auto openNames = [&] {
    std::string names;
    auto add = [&](const std::string& name) { names += (names.empty() ? "" : ", ") + forms::QuotedWord(name); };
    if (word)
      for (const auto& d : word->documents()) add(d->Name());
    else
      for (const auto& b : excel->workbookList()) add(b->Name());
    return names;
  };
  auto requireOpen = [&](const std::string& name) {
    const bool found = word ? std::any_of(word->documents().begin(), word->documents().end(),
                                          [&](const auto& d) {
                                            return text::EqualsText(d->Name(), name) || text::EqualsText(d->FullName(), name);
                                          })
                            : std::any_of(excel->workbookList().begin(), excel->workbookList().end(),
                                          [&](const auto& b) { return text::EqualsText(b->Name(), name); });
    if (found) return;
    const std::string names = openNames();
    throw CommandError("No open " + std::string(file) + " is named \"" + name + "\"; " +
                       (names.empty() ? "none is open." : "open: " + names + "."));
  };
  auto pathOf = [](const std::string& typed) {
    try {
      return UserFilePath(typed);
    } catch (const platform::RuntimeError& e) {
      throw CommandError(e.description());
    }
  };
  // A file to write: its folder must be there.
  auto target = [&](const std::string& typed) {
    std::string path = pathOf(typed);
    const std::string folder = SplitPath(NormalizeWindowsPath(path)).folder;
    if (folder.empty() || !platform::files::FolderExists(folder))
      throw CommandError("The folder " + (folder.empty() ? path : folder) + " does not exist. A bare name saves in " +
                         DocumentsFolder() + "; this machine's own folders are on drive Z: (Z:\\tmp is /tmp).");
    return path;
  };

  if (command == "help") {
    out_ << Help();
  } else if (command == "screen") {
    return Result::Screen;
  } else if (command == "quit") {
    if (!session_.Quit()) {
      out_ << "Quit cancelled.\n";
      return Result::Failed;
    }
    return Result::Quit;
  } else if (command == "open") {
    std::string password = args == 2 ? arg(1) : "";
    if (word) word->Documents().Open({.fileName = pathOf(arg(0)), .passwordDocument = password});
    else excel->Workbooks().Open({.filename = pathOf(arg(0)), .password = password});
  } else if (command == "new") {
    if (word) word->Documents().Add();
    else excel->workbooks().Add();
  } else if (command == "saveas") {
    std::optional<std::string> password;
    if (args == 2) password = arg(1);
    if (word) {
      auto d = activeDocument();
      d->SaveAs({.fileName = target(arg(0)), .password = password});
    } else {
      auto b = activeWorkbook();
      b->SaveAs({.filename = target(arg(0)), .password = password});
    }
  } else if (command == "save") {
    if (word) activeDocument()->Save();
    else activeWorkbook()->Save();
  } else if (command == "close") {
    if (args) requireOpen(arg(0));
    if (word) {
      if (!args) activeDocument();
      (args ? word->Documents().Item(arg(0)) : word->ActiveDocument())->Close();
    } else {
      if (!args) activeWorkbook();
      (args ? excel->Workbooks().Item(arg(0)) : excel->ActiveWorkbook())->Close();
    }
  } else if (command == "activate") {
    requireOpen(arg(0));
    if (word) word->Documents().Item(arg(0))->Activate();
    else excel->Workbooks().Item(arg(0))->Activate();
  } else if (command == "wait") {
    long ms = -1;
    auto [end, ec] = std::from_chars(arg(0).data(), arg(0).data() + arg(0).size(), ms);
    if (ec != std::errc() || end != arg(0).data() + arg(0).size() || ms < 0) throw CommandError(usage);
    platform::forms::Wait(platform::Milliseconds(ms));
  } else if (command == "click") {
    // What stops a click, in the user's words; the add-in's own errors come as they are.
    const auto found = FindByCaption(session_.bars(), textArgument);
    if (found.empty()) {
      std::string captions;
      for (const auto& c : ShownCaptions(session_.bars())) captions += (captions.empty() ? "" : ", ") + forms::QuotedWord(text::Trim(c));
      throw CommandError("No button or menu item on the screen has the caption \"" + textArgument + "\". " +
                         (captions.empty() ? "The screen shows none." : "The screen shows " + captions + "."));
    }
    if (found.size() > 1) throw CommandError("More than one button or menu item has the caption \"" + textArgument + "\".");
    if (found.front()->items())
      throw CommandError("\"" + found.front()->Caption() + "\" is a menu: click one of the items the screen lists under it.");
    if (!found.front()->Enabled())
      throw CommandError("\"" + text::Trim(found.front()->Caption()) + "\" is disabled (greyed out) just now.");
    session_.Click(textArgument);
  } else if (command == "type") {
    activeDocument();
    word->Selection().TypeText(textArgument);
  } else if (command == "paragraph") {
    activeDocument();
    word->Selection().TypeText("\n");
  } else if (command == "picture") {
    activeDocument()->InsertPicture(pathOf(arg(0)));
  } else if (command == "cell") {
    activeWorkbook()->SetCell(arg(0), textArgument);
    if (textArgument.empty()) out_ << "Cell " << arg(0) << " cleared (it holds nothing now).\n";
  }
  return Result::Done;
}

}  // namespace host
