// The hosts as users run them on one computer: two Excel windows as two processes, a host
// killed (a crash, a power cut) and started again, answers larger than the HTTP layer takes.
// Each runs tavo-office processes on one environment root against the stand-in service.
#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/environment/Environment.h"
#include "service/Server.h"
#include "tests/BothHosts.h"

namespace tavo::test {
namespace {

namespace fs = std::filesystem;
using namespace both_hosts;
using std::string;

// The names of the files in the user's workbook folder (none before Excel has made it).
std::vector<string> WorkbookFolder() {
  std::vector<string> names;
  std::error_code ec;
  for (fs::directory_iterator it(platform::environment::HostPath(kUserDocs), ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Kills the host as a crash or a power cut would, and reaps it.
void Kill(HostProcess& host) {
  ::kill(host.pid(), SIGKILL);
  host.End();
}

// What a user does on a host that was killed while signed in, on the host left behind.
struct Survivor {
  const char* killed;
  const char* killedStatus;
  const char* kind;
  const char* openList;
};

class SharedComputer : public BothHosts {
 protected:
  // A host signed in through its dialog is killed; the service ends its ticket later, as it does
  // with tickets nobody uses. The other host takes that sign-in over until the service refuses
  // it, which signs it out (no sign-out is sent for the dead ticket); from then on it does not,
  // also after a restart, and Login leads to a sign-in of its own.
  void SurviveAKilledHost(const Survivor& s) {
    auto killed = Start(s.killed);
    ASSERT_TRUE(Has(SignIn(*killed), "&Login (disabled)"));
    const string dead = Shared("tavoticketid");
    Kill(*killed);
    ASSERT_EQ(Shared(s.killedStatus), "1");
    server_->EndTicket(dead);

    auto host = Start(s.kind);
    EXPECT_TRUE(Has(host->Send("screen"), "&Login (disabled)"));  // taken over at the start
    string screen = host->Send(s.openList);
    EXPECT_TRUE(Has(screen, "Authentication failed. Please sign in again.")) << screen;
    screen = host->Send("click Command1");
    EXPECT_TRUE(Has(screen, "  &Login\n")) << screen;
    EXPECT_EQ(Requests("GET", "/logout"), 0u);
    screen = host->Send("click &Login");
    EXPECT_TRUE(Has(screen, "[frmConfig]")) << screen;
    host->Send("click Command2");
    EXPECT_EQ(host->Quit(), 0) << host->Output();

    host = Start(s.kind);
    screen = host->Send("screen");
    EXPECT_FALSE(Has(screen, "&Login (disabled)")) << screen;
    EXPECT_TRUE(Has(SignIn(*host), "&Login (disabled)"));
    const string fresh = Shared("tavoticketid");
    EXPECT_NE(fresh, dead);
    EXPECT_TRUE(server_->TicketValid(fresh));
    EXPECT_TRUE(Has(host->Send(s.openList), "[frmDocList]"));
    host->Send("click Cancel");
    EXPECT_EQ(host->Quit(), 0) << host->Output();
  }

  // In the workbook list Excel shows, Sales (the second entry) opens, and the folder holds its
  // file alone.
  void OnlySalesOpened(HostProcess& excel) {
    excel.Send("select listdoc 1");
    EXPECT_TRUE(Has(excel.Send("click Command1"), "Sales.xls (password)"));
    EXPECT_EQ(WorkbookFolder(), std::vector<string>{"Sales.xls"});
  }
};

// The variable of the HTTP layer's bound while the hosts started in its lifetime start.
class MaxResponseBytes {
 public:
  explicit MaxResponseBytes(const char* bytes) { ::setenv(kName, bytes, 1); }
  ~MaxResponseBytes() { ::unsetenv(kName); }
  MaxResponseBytes(const MaxResponseBytes&) = delete;
  MaxResponseBytes& operator=(const MaxResponseBytes&) = delete;

 private:
  static constexpr const char* kName = "TAVO_HTTP_MAX_RESPONSE_BYTES";
};

}  // namespace

// Two Excel windows as two processes: the second is not let download over the workbook the first
// has open (as Windows refuses to replace a file in use), and the first one's change is saved.
TEST_F(SharedComputer, ASecondExcelDoesNotDownloadOverAWorkbookTheFirstHasOpen) {
  const string id = server_->AddWorkbook(kUser, "Budget", Workbook("online"));
  KeepLocalCopies(true);
  auto first = Start("excel");
  ASSERT_TRUE(Has(SignIn(*first), "&Login (disabled)"));
  auto second = Start("excel");
  ASSERT_TRUE(Has(SignIn(*second), "&Login (disabled)"));
  first->Send("click &Open Tavo Sheet");
  ASSERT_TRUE(Has(first->Send("click Command1"), "Budget.xls (password)"));
  first->Send("cell A1 mine");
  const string opened = files::ReadAllBytes(kUserDocs + "Budget.xls");

  second->Send("click &Open Tavo Sheet");
  EXPECT_TRUE(Has(second->Send("click Command1"), "[frmlocalversion]"));
  string screen = second->Send("click Command1");  // Yes, download it again
  EXPECT_TRUE(Has(screen, "The workbook could not be opened. Please try again.")) << screen;
  screen = second->Send("click Command1");
  EXPECT_TRUE(Has(screen, "Workbooks: (none)")) << screen;
  EXPECT_EQ(files::ReadAllBytes(kUserDocs + "Budget.xls"), opened);
  ASSERT_EQ(MapRecords().size(), 1u);
  EXPECT_EQ(MapRecords()[0].filename, kUserDocs + "Budget.xls");

  EXPECT_TRUE(Has(first->Send("click &Save in Tavo Sheet"), "Status bar: Workbook Saved Sucessfully !"));
  EXPECT_EQ(FirstCell(server_->FindWorkbook(id)->bytes), "mine");
  EXPECT_EQ(second->Quit(), 0) << second->Output();
  EXPECT_EQ(first->Quit(), 0) << first->Output();
}

TEST_F(SharedComputer, ExcelSurvivesAWordKilledWhileSignedIn) {
  SurviveAKilledHost({"word", "wordstatus", "excel", "click &Open Tavo Sheet"});
}

TEST_F(SharedComputer, WordSurvivesAnExcelKilledWhileSignedIn) {
  SurviveAKilledHost({"excel", "excelstatus", "word", "click &Open Document"});
}

// A download that a crash cut short leaves its partial file; the next download into the folder
// removes it, whichever workbook it brings.
TEST_F(SharedComputer, WhatAKilledDownloadLeftGoesWithTheNextDownload) {
  server_->AddWorkbook(kUser, "Budget", Workbook(string(64 * 1024, 'b')));
  server_->AddWorkbook(kUser, "Sales", Workbook("s"));
  auto word = SignedInWord();
  KeepLocalCopies(true);
  // The download's first half arrives, the rest never: Excel waits in it when it is killed.
  server_->InjectFault(service::Fault("/open.do", service::FaultKind::Stalled, 1));
  const fs::path script = root_ / "open-budget.txt";
  std::ofstream(script) << "click &Open Tavo Sheet\nselect listdoc 0\nclick Command1\n";
  HostProcess killed(bin_ / "tavo-office", {"excel", "--script", script.string()}, root_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (WorkbookFolder().empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  Kill(killed);
  const std::vector<string> left = WorkbookFolder();
  ASSERT_EQ(left.size(), 1u) << killed.Output();
  EXPECT_NE(left[0], "Budget.xls");

  auto excel = Start("excel");
  excel->Send("click &Open Tavo Sheet");
  OnlySalesOpened(*excel);
  EXPECT_EQ(excel->Quit(), 0) << excel->Output();
  EXPECT_EQ(word->Quit(), 0);
}

// Answers past the HTTP layer's bound (lowered for the host, as its timeouts can be) end in the
// flows' failure paths with their messages, and Excel goes on.
TEST_F(SharedComputer, AnswersPastTheBoundFailThroughTheFlowsFailurePaths) {
  server_->AddWorkbook(kUser, "Budget", Workbook(string(3 << 20, 'b')));
  server_->AddWorkbook(kUser, "Sales", Workbook("s"));
  auto word = SignedInWord();
  KeepLocalCopies(true);
  std::unique_ptr<HostProcess> excel;
  {
    const MaxResponseBytes bound("1048576");
    excel = Start("excel");
  }
  server_->InjectFault(service::Fault("getWorkbooks", service::FaultKind::LargeBody, 1).WithSize(3 << 20));
  string screen = excel->Send("click &Open Tavo Sheet");
  EXPECT_TRUE(Has(screen, "The workbook list could not be retrieved from Tavo Sheet.")) << screen;
  excel->Send("click Command1");

  excel->Send("click &Open Tavo Sheet");
  excel->Send("select listdoc 0");
  screen = excel->Send("click Command1");
  EXPECT_TRUE(Has(screen, "The workbook could not be opened. Please try again.")) << screen;
  excel->Send("click Command1");
  OnlySalesOpened(*excel);
  EXPECT_EQ(excel->Quit(), 0) << excel->Output();
  EXPECT_EQ(word->Quit(), 0);
}

}  // namespace tavo::test
