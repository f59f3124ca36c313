#pragma once
// The top-level commands of the terminal and script operator, one per line:
//   open <file> [password]     open a document (Word) or workbook (Excel)
//   new                        a new document or workbook
//   type <text>                type the rest of the line at the selection (Word)
//   paragraph                  start a new paragraph (Word)
//   picture <file>             insert a picture from a file at the selection (Word)
//   cell <ref> <value>         set a cell of the active workbook, e.g. "cell B2 12" (Excel)
//   save | saveas <file> [password] | close [name] | activate <name>
//   click <caption>            click a toolbar button or menu item ("&" ignored)
//   wait <ms>                  let time pass (timers of the dialogs on the screen run)
//   screen                     print the whole screen
//   help                       the commands of this application
//   quit
// Files are Windows paths; a bare name is taken from the user's Documents folder. The line is
// cut into words as a dialog's actions are (CommandWords.h): an argument holding blanks is
// written in double quotes, and a text (of type, cell and click) is the rest of the line or
// one quoted text.
#include <ostream>
#include <string>
#include <string_view>

#include "host/OfficeSession.h"

namespace host {

class CommandInterpreter {
 public:
  CommandInterpreter(OfficeSession& session, std::ostream& out) : session_(session), out_(out) {}

  // Comment: a line starting with "#", which does nothing. Screen: "screen", which asks for the
  // whole screen.
  enum class Result { Done, Comment, Screen, Failed, Unknown, Quit };
  // Runs one command; what went wrong is printed. A blank line does nothing.
  Result Execute(std::string_view line);

  // The commands of this application, one a line with what each does.
  std::string Help() const;

 private:
  Result Run(std::string_view line);
  std::string CommandList() const;  // their names

  OfficeSession& session_;
  std::ostream& out_;
};

}  // namespace host
