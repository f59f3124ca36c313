// The Login command, the sign-in the two add-ins share, and signing out, in both add-ins.
#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "tests/addins/HostedAddin.h"

namespace tavo::test {
namespace {

namespace forms = platform::forms;
using namespace std::chrono_literals;

constexpr const char* kUnreachable = "Could not contact Tavo. Please check your connection and try again.";  // gMsg26
constexpr const char* kRefused = "Sign-in failed. Please check your Tavo ID and password.";  // gMsg27

class SignInTest : public HostedAddinTest {
 protected:
  SignInTest() {
    // Every line of the log is written, for the checks of what the log holds.
    SetSetting("tavologlevel", "Info");
  }
  // The messages shown since the given count of them.
  std::vector<std::string> MessagesSince(size_t count) const {
    const auto all = Messages();
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(count, all.size())), all.end()};
  }
};
INSTANTIATE_TEST_SUITE_P(BothAddins, SignInTest, ::testing::ValuesIn(kBothAddins), AddinName);

TEST_P(SignInTest, SignInThroughTheDialog) {
  Start();
  EXPECT_EQ(Status(), addin.statusNobodyRemembered);
  TypeCredentials(kUser, kPassword);
  Login();

  ASSERT_TRUE(user_.Saw("frmConfig")) << user_.TranscriptText();
  // The dialog's OK button reads as the sign-in command wants it.
  EXPECT_NE(user_.LastRendering("frmConfig").find("Command1      \"Sign In\""), std::string::npos)
      << user_.LastRendering("frmConfig");
  EXPECT_TRUE(user_.Saw("frmProgress"));
  // The add-in's own home page is what the sign-in loads first.
  EXPECT_EQ(pages_.Requests(), std::vector<std::string>{addin.homePage});
  EXPECT_EQ(RequestsTo("/login"), 2u);
  EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
  EXPECT_EQ(Status(), addin.statusSignedIn);
  EXPECT_TRUE(Messages().empty());

  const std::string ticket = Shared("tavoticketid");
  EXPECT_TRUE(server_->TicketValid(ticket));
  EXPECT_EQ(Shared(addin.ownStatus), "1");
  EXPECT_EQ(DecodeStoredSecret(Shared("tavousername")), kUser);
  EXPECT_EQ(Setting("tavoticketid"), ticket);
  EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, addin.otherSettingsKey, "tavoticketid"), ticket);
  EXPECT_NE(LogText(kUser).find(addin.logTitle + std::string("ann@tavo.example - ")), std::string::npos);
  EXPECT_TRUE(platform::files::FileExists(UserData(kUser) + addin.mapFile));
  auto loaded = forms::LoadedForms();
  EXPECT_TRUE(std::none_of(loaded.begin(), loaded.end(), [](const forms::Form* f) { return f->Name() == "frmProgress"; }));
}

TEST_P(SignInTest, RememberedCredentialsSignInWithoutTheDialogUntilADialogIsCancelled) {
  RememberCredentials(kUser, kPassword, /*saveLocal=*/true);
  Start();
  EXPECT_EQ(Status(), addin.statusRemembered);
  Login();
  EXPECT_FALSE(user_.Saw("frmConfig"));
  EXPECT_EQ(EnabledStates(), kSignedInKeepingCopies);

  // Signed out and cancelled once, the next Login asks again although the credentials are known.
  Click("Lo&gout");
  EXPECT_EQ(EnabledStates(), kSignedOut);
  user_.On("frmConfig", {"click Cancel"});
  Click("Se&ttings");
  user_.On("frmConfig", {"click Command1"});
  Login();
  EXPECT_EQ(user_.TimesShown("frmConfig"), 2) << user_.TranscriptText();
  EXPECT_EQ(EnabledStates(), kSignedInKeepingCopies);
}

TEST_P(SignInTest, CancellingTheDialogChangesNothing) {
  Start();
  user_.On("frmConfig", {"click Cancel"});
  Login();
  EXPECT_FALSE(user_.Saw("frmProgress"));
  EXPECT_EQ(RequestsTo("/login"), 0u);
  EXPECT_TRUE(pages_.Requests().empty());
  EXPECT_EQ(EnabledStates(), kSignedOut);
}

