#include "common/signin/frmConfig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/AddinFolder.h"
#include "common/AddinState.h"
#include "common/RegistryStrings.h"
#include "common/StoredSecret.h"
#include "common/dialogs/TestSupport.h"
#include "common/tests/TestEnvironment.h"
#include "platform/forms/ScreenMetrics.h"
#include "platform/forms/ScriptedOperator.h"
#include "platform/forms/UserActions.h"
#include "platform/shell/Shell.h"

namespace tavo {
namespace {

namespace forms = platform::forms;
namespace user = platform::forms::user;

constexpr const char* kRemembered[] = {"tavousername", "tavopassword", "tavoremember", "tavosavelocal"};

// The dialog of one add-in, its language texts reading as their own names.
class frmConfigTest : public test::CoreTest, public ::testing::WithParamInterface<const AddinParameterSet*> {
 protected:
  frmConfigTest() {
    for (const std::string& name : state_.strings.Names()) state_.strings.Set(name, name);
    state_.gLanguageName = "english";
  }
  const AddinParameterSet& params() { return *GetParam(); }

  void Show(std::vector<std::string> script) {
    op_.On("frmConfig", std::move(script));
    dialog_.Show(forms::ShowMode::Modal);
    EXPECT_EQ(op_.Pending("frmConfig"), 0u) << op_.TranscriptText();
  }
  std::string Setting(std::string_view name) {
    return GetRegistryString(HKEY_CURRENT_USER, params().pluginSettingsKey, name);
  }
  void RememberSomething() {
    for (const char* value : kRemembered) SetRegistryString(HKEY_CURRENT_USER, params().pluginSettingsKey, value, "x");
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const test::SeenMessage& m : test::SeenMessages(op_)) texts.push_back(m.text);
    return texts;
  }

