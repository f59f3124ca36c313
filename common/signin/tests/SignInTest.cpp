#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/AddinState.h"
#include "common/RegistryStrings.h"
#include "common/StoredSecret.h"
#include "common/signin/SharedSignIn.h"
#include "common/requests/tests/StandIn.h"
#include "common/signin/Accounts.h"
#include "common/signin/UrlEncode.h"
#include "common/dialogs/Dialogs.h"
#include "common/dialogs/TestSupport.h"
#include "common/tests/TestEnvironment.h"
#include "platform/codepage/CodePage.h"
#include "platform/files/Files.h"
#include "platform/forms/ScriptedOperator.h"

namespace tavo {
namespace {

using namespace std::string_literals;
using service::Fault;
using service::FaultKind;

class UrlEncodeTest : public test::CoreTest {};

TEST_F(UrlEncodeTest, EncodesEveryCharacterOfTheCodePageButLettersAndDigits) {
  const std::pair<std::string, std::string> cases[] = {
      {"a b+c%", "a+b%2Bc%25"},
      {"x.y-z_w*", "x%2Ey%2Dz%5Fw%2A"},
      {"ann@tavo.example", "ann%40tavo%2Eexample"},
      {"AZaz09", "AZaz09"},
      {"\0"s, "%0"},
      {"\t\r\n", "%09%0D%0A"},
      {"\x10\x1f\x7f", "%10%1F%7F"},
      {"\xC3\xA9\xE2\x82\xAC", "%E9%80"},             // é and € are in Windows-1252
      {"p\xCE\xA9ss", "p\xCE\xA9ss"},                  // Ω is not: sent as it is
      {"\xF0\x9F\x99\x82!", "\xF0\x9F\x99\x82%21"},    // nor is a character beyond UTF-16's plane 0
      {"", ""},
  };
  for (const auto& [text, encoded] : cases) EXPECT_EQ(UrlEncode(text), encoded) << text;

  platform::codepage::SetACP(936);  // a double-byte code page: its characters have no single code
  EXPECT_EQ(UrlEncode("\xE4\xBD\xA0 a"), "\xE4\xBD\xA0+a");
}

TEST(TicketOfAnswer, TakesTheTextAfterTheFirstTicketUpToTheQuote) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"<script>var s = 'ticket=AB12';</script>", "AB12"},
      {"ticket=AB12", "AB12"},
      {"ticket=AB12 and more", "AB12 and more"},
      {"'ticket=first' 'ticket=second'", "first"},
      {"Ticket=AB12'", std::nullopt},
      {"TICKET=AB12'", std::nullopt},
      {"your ticket has expired", std::nullopt},
      {"ticket= '", std::nullopt},
      {"ticket=''", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [answer, ticket] : cases) EXPECT_EQ(TicketOfAnswer(answer), ticket) << answer;
}

// A signed-out add-in whose language texts read as their own names, with the stand-in one
// loopback socket away and a progress window shown by the caller.
class SignInTest : public test::StandInTest, public ::testing::WithParamInterface<const AddinParameterSet*> {
 protected:
  void SetUp() override {
    StandInTest::SetUp();
    for (const std::string& name : state_.strings.Names()) state_.strings.Set(name, name);
    state_.gLanguageName = "english";
    state_.gLoginUser = test::kUser;
    state_.gLoginPassword = test::kPassword;
    progress_.onProgress = [this] {
      steps_.push_back(progress_.Label1.Caption() + " " + std::to_string(progress_.ProgressBar1.Value()));
    };
    progress_.Show();
  }

  void TearDown() override {
    EXPECT_EQ(operator_.Pending("frmMsgInfo") + operator_.Pending("frmMsg"), 0u) << "a message was not shown";
    StandInTest::TearDown();
  }

