#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "host/OfficeSession.h"
#include "host/console/TerminalOperator.h"
#include "host/tests/TestSupport.h"
#include "platform/files/Files.h"

using namespace host::testing;
using host::HostKind;
using host::OfficeSession;

namespace {

std::string RunScript(OfficeSession& session, const std::string& commands, int* status,
                      host::TerminalOptions options = {}) {
  std::istringstream script(commands);
  std::ostringstream out;
  host::TerminalOperator op(session, script, out, options);
  *status = op.Run();
  return out.str();
}

// What the host printed after the echo of `command` up to the next echo.
std::string After(const std::string& output, const std::string& command) {
  const size_t at = output.find("> " + command + "\n");
  if (at == std::string::npos) return "(no " + command + ")";
  const size_t from = at + command.size() + 3;
  const size_t end = output.find("\n> ", from - 1);
  return output.substr(from, end == std::string::npos ? std::string::npos : end + 1 - from);
}

void ExpectShown(const std::string& screen, std::initializer_list<const char*> expected) {
  for (const char* e : expected) EXPECT_NE(screen.find(e), std::string::npos) << e << "\n--- in ---\n" << screen;
}

}  // namespace

TEST(TerminalOperator, RunsAScriptWithTheAddinsToolbarAndErrors) {
  TempEnvironment env;
  ASSERT_EQ(host::RegisterLibrary(TAVO_TEST_ADDIN), 0);
  OfficeSession word(HostKind::Word);
  word.Start();
  int status = 0;
  std::string screen = RunScript(word,
                                 "new\n"
                                 "# a comment narrates the script\n"
                                 "type Hello\n"
                                 "click &Hello\n"
                                 "click Later\n"
                                 "click &Ask\n"
                                 "type Nobody x\n"
                                 "type Text1 Ann\n"
                                 "click OK\n"
                                 "click Yes\n"
                                 "click Cancel\n"
                                 "bogus\n"
                                 "wait soon\n"
                                 "wait 1\n"
                                 "saveas a.doc\n"
                                 "quit\n",
                                 &status);
  EXPECT_EQ(status, 1);  // five commands failed
  ExpectShown(screen, {"> new\n", "[frmAsk] \"Ask\" (modal)\n", "Error: ", "Thanks Ann",
                       "Error: the message box takes \"click <button>\"", "Toolbar \"Test Bar\": [&Test v]\n", "Menu \"&Test\":\n  &Hello\n  &Ask\n  &Later (disabled)\n",
                       "Status bar: Hello from tavotest.wordaddin\n", "Documents:\n * Document1 (modified)\nText: Hello\xc2\xb6\n",
                       "\"&Later\" is disabled (greyed out) just now.", "Unknown command \"bogus\"", "Usage: wait <milliseconds>",
                       "Documents:\n * C:\\Users\\tavo\\Documents\\a.doc\n", "> quit\n", "Bye.\n"});
  // A comment is echoed, and the screen is not printed again for it.
  EXPECT_NE(screen.find("> # a comment narrates the script\n> type Hello\n"), std::string::npos) << screen;
  EXPECT_TRUE(word.quit());
  EXPECT_NE(platform::files::ReadAllBytes("C:\\addin-events.log").find("Asked Ann answer=2\n"), std::string::npos);
}

TEST(TerminalOperator, AnswersTheApplicationsQuestionsFromTheSameScript) {
  TempEnvironment env;
  OfficeSession excel(HostKind::Excel);
  excel.Start();
  int status = 0;
  std::string screen = RunScript(excel,
                                 "new\n"
                                 "cell B2 twelve\n"
                                 "saveas book.xls pw\n"
                                 "close\n"
                                 "open book.xls\n"
                                 "type Text1 pw\n"
                                 "click OK\n"
                                 "cell A1 changed\n"
                                 "quit\n"
                                 "click Cancel\n"
                                 "quit\n"
                                 "click Yes\n",
                                 &status);
  EXPECT_EQ(status, 1);  // the first quit was cancelled
  ExpectShown(screen, {"Sheet Sheet1: B2=twelve\n", "[frmPrompt] \"Password\" (modal)\n",
                       "Text1     \"**\"  <focus>\n", "Workbooks:\n * C:\\Users\\tavo\\Documents\\book.xls (password)\n",
                       "Do you want to save the changes you made to 'book.xls'?", "Quit cancelled.\n", "Bye.\n"});
  EXPECT_NE(platform::files::ReadAllBytes("C:\\Users\\tavo\\Documents\\book.xls").find("A1: changed"),
            std::string::npos);
}

