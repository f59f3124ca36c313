#include "common/dialogs/frmDocList.h"

#include "common/dialogs/tests/DialogTest.h"

namespace tavo {
namespace {

using Strings = std::vector<std::string>;
using test::RenderedCaption;

class DocListTest : public test::DialogTest {
 protected:
  frmDocList& list() { return dialogs().frmDocList; }

  // The list answer as the add-in keeps it, and the list box filled from it with row 0 chosen.
  void Fill(const std::string& answer, const Strings& names) {
    ASSERT_TRUE(answer_.loadXML(answer));
    state().gDocListRoot = state().gDocListFullRoot = answer_.documentElement();
    for (const std::string& name : names) list().listdoc.AddItem(name);
    if (!names.empty()) list().listdoc.SetListIndex(0);
  }
  void FillDocuments() {
    Fill("<methodResponse>"
         "<document><n>Report</n><id>11</id><v>5</v><url>report</url><a>ann</a><c>2009-05-01</c></document>"
         "<document><n>Budget</n><id>12</id><v>-2</v><url>budget</url><a>bob</a><c>2009-05-02</c></document>"
         "</methodResponse>",
         {"Report", "Budget"});
  }
  void FillWorkbooks() {
    Fill("<methodResponse><result>"
         "<workbook><workbookId>1</workbookId><workbookName>Sales</workbookName><createdTime>c1</createdTime>"
         "<lastModifiedTime>m1</lastModifiedTime><lastModifiedBy>ann</lastModifiedBy><updateLock>0</updateLock>"
         "</workbook>"
         "<workbook><workbookId>2</workbookId><workbookName>Budget</workbookName><createdTime>c2</createdTime>"
         "<lastModifiedTime>m2</lastModifiedTime><updateLock>0</updateLock></workbook>"
         "</result></methodResponse>",
         {"Sales", "Budget"});
  }
  std::string LocalFolder() { return state().gDocsRoot + "\\users\\" + state().gLoginUser; }
  void MakeLocalFolder() {
    state().gDocsRoot = "C:\\Docs";
    platform::files::CreateFolder("C:\\Docs");
    platform::files::CreateFolder("C:\\Docs\\users");
    platform::files::CreateFolder(LocalFolder());
  }
  // The add-in's open closes the question and the list once the document is open.
  void OpenClosesTheDialogs() {
    host.onOperation = [this](const std::string& operation) {
      if (operation != "LoadSelectedDocument") return;
      dialogs().frmlocalversion.Unload();
      list().Unload();
    };
  }
  void Show() { list().Show(forms::ShowMode::Modal); }

