// Word and Excel as two tavo-office processes on one environment root, each with its add-in
// registered as its installer does, against the stand-in service (here in this process, so that
// the test can see what reached it and change workbooks "online"). The two add-ins meet only in
// the registry they share.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/environment/Environment.h"
#include "service/Exchange.h"
#include "service/Server.h"
#include "tests/BothHosts.h"

namespace tavo::test {
namespace {

namespace fs = std::filesystem;
using namespace both_hosts;
using std::string;

}  // namespace

// Either host takes over the other's sign-in; a host signing out leaves the other signed in,
// and only the last one to leave signs the account out of the service.
TEST_F(BothHosts, OneSignInServesBothAndTheLastToLeaveSignsOut) {
  auto word = SignedInWord();
  const string ticket = Shared("tavoticketid");
  auto excel = Start("excel");
  EXPECT_TRUE(Has(excel->Send("screen"), "&Login (disabled)"));
  EXPECT_EQ(Shared("excelstatus"), "1");
  EXPECT_EQ(Requests("POST", "/login"), 2u);  // Word's sign-in only

  string screen = excel->Send("click Lo&gout");
  EXPECT_TRUE(Has(screen, "[ &Open ](disabled)")) << screen;
  EXPECT_EQ(Requests("GET", "/logout"), 0u);
  EXPECT_TRUE(server_->TicketValid(ticket));
  EXPECT_EQ(Shared("wordstatus"), "1");
  EXPECT_EQ(Shared("excelstatus"), "0");
  screen = excel->Send("click &Login");  // taken over again, without a question
  EXPECT_FALSE(Has(screen, "[frmConfig]")) << screen;
  EXPECT_TRUE(Has(screen, "&Login (disabled)")) << screen;
  EXPECT_EQ(excel->Quit(), 0);
  EXPECT_TRUE(server_->TicketValid(ticket));
  word->Send("click Lo&gout");
  EXPECT_EQ(Requests("GET", "/logout"), 1u);
  EXPECT_FALSE(server_->TicketValid(ticket));
  EXPECT_EQ(word->Quit(), 0);

  // The other way round.
  excel = Start("excel");
  EXPECT_TRUE(Has(SignIn(*excel), "&Login (disabled)"));
  const string second = Shared("tavoticketid");
  word = Start("word");
  EXPECT_TRUE(Has(word->Send("screen"), "&Login (disabled)"));
  EXPECT_EQ(word->Quit(), 0);
  EXPECT_TRUE(server_->TicketValid(second));
  EXPECT_EQ(Shared("tavoticketid"), second);
  EXPECT_TRUE(Has(excel->Send("click &Open Tavo Sheet"), "[frmDocList]"));
  excel->Send("click Cancel");
  excel->Send("click Lo&gout");
  EXPECT_EQ(Requests("GET", "/logout"), 2u);
  EXPECT_FALSE(server_->TicketValid(second));
  EXPECT_EQ(excel->Quit(), 0);
}

// The list with its names re-decoded and its search, downloads into numbered files protected
// with the account password, the question before a local copy is replaced, the map losing the
// workbooks the service no longer lists, and the local workbooks opened and deleted, all while
// Word stays signed in beside Excel.
TEST_F(BothHosts, ExcelListsOpensAndKeepsWorkbooks) {
  const string mueller = server_->AddWorkbook(kUser, "M\xc3\xbcller", Workbook("m"));
  server_->AddWorkbook(kUser, "Budget", Workbook("first"));
  server_->AddWorkbook(kUser, "Budget", Workbook("second"));
  server_->AddWorkbook(kUser, "Sales", Workbook("s"));
  auto word = SignedInWord();
  KeepLocalCopies(true);
  fs::create_directories(platform::environment::HostPath(kUserDocs));
  files::WriteAllBytes(kUserDocs + "Budget.xls", Workbook("mine"));
  auto excel = Start("excel");

  string screen = excel->Send("click &Open Tavo Sheet");
  EXPECT_TRUE(Has(screen, "> 0  M\xc3\xbcller\n")) << screen;
  EXPECT_TRUE(Has(screen, "    1  Budget\n")) << screen;
  EXPECT_TRUE(Has(screen, "    3  Sales\n")) << screen;
  screen = excel->Send("type searchtxt \xc3\xbc");
  EXPECT_TRUE(Has(screen, "1 entry")) << screen;
  screen = excel->Send("clear searchtxt");
  EXPECT_TRUE(Has(screen, "4 entries")) << screen;
  excel->Send("select listdoc 1");
  screen = excel->Send("click Command1");
  EXPECT_TRUE(Has(screen, "Budget1.xls (password)")) << screen;
  excel->Send("click &Open Tavo Sheet");
  excel->Send("select listdoc 2");
  screen = excel->Send("click Command1");
  EXPECT_TRUE(Has(screen, "Budget12.xls (password)")) << screen;
  excel->Send("click &Open Tavo Sheet");
  excel->Send("select listdoc 0");
  excel->Send("click Command1");
  EXPECT_TRUE(Protected(kUserDocs + "Budget1.xls"));
  EXPECT_TRUE(Protected(kUserDocs + "Budget12.xls"));
  EXPECT_EQ(FirstCell(files::ReadAllBytes(kUserDocs + "Budget.xls")), "mine");
  std::vector<Record> records = MapRecords();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].filename, kUserDocs + "Budget1.xls");
  EXPECT_EQ(records[0].name, "Budget");
  EXPECT_EQ(records[1].filename, kUserDocs + "Budget12.xls");
  EXPECT_EQ(records[2].filename, kUserDocs + "M\xc3\xbcller.xls");
  EXPECT_EQ(records[2].name, "M\xc3\xbcller");

  // Budget again: No keeps the local copy, Yes downloads over it.
  const size_t downloads = Requests("GET", "/open.do");
  excel->Send("click &Open Tavo Sheet");
  excel->Send("select listdoc 1");
  EXPECT_TRUE(Has(excel->Send("click Command1"), "[frmlocalversion]"));
  excel->Send("click Command2");
  EXPECT_EQ(Requests("GET", "/open.do"), downloads);
  excel->Send("click &Open Tavo Sheet");
  excel->Send("select listdoc 1");
  excel->Send("click Command1");
  excel->Send("click Command1");
  EXPECT_EQ(Requests("GET", "/open.do"), downloads + 1);
  EXPECT_EQ(MapRecords().size(), 3u);

  // Gone online: its record goes with the next list; the file stays.
  server_->Trash(mueller);
  excel->Send("click &Open Tavo Sheet");
  excel->Send("click Cancel");
  EXPECT_EQ(MapRecords().size(), 2u);
  EXPECT_TRUE(files::FileExists(kUserDocs + "M\xc3\xbcller.xls"));

  // The local workbooks: opened with the recorded password, deleted with the record.
  for (const char* open : {"Budget1.xls", "Budget12.xls", "M\xc3\xbcller.xls"}) excel->Send(string("close ") + open);
  screen = excel->Send("click Local Work&Books");
  EXPECT_TRUE(Has(screen, "[frmopenlocalfiles]")) << screen;
  EXPECT_TRUE(Has(screen, "4 entries")) << screen;
  excel->Send("select locallist \"Budget12 \"");
  excel->Send("click Command3");
  EXPECT_TRUE(Has(excel->Send("click Command1"), "The local copy has been deleted."));
  excel->Send("click Command1");
  EXPECT_FALSE(files::FileExists(kUserDocs + "Budget12.xls"));
  EXPECT_EQ(MapRecords().size(), 1u);
  excel->Send("click Local Work&Books");
  excel->Send("select locallist \"Budget1 \"");
  screen = excel->Send("click Command1");
  EXPECT_FALSE(Has(screen, "[frmPrompt]")) << screen;
  EXPECT_TRUE(Has(screen, " * " + kUserDocs + "Budget1.xls (password)")) << screen;

  EXPECT_TRUE(Has(word->Send("screen"), "&Login (disabled)"));
  EXPECT_EQ(excel->Quit(), 0) << excel->Output();
  EXPECT_EQ(word->Quit(), 0);
}

