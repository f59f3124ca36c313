// The online workbook list: the request, the names re-decoded, the details, the map brought in
// line with the answer, the error answers, and the search.
#include <string>
#include <vector>

#include "ExelAddin/sheetPlugin/source/CodePageText.h"
#include "ExelAddin/sheetPlugin/source/tests/SheetTestSupport.h"
#include "platform/codepage/CodePage.h"
#include "platform/forms/Controls.h"

namespace tavo::sheet::test {
namespace {

// The entries of the list box named `list` in a form's rendering.
std::vector<std::string> ListIn(const std::string& rendering, const std::string& list) {
  std::vector<std::string> entries;
  const size_t at = rendering.find(" " + list + " ");
  if (at == std::string::npos) return entries;
  size_t line = rendering.find('\n', at) + 1;
  while (line < rendering.size()) {
    const size_t end = rendering.find('\n', line);
    const std::string text = rendering.substr(line, end - line);
    const size_t mark = text.find_first_not_of(' ');
    // Entry lines are indented past the controls' names: "> 0  Budget" or "  1  Sales".
    if (mark == std::string::npos || mark < 8) break;
    size_t index = text[mark] == '>' ? text.find_first_not_of(' ', mark + 1) : mark;
    index = text.find_first_not_of("0123456789", index);
    entries.push_back(text.substr(index + 2));
    line = end + 1;
  }
  return entries;
}

// A map record as the add-in writes it, for a workbook brought here before.
std::string Record(const std::string& id, const std::string& file) {
  return "<workbook id=\"" + id + "\" filename=\"" + kUserDocs + file + "\"><book_id>" + id +
         "</book_id><book_name>x</book_name><updatelock>L</updatelock><created_time>c</created_time>"
         "<modified_time>m</modified_time><extension>.xls</extension><localtime>t</localtime>"
         "<password>p</password></workbook>";
}

class WorkbookListTest : public SheetTest {
 protected:
  void OpenList() { excel().Click("&Open Tavo Sheet"); }
  // The list dialog as it was before each action the user took in it.
  std::vector<std::string> BeforeActions() const {
    std::vector<std::string> seen;
    for (const auto& e : user_.Transcript())
      if (e.kind == forms::TranscriptEntry::Kind::Action && e.form == "frmDocList") seen.push_back(e.before);
    return seen;
  }
  // What the list showed before each action.
  std::vector<std::vector<std::string>> ListBeforeActions() const {
    std::vector<std::vector<std::string>> seen;
    for (const std::string& rendering : BeforeActions()) seen.push_back(ListIn(rendering, "listdoc"));
    return seen;
  }
};

}  // namespace

TEST(Utf8ToUnicodeTest, NamesReadOneBytePerCharacterAreDecodedAgain) {
  platform::environment::TempEnvironment env;
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"M\xc3\x83\xc2\xbcller", "M\xc3\xbcller"},  // "MÃ¼ller": the UTF-8 bytes of ü, one character each
      {"Budget 2009", "Budget 2009"},
      {"", ""},
      {"M\xc3\xbcller", "M\xc3\xbcller"},        // decoded already: its bytes are no UTF-8
      {"\xe8\x8f\x9c", "\xe8\x8f\x9c"},          // a character Windows-1252 does not have
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUnicode(c.text), c.expected) << c.text;
  // The same on a double-byte system: there too the answer is read in the code page of its
  // label, one character per byte of the names' UTF-8 form.
  for (std::uint32_t system : {936u, 932u}) {
    platform::codepage::SetACP(system);
    for (const char* name : {"\xe9\x94\x80\xe5\x94\xae\xe8\xa1\xa8",   // 销售表
                             "\xe8\xa8\x88\xe7\x94\xbb\xe8\xa1\xa8",   // 計画表
                             "\xe6\x9d\xb1\xe4\xba\xac",               // 東京: 0x9D has no character in 1252
                             "M\xc3\xbcller"}) {
      const std::string arrived = platform::codepage::AnsiToUtf8(name, 1252);
      EXPECT_EQ(Utf8ToUnicode(arrived), name) << system;
      EXPECT_EQ(Utf8ToUnicode(name), name) << system;  // decoded already
    }
  }
}