  bool Login(std::string_view password = test::kPassword) {
    server_->ClearRequests();
    return LoginToAccounts(state_, test::kUser, password);
  }
  // The user closes the next message shown.
  void CloseNextMessage() { operator_.On(params().singleMessageDialog ? "frmMsg" : "frmMsgInfo", {"click Command1"}); }
  std::string Shared(std::string_view value) {
    return GetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, value);
  }
  std::string TicketSetting(const AddinParameterSet& params) {
    return GetRegistryString(HKEY_CURRENT_USER, params.pluginSettingsKey, "tavoticketid");
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const test::SeenMessage& m : test::SeenMessages(operator_)) texts.push_back(m.text);
    return texts;
  }
  void SeedRegistry() {
    for (const char* value : {"tavoticketid", "tavousername", "tavopassword", "wordstatus", "excelstatus"})
      SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, value, "old");
    for (const AddinParameterSet* params : {&kWriterParameters, &kSheetParameters})
      SetRegistryString(HKEY_CURRENT_USER, params->pluginSettingsKey, "tavoticketid", "old");
  }
  void ExpectRegistryUntouched() {
    for (const char* value : {"tavoticketid", "tavousername", "tavopassword", "wordstatus", "excelstatus"})
      EXPECT_EQ(Shared(value), "old") << value;
    EXPECT_EQ(TicketSetting(kWriterParameters), "old");
    EXPECT_EQ(TicketSetting(kSheetParameters), "old");
  }

  const AddinParameterSet& params() { return *GetParam(); }
  test::RecordingHost host_;
  AddinState state_{params(), &host_};
  platform::forms::ScriptedOperator operator_;
  frmProgress& progress_ = Dialogs(state_).frmProgress;
  std::vector<std::string> steps_;
};

TEST_P(SignInTest, SendsBothRequestsAndPublishesTheTicket) {
  state_.gLoginUser = " Ann@tavo.example ";  // the caller passes it trimmed; folders use the trimmed name
  ASSERT_TRUE(Login());
  const std::string ticket = server_->SignIn(test::kUser);
  EXPECT_EQ(state_.gTicket, ticket);

  const auto requests = server_->Requests();
  ASSERT_EQ(requests.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(requests[i].method, "POST");
    EXPECT_TRUE(requests[i].tls);
    EXPECT_EQ(requests[i].host, "accounts.tavo.example");
    EXPECT_EQ(requests[i].path, "/login");
    EXPECT_EQ(requests[i].body, "servicename=" + std::string(params().signInServiceOrder[i]) +
                                    "&silent=true&LOGIN_ID=ann%40tavo%2Eexample&PASSWORD=Secret%2D1");
    EXPECT_EQ(requests[i].Header("Content-Type"), "application/x-www-form-urlencoded; charset=UTF-8");
    EXPECT_EQ(requests[i].Header("User-Agent"), "Tavo Office Plugin-2.0.0");
  }
  EXPECT_EQ(requests[params().ticketAnswerIndex].body.substr(0, 22), "servicename=TavoWriter");

  EXPECT_EQ(TicketSetting(kWriterParameters), ticket);
  EXPECT_EQ(TicketSetting(kSheetParameters), ticket);
  EXPECT_EQ(Shared("tavoticketid"), ticket);
  EXPECT_EQ(DecodeStoredSecret(Shared("tavousername")), "Ann@tavo.example");
  EXPECT_EQ(Shared("tavousername"), EncodeBase64(" Ann@tavo.example "));
  EXPECT_EQ(DecodeStoredSecret(Shared("tavopassword")), test::kPassword);
  EXPECT_EQ(Shared(params().ownStatusValue), "1");
  EXPECT_EQ(Shared(params().otherStatusValue), "");

  // The user's files are ready, named after the trimmed account.
  EXPECT_TRUE(platform::files::FileExists(state_.gUserDataFolder + std::string(params().credentialsFileName)));
  EXPECT_NE(state_.gUserDataFolder.find("\\users\\Ann@tavo.example\\"), std::string::npos);
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(progress_.IsLoaded());  // the caller unloads it on success
}