// "help" lists the commands of the application it is typed in, and in a dialog or message box
// what that takes; a wrong command names the right ones.
TEST(TerminalOperator, HelpAndWrongCommandsNameWhatIsTakenWhereTheyAreTyped) {
  TempEnvironment env;
  ASSERT_EQ(host::RegisterLibrary(TAVO_TEST_ADDIN), 0);
  struct Case {
    HostKind kind;
    std::vector<std::string> shown, notShown;
  } cases[] = {
      {HostKind::Word, {"  type <text>", "  paragraph", "  picture <file>", "  saveas <file> [password]", "  help", "Z:\\tmp\\x.doc"},
       {"  cell "}},
      {HostKind::Excel, {"  cell <ref> [value]", "  saveas <file> [password]", "  quit", "Z:\\tmp\\x.xls"},
       {"  type ", "  paragraph", "  picture "}},
  };
  for (const auto& c : cases) {
    OfficeSession session(c.kind);
    session.Start();
    int status = 0;
    const std::string out = RunScript(session, "help\nbogus\nquit\n", &status);
    const std::string help = After(out, "help");
    for (const auto& s : c.shown) EXPECT_NE(help.find(s), std::string::npos) << s << "\n--- in ---\n" << help;
    for (const auto& s : c.notShown) EXPECT_EQ(help.find(s), std::string::npos) << s << "\n--- in ---\n" << help;
    const std::string wrong = After(out, "bogus");
    const std::string takes = c.kind == HostKind::Word ? "Word takes open, new, type, paragraph, picture, save,"
                                                       : "Excel takes open, new, cell, save,";
    EXPECT_NE(wrong.find("Unknown command \"bogus\". " + takes), std::string::npos) << wrong;
  }

  OfficeSession word(HostKind::Word);
  word.Start();
  int status = 0;
  const std::string out = RunScript(word,
                                    "click &Ask\n"
                                    "help\n"
                                    "quit\n"
                                    "click Nothing\n"
                                    "click OK\n"
                                    "help\n"
                                    "click Cancel\n"
                                    "quit\n",
                                    &status);
  const std::string dialogHelp = After(out, "help");
  for (const char* action : {"  click NAME", "  dblclick NAME [INDEX]", "  focus NAME", "  type NAME TEXT",
                             "  clear NAME", "  key [NAME] KEY", "  select NAME INDEX|\"ENTRY\"", "  check NAME",
                             "  uncheck NAME", "  option NAME", "  hover [NAME]", "  close", "  wait MS"})
    EXPECT_NE(dialogHelp.find(action), std::string::npos) << action << "\n--- in ---\n" << dialogHelp;
  EXPECT_EQ(dialogHelp.find("saveas"), std::string::npos) << dialogHelp;
  EXPECT_NE(After(out, "quit").find("\"quit\" is not an action; a dialog takes click, dblclick,"), std::string::npos)
      << out;
  EXPECT_NE(After(out, "click Nothing").find("has no control \"Nothing\"; it has Text1, Command1 \"OK\""),
            std::string::npos)
      << out;
  const std::string boxHelp = out.substr(out.rfind("> help\n"));
  EXPECT_NE(boxHelp.find("The message box takes \"click OK\" or \"click Cancel\", or \"close\""), std::string::npos)
      << boxHelp;
}

// Told to, the operator prints after a command only the parts of the screen that changed, and
// "screen" prints it whole.
TEST(TerminalOperator, PrintsWhatChangedAndTheWholeScreenOnRequest) {
  TempEnvironment env;
  ASSERT_EQ(host::RegisterLibrary(TAVO_TEST_ADDIN), 0);
  OfficeSession word(HostKind::Word);
  word.Start();
  int status = 0;
  const std::string out = RunScript(word,
                                    "new\n"
                                    "type Hello\n"
                                    "wait 1\n"
                                    "click &Ask\n"
                                    "type Text1 Ann\n"
                                    "click OK\n"
                                    "click Cancel\n"
                                    "click &Hello\n"
                                    "screen\n"
                                    "quit\n"
                                    "click No\n",
                                    &status, {.fullScreens = false});
  const std::string whole = out.substr(0, out.find("> new\n"));
  EXPECT_NE(whole.find("==== Word ====\nToolbar \"Test Bar\""), std::string::npos) << whole;
  EXPECT_EQ(After(out, "new"), "Documents:\n * Document1\nText: \xc2\xb6\n");
  EXPECT_EQ(After(out, "type Hello"), "Documents:\n * Document1 (modified)\nText: Hello\xc2\xb6\n");
  EXPECT_EQ(After(out, "wait 1"), "");
  const std::string dialog = After(out, "click &Ask");
  EXPECT_EQ(dialog.find("Toolbar"), std::string::npos) << dialog;
  EXPECT_NE(dialog.find("[frmAsk] \"Ask\" (modal)"), std::string::npos) << dialog;
  EXPECT_NE(After(out, "type Text1 Ann").find("\"Ann\""), std::string::npos) << out;
  EXPECT_EQ(After(out, "click Cancel"), "[frmAsk] \"Ask\" is no longer shown\n");
  EXPECT_EQ(After(out, "click &Hello"), "Status bar: Hello from tavotest.wordaddin\n");
  const std::string again = After(out, "screen");
  EXPECT_NE(again.find("==== Word ====\nToolbar \"Test Bar\""), std::string::npos) << again;
  EXPECT_NE(again.find("Documents:\n * Document1 (modified)\nText: Hello"), std::string::npos) << again;
}

