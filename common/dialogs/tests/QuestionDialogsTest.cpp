#include "common/dialogs/QuestionDialogs.h"

#include "common/dialogs/tests/DialogTest.h"

namespace tavo {
namespace {

using Strings = std::vector<std::string>;
using test::RenderedCaption;

class QuestionDialogsTest : public test::DialogTest,
                            public ::testing::WithParamInterface<const AddinParameterSet*> {
 protected:
  QuestionDialogsTest() {
    Use(*GetParam());
    // The operation starts only once the question is gone.
    host.onOperation = [this](const std::string& operation) {
      closedBeforeOperation.push_back(operation + (dialogs().frmConfirm.IsLoaded() || dialogs().frmLowVersion.IsLoaded()
                                                       ? " while asking"
                                                       : ""));
    };
  }
  void Ask(forms::Form& question, const Strings& script) {
    op.On(question.Name(), script);
    question.Show(forms::ShowMode::Modal);
  }
  Strings closedBeforeOperation;
};

TEST_P(QuestionDialogsTest, YesClosesTheQuestionAndRunsTheOperation) {
  Ask(dialogs().frmConfirm, {"click Yes"});
  Ask(dialogs().frmLowVersion, {"click Command1"});
  EXPECT_EQ(closedBeforeOperation, (Strings{"AddActiveDocument", "OverwriteActiveDocument"}));
  // The add question says what it is about in the status bar; the unloads clear it.
  EXPECT_EQ(TakeStatus(), (Strings{state().strings["gMsg09"], "", ""}));
}

TEST_P(QuestionDialogsTest, NoAndEscOnlyClose) {
  for (forms::Form* question : std::initializer_list<forms::Form*>{&dialogs().frmConfirm, &dialogs().frmLowVersion}) {
    for (const char* action : {"click No", "key esc", "key Command1 esc", "key Command2 esc"}) {
      Ask(*question, {action});
      EXPECT_FALSE(question->IsLoaded()) << action;
      EXPECT_EQ(TakeStatus().back(), "") << question->Name() << " " << action;
    }
  }
  EXPECT_TRUE(host.operations.empty());
}

TEST_P(QuestionDialogsTest, TranslatedCaptions) {
  Use(*GetParam(), "chi_ch");
  Ask(dialogs().frmConfirm, {"click Command2"});
  const std::string confirm = op.LastRendering("frmConfirm");
  EXPECT_EQ(RenderedCaption(confirm, "Label1"), Shown("gfrmconfirm_label1"));
  EXPECT_EQ(RenderedCaption(confirm, "Command1"), Shown("gfrmconfirm_yes"));
  EXPECT_EQ(RenderedCaption(confirm, "Command2"), Shown("gfrmconfirm_cancel"));
  Ask(dialogs().frmLowVersion, {"click Command2"});
  const std::string low = op.LastRendering("frmLowVersion");
  EXPECT_EQ(RenderedCaption(low, "Label1"), Shown("gfrmlowversion_label1"));
  EXPECT_EQ(RenderedCaption(low, "Command1"), Shown("gfrmlowversion_command1"));
  EXPECT_TRUE(host.statusTexts.empty());
}

TEST_P(QuestionDialogsTest, LanguageFileWithoutTheOverwriteSectionShowsTheDefaults) {
  // A translated file that holds no section at all: every key reads its default.
  platform::files::CreateFolder("C:\\App");
  platform::files::CreateFolder("C:\\App\\Language");
  platform::files::WriteAllBytes("C:\\App\\Language\\chinese.ini", "[Other]\r\nkey=\\u4f60\r\n");
  state().gApplicationPath = "C:\\App";
  state().gLanguageCode = "chi_ch";
  ASSERT_TRUE(LoadLanguage(state()));
  Ask(dialogs().frmLowVersion, {"click Command2"});
  const std::string low = op.LastRendering("frmLowVersion");
  const bool writer = !GetParam()->singleMessageDialog;
  EXPECT_EQ(RenderedCaption(low, "Label1"), writer ? "Newer Copy" : "");
  EXPECT_EQ(RenderedCaption(low, "Command1"), writer ? "Sign &In" : "");
  EXPECT_EQ(RenderedCaption(low, "Command2"), writer ? "Sign &Out" : "");
}

INSTANTIATE_TEST_SUITE_P(BothAddins, QuestionDialogsTest, ::testing::Values(&kWriterParameters, &kSheetParameters),
                         test::AddinName);

}  // namespace
}  // namespace tavo
