// The Login command, the shared sign-in between the two add-ins, and signing out.
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "WordAddin/writerPlugin/source/tests/ServiceFixture.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"

namespace tavo::writer::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kNotSignedIn = "You are not signed in to Tavo. Use Login to sign in.";  // gMsg03
constexpr const char* kUnreachable = "Could not contact Tavo. Please check your connection and try again.";  // gMsg26
constexpr const char* kRefused = "Sign-in failed. Please check your Tavo ID and password.";  // gMsg27

class SignInTest : public ServiceTest {
 protected:
  void TypeCredentials(const std::string& user, const std::string& password) {
    user_.On("frmConfig", {"type tavoemailid " + user, "type tavopassword " + password, "click Command1"});
  }
  void Login() { word().Click("&Login"); }
  std::string Status() { return word().application()->StatusBar(); }
};

}  // namespace

TEST_F(SignInTest, SignInThroughTheDialog) {
  StartWord();
  EXPECT_EQ(Status(), kNotSignedIn);
  TypeCredentials(kUser, kPassword);
  Login();

  ASSERT_TRUE(user_.Saw("frmConfig")) << user_.TranscriptText();
  // The dialog's OK button reads as the sign-in command wants it.
  EXPECT_NE(user_.LastRendering("frmConfig").find("Command1      \"Sign In\""), std::string::npos)
      << user_.LastRendering("frmConfig");
  EXPECT_TRUE(user_.Saw("frmProgress"));
  EXPECT_EQ(pages_.Requests(), std::vector<std::string>{kHomePage});
  EXPECT_EQ(RequestsTo("/login"), 2u);
  EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);

  const std::string ticket = Shared("tavoticketid");
  EXPECT_TRUE(server_->TicketValid(ticket));
  EXPECT_EQ(Shared("wordstatus"), "1");
  EXPECT_EQ(DecodeStoredSecret(Shared("tavousername")), kUser);
  EXPECT_EQ(Setting("tavoticketid"), ticket);
  EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kSheetSettingsKey, "tavoticketid"), ticket);
  EXPECT_NE(LogText(kUser).find(" Tavo Writer Word Addin Log - ann@tavo.example - "), std::string::npos);
  auto loaded = forms::LoadedForms();
  EXPECT_TRUE(std::none_of(loaded.begin(), loaded.end(), [](const forms::Form* f) { return f->Name() == "frmProgress"; }));
}

TEST_F(SignInTest, RememberedCredentialsSignInWithoutTheDialogUntilADialogIsCancelled) {
  RememberCredentials(kUser, kPassword, /*saveLocal=*/true);
  StartWord();
  EXPECT_EQ(Status(), "");
  Login();
  EXPECT_FALSE(user_.Saw("frmConfig"));
  EXPECT_EQ(EnabledStates(), kSignedInKeepingCopies);

  // Signed out and cancelled once, the next Login asks again although the credentials are known.
  word().Click("Lo&gout");
  EXPECT_EQ(EnabledStates(), kSignedOut);
  user_.On("frmConfig", {"click Cancel"});
  word().Click("Se&ttings");
  user_.On("frmConfig", {"click Command1"});
  Login();
  EXPECT_EQ(user_.TimesShown("frmConfig"), 2) << user_.TranscriptText();
  EXPECT_EQ(EnabledStates(), kSignedInKeepingCopies);
}

TEST_F(SignInTest, CancellingTheDialogChangesNothing) {
  StartWord();
  user_.On("frmConfig", {"click Cancel"});
  Login();
  EXPECT_FALSE(user_.Saw("frmProgress"));
  EXPECT_EQ(RequestsTo("/login"), 0u);
  EXPECT_TRUE(pages_.Requests().empty());
  EXPECT_EQ(EnabledStates(), kAfterStartUp);
}

TEST_F(SignInTest, ARefusedSignInLeavesTheCommandsSignedOutAndAsksAgain) {
  RememberCredentials(kUser, "wrong", /*saveLocal=*/false);
  StartWord();
  WillReadMessage();
  Login();
  EXPECT_FALSE(user_.Saw("frmConfig"));
  EXPECT_EQ(RequestsTo("/login"), 2u);
  EXPECT_EQ(Messages(), std::vector<std::string>{"frmMsgInfo: " + std::string(kRefused)});
  // Signed out, with Local Documents enabled whatever the keep-local choice.
  EXPECT_EQ(EnabledStates(), kSignedOut);
  EXPECT_EQ(Shared("wordstatus"), "");
  EXPECT_EQ(Shared("tavoticketid"), "");

  TypeCredentials(kUser, kPassword);
  Login();
  EXPECT_TRUE(user_.Saw("frmConfig"));
  EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
}

