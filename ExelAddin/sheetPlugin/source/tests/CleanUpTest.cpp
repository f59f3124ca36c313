// What the add-in does when Excel disconnects it: it signs out, closes the workbooks, and
// removes this run's temporary downloads with their map records.
#include <string>

#include "ExelAddin/sheetPlugin/source/tests/SheetTestSupport.h"
#include "platform/core/Text.h"
#include "service/Exchange.h"

namespace tavo::sheet::test {
namespace {

using CleanUpTest = SheetTest;

}  // namespace

// Excel closing: the add-in signs out (the service hears it when Word is not signed in), and
// with no temporary download the map stays as it was.
TEST_F(CleanUpTest, ClosingExcelSignsOutAndKeepsKeptCopies) {
  server_->AddWorkbook(kUser, "Budget", Workbook({}));
  StartSignedIn(/*saveLocal=*/true);
  SetShared("wordstatus", "0");
  const std::string ticket = Shared("tavoticketid");
  Download("Budget");
  ASSERT_TRUE(QuitExcel());
  EXPECT_FALSE(server_->TicketValid(ticket));
  EXPECT_EQ(Shared("excelstatus"), "0");
  EXPECT_TRUE(platform::files::FileExists(kUserDocs + "Budget.xls"));
  EXPECT_EQ(MapEntries().size(), 1u);
  const std::string log = LogText();
  EXPECT_NE(log.find("addininstance:workbook deleted"), std::string::npos);
  EXPECT_NE(log.find("addininstance:workbook xml deleted"), std::string::npos);
}

// The add-in unloaded while Excel goes on: the user's own workbooks stay open; the temporary
// downloads are closed (Excel asks about one with changes) and go with their records, found in
// any letter case. One the user keeps open stays, and so does its record.
TEST_F(CleanUpTest, UnloadingTheAddinClosesOnlyTheTemporaryDownloads) {
  for (const char* name : {"Budget", "Sales", "Stock"}) server_->AddWorkbook(kUser, name, Workbook({}));
  StartSignedIn(/*saveLocal=*/false);
  auto own = app()->workbooks().Add();
  own->SetCell("A1", "unsaved work");
  Download("Budget");
  Download("Sales");
  Download("Stock");
  app()->activeWorkbook()->SetCell("A1", "changed");  // Stock
  std::string map = platform::files::ReadAllBytes(MapFile());
  map = platform::text::Replace(map, kUserDocs + "Sales.xls", platform::text::UCase(kUserDocs + "Sales.xls"));
  platform::files::WriteAllBytes(MapFile(), map);

  user_.On("frmPrompt", {"click Cancel"});  // keep Stock open
  excel().addins().Disconnect(office::disconnect_mode::UserClosed);
  ASSERT_EQ(app()->workbookList().size(), 2u);
  EXPECT_EQ(app()->workbookList()[0]->Cell("A1"), "unsaved work");
  EXPECT_EQ(app()->workbookList()[1]->Name(), "Stock.xls");
  EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Budget.xls"));
  EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Sales.xls"));
  EXPECT_TRUE(platform::files::FileExists(kUserDocs + "Stock.xls"));
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].filename, kUserDocs + "Stock.xls");
}

// Excel asks about unsaved changes before it lets the add-in go. A temporary download the user
// saved changes into stays, with its record, among the local workbooks; one left as it came, one
// whose changes went to the service, and one whose changes the user threw away go.
TEST_F(CleanUpTest, ShutDownKeepsTemporaryDownloadsTheUserSavedChangesInto) {
  const char* names[] = {"Budget", "Sales", "Stock", "Memo"};
  for (const char* name : names) server_->AddWorkbook(kUser, name, Workbook({}));
  StartSignedIn(/*saveLocal=*/false);
  for (const char* name : names) Download(name);
  for (const char* name : {"Budget", "Sales", "Stock"}) {
    app()->Workbooks().Item(std::string(name) + ".xls")->Activate();
    app()->activeWorkbook()->SetCell("A1", "edited");
  }
  app()->Workbooks().Item("Sales.xls")->Activate();
  excel().Click("&Save in Tavo Sheet");
  ASSERT_EQ(Calls("saveWorkbook").size(), 1u) << user_.TranscriptText();

  user_.On("frmPrompt", {"click Command1"});  // Budget: Yes, save the changes
  user_.On("frmPrompt", {"click Command2"});  // Stock: No
  ASSERT_TRUE(excel().Quit());
  EXPECT_EQ(user_.TimesShown("frmPrompt"), 2) << user_.TranscriptText();
  EXPECT_EQ(WorkbookAt(kUserDocs + "Budget.xls").sheets[0].cells.begin()->second, "edited");
  for (const char* gone : {"Sales", "Stock", "Memo"})
    EXPECT_FALSE(platform::files::FileExists(kUserDocs + gone + ".xls")) << gone;
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].filename, kUserDocs + "Budget.xls");
}