// A refused sign-in tells why once (the sign-in's own message), leaves the commands signed out
// whatever the keep-local choice, and the next Login asks through the dialog.
TEST_P(SignInTest, ARefusedSignInLeavesTheCommandsSignedOutAndAsksAgain) {
  for (bool saveLocal : {false, true}) {
    SCOPED_TRACE(saveLocal ? "keeping local copies" : "without local copies");
    // Nobody has signed in on this profile yet.
    SetShared(addin.ownStatus, "");
    SetShared("tavoticketid", "");
    RememberCredentials(kUser, "wrong", saveLocal);
    Start();
    server_->ClearRequests();
    const int dialogs = user_.TimesShown("frmConfig");
    const size_t messages = Messages().size();
    WillReadMessage();
    Login();
    EXPECT_EQ(user_.TimesShown("frmConfig"), dialogs);
    EXPECT_EQ(RequestsTo("/login"), 2u);
    EXPECT_EQ(MessagesSince(messages), std::vector<std::string>{Info(kRefused)});
    EXPECT_EQ(EnabledStates(), kSignedOut);
    EXPECT_EQ(Shared(addin.ownStatus), "");
    EXPECT_EQ(Shared("tavoticketid"), "");

    TypeCredentials(kUser, kPassword);
    Login();
    EXPECT_EQ(user_.TimesShown("frmConfig"), dialogs + 1);
    EXPECT_EQ(EnabledStates(), saveLocal ? kSignedInKeepingCopies : kSignedInWithoutCopies);
    Quit();
  }
}

// The other add-in's sign-in is taken over at start-up and by Login, without a dialog or a
// request.
TEST_P(SignInTest, TheOtherAddinsSignInIsAdopted) {
  const std::string ticket = server_->SignIn(kUser);
  OtherSignedIn(kUser, kPassword, ticket);
  RememberCredentials(kUser, kPassword, /*saveLocal=*/false);
  Start();
  EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
  EXPECT_EQ(Shared(addin.ownStatus), "1");
  EXPECT_NE(LogText(kUser).find(addin.logTitle), std::string::npos);

  Click("Lo&gout");
  EXPECT_EQ(EnabledStates(), kSignedOut);
  Login();
  EXPECT_FALSE(user_.Saw("frmConfig"));
  EXPECT_FALSE(user_.Saw("frmProgress"));
  EXPECT_EQ(RequestsTo("/login"), 0u);
  EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
}

// A blank shared name keeps the name loaded at start-up; the commands are enabled all the same,
// and the log is that account's.
TEST_P(SignInTest, AdoptionWithABlankSharedNameKeepsTheRememberedOne) {
  RememberCredentials("bob@tavo.example", "pw", /*saveLocal=*/true);
  OtherSignedIn("", "", server_->SignIn(kUser));
  Start();
  EXPECT_EQ(EnabledStates(), kSignedInKeepingCopies);
  EXPECT_EQ(Shared(addin.ownStatus), "1");
  EXPECT_NE(LogText("bob@tavo.example").find("bob@tavo.example"), std::string::npos);
}

// Sign-out, seen from the registry the two add-ins share.
TEST_P(SignInTest, SignOutFollowsTheSharedKeyProtocol) {
  struct Case {
    const char* name;
    bool otherSignedIn;  // the other add-in's status "1" when Logout is clicked
    bool ownSignedIn;    // this add-in's
    bool request;        // the service hears the sign-out
    bool sharedCleared;
  };
  const Case cases[] = {
      {"last one signed in", false, true, true, true},
      {"the other still signed in", true, true, false, false},
      {"already signed out", false, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RememberCredentials(kUser, kPassword);
    Start();
    Login();
    ASSERT_EQ(EnabledStates(), kSignedInWithoutCopies);
    server_->ClearRequests();
    const std::string ticket = Shared("tavoticketid");
    if (c.otherSignedIn) SetShared(addin.otherStatus, "1");
    if (!c.ownSignedIn) SetShared(addin.ownStatus, "0");

    Click("Lo&gout");
    EXPECT_EQ(RequestsTo("/logout"), c.request ? 1u : 0u);
    EXPECT_EQ(server_->TicketValid(ticket), !c.request);
    EXPECT_EQ(Shared("tavoticketid"), c.sharedCleared ? "" : ticket);
    EXPECT_EQ(Shared("tavousername"), c.sharedCleared ? "" : EncodeBase64(kUser));
    EXPECT_EQ(Shared("tavopassword"), c.sharedCleared ? "" : EncodeBase64(kPassword));
    EXPECT_EQ(Shared(addin.ownStatus), "0");
    EXPECT_EQ(Setting("tavoticketid"), "");
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, addin.otherSettingsKey, "tavoticketid"), "");
    EXPECT_EQ(EnabledStates(), kSignedOut);
    EXPECT_EQ(Status(), addin.statusSignedOut);
    // The remembered credentials stay, and Excel goes on showing its alerts.
    EXPECT_EQ(DecodeStoredSecret(Setting("tavousername")), kUser);
    if (auto excel = session().excel()) {
      EXPECT_TRUE(excel->DisplayAlerts());
    }
    Quit();
    SetShared(addin.otherStatus, "0");
  }
}