// The spreadsheet add-in's sign-in is taken over at start-up and by Login, without a dialog
// or a request.
TEST_F(SignInTest, TheSpreadsheetAddinsSignInIsAdopted) {
  const std::string ticket = server_->SignIn(kUser);
  SheetSignedIn(kUser, kPassword, ticket);
  RememberCredentials(kUser, kPassword, /*saveLocal=*/false);
  StartWord();
  EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
  EXPECT_EQ(Shared("wordstatus"), "1");
  EXPECT_NE(LogText(kUser).find("Tavo Writer Word Addin Log"), std::string::npos);

  word().Click("Lo&gout");
  EXPECT_EQ(EnabledStates(), kSignedOut);
  Login();
  EXPECT_FALSE(user_.Saw("frmConfig"));
  EXPECT_FALSE(user_.Saw("frmProgress"));
  EXPECT_EQ(RequestsTo("/login"), 0u);
  EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
}

// A blank shared name keeps the name loaded at start-up; the commands are enabled all the same.
TEST_F(SignInTest, AdoptionWithABlankSharedNameKeepsTheRememberedOne) {
  RememberCredentials("bob@tavo.example", "pw", /*saveLocal=*/true);
  SheetSignedIn("", "", "T-42");
  StartWord();
  EXPECT_EQ(EnabledStates(), kSignedInKeepingCopies);
  EXPECT_EQ(Shared("wordstatus"), "1");
  EXPECT_NE(LogText("bob@tavo.example").find("bob@tavo.example"), std::string::npos);
}

// Sign-out, seen from the registry the two add-ins share.
TEST_F(SignInTest, SignOutFollowsTheSharedKeyProtocol) {
  struct Case {
    const char* name;
    bool sheetSignedIn;  // excelstatus "1" when Logout is clicked
    bool wordSignedIn;   // wordstatus "1"
    bool request;        // the service hears the sign-out
    bool sharedCleared;
  };
  const Case cases[] = {
      {"last one signed in", false, true, true, true},
      {"spreadsheet still signed in", true, true, false, false},
      {"word already signed out", false, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_->ClearRequests();
    RememberCredentials(kUser, kPassword);
    StartWord();
    Login();
    ASSERT_EQ(EnabledStates(), kSignedInWithoutCopies);
    const std::string ticket = Shared("tavoticketid");
    if (c.sheetSignedIn) SetShared("excelstatus", "1");
    if (!c.wordSignedIn) SetShared("wordstatus", "0");

    word().Click("Lo&gout");
    EXPECT_EQ(RequestsTo("/logout"), c.request ? 1u : 0u);
    EXPECT_EQ(server_->TicketValid(ticket), !c.request);
    EXPECT_EQ(Shared("tavoticketid"), c.sharedCleared ? "" : ticket);
    EXPECT_EQ(Shared("tavousername"), c.sharedCleared ? "" : EncodeBase64(kUser));
    EXPECT_EQ(Shared("wordstatus"), "0");
    EXPECT_EQ(Setting("tavoticketid"), "");
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kSheetSettingsKey, "tavoticketid"), "");
    EXPECT_EQ(EnabledStates(), kSignedOut);
    // The remembered credentials stay.
    EXPECT_EQ(DecodeStoredSecret(Setting("tavousername")), kUser);
    QuitWord();
    SetShared("excelstatus", "0");
  }
}

// The service cannot be reached for the sign-out: the user hears of it, and the add-in is
// signed out here all the same.
TEST_F(SignInTest, AFailedServerSignOutIsReported) {
  RememberCredentials(kUser, kPassword);
  StartWord();
  Login();
  server_->Stop();
  WillReadMessage();
  word().Click("Lo&gout");
  EXPECT_EQ(Messages(), std::vector<std::string>{"frmMsgInfo: " + std::string(kUnreachable)});
  EXPECT_EQ(Shared("wordstatus"), "0");
  EXPECT_EQ(EnabledStates(), kSignedOut);
}

// Word unloading the add-in signs it out like the Logout command.
TEST_F(SignInTest, DisconnectionSignsOut) {
  RememberCredentials(kUser, kPassword);
  StartWord();
  Login();
  const std::string ticket = Shared("tavoticketid");
  QuitWord();
  EXPECT_FALSE(server_->TicketValid(ticket));
  EXPECT_EQ(Shared("wordstatus"), "0");
  EXPECT_EQ(Shared("tavoticketid"), "");
}

// ---- the wait for the suite's home page

