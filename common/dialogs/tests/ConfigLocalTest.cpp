#include "common/dialogs/frmconfiglocal.h"

#include "common/RegistryStrings.h"
#include "common/StoredSecret.h"
#include "common/dialogs/tests/DialogTest.h"
#include "platform/shell/Shell.h"

namespace tavo {
namespace {

using Strings = std::vector<std::string>;
using test::RenderedCaption;

constexpr const char* kRemembered[] = {"tavousername", "tavopassword", "tavoremember", "tavosavelocal"};

class ConfigLocalTest : public test::DialogTest {
 protected:
  ConfigLocalTest() {
    state().gConfigMode = 1;
    state().gLoginUser = "";
    for (const char* value : kRemembered) Set(value, "kept");
  }
  void Set(const char* value, const std::string& text) {
    SetRegistryString(HKEY_CURRENT_USER, state().params.pluginSettingsKey, value, text);
  }
  std::string Get(const char* value) {
    return GetRegistryString(HKEY_CURRENT_USER, state().params.pluginSettingsKey, value);
  }
  Strings Remembered() {
    Strings values;
    for (const char* value : kRemembered) values.push_back(Get(value));
    return values;
  }
  void Show(const Strings& script) {
    op.On("frmconfiglocal", script);
    dialogs().frmconfiglocal.Show(forms::ShowMode::Modal);
    EXPECT_EQ(op.Pending("frmconfiglocal"), 0u);
  }
  const std::string kTyping1 = "type tavoemailid bob@tavo.example";
  const std::string kTyping2 = "type tavopassword pw2";
};

TEST_F(ConfigLocalTest, OkWithRememberMeUntickedForgetsTheStoredCredentials) {
  Show({kTyping1, kTyping2, "click Command1"});
  EXPECT_EQ(state().gConfigResult, "TRUE");
  EXPECT_EQ(state().gLoginUser, "bob@tavo.example");
  EXPECT_EQ(state().gLoginPassword, "pw2");
  EXPECT_EQ(state().gRememberFlag, "");
  EXPECT_EQ(Remembered(), (Strings{"", "", "", ""}));
  EXPECT_EQ(TakeStatus().back(), state().strings["gMsg02"]);
}

TEST_F(ConfigLocalTest, EnterWithRememberMeUntickedKeepsThem) {
  for (const char* field : {"tavoemailid", "tavopassword", "rememberme"}) {
    Show({kTyping1, kTyping2, std::string("key ") + field + " enter"});
    EXPECT_EQ(state().gConfigResult, "TRUE") << field;
    EXPECT_EQ(state().gLoginUser, "bob@tavo.example") << field;
    EXPECT_EQ(Remembered(), (Strings{"kept", "kept", "kept", "kept"})) << field;
    state().gConfigResult = "";
  }
}

TEST_F(ConfigLocalTest, RememberMeStoresTheEncodedCredentials) {
  state().gSaveLocalFlag = "1";
  Show({kTyping1, kTyping2, "check rememberme", "click Command1"});
  EXPECT_EQ(state().gRememberFlag, "remember");
  EXPECT_EQ(Remembered(), (Strings{EncodeBase64("bob@tavo.example"), EncodeBase64("pw2"), "remember", "1"}));
}

TEST_F(ConfigLocalTest, LoadFillsInWhatIsKnownAndTypingReplacesIt) {
  state().gLoginUser = "ann@tavo.example";
  state().gLoginPassword = "hunter22";
  state().gRememberFlag = "remember";
  Show({kTyping1, kTyping2, "focus rememberme", "uncheck rememberme", "click Command1"});
  const std::string shown = op.LastRendering("frmconfiglocal");
  EXPECT_EQ(RenderedCaption(shown, "tavoemailid"), "ann@tavo.example");
  EXPECT_EQ(RenderedCaption(shown, "tavopassword"), "********");
  EXPECT_NE(shown.find("rememberme    [x]"), std::string::npos) << shown;
  // Each box takes the focus with its text selected, so typing replaces it.
  EXPECT_EQ(state().gLoginUser, "bob@tavo.example");
  EXPECT_EQ(state().gLoginPassword, "pw2");
  EXPECT_EQ(TakeStatus(), (Strings{"Fill in the Login Informations...", state().strings["gMsg05"], "",
                                   state().strings["gMsg06"], "", "", state().strings["gMsg02"]}));
}

TEST_F(ConfigLocalTest, BlankFieldsInSignInModeAskAgain) {
  op.On("frmMsgInfo", {"click Command1"});
  Show({"type tavoemailid bob@tavo.example", "click Command1", "key tavoemailid esc"});
  EXPECT_EQ(MessageTexts(), Strings{state().strings["gMsg01"]});
  EXPECT_EQ(state().gConfigResult, "FALSE");
  // Nothing was signed in: the unload leaves its hint after the cleared status bar.
  EXPECT_EQ(Strings(host.statusTexts.end() - 2, host.statusTexts.end()),
            (Strings{"", "Fill in the login informations..."}));

  state().gConfigMode = 2;  // the settings take blanks
  Show({"click Command1"});
  EXPECT_EQ(state().gConfigResult, "TRUE");
  EXPECT_EQ(host.statusTexts.back(), "Fill in the login informations...");
}

TEST_F(ConfigLocalTest, EnterInThePasswordBoxWithoutANameStillConfirms) {
  Show({"type tavopassword pw2", "key tavopassword enter"});
  EXPECT_EQ(state().gConfigResult, "TRUE");
  EXPECT_EQ(state().gLoginUser, "");
  EXPECT_EQ(TakeStatus().back(), "Fill in the login informations...");
}

TEST_F(ConfigLocalTest, EscFromEveryPlaceCancelsButTheCloseBoxLeavesTheResult) {
  for (const char* action : {"key tavoemailid esc", "key tavopassword esc", "key rememberme esc",
                             "key Command1 esc", "key Command2 esc", "click Command2"}) {
    state().gConfigResult = "TRUE";
    Show({action});
    EXPECT_EQ(state().gConfigResult, "FALSE") << action;
    EXPECT_EQ(TakeStatus().end()[-2], "") << action;  // cleared, then the unload's hint
  }
  state().gConfigResult = "TRUE";
  Show({kTyping1, "close"});
  EXPECT_EQ(state().gConfigResult, "TRUE");
  EXPECT_EQ(state().gLoginUser, "");
}

TEST_F(ConfigLocalTest, SignUpLinkOpensTheRegistrationPage) {
  platform::shell::ClearShellExecuteRecords();
  Show({"click LblLink", "close"});
  const auto opened = platform::shell::ShellExecuteRecords();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].operation, "open");
  EXPECT_EQ(opened[0].file, "http://accounts.tavo.example/register");
  EXPECT_EQ(opened[0].showCommand, platform::shell::SW_SHOWNORMAL);

