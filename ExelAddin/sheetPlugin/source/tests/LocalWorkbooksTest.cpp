// The Local WorkBooks command: the account's local workbooks listed after the offline check,
// opened with the password recorded for them, and deleted with their records.
#include <algorithm>
#include <string>
#include <vector>

#include "ExelAddin/sheetPlugin/source/tests/SheetTestSupport.h"
#include "platform/forms/ListBox.h"

namespace tavo::sheet::test {
namespace {

constexpr const char* kDeleted = "The local copy has been deleted.";         // gMsg22
constexpr const char* kNotDeleted = "The local copy could not be deleted.";  // gMsg23

class LocalWorkbooksTest : public SheetTest {
 protected:
  LocalWorkbooksTest() {
    watcher_.onShown = [this](forms::Form& form) {
      if (form.Name() == "frmopenlocalfiles") listed = ControlOf<forms::ListBox>(form, "locallist").Items();
    };
  }
  // Workbooks downloaded (so recorded and protected) and closed again.
  void Downloaded(const std::vector<std::string>& names) {
    for (const auto& name : names) {
      server_->AddWorkbook(kUser, name, Workbook({{"A1", name}}));
      Download(name);
      app()->activeWorkbook()->Close();
    }
  }
  void LocalWorkbooks(std::vector<std::string> actions) {
    user_.On("frmopenlocalfiles", std::move(actions));
    excel().Click("Local Work&Books");
  }
  // Delete of the entry, answered Yes; the message that follows is read.
  void DeleteEntry(const std::string& entry) {
    user_.On("Frmfileconfirm", {"click Command1"});
    WillReadMessage();
    LocalWorkbooks({"select locallist \"" + entry + "\"", "click Command3"});
  }

  FormWatcher watcher_{user_};
  std::vector<std::string> listed;
};

}  // namespace

// Workbooks ending in "xls" are listed with ".xls" made one blank; lock files, other endings
// and capitals are not. The chosen one opens with its recorded password, in the normal view.
TEST_F(LocalWorkbooksTest, TheLocalWorkbooksAreListedAndOpenWithTheirPasswords) {
  StartSignedIn();
  Downloaded({"Budget", "Sales"});
  for (const char* other : {"~$Budget.xls", "NOTES.XLS", "plan.xlsx"})
    platform::files::WriteAllBytes(kUserDocs + other, Workbook({}));
  LocalWorkbooks({"select locallist \"Sales \"", "click Command1"});
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"Budget ", "Sales "}));
  EXPECT_FALSE(user_.Saw("frmconfiglocal"));
  EXPECT_FALSE(user_.Saw("frmPrompt"));
  auto book = app()->activeWorkbook();
  ASSERT_TRUE(book);
  EXPECT_EQ(book->FullName(), kUserDocs + "Sales.xls");
  EXPECT_EQ(book->Cell("A1"), "Sales");
  EXPECT_EQ(book->window()->View(), office::excel::window_view::Normal);
  EXPECT_TRUE(Messages().empty());
}

// A workbook without a record opens without a password: Excel asks for it, and a cancelled
// prompt is logged without a level.
TEST_F(LocalWorkbooksTest, AnUnrecordedProtectedWorkbookMakesExcelAsk) {
  StartSignedIn();
  Downloaded({"Budget"});
  platform::files::WriteAllBytes(MapFile(), "<mapxml></mapxml>");
  user_.On("frmPrompt", {"click Cancel"});
  LocalWorkbooks({"click Command1"});
  EXPECT_TRUE(user_.Saw("frmPrompt"));
  EXPECT_TRUE(app()->workbookList().empty());
  EXPECT_NE(LogText().find("[] -- loadlocaldocument:||"), std::string::npos);
}

