#include "common/dialogs/MessageDialogs.h"

#include "common/Messages.h"
#include "common/dialogs/tests/DialogTest.h"
#include "platform/forms/ScreenMetrics.h"

namespace tavo {
namespace {

using test::DialogTest;

TEST_F(DialogTest, MessageDialogsCloseByOkEnterOrEscOnOkAndEscOnTheDialog) {
  const std::vector<std::string> closing[] = {
      {"click Command1"}, {"key Command1 enter"}, {"key Command1 esc"}, {"key frmMsgInfo esc"}, {"key enter"},
      {"key frmMsgInfo enter", "key frmMsgInfo space", "click Command1"},  // Enter elsewhere does nothing
  };
  for (const auto& script : closing) {
    op.On("frmMsgInfo", script);
    ShowMessage(state(), "Saved.", 0);
    EXPECT_EQ(op.Pending("frmMsgInfo"), 0u) << script.back();
    EXPECT_FALSE(dialogs().frmMsgInfo.IsLoaded());
    EXPECT_EQ(TakeStatus(), (std::vector<std::string>{"Saved.", ""})) << script.back();
  }
  op.On("frmMsgError", {"key Command1 enter"});
  ShowMessage(state(), "Failed.", 1);
  EXPECT_EQ(test::SeenMessages(op).back().dialog, "frmMsgError");
  EXPECT_EQ(op.LastRendering("frmMsgError"),
            "[frmMsgError] \"Error\" (modal)\n"
            "  Label          Label1    \"Failed.\"\n"
            "  CommandButton  Command1  \"OK\"  <focus>\n");
}

TEST_F(DialogTest, TranslatedOkButtonsAndAboutBox) {
  Use(kSheetParameters, "chi_ch");
  op.On("frmMsg", {"click Command1"});
  ShowMessage(state(), state().strings["gMsg12"], 2);  // every kind in the one dialog
  const std::string ok = Shown("gfrmAboutus_command1");
  EXPECT_NE(op.LastRendering("frmMsg").find("Command1  \"" + ok + "\""), std::string::npos) << op.TranscriptText();
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{Shown("gMsg12")});
  EXPECT_TRUE(host.statusTexts.empty());  // translated texts never reach the status bar

  op.On("frmAboutUs", {"key esc"});
  dialogs().frmAboutUs.Show(forms::ShowMode::Modal);
  const std::string about = op.LastRendering("frmAboutUs");
  for (const char* key : {"gfrmAboutus_label1", "gfrmAboutus_label2", "gfrmAboutus_command1"})
    EXPECT_NE(about.find("\"" + Shown(key) + "\""), std::string::npos) << key << "\n" << about;
}

TEST_F(DialogTest, EnglishAboutBoxKeepsItsDesignAndIsCentred) {
  dialogs().frmAboutUs.Load();
  EXPECT_EQ(dialogs().frmAboutUs.Label2.Caption().size(), 36u);
  EXPECT_EQ(dialogs().frmAboutUs.Left(), (forms::Screen::Width() - dialogs().frmAboutUs.Width()) / 2);
  EXPECT_EQ(dialogs().frmAboutUs.Top(), (forms::Screen::Height() - dialogs().frmAboutUs.Height()) / 2);
  dialogs().frmAboutUs.Unload();
}

TEST_F(DialogTest, LanguageFileWithoutTheAboutSectionLeavesOkEmpty) {
  state().gLanguageName = "chinese";
  state().strings.Set("gfrmAboutus_command1", "");
  op.On("frmMsgInfo", {"click Command1"});
  ShowMessage(state(), "\\u4f60", 0);
  EXPECT_NE(op.LastRendering("frmMsgInfo").find("Command1  \"\""), std::string::npos);
}

TEST_F(DialogTest, KindTwoIsTheStandardMessageBoxWithTheRawText) {
  state().gLanguageName = "japanese";
  ShowMessage(state(), "\\u4f60 raw", 2);
  ASSERT_EQ(op.Transcript().size(), 1u);
  const forms::TranscriptEntry& box = op.Transcript()[0];
  EXPECT_EQ(box.kind, forms::TranscriptEntry::Kind::MessageBox);
  EXPECT_EQ(box.caption, "TavoWriter Word Addin");
  EXPECT_EQ(box.text, "\\u4f60 raw");
  EXPECT_EQ(box.buttons, forms::kOKOnly + forms::kExclamation);
}

// The Word add-in reads its HTML exports through the never shown resource window.
TEST_F(DialogTest, ResourceWindowLoadsAPageWithoutBeingShown) {
  platform::files::WriteAllBytes("C:\\export.html", "<html><body><img src=\"a.gif\"><img src=\"b.gif\"></body></html>");
  forms::WebBrowser& browser = dialogs().frmResource.utilsBrowser;
  browser.Navigate("C:\\export.html");
  EXPECT_EQ(browser.ReadyState(), forms::kReadyStateComplete);
  EXPECT_EQ(browser.Document().getElementsByTagName("img").length(), 2);
  EXPECT_FALSE(dialogs().frmResource.IsVisible());
  EXPECT_TRUE(op.Transcript().empty());
}

}  // namespace
}  // namespace tavo
