// The Login command, the sign-in shared with the Word add-in, and signing out.
#include <chrono>
#include <string>
#include <vector>

#include "ExelAddin/sheetPlugin/source/tests/SheetTestSupport.h"
#include "platform/forms/Controls.h"

namespace tavo::sheet::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kUnreachable = "Could not contact Tavo. Please check your connection and try again.";  // gMsg26
constexpr const char* kRefused = "Sign-in failed. Please check your Tavo ID and password.";  // gMsg27
constexpr const char* kStatusUpdated = "Tavo Sheet sign-in status updated.";  // gMsg57

class SignInTest : public SheetTest {
 protected:
  void TypeCredentials(const std::string& user, const std::string& password) {
    user_.On("frmConfig", {"type tavoemailid " + user, "type tavopassword " + password, "click Command1"});
  }
  void Login() { excel().Click("&Login"); }
};

}  // namespace

TEST_F(SignInTest, SignInThroughTheDialog) {
  StartExcel();
  TypeCredentials(kUser, kPassword);
  Login();

  ASSERT_TRUE(user_.Saw("frmConfig")) << user_.TranscriptText();
  EXPECT_NE(user_.LastRendering("frmConfig").find("Command1      \"Sign In\""), std::string::npos)
      << user_.LastRendering("frmConfig");
  EXPECT_TRUE(user_.Saw("frmProgress"));
  // The spreadsheet's own page is what the sign-in loads first.
  EXPECT_EQ(pages_.Requests(), std::vector<std::string>{kSheetPage});
  EXPECT_EQ(RequestsTo("/login"), 2u);
  EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
  EXPECT_EQ(Status(), kStatusUpdated);
  EXPECT_TRUE(Messages().empty());

  const std::string ticket = Shared("tavoticketid");
  EXPECT_TRUE(server_->TicketValid(ticket));
  EXPECT_EQ(Shared("excelstatus"), "1");
  EXPECT_EQ(DecodeStoredSecret(Shared("tavousername")), kUser);
  EXPECT_EQ(Setting("tavoticketid"), ticket);
  EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kWriterSettingsKey, "tavoticketid"), ticket);
  EXPECT_NE(LogText().find(" Tavo Sheet Excel Addin Log - ann@tavo.example - "), std::string::npos);
  EXPECT_TRUE(platform::files::FileExists(MapFile()));
}

TEST_F(SignInTest, RememberedCredentialsSignInWithoutTheDialogUntilADialogIsCancelled) {
  RememberCredentials(kUser, kPassword, /*saveLocal=*/true);
  StartExcel();
  Login();
  EXPECT_FALSE(user_.Saw("frmConfig"));
  EXPECT_EQ(EnabledStates(), kSignedInKeepingCopies);

  excel().Click("Lo&gout");
  user_.On("frmConfig", {"click Cancel"});
  excel().Click("Se&ttings");
  user_.On("frmConfig", {"click Command1"});
  Login();
  EXPECT_EQ(user_.TimesShown("frmConfig"), 2) << user_.TranscriptText();
  EXPECT_EQ(EnabledStates(), kSignedInKeepingCopies);
}

TEST_F(SignInTest, CancellingTheDialogChangesNothing) {
  StartExcel();
  user_.On("frmConfig", {"click Cancel"});
  Login();
  EXPECT_FALSE(user_.Saw("frmProgress"));
  EXPECT_EQ(RequestsTo("/login"), 0u);
  EXPECT_TRUE(pages_.Requests().empty());
  EXPECT_EQ(EnabledStates(), kSignedOut);
}

