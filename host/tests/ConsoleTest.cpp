#include <gtest/gtest.h>

#include <sstream>

#include "host/OfficeSession.h"
#include "host/console/TerminalOperator.h"
#include "host/tests/TestSupport.h"
#include "platform/files/Files.h"

using namespace host::testing;
using host::HostKind;
using host::OfficeSession;

namespace {

std::string RunScript(OfficeSession& session, const std::string& commands, int* status) {
  std::istringstream script(commands);
  std::ostringstream out;
  host::TerminalOperator op(session, script, out);
  *status = op.Run();
  return out.str();
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
                       "Status bar: Hello from tavotest.wordaddin\n", "Documents: *Document1 (modified)\nText: Hello\xc2\xb6\n",
                       "The control \"&Later\" is disabled", "Unknown command \"bogus\"", "Usage: wait <milliseconds>",
                       "Documents: *C:\\Users\\tavo\\Documents\\a.doc\n", "> quit\n", "Bye.\n"});
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
                       "Text1     \"**\"  <focus>\n", "Workbooks: *C:\\Users\\tavo\\Documents\\book.xls (password)\n",
                       "Do you want to save the changes you made to 'book.xls'?", "Quit cancelled.\n", "Bye.\n"});
  EXPECT_NE(platform::files::ReadAllBytes("C:\\Users\\tavo\\Documents\\book.xls").find("A1: changed"),
            std::string::npos);
}