// Delete: a workbook open in Excel or read-only is refused; otherwise after Yes the file and its
// record go, also when the file had gone already; a record that cannot be removed is told, and
// a file that had none is deleted without a message.
TEST_F(LocalWorkbooksTest, DeleteRemovesTheFileAndItsRecord) {
  StartSignedIn();
  Downloaded({"Budget", "Sales", "Stock"});
  app()->workbooks().Open({.filename = kUserDocs + "Budget.xls", .password = kPassword});
  WillReadMessage();
  LocalWorkbooks({"select locallist \"Budget \"", "click Command3", "click Cancel"});
  EXPECT_EQ(Messages().back(), "Close the Open WorkBook and Delete");
  EXPECT_TRUE(platform::files::FileExists(kUserDocs + "Budget.xls"));
  app()->activeWorkbook()->Close();

  DeleteEntry("Budget ");
  EXPECT_EQ(Messages().back(), kDeleted);
  EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Budget.xls"));
  ASSERT_EQ(MapEntries().size(), 2u);

  {
    // Listed, then removed by hand before the Yes.
    FormWatcher removeByHand(user_);
    removeByHand.onShown = [](forms::Form& form) {
      if (form.Name() == "Frmfileconfirm") platform::files::DeleteFile(kUserDocs + "Sales.xls");
    };
    DeleteEntry("Sales ");
    EXPECT_EQ(Messages().back(), kDeleted);
    ASSERT_EQ(MapEntries().size(), 1u);
  }

  // A read-only workbook cannot be opened for writing either: it counts as in use and is not
  // offered for deletion.
  platform::files::SetReadOnly(kUserDocs + "Stock.xls", true);
  WillReadMessage();
  LocalWorkbooks({"select locallist \"Stock \"", "click Command3", "click Cancel"});
  EXPECT_EQ(Messages().back(), "Close the Open WorkBook and Delete");
  EXPECT_EQ(user_.TimesShown("Frmfileconfirm"), 2);
  EXPECT_TRUE(platform::files::FileExists(kUserDocs + "Stock.xls"));
  platform::files::SetReadOnly(kUserDocs + "Stock.xls", false);

  // A map that cannot be written keeps the record, and the user is told.
  platform::files::SetReadOnly(MapFile(), true);
  DeleteEntry("Stock ");
  EXPECT_EQ(Messages().back(), kNotDeleted);
  EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Stock.xls"));
  EXPECT_EQ(MapEntries().size(), 1u);
  platform::files::SetReadOnly(MapFile(), false);

  // A workbook without a record goes without a word.
  platform::files::WriteAllBytes(kUserDocs + "Stray.xls", Workbook({}));
  const size_t told = Messages().size();
  DeleteEntry("Stray ");
  EXPECT_EQ(Messages().size(), told);
  EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Stray.xls"));
  EXPECT_EQ(MapEntries().size(), 1u);
}

// Entries that read alike once trimmed stand each for their own file: the workbooks " Budget"
// and "Budget.xls" (kept as " Budget.xls" and Budget.xls.xls) beside Budget open and go alone,
// each with its own record.
TEST_F(LocalWorkbooksTest, EachEntryOpensAndDeletesItsOwnWorkbook) {
  StartSignedIn();
  Downloaded({"Budget", " Budget", "Budget.xls"});
  const struct {
    std::string entry, file, name;
  } cases[] = {{" Budget ", " Budget.xls", " Budget"}, {"Budget  ", "Budget.xls.xls", "Budget.xls"}};
  for (const auto& c : cases) {
    LocalWorkbooks({"select locallist \"" + c.entry + "\"", "click Command1"});
    auto book = app()->activeWorkbook();
    ASSERT_TRUE(book) << c.entry;
    EXPECT_EQ(book->FullName(), kUserDocs + c.file);
    EXPECT_EQ(book->Cell("A1"), c.name);
    book->Close();

    DeleteEntry(c.entry);
    EXPECT_EQ(Messages().back(), kDeleted);
    EXPECT_FALSE(platform::files::FileExists(kUserDocs + c.file)) << c.file;
    EXPECT_TRUE(platform::files::FileExists(kUserDocs + "Budget.xls")) << c.entry;
  }
  EXPECT_FALSE(user_.Saw("frmPrompt"));
  const std::vector<MapEntry> left = MapEntries();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].name, "Budget");
  EXPECT_EQ(left[0].filename, kUserDocs + "Budget.xls");
}

// Excel started signed out, with nothing remembered: the Local WorkBooks sign-in names the
// account, whose map gives a workbook its password and loses a deleted workbook's record.
TEST_F(LocalWorkbooksTest, AfterALocalSignInTheAccountsOwnMapIsUsed) {
  StartSignedIn();
  Downloaded({"Budget", "Sales"});
  ASSERT_TRUE(QuitExcel());
  SetShared("wordstatus", "0");
  for (const char* value : {"tavousername", "tavopassword", "tavoremember"}) SetSetting(value, "");
  auto signedOutThenLocally = [this] {
    StartExcel();
    ASSERT_EQ(EnabledStates(), kSignedOut);
    user_.On("frmconfiglocal", {std::string("type tavoemailid ") + kUser, std::string("type tavopassword ") + kPassword,
                                "click Command1"});
  };
  // Should Excel ask for the password after all, the user cancels.
  user_.On("frmPrompt", {"click Cancel"});

  signedOutThenLocally();
  LocalWorkbooks({"select locallist \"Budget \"", "click Command1"});
  EXPECT_EQ(user_.TimesShown("frmconfiglocal"), 1);
  EXPECT_FALSE(user_.Saw("frmPrompt"));
  auto book = app()->activeWorkbook();
  EXPECT_EQ(book ? book->FullName() : "", kUserDocs + "Budget.xls");
  ASSERT_TRUE(QuitExcel());

  signedOutThenLocally();
  DeleteEntry("Sales ");
  EXPECT_EQ(user_.TimesShown("frmconfiglocal"), 2);
  EXPECT_EQ(Messages(), std::vector<std::string>{kDeleted});
  EXPECT_FALSE(platform::files::FileExists(kUserDocs + "Sales.xls"));
  const std::vector<MapEntry> left = MapEntries();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].name, "Budget");
}

}  // namespace tavo::sheet::test