// Saving back: each error code's message or question, the overwrite of a version changed
// online, the publish command's conflict check, and the add and publish of local workbooks.
TEST_F(BothHosts, ExcelSavesAddsAndPublishesWorkbooks) {
  const string id = server_->AddWorkbook(kUser, "Budget", Workbook("online"));
  auto word = SignedInWord();
  KeepLocalCopies(true);
  auto excel = Start("excel");
  excel->Send("click &Open Tavo Sheet");
  excel->Send("click Command1");
  excel->Send("cell A1 mine");
  EXPECT_TRUE(Has(excel->Send("click &Save in Tavo Sheet"), "Status bar: Workbook Saved Sucessfully !"));
  EXPECT_EQ(FirstCell(server_->FindWorkbook(id)->bytes), "mine");

  const struct {
    const char* code;
    const char* shows;  // the message, or the question that opens
  } cases[] = {
      {"2401", "Authentication failed. Please sign in again."},
      {"2500", "The workbook could not be saved: its encoding is not supported."},
      {"2851", "[frmConfirm]"},
      {"2852", "This workbook has been moved to the trash in Tavo Sheet."},
      {"2853", "This workbook is shared with you and cannot be saved."},
      {"2854", "This workbook is in use and cannot be saved now."},
      {"2855", "[frmLowVersion]"},
      {"2999", "Tavo Sheet could not complete the request. Please try again."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    server_->InjectFault(service::Fault("saveWorkbook", service::FaultKind::ErrorCode, 1, c.code));
    const string screen = excel->Send("click &Save in Tavo Sheet");
    EXPECT_TRUE(Has(screen, c.shows)) << screen;
    if (c.shows[0] == '[') {
      excel->Send("click Command2");
    } else {
      EXPECT_TRUE(Has(excel->Send("click Command1"), "An Error occurred while saving the Workbook"));
      excel->Send("click Command1");
    }
    if (string(c.code) == "2401") {
      // Signed out by the refusal; Login asks (the refused ticket is not taken over from Word).
      EXPECT_TRUE(Has(SignIn(*excel), "&Login (disabled)"));
    }
  }

  // Changed online: the service refuses the save, and Yes overwrites.
  server_->ChangeWorkbook(id, Workbook("theirs"));
  excel->Send("cell A1 mine again");
  EXPECT_TRUE(Has(excel->Send("click &Save in Tavo Sheet"), "[frmLowVersion]"));
  excel->Send("click Command1");
  EXPECT_EQ(FirstCell(server_->FindWorkbook(id)->bytes), "mine again");
  // The publish command sees the newer copy before it sends anything.
  server_->ChangeWorkbook(id, Workbook("theirs again"));
  const size_t saves = Calls("saveWorkbook");
  EXPECT_TRUE(Has(excel->Send("click &Publish in Tavo Share"), "[frmLowVersion]"));
  excel->Send("click Command2");
  EXPECT_EQ(Calls("saveWorkbook"), saves);
  EXPECT_EQ(FirstCell(server_->FindWorkbook(id)->bytes), "theirs again");

  // A local workbook added, and another published under a licence.
  excel->Send("new");
  excel->Send("cell A1 report");
  excel->Send("saveas Report.xls");
  EXPECT_TRUE(Has(excel->Send("click &Add to Tavo Sheet"), "Status bar: The Workbook is created successfully!"));
  excel->Send("new");
  excel->Send("cell A1 plan");
  excel->Send("saveas Plan.xls");
  EXPECT_TRUE(Has(excel->Send("click &Publish in Tavo Share"), "[frmLicense]"));
  excel->Send("check Check1");
  excel->Send("option Option8");
  EXPECT_TRUE(Has(excel->Send("click Command1"), "Status bar: The Workbook is Published successfully!"));

  const std::vector<Record> records = MapRecords();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].filename, kUserDocs + "Report.xls");
  EXPECT_EQ(records[2].filename, kUserDocs + "Plan.xls");
  const auto report = server_->FindWorkbook(records[1].id);
  const auto plan = server_->FindWorkbook(records[2].id);
  ASSERT_TRUE(report && plan);
  EXPECT_EQ(report->name, "Report");
  EXPECT_EQ(FirstCell(report->bytes), "report");
  EXPECT_FALSE(report->publish.isPublic);
  EXPECT_TRUE(plan->publish.isPublic);
  EXPECT_EQ(plan->publish.licenseName, "Public Domain");
  EXPECT_TRUE(Protected(kUserDocs + "Plan.xls"));
  EXPECT_EQ(excel->Quit(), 0) << excel->Output();
  EXPECT_EQ(word->Quit(), 0);
}