// A workbook downloaded for temporary use and then again after the user chose to keep local
// copies is kept: the shut-down leaves the file and its record.
TEST_F(CleanUpTest, AWorkbookDownloadedAgainToBeKeptSurvivesShutDown) {
  server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "1"}}));
  StartSignedIn(/*saveLocal=*/false);
  Download("Budget");
  user_.On("frmConfig", {"click Image1", "check localsave", "click Command1"});
  excel().Click("Se&ttings");
  user_.On("frmlocalversion", {"click Command1"});
  Download("Budget");
  ASSERT_EQ(user_.TimesShown("frmlocalversion"), 1) << user_.TranscriptText();

  ASSERT_TRUE(QuitExcel());
  EXPECT_TRUE(platform::files::FileExists(kUserDocs + "Budget.xls"));
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].filename, kUserDocs + "Budget.xls");
}

// A temporary download whose file is gone by the time Excel closes (the user deleted it) loses
// its record as well: the next run's open of the workbook asks nothing about a local copy that
// does not exist.
TEST_F(CleanUpTest, ATemporaryDownloadWhoseFileIsGoneLosesItsRecord) {
  server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "1"}}));
  server_->AddWorkbook(kUser, "Sales", Workbook({{"A1", "2"}}));
  StartSignedIn(/*saveLocal=*/false);
  Download("Budget");
  Download("Sales");
  app()->Workbooks().Item("Budget.xls")->Close();
  platform::files::DeleteFile(kUserDocs + "Budget.xls");
  ASSERT_TRUE(QuitExcel());
  EXPECT_TRUE(MapEntries().empty());
  EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Sales.xls"));

  StartExcel();
  Download("Budget");
  EXPECT_FALSE(user_.Saw("frmlocalversion")) << user_.TranscriptText();
  ASSERT_EQ(MapEntries().size(), 1u);
  EXPECT_EQ(MapEntries()[0].filename, kUserDocs + "Budget.xls");
}

// A workbook the user adds is the user's own, also when this run's temporary download of another
// workbook had its path (that file deleted by hand since): saved to the service, it stays at
// shut-down, with the one record of its file.
TEST_F(CleanUpTest, AnAddedWorkbookStaysWhereATemporaryDownloadWas) {
  server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "online"}}));
  StartSignedIn(/*saveLocal=*/false);
  Download("Budget");
  app()->activeWorkbook()->Close();
  platform::files::DeleteFile(kUserDocs + "Budget.xls");
  app()->workbooks().Add();
  app()->activeWorkbook()->SetCell("A1", "mine");
  app()->activeWorkbook()->SaveAs({.filename = std::string(kDocuments) + "\\Budget.xls"});
  excel().Click("&Add to Tavo Sheet");
  ASSERT_EQ(app()->activeWorkbook()->FullName(), kUserDocs + "Budget.xls") << user_.TranscriptText();
  app()->activeWorkbook()->SetCell("A1", "mine, edited");
  excel().Click("&Save in Tavo Sheet");
  ASSERT_EQ(Calls("saveWorkbook").size(), 1u) << user_.TranscriptText();

  ASSERT_TRUE(QuitExcel());
  ASSERT_TRUE(platform::files::FileExists(kUserDocs + "Budget.xls"));
  EXPECT_EQ(WorkbookAt(kUserDocs + "Budget.xls").sheets[0].cells.begin()->second, "mine, edited");
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].filename, kUserDocs + "Budget.xls");
  EXPECT_EQ(server_->FindWorkbook(entries[0].id)->name, "Budget");
  EXPECT_EQ(service::ParseMethodCall(Calls("saveWorkbook")[0].body)->Value("workbookId"), entries[0].id);
}

// Temporary downloads made under two accounts in one run leave neither account's map with
// records of deleted files.
TEST_F(CleanUpTest, EveryAccountsMapLosesItsTemporaryRecords) {
  server_->AddAccount("bob@tavo.example", "pw");
  server_->AddWorkbook(kUser, "Budget", Workbook({}));
  server_->AddWorkbook("bob@tavo.example", "Plans", Workbook({}));
  StartSignedIn(/*saveLocal=*/false);
  Download("Budget");
  excel().Click("Lo&gout");
  WordSignedIn("bob@tavo.example", "pw", server_->SignIn("bob@tavo.example"));
  excel().Click("&Login");
  Download("Plans");
  ASSERT_TRUE(QuitExcel());
  xml::Document bobsMap;
  ASSERT_TRUE(bobsMap.load(std::string(kAppData) + "\\tavo\\tavosheet\\users\\bob@tavo.example\\maptavoexcel.xml"));
  EXPECT_EQ(bobsMap.documentElement().childCount(), 0u);
  EXPECT_TRUE(MapEntries().empty());
  EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Budget.xls"));
}

}  // namespace tavo::sheet::test
