#include "common/dialogs/LocalFiles.h"

#include "common/dialogs/tests/DialogTest.h"
#include "platform/core/RuntimeError.h"

namespace tavo {
namespace {

using Strings = std::vector<std::string>;
using test::DialogTest;
using test::RenderedCaption;

class LocalFilesTest : public test::DialogTest, public ::testing::WithParamInterface<const AddinParameterSet*> {
 protected:
  LocalFilesTest() {
    Use(*GetParam());
    state().gDocsRoot = "C:\\Docs";
    state().gAppDataRoot = "C:\\Data";
    for (const char* root : {"C:\\Docs", "C:\\Data"}) {
      platform::files::CreateFolder(root);
      platform::files::CreateFolder(std::string(root) + "\\users");
      platform::files::CreateFolder(std::string(root) + "\\users\\ann@tavo.example");
    }
    // The add-in's open and delete close the dialogs, as the add-ins do.
    host.onOperation = [this](const std::string& operation) {
      if (operation == "LoadLocalDocument") return;  // the dialog closes itself afterwards
      dialogs().Frmfileconfirm.Unload();
      dialogs().frmopenlocalfiles.Unload();
    };
  }

  bool Sheet() const { return GetParam()->localFiles.locationIsFilename; }
  std::string Extension() const { return std::string(GetParam()->defaultDocumentExtension); }
  std::string LocalPath(const std::string& name) {
    return "C:\\Docs\\users\\ann@tavo.example\\" + name + Extension();
  }
  // A map record of the add-in's kind for the local file, with its name and local time.
  std::string Record(const std::string& path, const std::string& name, const std::string& time) {
    if (Sheet()) {
      return "<workbook id=\"1\" filename=\"" + path + "\"><book_id>1</book_id><book_name>" + name +
             "</book_name><updatelock>0</updatelock><created_time>c</created_time><modified_time>m"
             "</modified_time><extension>.xls</extension><localtime>" + time + "</localtime><password>AA=="
             "</password></workbook>";
    }
    return "<document id=\"1\" filename=\"x\"><document_id>1</document_id><document_name>" + name +
           "</document_name><document_name_url>x</document_name_url><version>1</version><location>" + path +
           "</location><extension>.doc</extension><localtime>" + time + "</localtime><password>AA==</password>"
           "</document>";
  }
  void WriteMap(const std::string& records) {
    platform::files::WriteAllBytes(
        "C:\\Data\\users\\ann@tavo.example\\" + std::string(GetParam()->mapFileName), "<mapxml>" + records + "</mapxml>");
  }
  // The list as the local-documents command fills it: names without extension, the first chosen.
  void Fill(const Strings& names) {
    for (const std::string& name : names) dialogs().frmopenlocalfiles.locallist.AddItem(name);
    if (!names.empty()) dialogs().frmopenlocalfiles.locallist.SetListIndex(0);
  }
  void Show() { dialogs().frmopenlocalfiles.Show(forms::ShowMode::Modal); }
  const char* MessageDialog() const { return GetParam()->singleMessageDialog ? "frmMsg" : "frmMsgInfo"; }
  void AcceptMessages(int count) {
    for (int i = 0; i < count; ++i) op.On(MessageDialog(), {"click Command1"});
  }
};

TEST_P(LocalFilesTest, DetailsComeFromTheLastRecordOfTheFileWhateverItsLetterCase) {
  WriteMap(Record(LocalPath("Other"), "Other", "t0") + Record(LocalPath("Bob's report"), "Report one", "t1") +
           Record("c:\\DOCS\\users\\ANN@tavo.example\\BOB'S REPORT" + Extension(), "Report two", "t2"));
  Fill({"Bob's report ", "Other"});  // blanks after a name do not count; an apostrophe is a letter like any
  op.On("frmopenlocalfiles", {"close"});
  Show();
  const std::string shown = op.LastRendering("frmopenlocalfiles");
  EXPECT_EQ(RenderedCaption(shown, "docname"), "Report two");
  EXPECT_EQ(RenderedCaption(shown, "modifiedversion"), "t2");
  EXPECT_EQ(RenderedCaption(shown, "modifiedby"), "ann@tavo.example");
}

TEST_P(LocalFilesTest, DetailsStayWithoutAMapAndABrokenRecordSaysSo) {
  Fill({"Report"});
  op.On("frmopenlocalfiles", {"close"});
  Show();
  EXPECT_EQ(RenderedCaption(op.LastRendering("frmopenlocalfiles"), "docname"), "");
  EXPECT_TRUE(MessageTexts().empty());

  WriteMap(Sheet() ? "<workbook id=\"1\" filename=\"" + LocalPath("Report") + "\"><book_id>1</book_id></workbook>"
                   : "<document id=\"1\"><document_id>1</document_id></document>");
  AcceptMessages(1);
  Fill({"Report"});
  op.On("frmopenlocalfiles", {"close"});
  Show();
  EXPECT_EQ(MessageTexts(), Strings{state().strings["gMsg15"]});
}

TEST_P(LocalFilesTest, OpeningWithNothingSelected) {
  struct Case {
    std::string action;
    std::string writerMessage, sheetMessage;  // "" = opens
  } cases[] = {
      {"click Command1", state().strings["gMsg13"], "Select Tavo FileName"},
      {"dblclick locallist", state().strings["gMsg13"], state().strings["gMsg13"]},
      {"key locallist enter", "Select Tavo FileName", ""},
      {"key locallist space", "Select Tavo FileName", ""},
  };
  for (const Case& c : cases) {
    const std::string expected = Sheet() ? c.sheetMessage : c.writerMessage;

    op.On("frmopenlocalfiles", {c.action});
    if (expected.empty()) {
      Show();
      EXPECT_EQ(host.operations, Strings{"LoadLocalDocument"}) << c.action;
    } else {
      AcceptMessages(1);
      op.On("frmopenlocalfiles", {"close"});
      Show();
      EXPECT_EQ(MessageTexts().back(), expected) << c.action;
      EXPECT_TRUE(host.operations.empty()) << c.action;
    }
    host.operations.clear();
  }
}

TEST_P(LocalFilesTest, OpeningTheSelectedCopyClosesTheDialog) {
  for (const char* action : {"click Command1", "dblclick locallist", "key locallist enter"}) {
    Fill({"Report"});
    op.On("frmopenlocalfiles", {action});
    Show();
    EXPECT_EQ(host.operations, Strings{"LoadLocalDocument"}) << action;
    EXPECT_FALSE(dialogs().frmopenlocalfiles.IsLoaded()) << action;
    host.operations.clear();
  }
}

TEST_P(LocalFilesTest, CancelAndEsc) {
  const std::string loaded = state().strings["gMsg12"];
  op.On("frmopenlocalfiles", {"click Command2"});
  Show();
  // The word processor's Cancel leaves the load handler's text; the spreadsheet's clears it.
  EXPECT_EQ(TakeStatus(), (Sheet() ? Strings{loaded, ""} : Strings{loaded}));
  for (const char* action : {"key locallist esc", "key esc", "key Command1 esc", "key Command3 esc"}) {
    op.On("frmopenlocalfiles", {action});
    Show();
    EXPECT_EQ(TakeStatus(), (Strings{loaded, ""})) << action;
  }
}

TEST_P(LocalFilesTest, DeleteRefusesAFileInUseAndAsksOtherwise) {
  platform::files::WriteAllBytes(LocalPath("Report"), "copy");
  Fill({"Report"});
  {
    platform::files::FileLock inUse = platform::files::LockExclusive(LocalPath("Report"));
    EXPECT_TRUE(dialogs().frmopenlocalfiles.FileLocked(LocalPath("Report")));
    AcceptMessages(1);
    op.On("frmopenlocalfiles", {"click Command3", "click Command2"});
    Show();
    EXPECT_EQ(MessageTexts(), Strings{Sheet() ? "Close the Open WorkBook and Delete" : state().strings["gMsg14"]});
    EXPECT_FALSE(op.Saw("Frmfileconfirm"));
  }
  EXPECT_FALSE(dialogs().frmopenlocalfiles.FileLocked(LocalPath("Report")));
  // No goes back to the list; Yes deletes, and the delete closes both dialogs.
  Fill({"Report"});
  op.On("frmopenlocalfiles", {"click Delete", "click Delete"});
  op.On("Frmfileconfirm", {"click No", "click Yes"});
  Show();
  EXPECT_EQ(op.TimesShown("Frmfileconfirm"), 2);
  EXPECT_EQ(host.operations, Strings{"DeleteLocalDocument"});
  EXPECT_FALSE(dialogs().frmopenlocalfiles.IsLoaded());

  AcceptMessages(1);
  op.On("frmopenlocalfiles", {"click Command3", "close"});
  Show();
  EXPECT_EQ(MessageTexts().back(), Sheet() ? "Select Tavo FileName" : state().strings["gMsg13"]);
}

TEST_P(LocalFilesTest, AFileThatIsGoneIsNotInUseAndIsNotMadeAgain) {
  Fill({"Gone"});
  EXPECT_FALSE(dialogs().frmopenlocalfiles.FileLocked(LocalPath("Gone")));
  op.On("frmopenlocalfiles", {"click Command3"});
  op.On("Frmfileconfirm", {"click Command1"});
  Show();
  EXPECT_EQ(host.operations, Strings{"DeleteLocalDocument"});
  EXPECT_FALSE(platform::files::FileExists(LocalPath("Gone")));
}

TEST_P(LocalFilesTest, AnErrorInOpenIsLoggedByTheSpreadsheetAndRaisedInTheWordProcessor) {
  host.onOperation = [](const std::string&) { platform::Raise(53, "File not found"); };
  Fill({"Report"});
  op.On("frmopenlocalfiles", {"click Command1", "close"});
  if (!Sheet()) {
    EXPECT_THROW(Show(), platform::RuntimeError);
    dialogs().frmopenlocalfiles.Unload();
    return;
  }
  Show();
  EXPECT_NE(Log().find("-- [] -- frmopenlocalfiles-command1:||File not found||53\r\n"), std::string::npos) << Log();
  EXPECT_EQ(op.Pending("frmopenlocalfiles"), 0u);  // the dialog stayed until closed
}

TEST_P(LocalFilesTest, TranslatedCaptions) {
  Use(*GetParam(), "chi_ch");
  op.On("frmopenlocalfiles", {"close"});
  Show();
  const std::string list = op.LastRendering("frmopenlocalfiles");
  for (const auto& [control, key] : std::vector<std::pair<std::string, std::string>>{
           {"Label1", "gfrmopenlocalfiles_label1"}, {"Label2", "gfrmopenlocalfiles_label2"},
           {"Label3", "gfrmopenlocalfiles_label3"}, {"Label6", "gfrmopenlocalfiles_label6"},
           {"Command1", "gfrmopenlocalfiles_command1"}, {"Command2", "gfrmopenlocalfiles_command2"},
           {"Command3", "gfrmopenlocalfiles_command3"}})
    EXPECT_EQ(RenderedCaption(list, control), Shown(key)) << control;

  op.On("Frmfileconfirm", {"click Command2"});
  dialogs().Frmfileconfirm.Show(forms::ShowMode::Modal);
  const std::string question = op.LastRendering("Frmfileconfirm");
  EXPECT_EQ(RenderedCaption(question, "Label1"), Shown("gfrmfileconfirm_label1"));
  EXPECT_EQ(RenderedCaption(question, "Command1"), Shown("gfrmfileconfirm_command1"));
  EXPECT_EQ(RenderedCaption(question, "Command2"), Shown("gfrmfileconfirm_command2"));

  op.On("frmlocalversion", {"click Command2"});
  dialogs().frmlocalversion.Show(forms::ShowMode::Modal);
  const std::string local = op.LastRendering("frmlocalversion");
  EXPECT_EQ(RenderedCaption(local, "Label1"), Shown("gfrmlocalversion_label1"));
  EXPECT_EQ(RenderedCaption(local, "Command1"), Shown("gfrmlocalversion_command1"));
  EXPECT_TRUE(host.statusTexts.empty());
}

INSTANTIATE_TEST_SUITE_P(BothAddins, LocalFilesTest, ::testing::Values(&kWriterParameters, &kSheetParameters),
                         test::AddinName);

// The spreadsheet's download asks the question itself and goes on after Yes.
TEST_F(DialogTest, SpreadsheetLocalVersionQuestionRecordsTheAnswer) {
  Use(kSheetParameters);
  dialogs().frmDocList.Load();
  op.On("frmlocalversion", {"click Yes"});
  dialogs().frmlocalversion.Show(forms::ShowMode::Modal);
  EXPECT_EQ(state().gLocalVersionAnswer, 1);
  EXPECT_TRUE(dialogs().frmDocList.IsLoaded());
  op.On("frmlocalversion", {"click No"});
  dialogs().frmlocalversion.Show(forms::ShowMode::Modal);
  EXPECT_EQ(state().gLocalVersionAnswer, 0);
  EXPECT_FALSE(dialogs().frmDocList.IsLoaded());
  EXPECT_TRUE(host.operations.empty());
}

}  // namespace
}  // namespace tavo