  platform::xml::Document answer_;
};

TEST_F(DocListTest, DocumentDetailsByPositionWithAutoSavedVersions) {
  FillDocuments();
  op.On("frmDocList", {"select listdoc 1", "select listdoc 0", "close"});
  Show();
  const std::string budget = SeenBefore("select listdoc 0");
  EXPECT_EQ(RenderedCaption(budget, "versionfld"), "2 [ auto-saved ]");
  EXPECT_EQ(RenderedCaption(budget, "authorfld"), "bob");
  EXPECT_EQ(RenderedCaption(budget, "createdonfld"), "2009-05-02");
  EXPECT_EQ(RenderedCaption(budget, "documenturlfld"), "budget");
  EXPECT_EQ(RenderedCaption(SeenBefore("close"), "versionfld"), "5");
  EXPECT_EQ(op.LastRendering("frmDocList"),
            "[frmDocList] \"My Documents\" (modal)\n"
            "  ListBox        listdoc         2 entries  <focus>\n"
            "                                 > 0  Report\n"
            "                                   1  Budget\n"
            "  TextBox        searchtxt       \"\"\n"
            "  Label          Label9          \"Author Name\"\n"
            "  Label          authorfld       \"ann\"\n"
            "  Label          Label13         \"Created on\"\n"
            "  Label          createdonfld    \"2009-05-01\"\n"
            "  Label          Label12         \"Version\"\n"
            "  Label          versionfld      \"5\"\n"
            "  Label          Label11         \"Document Url\"\n"
            "  Label          documenturlfld  \"report\"\n"
            "  CommandButton  Command1        \"Open\"\n"
            "  CommandButton  Command2        \"Cancel\"\n");
}

TEST_F(DocListTest, ClickIntoAnEmptyListAsksForASelection) {
  Fill("<methodResponse/>", {});
  op.On("frmDocList", {"click listdoc", "click Command2"});
  op.On("frmMsgInfo", {"click Command1"});
  Show();
  EXPECT_EQ(MessageTexts(), Strings{state().strings["gMsg10"]});
}

TEST_F(DocListTest, OpenAsksFirstWhenALocalCopyExists) {
  FillDocuments();
  MakeLocalFolder();
  platform::files::WriteAllBytes(LocalFolder() + "\\report.doc", "local");
  OpenClosesTheDialogs();
  op.On("frmDocList", {"click Command1"});
  op.On("frmlocalversion", {"click Command1"});
  Show();
  EXPECT_EQ(host.operations, Strings{"LoadSelectedDocument"});
  // The question stands in for the list.
  EXPECT_EQ(ShownAndClosed(), (Strings{"+frmDocList", "-frmDocList", "+frmlocalversion", "-frmlocalversion"}));

  // No closes both.
  FillDocuments();
  op.On("frmDocList", {"key listdoc enter"});
  op.On("frmlocalversion", {"click Command2"});
  Show();
  EXPECT_EQ(host.operations.size(), 1u);
  EXPECT_FALSE(list().IsLoaded());
  EXPECT_FALSE(dialogs().frmlocalversion.IsLoaded());
}

TEST_F(DocListTest, OpenWithoutALocalCopyOpensAtOnce) {
  FillDocuments();
  OpenClosesTheDialogs();
  op.On("frmDocList", {"click Command1", "dblclick listdoc", "close"});  // no user folder: nothing happens
  Show();
  EXPECT_TRUE(host.operations.empty());

  MakeLocalFolder();
  FillDocuments();
  op.On("frmDocList", {"dblclick listdoc"});
  Show();
  EXPECT_EQ(host.operations, Strings{"LoadSelectedDocument"});
  EXPECT_FALSE(op.Saw("frmlocalversion"));
}

TEST_F(DocListTest, SearchKeysAndStatusTexts) {
  FillDocuments();
  MakeLocalFolder();
  op.On("frmDocList", {"type searchtxt bud", "key searchtxt space", "focus listdoc", "key esc"});
  Show();
  // Every change searches with the whole text; a Space both opens and is typed.
  EXPECT_EQ(host.operations, (Strings{"SearchDocuments b", "SearchDocuments bu", "SearchDocuments bud",
                                      "LoadSelectedDocument", "SearchDocuments bud "}));
  EXPECT_EQ(TakeStatus(), (Strings{"Select a Document to Open in Word...", state().strings["gMsg11"],
                                   state().strings["gMsg12"], "", ""}));  // Esc, then the unload
  EXPECT_FALSE(list().IsLoaded());
}

TEST_F(DocListTest, EscAndCancelCloseFromEveryPlace) {
  for (const char* line : {"key listdoc esc", "key searchtxt esc", "key Command1 esc", "key Command2 esc",
                           "click Command2", "key esc"}) {
    FillDocuments();
    op.On("frmDocList", {line});
    Show();
    EXPECT_FALSE(list().IsLoaded()) << line;
    EXPECT_EQ(TakeStatus().back(), "") << line;
  }
  EXPECT_TRUE(host.operations.empty());
}

TEST_F(DocListTest, WorkbookDetailsByNameAndOpenWithoutAQuestion) {
  Use(kSheetParameters);
  FillWorkbooks();
  MakeLocalFolder();
  platform::files::WriteAllBytes(LocalFolder() + "\\Sales.xls", "local");  // the add-in's open asks
  OpenClosesTheDialogs();
  op.On("frmDocList", {"select listdoc 1", "type searchtxt x", "key listdoc space"});
  Show();
  // Budget has no lastModifiedBy: that label keeps what Sales showed.
  const std::string budget = SeenBefore("type searchtxt x");
  EXPECT_EQ(RenderedCaption(budget, "createdfld"), "c2");
  EXPECT_EQ(RenderedCaption(budget, "modifiedfld"), "m2");
  EXPECT_EQ(RenderedCaption(budget, "modifiedbyfld"), "ann");
  EXPECT_EQ(RenderedCaption(budget, "authorfld"), "");  // the word processor's labels are not shown
  EXPECT_EQ(host.operations, (Strings{"SearchDocuments x", "LoadSelectedDocument"}));
  EXPECT_FALSE(op.Saw("frmlocalversion"));
  // Loading and leaving the list or the search box all say gMsg12.
  const std::string hint = state().strings["gMsg12"];
  EXPECT_EQ(TakeStatus(), (Strings{hint, hint, state().strings["gMsg11"], hint, ""}));
}

TEST_F(DocListTest, TranslatedCaptionsOfEachAddin) {
  Use(kWriterParameters, "chi_ch");
  FillDocuments();
  op.On("frmDocList", {"click Command2"});
  Show();
  std::string shown = op.LastRendering("frmDocList");
  EXPECT_EQ(RenderedCaption(shown, "Label9"), Shown("gfrmdoclist_label9"));
  EXPECT_EQ(RenderedCaption(shown, "Label11"), Shown("gfrmdoclist_label11"));
  EXPECT_EQ(RenderedCaption(shown, "Label12"), Shown("gfrmdoclist_Label12"));
  EXPECT_EQ(RenderedCaption(shown, "Label13"), Shown("gfrmdoclist_label13"));
  EXPECT_EQ(RenderedCaption(shown, "Command1"), Shown("gfrmdoclist_open"));
  EXPECT_EQ(RenderedCaption(shown, "Command2"), Shown("gfrmdoclist_cancel"));
  EXPECT_TRUE(host.statusTexts.empty());

  Use(kSheetParameters, "chi_ch");
  FillWorkbooks();
  op.On("frmDocList", {"click Command2"});
  Show();
  shown = op.LastRendering("frmDocList");
  EXPECT_EQ(RenderedCaption(shown, "Label1"), Shown("gfrmdoclist_label1"));
  EXPECT_EQ(RenderedCaption(shown, "Label2"), Shown("gfrmdoclist_label2"));
  EXPECT_EQ(RenderedCaption(shown, "Label3"), Shown("gfrmdoclist_Label3"));
  EXPECT_EQ(RenderedCaption(shown, "Command1"), Shown("gfrmdoclist_open"));
  EXPECT_EQ(shown.find("Label9"), std::string::npos);
}

}  // namespace
}  // namespace tavo