TEST_P(SignInTest, ProgressLabelValueAndStatusBar) {
  ASSERT_TRUE(Login());
  if (params().signInProgressOnStatusBar) {
    EXPECT_EQ(steps_, (std::vector<std::string>{"gMsg48 0", "gMsg48 100", "gMsg49 100"}));
    EXPECT_EQ(host_.statusTexts, (std::vector<std::string>{"gMsg47", "gMsg48"}));
  } else {
    EXPECT_EQ(steps_, (std::vector<std::string>{"gMsg47 0", "gMsg48 0", "gMsg48 100", "gMsg48 100"}));
    EXPECT_TRUE(host_.statusTexts.empty());
  }
}

TEST_P(SignInTest, AnAnswerWithoutTicketLeavesTheRegistryAlone) {
  SeedRegistry();
  state_.gConfigResult = "TRUE";
  state_.gConfigMode = 1;
  CloseNextMessage();
  EXPECT_FALSE(Login("wrong"));
  ExpectRegistryUntouched();
  EXPECT_EQ(state_.gTicket, "");
  EXPECT_EQ(Messages(), std::vector<std::string>{"gMsg27"});
  EXPECT_EQ(state_.gConfigResult, "FALSE");
  EXPECT_EQ(state_.gConfigMode, 2);
  EXPECT_FALSE(progress_.IsLoaded());
  EXPECT_EQ(server_->Requests().size(), 2u);
}

TEST_P(SignInTest, TheTicketComesFromTheWriterServicesAnswer) {
  // The first answer is a page without a ticket: fatal only when it is the one that is read.
  server_->InjectFault(Fault("/login", FaultKind::NotXml));
  if (params().ticketAnswerIndex == 0) CloseNextMessage();
  EXPECT_EQ(Login(), params().ticketAnswerIndex == 1);
  EXPECT_EQ(server_->Requests().size(), 2u);
}

TEST_P(SignInTest, AServiceThatCannotBeReachedShowsTheFirstFailureText) {
  SeedRegistry();
  ShortTimeouts();
  const std::string expected =
      params().signInFirstFailureText.empty() ? "gMsg26" : std::string(params().signInFirstFailureText);
  const std::vector<Fault> faults = {Fault("/login", FaultKind::Hang), Fault("/login", FaultKind::RefuseConnection),
                                     Fault("/login", FaultKind::Truncated)};
  for (const Fault& fault : faults) {
    server_->InjectFault(fault);
    progress_.Show();
    CloseNextMessage();
    EXPECT_FALSE(Login());
    EXPECT_FALSE(progress_.IsLoaded());
  }
  server_->Stop();
  CloseNextMessage();
  EXPECT_FALSE(Login());
  EXPECT_EQ(Messages(), std::vector<std::string>(4, expected));
  ExpectRegistryUntouched();
}

TEST_P(SignInTest, AMissingFailureTextShowsNothingAndKeepsTheResult) {
  state_.strings.Set("gMsg27", "");
  state_.gConfigResult = "TRUE";
  state_.gConfigMode = 1;
  EXPECT_FALSE(Login("wrong"));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(state_.gConfigResult, "TRUE");
  EXPECT_EQ(state_.gConfigMode, 1);
  EXPECT_FALSE(progress_.IsLoaded());
}

