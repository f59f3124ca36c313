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

string UserFolder(const char* tree, const Kind& kind, const string& account) {
  return string("C:\\Users\\tavo\\") + tree + "\\tavo\\" + kind.folderWord + "\\users\\" + account + "\\";
}
string UserData(const Kind& kind, const string& account) { return UserFolder("AppData\\Roaming", kind, account); }

// How many records the account's map holds (0 when it has none).
size_t Records(const Kind& kind, const string& account) {
  platform::xml::Document map;
  if (!map.load(UserData(kind, account) + kind.mapFile)) return 0;
  return map.documentElement().childNodes().size();
}

void Remember(const Kind& kind, const string& user, const string& password) {
  for (const auto& [value, text] : {std::pair<const char*, string>{"tavousername", EncodeBase64(user)},
                                    {"tavopassword", EncodeBase64(password)},
                                    {"tavoremember", "remember"},
                                    {"tavosavelocal", "1"}})
    reg::WriteValue(reg::HKEY_CURRENT_USER, kind.settingsKey, value, reg::StringValue(text));
}

class SessionAccount : public BothHosts {
 protected:
  void SetUp() override {
    BothHosts::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    server_->AddAccount(kOther, kOtherPassword);
    server_->AddDocument(kUser, "Plan", "<p>plan</p>");
    server_->AddWorkbook(kUser, "Budget", Workbook("b"));
  }

  // The host's dialog open, the credentials typed over what it shows, and its Command1 clicked.
  static string Confirm(HostProcess& host, const string& user, const string& password) {
    host.Send("clear tavoemailid");
    if (!user.empty()) host.Send("type tavoemailid " + user);
    host.Send("clear tavopassword");
    if (!password.empty()) host.Send("type tavopassword " + password);
    return host.Send("click Command1");
  }
  // Opens the first entry of the host's online list.
  static void OpenFirst(HostProcess& host, const Kind& kind) {
    host.Send(kind.openList);
    host.Send("select listdoc 0");
    host.Send("click Command1");
  }
};

// The host started beside a signed-in one takes its sign-in over, says so, and its settings show
// that account, whatever the host remembered from an earlier run; a save of the settings that
// would change the account (or leave none) is refused with what to do, and what the host then
// opens is filed under the account in use. After Logout, as the message says, the settings
// take the other account and Login signs in with it.
TEST_F(SessionAccount, TheAccountTakenOverIsTheOneInUse) {
  const struct {
    const Kind& first;
    const Kind& second;
    bool remembersOther;  // the second host remembers the other account from an earlier run
  } cases[] = {{kExcel, kWord, false}, {kWord, kExcel, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.second.name);
    if (c.remembersOther) Remember(c.second, kOther, kOtherPassword);
    auto first = Start(c.first.name, kFastClock);
    ASSERT_TRUE(Has(SignIn(*first), "&Login (disabled)"));
    auto second = Start(c.second.name, kFastClock);
    string screen = second->Send("screen");
    EXPECT_TRUE(Has(screen, "&Login (disabled)")) << screen;
    EXPECT_TRUE(Has(screen, c.second.adoptedStatus)) << screen;

    screen = second->Send("click Se&ttings");
    EXPECT_TRUE(Has(screen, string("\"") + kUser + "\"")) << screen;
    EXPECT_FALSE(Has(screen, kOther)) << screen;
    for (const auto& [user, password] : {std::pair<string, string>{kOther, kOtherPassword}, {"", ""}}) {
      screen = Confirm(*second, user, password);
      EXPECT_TRUE(Has(screen, string("You are signed in to Tavo as ") + kUser +
                                  ". To use another Tavo ID or password, choose Logout first."))
          << screen;
      EXPECT_TRUE(Has(second->Send("click Command1"), "[frmConfig]"));
    }
    second->Send("click Command2");
    OpenFirst(*second, c.second);
    EXPECT_EQ(Records(c.second, kUser), 1u);
    EXPECT_EQ(Records(c.second, kOther), 0u);
    EXPECT_EQ(Records(c.second, ""), 0u);  // the map of no account

    // The way the message shows. The first host goes first, so that the account is signed out.
    EXPECT_EQ(first->Quit(), 0);
    second->Send("click Lo&gout");
    second->Send("click Se&ttings");
    screen = Confirm(*second, kOther, kOtherPassword);
    EXPECT_FALSE(Has(screen, "[frmConfig]")) << screen;
    EXPECT_TRUE(Has(second->Send("click &Login"), "&Login (disabled)"));
    EXPECT_EQ(DecodeStoredSecret(Shared("tavousername")), kOther);
    EXPECT_EQ(second->Quit(), 0) << second->Output();
  }
}

// Signed in online, the local sign-in of another account that has signed in on this computer
// before is refused while the session lasts: the online session keeps its account, and what is
// opened next is filed under it. After Logout the other account's local copies are listed.
TEST_F(SessionAccount, ALocalSignInDoesNotChangeTheOnlineSessionsAccount) {
  for (const Kind* kind : {&kWord, &kExcel}) {
    SCOPED_TRACE(kind->name);
    // The other account's files from an earlier sign-in on this computer.
    for (const char* tree : {"AppData\\Roaming", "Documents"})
      std::filesystem::create_directories(platform::environment::HostPath(UserFolder(tree, *kind, kOther)));
    files::WriteAllBytes(UserData(*kind, kOther) + kind->credentials,
                         "<xml><username>" + EncodeBase64(kOther) + "</username><password>" +
                             EncodeBase64(kOtherPassword) + "</password></xml>");
    Remember(*kind, kUser, kPassword);
    auto host = Start(kind->name, kFastClock);
    host->Send("click &Login");  // the remembered credentials sign in without a question
    // A cancelled settings dialog: the next local sign-in asks again.
    host->Send("click Se&ttings");
    host->Send("click Command2");
    EXPECT_TRUE(Has(host->Send(kind->localCopies), "[frmconfiglocal]"));
    string screen = Confirm(*host, kOther, kOtherPassword);
    EXPECT_TRUE(Has(screen, string("You are signed in to Tavo as ") + kUser)) << screen;
    EXPECT_TRUE(Has(host->Send("click Command1"), "[frmconfiglocal]"));
    host->Send("click Command2");
    OpenFirst(*host, *kind);
    EXPECT_EQ(Records(*kind, kUser), 1u);
    EXPECT_EQ(Records(*kind, kOther), 0u);

    host->Send("click Lo&gout");
    host->Send(kind->localCopies);
    screen = Confirm(*host, kOther, kOtherPassword);
    EXPECT_TRUE(Has(screen, kind->noLocalCopies)) << screen;
    host->Send("click Command1");
    EXPECT_EQ(host->Quit(), 0) << host->Output();
  }
}

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