// The list shows the answer's workbooks in its order with their names re-decoded, the first
// one selected and its details shown; the request is the bare method call.
TEST_F(WorkbookListTest, TheListShowsTheWorkbooksWithTheirNamesDecoded) {
  server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "1"}}));
  server_->AddWorkbook(kUser, "M\xc3\xbcller", Workbook({{"A1", "2"}}));
  server_->AddWorkbook(kUser, "Sales", Workbook({{"A1", "3"}}));
  StartSignedIn();
  FormWatcher watcher(user_);
  std::string details;
  watcher.onShown = [&](forms::Form& form) {
    if (form.Name() != "frmDocList") return;
    details = ControlOf<forms::Label>(form, "createdfld").Caption() + "|" +
              ControlOf<forms::Label>(form, "modifiedbyfld").Caption();
  };
  user_.On("frmDocList", {"select listdoc 2", "click Cancel"});
  OpenList();

  ASSERT_EQ(Calls("getWorkbooks").size(), 1u);
  EXPECT_EQ(Calls("getWorkbooks")[0].body,
            "<request><methodName>tavosheet.userView.getWorkbooks</methodName><params></params></request>");
  const auto seen = ListBeforeActions();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], (std::vector<std::string>{"Budget", "M\xc3\xbcller", "Sales"}));
  const auto books = server_->Workbooks();
  EXPECT_EQ(details, books[0].createdTime + "|" + kUser);
  // Choosing an entry shows its details.
  EXPECT_NE(BeforeActions()[1].find("\"" + books[2].modifiedTime + "\""), std::string::npos) << BeforeActions()[1];
  EXPECT_EQ(Status(), "");

  // The File menu's item shows the same list.
  user_.On("frmDocList", {"click Cancel"});
  excel().Click("Open from &Tavo");
  EXPECT_EQ(Calls("getWorkbooks").size(), 2u);
  EXPECT_EQ(ListIn(user_.LastRendering("frmDocList"), "listdoc"), seen[0]);
}

// "Modified by" names an account, which may hold any character: it is decoded again as the
// workbook names are, when the list opens and when an entry is chosen.
TEST_F(WorkbookListTest, ModifiedByIsDecodedAsTheNamesAre) {
  const std::string account = "j\xc3\xbcrgen.\xe5\xbc\xa0\xe4\xbc\x9f@tavo.example";  // jürgen.张伟@
  server_->AddAccount(account, kPassword);
  server_->AddWorkbook(account, "Plan", Workbook({}));
  server_->AddWorkbook(account, "Sales", Workbook({}));
  RememberCredentials(account, kPassword, true);
  WordSignedIn(account, kPassword, server_->SignIn(account));
  StartExcel();
  user_.On("frmDocList", {"select listdoc 1", "click Cancel"});
  OpenList();
  const auto seen = BeforeActions();
  ASSERT_EQ(seen.size(), 2u) << user_.TranscriptText();
  for (const std::string& rendering : seen) EXPECT_EQ(tavo::test::RenderedCaption(rendering, "modifiedbyfld"), account);
}

// Records of workbooks the service no longer lists go (two of one id both), listed ones stay;
// an empty answer empties the map, and the empty list is shown all the same.
TEST_F(WorkbookListTest, TheMapLosesTheWorkbooksTheServiceNoLongerLists) {
  const std::string listed = server_->AddWorkbook(kUser, "Budget", Workbook({}));
  StartSignedIn();
  platform::files::WriteAllBytes(MapFile(), "<mapxml>" + Record("999", "Old.xls") + Record(listed, "Budget.xls") +
                                                Record("999", "Old1.xls") + "</mapxml>");
  platform::files::WriteAllBytes(kUserDocs + "Old.xls", Workbook({}));
  user_.On("frmDocList", {"click Cancel"});
  OpenList();
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].id, listed);
  EXPECT_TRUE(platform::files::FileExists(kUserDocs + "Old.xls"));

  server_->Trash(listed);
  user_.On("frmDocList", {"click Cancel"});
  OpenList();
  EXPECT_TRUE(MapEntries().empty());
  EXPECT_EQ(user_.TimesShown("frmDocList"), 2);
  EXPECT_TRUE(ListIn(user_.LastRendering("frmDocList"), "listdoc").empty());
}