  frmconfiglocal& dialog = dialogs().frmconfiglocal;
  dialog.Load();
  dialog.LblLink.onMouseMove();
  EXPECT_TRUE(dialog.LblLink.FontBold());
  EXPECT_TRUE(dialog.LblLink.FontUnderline());
  EXPECT_EQ(dialog.LblLink.ForeColor(), 0xFF0000);
  EXPECT_EQ(dialog.MousePointer(), forms::kCustom);
  dialog.RaiseMouseMove();
  EXPECT_FALSE(dialog.LblLink.FontUnderline());
  dialog.Unload();
}

TEST_F(ConfigLocalTest, TranslatedCaptionsAndNoStatusTexts) {
  Use(kSheetParameters, "chi_ch");
  Show({"close"});
  const std::string shown = op.LastRendering("frmconfiglocal");
  for (const auto& [control, key] : std::vector<std::pair<std::string, std::string>>{
           {"Label1", "gusernamelocal"}, {"Label2", "gpasswordlocal"}, {"Label3", "gremembermelocal"},
           {"Command1", "gcommandopenlocal"}, {"Command2", "gcommandcancellocal"}, {"LblLink", "glinklabellocal"}})
    EXPECT_EQ(RenderedCaption(shown, control), Shown(key)) << control;
  EXPECT_TRUE(host.statusTexts.empty());
}

}  // namespace
}  // namespace tavo
