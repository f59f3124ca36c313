// The tour of scripts/demo, run as the demo runs it: Word, and beside it Excel as a second
// tavo-office process on the same environment root, against the stand-in service with its demo
// account (here in this process, so that the test can see what reached it). "#> " lines of the
// tours are the demo's own steps; the hosts take them for comments.
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "service/Seed.h"
#include "tests/EndToEnd.h"

namespace tavo::test {
namespace {

using std::string;

std::vector<string> Lines(const char* file) {
  std::ifstream in(file);
  std::vector<string> lines;
  for (string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Has(const string& screen, const string& text) { return screen.find(text) != string::npos; }

// What each host printed for each line of its tour (the last time the line came).
struct Tour {
  std::map<string, string> word, excel;
  int wordStatus = -1, excelStatus = -1;
  // The shared sign-in as Excel's tour ended (Word still running).
  string wordStatusValue, ticket;
  bool ticketValid = false;
};

class DemoTour : public EndToEndTest {
 protected:
  void SetUp() override {
    EndToEndTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    seed_ = service::SeedDemo(*server_);
  }

  void RunExcel(Tour& tour) {
    auto excel = Start("excel");
    for (const string& line : Lines(TAVO_DEMO_TOUR_EXCEL)) {
      if (line == "#> change Budget online") {
        server_->ChangeWorkbook(seed_.workbookIds[1], service::WorkbookFile({{"Sheet1", {{"B2", "1300"}}}}));
      } else if (line == "quit") {
        tour.excelStatus = excel->Quit();
      } else {
        tour.excel[line] = excel->Send(line);
      }
    }
    tour.wordStatusValue = Shared("wordstatus");
    tour.ticket = Shared("tavoticketid");
    tour.ticketValid = server_->TicketValid(tour.ticket);
  }

  Tour Run() {
    Tour tour;
    auto word = Start("word");
    for (const string& line : Lines(TAVO_DEMO_TOUR)) {
      if (line == "#> excel") RunExcel(tour);
      else if (line == "quit") tour.wordStatus = word->Quit();
      else tour.word[line] = word->Send(line);
    }
    return tour;
  }

  service::DemoSeed seed_;
};

}  // namespace

TEST_F(DemoTour, WordAndExcelTourTheSuite) {
  const Tour tour = Run();
  EXPECT_EQ(tour.wordStatus, 0);
  EXPECT_EQ(tour.excelStatus, 0);

  // Word: the signed-out toolbar in English, the sign-in dialog, then signed in.
  const string& login = tour.word.at("click &Login");
  EXPECT_TRUE(Has(login, "[ &Open ](disabled)")) << login;
  EXPECT_TRUE(Has(login, "Status bar: You are not signed in to Tavo.")) << login;
  EXPECT_TRUE(Has(login, "[frmConfig] \"Tavo Credentials\" (modal)")) << login;
  const string& signedIn = tour.word.at("click Command1");
  EXPECT_TRUE(Has(signedIn, "&Login (disabled)")) << signedIn;
  EXPECT_FALSE(Has(signedIn, "[frmConfig]")) << signedIn;
  EXPECT_NE(tour.word.at("click &Open Document"), "");
  EXPECT_EQ(Requests("GET", "/"), 1u);  // Word's home page; Excel signs in without one
  EXPECT_EQ(Requests("POST", "/login"), 2u);

  // Excel: Word's sign-in taken over, Budget found and opened, saved, then refused as stale
  // and overwritten; a workbook added, another published.
  const string& list = tour.excel.at("click &Open Tavo Sheet");
  EXPECT_TRUE(Has(list, "&Login (disabled)")) << list;
  EXPECT_TRUE(Has(list, "M\xc3\xbcller")) << list;
  EXPECT_TRUE(Has(tour.excel.at("type searchtxt bud"), "1 entry"));
  EXPECT_TRUE(Has(tour.excel.at("cell B2 1250"), "*C:\\Users\\tavo\\Documents\\tavo\\tavosheet\\users\\demo@tavo.example\\Budget.xls (modified) (password)"));
  EXPECT_TRUE(Has(tour.excel.at("click Command1"), "Status bar: The Workbook is Published successfully!"));
  const string& save = tour.excel.at("click &Save in Tavo Sheet");
  EXPECT_TRUE(Has(save, "[frmLowVersion]")) << save;
  const auto budget = *server_->FindWorkbook(seed_.workbookIds[1]);
  EXPECT_TRUE(Has(budget.bytes, "B2: 1250\n"));
  EXPECT_TRUE(Has(budget.bytes, "B3: 500\n"));
  std::map<string, service::Workbook> byName;
  for (const auto& wb : server_->Workbooks()) byName[wb.name] = wb;
  ASSERT_TRUE(byName.count("Plan") && byName.count("Ideas"));
  EXPECT_FALSE(byName["Plan"].publish.isPublic);
  EXPECT_TRUE(byName["Ideas"].publish.isPublic);
  EXPECT_EQ(byName["Ideas"].publish.licenseName, "Attribution");

  // Excel signed out while Word stays signed in; Word, the last one, signs the account out.
  EXPECT_TRUE(Has(tour.excel.at("click Lo&gout"), "[ &Open ](disabled)"));
  EXPECT_EQ(tour.wordStatusValue, "1");
  EXPECT_TRUE(tour.ticketValid);
  EXPECT_TRUE(Has(tour.word.at("screen"), "&Login (disabled)"));
  EXPECT_TRUE(Has(tour.word.at("click Lo&gout"), "[ &Open ](disabled)"));
  EXPECT_EQ(Requests("GET", "/logout"), 1u);
  EXPECT_FALSE(server_->TicketValid(tour.ticket));
  EXPECT_EQ(Shared("wordstatus"), "0");
  EXPECT_EQ(Shared("excelstatus"), "0");
}

}  // namespace tavo::test