  test::RecordingHost host_;
  AddinState state_{params(), &host_};
  forms::ScriptedOperator op_;
  frmConfig dialog_{state_};
};

TEST_P(frmConfigTest, LoadingFillsTheBoxesFromTheState) {
  state_.gLoginUser = "ann@tavo.example";
  state_.gLoginPassword = "pw";
  state_.gSaveLocalFlag = "1";
  state_.gRememberFlag = "remember";
  dialog_.Load();
  EXPECT_EQ(dialog_.Caption(), "Tavo Credentials");
  EXPECT_EQ(dialog_.tavoemailid.Text(), "ann@tavo.example");
  EXPECT_EQ(dialog_.tavopassword.DisplayText(), "**");
  EXPECT_EQ(dialog_.localsave.Value(), 1);
  EXPECT_EQ(dialog_.rememberme.Value(), 1);
  EXPECT_EQ(dialog_.Height(), frmConfig::kCollapsedHeight);
  EXPECT_EQ(dialog_.Left(), forms::Screen::Width() / 2 - dialog_.Width() / 2);
  const std::vector<std::string> loadStatus =
      params().configLoadStatusText.empty() ? std::vector<std::string>{}
                                            : std::vector<std::string>{std::string(params().configLoadStatusText)};
  EXPECT_EQ(host_.statusTexts, loadStatus);
  dialog_.Unload();

  state_.gSaveLocalFlag = "0";
  state_.gRememberFlag = "";
  dialog_.Load();
  EXPECT_EQ(dialog_.localsave.Value(), 0);
  EXPECT_EQ(dialog_.rememberme.Value(), 0);
}

TEST_P(frmConfigTest, TranslatedCaptions) {
  state_.gLanguageName = "chinese";
  for (const char* key : {"gusername", "gpassword", "grememberme", "gkeeplocalcopy", "gcommandsave", "gcommandcancel",
                          "glinklabel", "glocalkeepcaption"})
    state_.strings.Set(key, "\\u4f60");
  state_.strings.Set("gusername", "\\u4f60\\u597d");
  dialog_.Load();
  EXPECT_EQ(dialog_.Label1.Caption(), "\xE4\xBD\xA0\xE5\xA5\xBD");
  EXPECT_EQ(dialog_.Label5.Caption(), "\xE4\xBD\xA0");
  EXPECT_EQ(dialog_.Command2.Caption(), "\xE4\xBD\xA0");
}

TEST_P(frmConfigTest, OkErasesWhatWasRememberedAndEnterKeepsIt) {
  const struct {
    std::vector<std::string> script;
    bool erased;
    std::string status;
  } cases[] = {
      {{"type tavoemailid ann", "type tavopassword pw", "click Command1"}, true, "gMsg02"},
      {{"type tavoemailid ann", "type tavopassword pw", "key tavopassword enter"}, false, "gMsg02"},
      {{"type tavoemailid ann", "type tavopassword pw", "key tavoemailid enter"}, false, "gMsg02"},
      {{"type tavoemailid ann", "type tavopassword pw", "key rememberme enter"}, false, "gMsg04"},
  };
  for (const auto& c : cases) {
    RememberSomething();
    state_.gConfigMode = 1;
    state_.gConfigResult = "";
    host_.statusTexts.clear();
    Show(c.script);
    EXPECT_EQ(state_.gConfigResult, "TRUE") << c.script.back();
    EXPECT_EQ(state_.gLoginUser, "ann");
    EXPECT_EQ(state_.gLoginPassword, "pw");
    EXPECT_EQ(state_.gRememberFlag, "");
    EXPECT_EQ(state_.gSaveLocalFlag, "0");
    for (const char* value : kRemembered) EXPECT_EQ(Setting(value), c.erased ? "" : "x") << c.script.back();
    ASSERT_FALSE(host_.statusTexts.empty());
    EXPECT_EQ(host_.statusTexts.back(), c.status) << c.script.back();
  }
}

TEST_P(frmConfigTest, RememberMeStoresTheCredentials) {
  Show({"type tavoemailid ann", "type tavopassword pw", "check rememberme", "click Image1", "check localsave",
        "click Command1"});
  EXPECT_EQ(state_.gRememberFlag, "remember");
  EXPECT_EQ(state_.gSaveLocalFlag, "1");
  EXPECT_EQ(DecodeStoredSecret(Setting("tavousername")), "ann");
  EXPECT_EQ(DecodeStoredSecret(Setting("tavopassword")), "pw");
  EXPECT_EQ(Setting("tavoremember"), "remember");
  EXPECT_EQ(Setting("tavosavelocal"), "1");
}

TEST_P(frmConfigTest, BlankPasswordInSignInMode) {
  state_.gConfigMode = 1;
  op_.On(params().singleMessageDialog ? "frmMsg" : "frmMsgInfo", {"click Command1"});
  Show({"type tavoemailid ann", "click Command1", "key tavopassword enter"});
  EXPECT_EQ(Messages(), std::vector<std::string>{"gMsg01"});  // OK refused it; Enter took it
  EXPECT_EQ(state_.gConfigResult, "TRUE");
  EXPECT_EQ(state_.gLoginUser, "ann");
  EXPECT_EQ(state_.gLoginPassword, "");
}

TEST_P(frmConfigTest, SettingsModeAcceptsBlanks) {
  state_.gConfigMode = 2;
  state_.gLoginUser = "ann";
  state_.gLoginPassword = "pw";
  Show({"clear tavoemailid", "clear tavopassword", "click Command1"});
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(state_.gConfigResult, "TRUE");
  EXPECT_EQ(state_.gLoginUser, "");
  EXPECT_EQ(state_.gLoginPassword, "");
  // Closed with a blank name: the hint for it follows the confirmation.
  const std::vector<std::string> tail = params().configCloseShowsHint ? std::vector<std::string>{"gMsg02", "gMsg03"}
                                                                       : std::vector<std::string>{"gMsg02"};
  ASSERT_GE(host_.statusTexts.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(host_.statusTexts.end() - static_cast<long>(tail.size()), host_.statusTexts.end()),
            tail);
}

TEST_P(frmConfigTest, CancelAndEscSayFalseAndTheCloseBoxSaysNothing) {
  const struct {
    std::vector<std::string> script;
    std::string result;
  } cases[] = {
      {{"type tavoemailid bob", "click Command2"}, "FALSE"},
      {{"type tavoemailid bob", "key tavoemailid esc"}, "FALSE"},
      {{"key tavopassword esc"}, "FALSE"},
      {{"key rememberme esc"}, "FALSE"},
      {{"key Command1 esc"}, "FALSE"},
      {{"key Command2 esc"}, "FALSE"},
      {{"type tavoemailid bob", "close"}, "earlier"},
  };
  for (const auto& c : cases) {
    state_.gConfigResult = "earlier";
    state_.gLoginUser = "ann";
    state_.gLoginPassword = "pw";
    Show(c.script);
    EXPECT_EQ(state_.gConfigResult, c.result) << c.script.back();
    EXPECT_EQ(state_.gLoginUser, "ann") << c.script.back();
    EXPECT_EQ(state_.gLoginPassword, "pw");
  }
}

TEST_P(frmConfigTest, FocusHintsSelectTheWholeText) {
  state_.gLoginUser = "ann";
  dialog_.Show();
  host_.statusTexts.clear();
  user::Focus(dialog_.tavopassword);
  user::Focus(dialog_.tavoemailid);
  EXPECT_EQ(dialog_.tavoemailid.SelLength(), 3);
  user::Focus(dialog_.rememberme);
  user::Focus(dialog_.Command1);
  EXPECT_EQ(host_.statusTexts, (std::vector<std::string>{"", "gMsg06", "", "gMsg05", "", ""}));
}

TEST_P(frmConfigTest, ExpanderTwiceReturnsToTheFirstHeight) {
  // The pictures are installed beside the add-in (here: beside the test program).
  const std::string images = AddinFolder() + "\\images\\";
  dialog_.Show();
  EXPECT_FALSE(dialog_.localsave.Visible());
  user::Click(dialog_.Image1);
  EXPECT_EQ(dialog_.Height(), frmConfig::kExpandedHeight);
  EXPECT_EQ(dialog_.Picture(), images + "dividesign-in.jpg");
  EXPECT_TRUE(dialog_.localsave.Visible() && dialog_.Label4.Visible() && dialog_.Label5.Visible());
  user::Click(dialog_.Image1);
  EXPECT_EQ(dialog_.Height(), frmConfig::kCollapsedHeight);
  EXPECT_EQ(dialog_.Picture(), images + "dividesign-in-hide.jpg");
  EXPECT_FALSE(dialog_.localsave.Visible() || dialog_.Label4.Visible() || dialog_.Label5.Visible());
}

TEST_P(frmConfigTest, SignUpLink) {
  platform::shell::ClearShellExecuteRecords();
  dialog_.Show();
  user::Hover(dialog_.LblLink);
  EXPECT_TRUE(dialog_.LblLink.FontBold());
  EXPECT_TRUE(dialog_.LblLink.FontUnderline());
  EXPECT_EQ(dialog_.LblLink.ForeColor(), forms::kBlue);
  EXPECT_EQ(dialog_.MousePointer(), forms::kCustom);
  user::Hover(dialog_);
  EXPECT_FALSE(dialog_.LblLink.FontUnderline());
  EXPECT_TRUE(dialog_.LblLink.FontBold());
  EXPECT_EQ(dialog_.MousePointer(), forms::kCustom);

  user::Click(dialog_.LblLink);
  const auto opened = platform::shell::ShellExecuteRecords();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].operation, "open");
  EXPECT_EQ(opened[0].file, "http://accounts.tavo.example/register");
  EXPECT_EQ(opened[0].showCommand, platform::shell::SW_SHOWNORMAL);
}

TEST_P(frmConfigTest, Label4SetsThePointerOnlyInTheSpreadsheet) {
  dialog_.Show();
  user::Click(dialog_.Image1);
  user::Click(dialog_.Label4);
  EXPECT_EQ(dialog_.MousePointer(), params().configLabel4SetsPointer ? forms::kCustom : forms::kDefault);
}

INSTANTIATE_TEST_SUITE_P(BothAddins, frmConfigTest, ::testing::Values(&kWriterParameters, &kSheetParameters),
                         test::AddinName);

}  // namespace
}  // namespace tavo