// When the application refuses to open or save a file that another process holds, it says so
// on the screen, whoever made the call.
TEST(TerminalOperator, SaysWhenAFileIsOpenInAnotherProcess) {
  TempEnvironment env;
  struct Case {
    HostKind kind;
    const char* file;
    const char* command;
    const char* notice;
  } cases[] = {
      {HostKind::Word, "a.doc", "open a.doc", "Word cannot open"},
      {HostKind::Word, "b.doc", "saveas b.doc", "Word cannot save"},
      {HostKind::Excel, "a.xls", "open a.xls", "Excel cannot open"},
      {HostKind::Excel, "b.xls", "saveas b.xls", "Excel cannot save"},
  };
  for (const auto& c : cases) {
    {
      OfficeSession other(c.kind);
      int status = 0;
      const std::string out = RunScript(other, std::string("new\nsaveas ") + c.file + "\nquit\n", &status);
      ASSERT_EQ(status, 0) << out;
    }
    // Another process's hold on the file, as a lock of its own.
    const std::string path = std::string("C:\\Users\\tavo\\Documents\\") + c.file;
    platform::files::FileLock held = platform::files::LockExclusive(path);
    OfficeSession session(c.kind);
    int status = 0;
    const std::string out = RunScript(session, std::string("new\n") + c.command + "\nquit\nclick No\n", &status);
    const std::string notice = std::string(c.notice) + " " + path + ": the file is open in another tavo-office process.\n";
    EXPECT_NE(After(out, c.command).find(notice), std::string::npos) << out;
  }
}

// Every command cuts its line into words as the dialogs' actions do: quotes group a text with
// blanks and are not part of it, in a cell value and a caption as in a file name.
TEST(TerminalOperator, QuotesMeanTheSameInEveryCommand) {
  TempEnvironment env;
  ASSERT_EQ(host::RegisterLibrary(TAVO_TEST_ADDIN), 0);
  OfficeSession excel(HostKind::Excel);
  excel.Start();
  int status = 0;
  std::string out = RunScript(excel,
                              "new\n"
                              "cell B3 \"Tokyo Osaka\"\n"
                              "cell B4 Kyoto Nara\n"
                              "cell B5 \"say \\\"hi\\\"\"\n"
                              "saveas \"two words.xls\"\n"
                              "quit\n",
                              &status);
  EXPECT_EQ(status, 0) << out;
  ExpectShown(out, {"B3=Tokyo Osaka B4=Kyoto Nara B5=say \"hi\"\n", "two words.xls\n"});
  EXPECT_TRUE(platform::files::FileExists("C:\\Users\\tavo\\Documents\\two words.xls"));

  OfficeSession word(HostKind::Word);
  word.Start();
  out = RunScript(word, "new\ntype \" two  blanks \"\ntype   kept\nclick \"&Hello\"\nquit\nclick No\n", &status);
  EXPECT_EQ(status, 0) << out;
  // Unquoted, the text is all after the one blank that ends the command's name.
  ExpectShown(out, {"Text:  two  blanks   kept\xc2\xb6\n", "Status bar: Hello from tavotest.wordaddin\n"});
}