TEST_P(SignInTest, PasswordsAreFormEncodedAndCharactersOutsideTheCodePageSentAsTheyAre) {
  server_->AddAccount("plus+blank@tavo.example", "a b+c%");
  EXPECT_TRUE(LoginToAccounts(state_, "plus+blank@tavo.example", "a b+c%"));
  EXPECT_EQ(server_->Requests().back().body.substr(server_->Requests().back().body.find("&LOGIN_ID=")),
            "&LOGIN_ID=plus%2Bblank%40tavo%2Eexample&PASSWORD=a+b%2Bc%25");

  server_->AddAccount("omega@tavo.example", "p\xCE\xA9ss");
  server_->ClearRequests();
  EXPECT_TRUE(LoginToAccounts(state_, "omega@tavo.example", "p\xCE\xA9ss"));
  EXPECT_TRUE(server_->Requests().back().body.ends_with("&PASSWORD=p\xCE\xA9ss"));

  // Characters of the code page go out as their Windows-1252 codes, and the account still signs in.
  server_->AddAccount("euro@tavo.example", "caf\xC3\xA9 \xE2\x82\xAC\xCE\xA9");
  server_->ClearRequests();
  EXPECT_TRUE(LoginToAccounts(state_, "euro@tavo.example", "caf\xC3\xA9 \xE2\x82\xAC\xCE\xA9"));
  EXPECT_TRUE(server_->Requests().back().body.ends_with("&PASSWORD=caf%E9+%80\xCE\xA9"));
}

TEST_P(SignInTest, SignOutEndsTheTicket) {
  ASSERT_TRUE(Login());
  const std::string ticket = state_.gTicket;
  server_->ClearRequests();
  EXPECT_TRUE(LogoutFromAccounts(state_));
  EXPECT_FALSE(server_->TicketValid(ticket));
  const auto requests = server_->Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].path, "/logout");
  EXPECT_EQ(requests[0].query, "ticket=" + ticket);
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded; charset=UTF-8");
  EXPECT_EQ(requests[0].Header("User-Agent"), params().signOutSendsUserAgent ? "Tavo Office Plugin-2.0.0" : "");
  EXPECT_TRUE(Messages().empty());

  server_->Stop();
  CloseNextMessage();
  EXPECT_TRUE(LogoutFromAccounts(state_));
  EXPECT_EQ(Messages(), std::vector<std::string>{"gMsg26"});
}

// The other add-in's sign-in is taken over while its ticket can serve: not a blank one, and not
// one the service has refused to this add-in, until a sign-in writes a new one.
TEST_P(SignInTest, TheOtherAddinsSignInIsTakenOverUnlessItsTicketCannotServe) {
  const struct {
    const char* status;
    const char* ticket;
    bool usable;
  } cases[] = {{"1", "t1", true}, {"0", "t1", false}, {"1", "", false}, {"1", " ", false}};
  for (const auto& c : cases) {
    SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, params().otherStatusValue, c.status);
    SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, "tavoticketid", c.ticket);
    EXPECT_EQ(OtherSignInUsable(state_), c.usable) << c.status << " \"" << c.ticket << "\"";
  }

  SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, "tavoticketid", "t1");
  state_.gTicket = "t1";  // taken over, then refused
  state_.gConfigResult = "TRUE";
  NoteRefusedTicket(state_);
  EXPECT_FALSE(OtherSignInUsable(state_));
  EXPECT_EQ(state_.gConfigResult, "FALSE");  // the next Login asks
  EXPECT_FALSE(AdoptOtherSignIn(state_, [] { ADD_FAILURE() << "taken over"; }));
  // A sign-in of either add-in brings a new ticket.
  SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, "tavoticketid", "t2");
  EXPECT_TRUE(OtherSignInUsable(state_));
}

// A sign-in of no account (the shared name and the one known already both blank) is not taken
// over: there would be no account's folders to file anything in.
TEST_P(SignInTest, ASignInOfNoAccountIsNotTakenOver) {
  SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, params().otherStatusValue, "1");
  SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, "tavoticketid", "t1");
  SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, "tavousername", EncodeBase64(" "));
  state_.gLoginUser = "";
  EXPECT_FALSE(AdoptOtherSignIn(state_, [] { ADD_FAILURE() << "taken over"; }));
  EXPECT_FALSE(state_.signedIn);
  EXPECT_TRUE(state_.gTicket.empty());
}

INSTANTIATE_TEST_SUITE_P(BothAddins, SignInTest, ::testing::Values(&kWriterParameters, &kSheetParameters),
                         test::AddinName);

}  // namespace
}  // namespace tavo