// The service cannot be reached for the sign-out: the user hears of it, and the add-in is
// signed out here all the same.
TEST_P(SignInTest, AFailedServerSignOutIsReported) {
  RememberCredentials(kUser, kPassword);
  Start();
  Login();
  server_->Stop();
  WillReadMessage();
  Click("Lo&gout");
  EXPECT_EQ(Messages(), std::vector<std::string>{Info(kUnreachable)});
  EXPECT_EQ(Shared(addin.ownStatus), "0");
  EXPECT_EQ(EnabledStates(), kSignedOut);
}

// The host unloading the add-in signs it out like the Logout command.
TEST_P(SignInTest, DisconnectionSignsOut) {
  RememberCredentials(kUser, kPassword);
  Start();
  Login();
  const std::string ticket = Shared("tavoticketid");
  Quit();
  EXPECT_FALSE(server_->TicketValid(ticket));
  EXPECT_EQ(Shared(addin.ownStatus), "0");
  EXPECT_EQ(Shared("tavoticketid"), "");
}

// ---- the wait for the suite's home page

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

// The bar climbs one step per 100 ms while the page loads: to 24 at most while loading, 49 while
// loaded, 74 while interactive; the loaded page moves it to 75 and the sign-in to 100.
TEST_P(SignInTest, TheProgressBarFollowsTheHomePage) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, std::chrono::milliseconds>> phases;  // from the navigation on
    std::vector<long> seenInWord, seenInExcel;
  };
  const Case cases[] = {
      {"complete at once", {}, {0}, {0}},
      // Word's wait starts 1 s after the navigation: five looks while loading, five while
      // loaded, ten while interactive; Excel's at once.
      {"short phases", {{1, 1500ms}, {2, 500ms}, {3, 1000ms}}, Range(0, 20), Range(0, 30)},
      {"long phases", {{1, 5000ms}, {2, 5000ms}, {3, 5000ms}}, Range(0, 74), Range(0, 74)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TimedPages pages(c.phases);
    ProgressAtClose closed(user_);
    RememberCredentials(kUser, kPassword);
    Start();
    Login();
    EXPECT_EQ(pages.values, addin.host == host::HostKind::Word ? c.seenInWord : c.seenInExcel);
    EXPECT_EQ(closed.value, 100);
    EXPECT_EQ(EnabledStates(), kSignedInWithoutCopies);
    Quit();
  }
}

// A refused sign-in closes the progress window where the wait left it.
TEST_P(SignInTest, ARefusedSignInClosesTheProgressAtSeventyFive) {
  TimedPages pages({});
  ProgressAtClose closed(user_);
  RememberCredentials(kUser, "wrong");
  Start();
  WillReadMessage();
  Login();
  EXPECT_EQ(closed.value, 75);
}

// A home page that never completes: after 30 s of the platform clock (in Word, after the first
// second and then 30 s) the sign-in gives up, tells the user and sends nothing to the accounts service.
TEST_P(SignInTest, AHomePageThatNeverLoadsEndsTheSignIn) {
  TimedPages pages({{forms::kReadyStateLoading, std::chrono::hours(1)}});
  RememberCredentials(kUser, kPassword);
  Start();
  server_->ClearRequests();
  const platform::TimePoint before = platform::Now();
  WillReadMessage();
  Login();
  EXPECT_EQ(platform::Now() - before, addin.homePageGiveUp);
  EXPECT_EQ(pages.values.back(), 24);
  EXPECT_EQ(RequestsTo("/login"), 0u);
  EXPECT_EQ(Messages(), std::vector<std::string>{Info(kUnreachable)});
  EXPECT_EQ(EnabledStates(), kSignedOut);
  EXPECT_EQ(Shared(addin.ownStatus), "");
}

}  // namespace
}  // namespace tavo::test