// What the host refuses says why, and what to do instead, without the look of an internal error.
TEST(TerminalOperator, RefusedCommandsSayTheCauseAndTheNextStep) {
  TempEnvironment env;
  ASSERT_EQ(host::RegisterLibrary(TAVO_TEST_ADDIN), 0);
  struct Case {
    HostKind kind;
    const char* command;
    const char* told;
  } cases[] = {
      {HostKind::Word, "activate Report", "No open document is named \"Report\"; open: Document1.\n"},
      {HostKind::Excel, "close Report", "No open workbook is named \"Report\"; open: Book1.\n"},
      {HostKind::Word, "activate Bob notes",
       "Usage: activate <name> (make the open file of that name the active one). A name with blanks goes in double quotes.\n"},
      {HostKind::Word, "open", "Usage: open <file> [password] (open a file).\n"},
      {HostKind::Word, "click Nothing",
       "No button or menu item on the screen has the caption \"Nothing\". The screen shows &Hello, &Ask, &Later.\n"},
      {HostKind::Word, "click \"unclosed", "Cannot read the command \"click \"unclosed\": a quoted text is not closed.\n"},
      {HostKind::Word, "saveas /tmp/x.doc",
       "\"/tmp/x.doc\" is a path of this machine: its files are on drive Z:, so write Z:\\tmp\\x.doc (a bare name is in "
       "C:\\Users\\tavo\\Documents).\n"},
      {HostKind::Excel, "saveas C:\\nowhere\\x.xls",
       "The folder C:\\nowhere does not exist. A bare name saves in C:\\Users\\tavo\\Documents; this machine's own folders "
       "are on drive Z: (Z:\\tmp is /tmp).\n"},
      {HostKind::Excel, "cell A1", "Cell A1 cleared (it holds nothing now).\n"},
  };
  for (const auto& c : cases) {
    OfficeSession session(c.kind);
    session.Start();
    int status = 0;
    const std::string out = RunScript(session, std::string("new\n") + c.command + "\nquit\nclick No\n", &status);
    const std::string told = After(out, c.command);
    EXPECT_EQ(told.substr(0, told.find('\n') + 1), c.told) << out;
    EXPECT_EQ(told.find("Run-time error"), std::string::npos) << told;
  }
}

// The Save As question of a file never saved, asked at quit, takes a bare name as "saveas" does:
// in the Documents folder.
TEST(TerminalOperator, SaveAsQuestionAtQuitTakesABareName) {
  TempEnvironment env;
  for (auto [kind, name] : {std::pair{HostKind::Word, "notes.doc"}, std::pair{HostKind::Excel, "sums.xls"}}) {
    OfficeSession session(kind);
    int status = 0;
    const std::string edit = kind == HostKind::Word ? "type x\n" : "cell A1 1\n";
    const std::string out =
        RunScript(session, "new\n" + edit + "quit\nclick Yes\ntype Text1 " + name + "\nclick OK\n", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_TRUE(session.quit()) << out;
    EXPECT_TRUE(platform::files::FileExists(std::string("C:\\Users\\tavo\\Documents\\") + name)) << out;
  }
}

// A script that ends with changes not saved says which files lose them.
TEST(TerminalOperator, EndOfAScriptSaysWhatWasNotSaved) {
  TempEnvironment env;
  OfficeSession word(HostKind::Word);
  int status = 0;
  const std::string out = RunScript(word, "new\nsaveas kept.doc\nnew\ntype x\n", &status);
  EXPECT_NE(out.find("End of input: quitting; the changes to Document2 are not saved.\n"), std::string::npos) << out;
  EXPECT_TRUE(word.quit());
}

// A click finds what the screen shows: an add-in's " &Open " beside the built-in Standard
// toolbar's "&Open", which the screen leaves out, and the add-in's item in the File menu.
TEST(TerminalOperator, ClicksFindTheControlsTheScreenShows) {
  TempEnvironment env;
  OfficeSession excel(HostKind::Excel);
  namespace office = platform::office;
  auto bar = excel.bars().Add({.name = "Add-In Bar", .temporary = true});
  bar->SetVisible(true);
  auto open = bar->Controls().Add({.type = office::control_type::Button, .temporary = true});
  open->SetCaption(" &Open ");
  auto fromFile = excel.bars().Item("File")->Controls().Add({.type = office::control_type::Button, .temporary = true});
  fromFile->SetCaption("Open from &Tavo");

  const auto found = host::FindByCaption(excel.bars(), "&Open");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found.front()->Caption(), " &Open ");
  EXPECT_EQ(host::FindByCaption(excel.bars(), "Open from Tavo").size(), 1u);
  EXPECT_TRUE(host::FindByCaption(excel.bars(), "&Save").empty());  // the Standard toolbar's own
  EXPECT_EQ(host::ShownCaptions(excel.bars()), (std::vector<std::string>{"Open from &Tavo", " &Open "}));
}