// An error answer shows its message and neither the list nor a changed map; an answer that is
// no XML at all is told too.
TEST_F(WorkbookListTest, FailedListsAreToldAndChangeNothing) {
  struct Case {
    const char* name;
    service::Fault fault;
    const char* message;
    bool errorLine;  // the failure path's Error line is written
  };
  const Case cases[] = {
      {"authentication", service::Fault("getWorkbooks", service::FaultKind::ErrorCode, 1, "2401"),
       "Authentication failed. Please sign in again.", false},
      {"another code", service::Fault("getWorkbooks", service::FaultKind::ErrorCode, 1, "2500"),
       "Tavo Sheet could not complete the request. Please try again.", false},
      {"not XML", service::Fault("getWorkbooks", service::FaultKind::Html500),
       "The workbook list could not be retrieved from Tavo Sheet.", true},
  };
  StartSignedIn();
  const std::string map = "<mapxml>" + Record("999", "Old.xls") + "</mapxml>";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::files::WriteAllBytes(MapFile(), map);
    server_->InjectFault(c.fault);
    WillReadMessage();
    const size_t logBefore = LogText().size();
    OpenList();
    EXPECT_EQ(Messages().back(), c.message);
    EXPECT_FALSE(user_.Saw("frmDocList"));
    EXPECT_EQ(platform::files::ReadAllBytes(MapFile()), map);
    // No run-time error was raised: the line ends with no description.
    const std::string log = LogText().substr(logBefore);
    EXPECT_EQ(log.find("[Error] -- Error While Retrieving WorkBook lists \r\n") != std::string::npos, c.errorLine)
        << log;
    if (c.fault.code == "2401") SignInAgain();
  }
}

// The search filters the full list by a part of the name in any letter case, matching and
// listing the re-decoded names; Open then takes the chosen entry of the filtered list.
TEST_F(WorkbookListTest, TheSearchFiltersTheList) {
  server_->AddWorkbook(kUser, "Budget", Workbook({}));
  server_->AddWorkbook(kUser, "Sales", Workbook({}));
  server_->AddWorkbook(kUser, "BUDGET 2009", Workbook({{"A1", "2009"}}));
  server_->AddWorkbook(kUser, "M\xc3\xbcller", Workbook({}));
  StartSignedIn();
  user_.On("frmDocList", {"type searchtxt bud", "clear searchtxt", "type searchtxt \xc3\xbc", "clear searchtxt",
                          "type searchtxt 2009", "click Command1"});
  OpenList();
  const auto seen = ListBeforeActions();
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[1], (std::vector<std::string>{"Budget", "BUDGET 2009"}));
  EXPECT_EQ(seen[2], (std::vector<std::string>{"Budget", "Sales", "BUDGET 2009", "M\xc3\xbcller"}));
  EXPECT_EQ(seen[3], (std::vector<std::string>{"M\xc3\xbcller"}));
  EXPECT_EQ(seen[5], (std::vector<std::string>{"BUDGET 2009"}));
  // Open downloaded the one entry of the filtered list.
  ASSERT_TRUE(app()->activeWorkbook());
  EXPECT_EQ(app()->activeWorkbook()->Name(), "BUDGET 2009.xls");
  EXPECT_EQ(app()->activeWorkbook()->Cell("A1"), "2009");
}

// After an open that failed behind the local-copy question the list is left behind, hidden; the
// next list starts afresh, with no earlier search text standing over the whole list.
TEST_F(WorkbookListTest, AFailedOpenLeavesNoSearchTextBehind) {
  server_->AddWorkbook(kUser, "Accounts", Workbook({{"A1", "1"}}));
  server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "2"}}));
  StartSignedIn();
  Download("Budget");
  app()->activeWorkbook()->Close();

  server_->InjectFault(service::Fault("/open.do", service::FaultKind::Html500));
  user_.On("frmDocList", {"type searchtxt bud", "click Command1"});
  user_.On("frmlocalversion", {"click Command1"});
  WillReadMessage();
  OpenList();
  EXPECT_EQ(Messages().back(), "The workbook could not be opened. Please try again.");

  user_.On("frmDocList", {"click Cancel"});
  OpenList();
  const std::string shown = BeforeActions().back();
  const size_t search = shown.find(" searchtxt ");
  ASSERT_NE(search, std::string::npos) << shown;
  const std::string searchLine = shown.substr(search, shown.find('\n', search) - search);
  EXPECT_TRUE(searchLine.ends_with("\"\"")) << searchLine;
  EXPECT_EQ(ListIn(shown, "listdoc"), (std::vector<std::string>{"Accounts", "Budget"}));
}

}  // namespace tavo::sheet::test
