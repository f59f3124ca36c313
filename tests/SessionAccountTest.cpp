// Which account a host's session runs under, with Word and Excel as two tavo-office processes on
// one environment root: the sign-in one host takes over from the other, the settings and the
// local sign-in while signed in, and the ticket the service stops knowing (as after a restart).
// Whatever the user does, what a host opens is filed under the account the service serves.
#include <filesystem>
#include <memory>
#include <string>

#include "common/StoredSecret.h"
#include "platform/environment/Environment.h"
#include "platform/xml/XmlDocument.h"
#include "tests/BothHosts.h"

namespace tavo::test {
namespace {

using namespace both_hosts;
using std::string;

constexpr const char* kOther = "bob@tavo.example";
constexpr const char* kOtherPassword = "Other-2";
constexpr int kFastClock = 20;

// What differs between the two hosts in these tests.
struct Kind {
  const char* name;           // "word" / "excel"
  const char* settingsKey;    // its add-in's settings key
  const char* folderWord;     // "tavowriter" / "tavosheet"
  const char* mapFile;        // its map file's name
  const char* credentials;    // its credentials file's name
  const char* openList;       // the command that lists the online files
  const char* localCopies;    // the command that lists the local copies
  const char* adoptedStatus;  // its status bar once it has taken over the other's sign-in
  const char* statusValue;    // its status value in the shared key
  const char* noLocalCopies;  // the message of a local sign-in that finds no copies
};
const Kind kWord{"word",
                 "Software\\tavo\\tavo writer Word Plugin\\reg",
                 "tavowriter",
                 "maptavoword.xml",
                 "maptavoworddet.xml",
                 "click &Open Document",
                 "click Local &Documents",
                 "Status bar: Signed in to Tavo.\n",
                 "wordstatus",
                 "No local documents were found for this account."};
const Kind kExcel{"excel",
                  "Software\\tavo\\tavo sheet Excel Plugin\\reg",
                  "tavosheet",
                  "maptavoexcel.xml",
                  "maptavoexceldet.xml",
                  "click &Open Tavo Sheet",
                  "click Local Work&Books",
                  "Status bar: Tavo Sheet sign-in status updated.\n",
                  "excelstatus",
                  "No local workbooks were found for this account."};

class SessionAccount : public BothHosts {
 protected:
  void SetUp() override {
    BothHosts::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    server_->AddAccount(kOther, kOtherPassword);
    server_->AddDocument(kUser, "Plan", "<p>plan</p>");
    server_->AddWorkbook(kUser, "Budget", Workbook("b"));
  }
};

// The service stops knowing the shared ticket (it was restarted): the host that meets the
// refusal first is signed out by it, without a sign-out the service would refuse too, and its
// Login signs in again through the dialog; the other host, refused in turn, takes that new
// sign-in over with its Login. Only the last host to quit signs the account out.
TEST_F(SessionAccount, AfterTheServiceRefusesTheTicketLoginSignsInAgain) {
  using Order = std::pair<const Kind&, const Kind&>;  // the host refused first, then the other
  for (const auto& [refusedFirst, refusedNext] : {Order{kExcel, kWord}, Order{kWord, kExcel}}) {
    SCOPED_TRACE(refusedFirst.name);
    auto signedIn = Start(refusedNext.name, kFastClock);
    ASSERT_TRUE(Has(SignIn(*signedIn), "&Login (disabled)"));
    auto adopting = Start(refusedFirst.name, kFastClock);
    ASSERT_TRUE(Has(adopting->Send("screen"), "&Login (disabled)"));
    server_->EndAllTickets();
    const size_t signOuts = Requests("GET", "/logout");

    string screen = adopting->Send(refusedFirst.openList);
    EXPECT_TRUE(Has(screen, "Authentication failed. Please sign in again.")) << screen;
    screen = adopting->Send("click Command1");
    EXPECT_TRUE(Has(screen, "  &Login\n")) << screen;
    EXPECT_EQ(Shared(refusedFirst.statusValue), "0");
    EXPECT_TRUE(Has(SignIn(*adopting), "&Login (disabled)"));
    const string fresh = Shared("tavoticketid");
    EXPECT_TRUE(server_->TicketValid(fresh));
    EXPECT_TRUE(Has(adopting->Send(refusedFirst.openList), "[frmDocList]"));
    adopting->Send("click Cancel");

    screen = signedIn->Send(refusedNext.openList);
    EXPECT_TRUE(Has(screen, "Authentication failed. Please sign in again.")) << screen;
    EXPECT_TRUE(Has(signedIn->Send("click Command1"), "  &Login\n"));
    screen = signedIn->Send("click &Login");
    EXPECT_FALSE(Has(screen, "[frmConfig]")) << screen;
    EXPECT_TRUE(Has(screen, "&Login (disabled)")) << screen;
    EXPECT_TRUE(Has(signedIn->Send(refusedNext.openList), "[frmDocList]"));
    signedIn->Send("click Cancel");

    EXPECT_EQ(Requests("GET", "/logout"), signOuts);
    EXPECT_EQ(signedIn->Quit(), 0) << signedIn->Output();
    EXPECT_TRUE(server_->TicketValid(fresh));
    EXPECT_EQ(adopting->Quit(), 0) << adopting->Output();
    EXPECT_EQ(Requests("GET", "/logout"), signOuts + 1);
    EXPECT_FALSE(server_->TicketValid(fresh));
  }
}

}  // namespace
}  // namespace tavo::test