// A refused sign-in tells why once (the sign-in's own message) and leaves the commands signed
// out; a page that never loads gives up after 30 s of the platform clock with gMsg26, before
// anything reaches the accounts service.
TEST_F(SignInTest, AFailedSignInLeavesTheCommandsSignedOut) {
  RememberCredentials(kUser, "wrong", /*saveLocal=*/true);
  StartExcel();
  WillReadMessage();
  Login();
  EXPECT_EQ(RequestsTo("/login"), 2u);
  EXPECT_EQ(Messages(), std::vector<std::string>{kRefused});
  EXPECT_EQ(EnabledStates(), kSignedOut);
  EXPECT_EQ(Shared("excelstatus"), "");
  QuitExcel();

  forms::ScriptedPages neverLoads;  // loading for far longer than the limit
  neverLoads.Add(kSheetPage, std::vector<int>(10000, forms::kReadyStateLoading));
  RememberCredentials(kUser, kPassword);
  StartExcel();
  server_->ClearRequests();
  const platform::TimePoint before = platform::Now();
  WillReadMessage();
  Login();
  EXPECT_EQ(platform::Now() - before, 30s);
  EXPECT_EQ(RequestsTo("/login"), 0u);
  EXPECT_EQ(Messages().back(), kUnreachable);
  EXPECT_EQ(EnabledStates(), kSignedOut);
}

// The Word add-in's sign-in is taken over at start-up and by Login, without a dialog or a
// request; a blank shared name keeps the remembered one.
TEST_F(SignInTest, TheWordAddinsSignInIsAdopted) {
  const std::string ticket = server_->SignIn(kUser);
  WordSignedIn(kUser, kPassword, ticket);
  RememberCredentials(kUser, kPassword, /*saveLocal=*/false);
  StartExcel();
  EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
  EXPECT_EQ(Shared("excelstatus"), "1");
  EXPECT_NE(LogText().find("Tavo Sheet Excel Addin Log"), std::string::npos);

  excel().Click("Lo&gout");
  EXPECT_EQ(EnabledStates(), kSignedOut);
  Login();
  EXPECT_FALSE(user_.Saw("frmConfig"));
  EXPECT_FALSE(user_.Saw("frmProgress"));
  EXPECT_EQ(RequestsTo("/login"), 0u);
  EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
  QuitExcel();

  RememberCredentials("bob@tavo.example", "pw", /*saveLocal=*/true);
  WordSignedIn("", "", ticket);
  StartExcel();
  EXPECT_EQ(EnabledStates(), kSignedInKeepingCopies);
  const std::string bobsLog = std::string(kAppData) + "\\tavo\\tavosheet\\users\\bob@tavo.example\\tavosheet.log";
  EXPECT_TRUE(platform::files::FileExists(bobsLog));
}

// Sign-out, seen from the registry the two add-ins share. Excel goes on showing its alerts.
TEST_F(SignInTest, SignOutFollowsTheSharedKeyProtocol) {
  struct Case {
    const char* name;
    bool wordSignedIn;   // wordstatus "1" when Logout is clicked
    bool excelSignedIn;  // excelstatus "1"
    bool request;        // the service hears the sign-out
    bool sharedCleared;
  };
  const Case cases[] = {
      {"last one signed in", false, true, true, true},
      {"word still signed in", true, true, false, false},
      {"excel already signed out", false, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RememberCredentials(kUser, kPassword);
    StartExcel();
    Login();
    ASSERT_EQ(EnabledStates(), kSignedInWithoutCopies);
    server_->ClearRequests();
    const std::string ticket = Shared("tavoticketid");
    if (c.wordSignedIn) SetShared("wordstatus", "1");
    if (!c.excelSignedIn) SetShared("excelstatus", "0");

    excel().Click("Lo&gout");
    EXPECT_EQ(RequestsTo("/logout"), c.request ? 1u : 0u);
    EXPECT_EQ(server_->TicketValid(ticket), !c.request);
    EXPECT_EQ(Shared("tavoticketid"), c.sharedCleared ? "" : ticket);
    EXPECT_EQ(Shared("tavopassword"), c.sharedCleared ? "" : EncodeBase64(kPassword));
    EXPECT_EQ(Shared("excelstatus"), "0");
    EXPECT_EQ(Setting("tavoticketid"), "");
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kWriterSettingsKey, "tavoticketid"), "");
    EXPECT_EQ(EnabledStates(), kSignedOut);
    EXPECT_EQ(Status(), kStatusUpdated);
    EXPECT_TRUE(app()->DisplayAlerts());
    QuitExcel();
    SetShared("wordstatus", "0");
  }
}

}  // namespace tavo::sheet::test