// Without local copies Excel's downloads are its run's only: when Excel closes they go with
// their records, and Word, still running, keeps its sign-in.
TEST_F(BothHosts, ClosingExcelRemovesItsTemporaryDownloads) {
  server_->AddWorkbook(kUser, "Budget", Workbook("b"));
  server_->AddWorkbook(kUser, "Sales", Workbook("s"));
  auto word = SignedInWord();
  KeepLocalCopies(false);
  auto excel = Start("excel");
  for (const char* entry : {"0", "1"}) {
    excel->Send("click &Open Tavo Sheet");
    excel->Send(string("select listdoc ") + entry);
    excel->Send("click Command1");
  }
  ASSERT_TRUE(files::FileExists(kUserDocs + "Budget.xls"));
  ASSERT_EQ(MapRecords().size(), 2u);
  EXPECT_EQ(excel->Quit(), 0) << excel->Output();
  EXPECT_FALSE(files::FileExists(kUserDocs + "Budget.xls"));
  EXPECT_FALSE(files::FileExists(kUserDocs + "Sales.xls"));
  EXPECT_TRUE(MapRecords().empty());
  EXPECT_EQ(Shared("wordstatus"), "1");
  EXPECT_TRUE(server_->TicketValid(Shared("tavoticketid")));
  EXPECT_EQ(word->Quit(), 0);
}

// Without their language file the add-ins start all the same, in English with their built-in
// captions, and tell of nothing.
TEST_F(BothHosts, WithoutTheLanguageFileEachAddinStartsInEnglish) {
  for (const char* key : {kSheetKey, "Software\\tavo\\tavo writer Word Plugin\\reg"})
    reg::WriteValue(reg::HKEY_CURRENT_USER, key, "applicationpath", reg::StringValue("C:\\nowhere"));
  for (const char* kind : {"word", "excel"}) {
    SCOPED_TRACE(kind);
    auto host = Start(kind);
    const string screen = host->Send("screen");
    EXPECT_TRUE(Has(screen, "  &Login\n")) << screen;
    EXPECT_TRUE(Has(screen, "[ &Open ](disabled)")) << screen;
    EXPECT_FALSE(Has(screen, "[frm")) << screen;
    EXPECT_EQ(host->Quit(), 0);
  }
}

}  // namespace tavo::test