namespace {

// A home page that loads through timed phases of the platform clock, and an operator that
// notes the progress bar's value at each look at the page and when the progress window closes.
class TimedPages final : public forms::PageSource {
 public:
  explicit TimedPages(std::vector<std::pair<int, std::chrono::milliseconds>> phases)
      : phases_(std::move(phases)), previous_(forms::SetPageSource(this)) {}
  ~TimedPages() override { forms::SetPageSource(previous_); }

  std::unique_ptr<forms::PageLoad> Start(const std::string&) override {
    return std::make_unique<Load>(*this, platform::Now());
  }
  // The bar's values, one per change seen.
  std::vector<long> values;

 private:
  struct Load final : forms::PageLoad {
    Load(TimedPages& pages, platform::TimePoint start) : pages(pages), start(start) {}
    int ReadyState() override {
      pages.Note();
      auto elapsed = platform::Now() - start;
      for (const auto& [state, length] : pages.phases_) {
        if (elapsed < length) return state;
        elapsed -= length;
      }
      return forms::kReadyStateComplete;
    }
    bool Succeeded() const override { return true; }
    std::string Body() const override { return "<html><body>Tavo</body></html>"; }
    std::string Error() const override { return {}; }
    TimedPages& pages;
    platform::TimePoint start;
  };

 public:
  void Note() {
    for (forms::Form* form : forms::LoadedForms()) {
      if (form->Name() != "frmProgress") continue;
      const long value = ControlOf<forms::ProgressBar>(*form, "ProgressBar1").Value();
      if (values.empty() || values.back() != value) values.push_back(value);
    }
  }

 private:
  std::vector<std::pair<int, std::chrono::milliseconds>> phases_;
  forms::PageSource* previous_;
};

// The bar's value when the progress window closes.
struct ProgressAtClose {
  explicit ProgressAtClose(forms::ScriptedOperator& user) : watcher(user) {
    watcher.onClosed = [this](forms::Form& form) {
      if (form.Name() == "frmProgress") value = ControlOf<forms::ProgressBar>(form, "ProgressBar1").Value();
    };
  }
  FormWatcher watcher;
  long value = -1;
};

std::vector<long> Range(long from, long to) {
  std::vector<long> v;
  for (long i = from; i <= to; ++i) v.push_back(i);
  return v;
}

}  // namespace

// The bar climbs one step per 100 ms while the page loads: to 24 at most while loading, 49 while
// loaded, 74 while interactive; the loaded page moves it to 75 and the sign-in to 100.
TEST_F(SignInTest, TheProgressBarFollowsTheHomePage) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, std::chrono::milliseconds>> phases;  // from the navigation on
    std::vector<long> seen;
  };
  const Case cases[] = {
      {"complete at once", {}, {0}},
      // The wait starts 1 s after the navigation: five looks while loading, five while loaded.
      {"short phases", {{1, 1500ms}, {2, 500ms}, {3, 1000ms}}, Range(0, 20)},
      {"long phases", {{1, 5000ms}, {2, 5000ms}, {3, 5000ms}}, Range(0, 74)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TimedPages pages(c.phases);
    ProgressAtClose closed(user_);
    RememberCredentials(kUser, kPassword);
    StartWord();
    Login();
    EXPECT_EQ(pages.values, c.seen);
    EXPECT_EQ(closed.value, 100);
    EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
    QuitWord();
  }
}

// A refused sign-in closes the progress window where the wait left it.
TEST_F(SignInTest, ARefusedSignInClosesTheProgressAtSeventyFive) {
  TimedPages pages({});
  ProgressAtClose closed(user_);
  RememberCredentials(kUser, "wrong");
  StartWord();
  WillReadMessage();
  Login();
  EXPECT_EQ(closed.value, 75);
}

// A home page that never completes: after 30 s of the platform clock the sign-in gives up,
// tells the user and sends nothing to the accounts service.
TEST_F(SignInTest, AHomePageThatNeverLoadsEndsTheSignIn) {
  TimedPages pages({{forms::kReadyStateLoading, std::chrono::hours(1)}});
  RememberCredentials(kUser, kPassword);
  StartWord();
  const platform::TimePoint before = platform::Now();
  WillReadMessage();
  Login();
  EXPECT_EQ(platform::Now() - before, 31s);  // the first second, then the limit
  EXPECT_EQ(pages.values.back(), 24);
  EXPECT_EQ(RequestsTo("/login"), 0u);
  EXPECT_EQ(Messages(), std::vector<std::string>{"frmMsgInfo: " + std::string(kUnreachable)});
  EXPECT_EQ(EnabledStates(), kSignedOut);
  EXPECT_EQ(Shared("wordstatus"), "");
}

}  // namespace tavo::writer::test
