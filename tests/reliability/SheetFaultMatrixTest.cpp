// The Excel add-in's network flows against every trouble of the fault matrix: each ends in the
// flow's own failure path, Excel goes on taking commands, and the user's files and registry
// values stay as they were.
#include <string>
#include <tuple>
#include <vector>

#include "ExelAddin/sheetPlugin/source/tests/SheetTestSupport.h"
#include "host/files/PasswordHash.h"
#include "tests/reliability/FaultMatrix.h"

namespace tavo::sheet::test {
namespace {

using reliability::Outcomes;
using reliability::Trouble;

constexpr const char* kUnreachable = "frmMsg: Could not contact Tavo. Please check your connection and try again.";
constexpr const char* kNoContact = "frmMsg: An Error occurred while contacting Tavo. Please try again in a few minutes.";
constexpr const char* kRefused = "frmMsg: Sign-in failed. Please check your Tavo ID and password.";
constexpr const char* kListFailed = "frmMsg: The workbook list could not be retrieved from Tavo Sheet.";
constexpr const char* kNotCompleted = "frmMsg: Tavo Sheet could not complete the request. Please try again.";
constexpr const char* kNotOpened = "frmMsg: The workbook could not be opened. Please try again.";
constexpr const char* kSaveError = "frmMsg: An error occurred while saving the workbook.";
constexpr const char* kSaveFailed = "frmMsg: An Error occurred while saving the Workbook";
constexpr const char* kCheckedSaveError = "frmMsg: An error occurred while saving the Workbook.";
constexpr const char* kUnableToSave = "frmMsg: Unable to Save the Workbook";
constexpr const char* kAddFailed = "frmMsg: Error occured while adding the Workbook to Tavo sheet";
constexpr const char* kTryAgain = "frmMsg: Please try to add the workbook again.";
constexpr const char* kNotPublic =
    "frmMsg: The workbook is in Tavo Sheet, but it could not be made public. Use Publish in Tavo Share again to "
    "finish publishing it.";

// Log lines of the failure paths.
constexpr const char* kListError = "Error While Retrieving WorkBook lists ";
constexpr const char* kDownloadError = "Error Wile Download from URL error code is ";
constexpr const char* kLoadError = "Error While loading the workbook in Excel";
constexpr const char* kNotSaved = "Error while saving the workbook";
constexpr const char* kSaveCommandError = "Error While Saviing the WorkBook ";
constexpr const char* kNotUpdated = "Error while Updating into Tavo Sheet";
constexpr const char* kNotAdded = "Error While adding the workbook -";
constexpr const char* kNotMadePublic = "Error while making ";

class SheetFaultMatrix : public SheetTest, public ::testing::WithParamInterface<std::tuple<size_t, Trouble>> {
 public:
  static constexpr const char* kUnknownCode = "2999";
  using SheetTest::server_;
  using SheetTest::user_;
  tavo::test::FormWatcher watcher_{user_};

  // --- arrangements
  void SignedOut() {
    RememberCredentials(kUser, kPassword);
    StartExcel();
  }
  // Signed in with Excel alone, so that its sign-out reaches the service.
  void SignedInAlone() {
    StartSignedIn();
    SetShared("wordstatus", "0");
  }
  // "Budget" online, downloaded once: a local copy with its record.
  void BudgetDownloaded() {
    server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "online"}}));
    StartSignedIn();
    Download("Budget");
    app()->activeWorkbook()->Close();
  }
  void BudgetChanged() {
    server_->AddWorkbook(kUser, "Budget", Workbook({{"A1", "online"}}));
    StartSignedIn();
    Download("Budget");
    app()->activeWorkbook()->SetCell("A1", "mine");
  }
  void WorkbookOnThisComputer() {
    StartSignedIn();
    auto book = app()->workbooks().Add();
    book->SetCell("A1", "mine");
    book->SaveAs({.filename = std::string(kDocuments) + "\\Sales.xls"});
  }

  // --- what the user data becomes
  // Signed out here (Word was not signed in).
  void SignedOutData(reliability::UserData& expected, const reliability::UserData&) {
    reliability::SignedOutEverywhere(expected, "excelstatus", kSettingsKey, kWriterSettingsKey);
  }
  // Before the request the workbook was saved in place without its open password, to be sent
  // as it is; a failed save does not protect it again. The map is untouched.
  void SavedUnprotected(reliability::UserData& expected, const reliability::UserData& actual) {
    const std::string copy = kUserDocs + "Budget.xls";
    const auto file = WorkbookAt(copy);
    EXPECT_TRUE(file.passwordHash.empty());
    ASSERT_FALSE(file.sheets.empty());
    ASSERT_FALSE(file.sheets[0].cells.empty());
    EXPECT_EQ(file.sheets[0].cells.begin()->second, "mine");  // A1
    reliability::TakeOver(expected, actual, copy);
  }
  // The publish command puts a protected copy into the user's folder once the licence picker
  // has run, whatever became of the publish.
  void CopiedToUserFolder(reliability::UserData& expected, const reliability::UserData& actual) {
    const std::string copy = kUserDocs + "Sales.xls";
    const auto file = WorkbookAt(copy);
    EXPECT_TRUE(host::PasswordMatches(file.passwordHash, kPassword));
    ASSERT_FALSE(file.sheets.empty());
    ASSERT_FALSE(file.sheets[0].cells.empty());
    EXPECT_EQ(file.sheets[0].cells.begin()->second, "mine");  // A1
    reliability::TakeOver(expected, actual, copy);
  }
  // Created online, whatever became of the publishing calls: the new workbook's record and its
  // protected copy, and what is left of a publish that did not get through. With nothing
  // listening the add itself fails, and only the copy is there.
  void PublishedData(reliability::UserData& expected, const reliability::UserData& actual) {
    const Trouble trouble = std::get<1>(GetParam());
    if (trouble == Trouble::NoListener) return CopiedToUserFolder(expected, actual);
    const auto entries = MapEntries();
    EXPECT_EQ(entries.size(), 1u);
    if (!entries.empty()) {
      EXPECT_EQ(entries[0].filename, kUserDocs + "Sales.xls");
    }
    reliability::TakeOver(expected, actual, MapFile());
    reliability::TakeOver(expected, actual, kUserData + "unfinishedpublishes.xml");
    CopiedToUserFolder(expected, actual);
  }

  // --- commands
  void Login() { excel().Click("&Login"); }
  // A failed sign-in leaves the dialog to come up at the next Login, filled in.
  void LoginThroughTheDialog() {
    user_.On("frmConfig", {"click Command1"});
    Login();
  }
  void Logout() { excel().Click("Lo&gout"); }
  void ShowList() {
    listsBefore_ = user_.TimesShown("frmDocList");
    user_.On("frmDocList", {"click Cancel"});
    excel().Click("&Open Tavo Sheet");
  }
  void Open() {
    // The question stands in for the list while it is asked: the list is gone after it.
    user_.On("frmDocList", {"select listdoc \"Budget\"", "click Command1"});
    excel().Click("&Open Tavo Sheet");
  }
  void Save() { excel().Click("&Save in Tavo Sheet"); }
  void Add() { excel().Click("&Add to Tavo Sheet"); }
  void Publish() { excel().Click("&Publish in Tavo Share"); }

  // --- what worked
  bool IsSignedIn() { return EnabledStates() == kSignedInKeepingCopies || EnabledStates() == kSignedInWithoutCopies; }
  bool ListShown() { return user_.TimesShown("frmDocList") > listsBefore_; }
  bool BudgetOpen() { return app()->activeWorkbook() && app()->activeWorkbook()->Name().starts_with("Budget"); }
  bool Saved() { return Status() == "Workbook Saved Sucessfully !"; }
  // An overwrite after the low-version question goes the Save command's way.
  bool Updated() { return Status() == "Workbook Updated Sucessfully !!" || (overwrote_ && Saved()); }
  bool Added() { return Status() == "The Workbook is created successfully!"; }
  bool Published() { return Status() == "The Workbook is Published successfully!"; }
  // One online workbook of the sales, public under the licence chosen.
  bool PublishedOnce() {
    return reliability::PublicOnce(server_->Workbooks(), "Sales", "All Rights Reserved") && Published();
  }

  // Answers the questions and dialogs the user is to see, and reads the messages.
  void WillSee(const Outcomes::Seen& seen) {
    reliability::WillRead(user_, seen);
    for (const auto& s : seen) {
      if (s == "frmLowVersion") user_.On(s, {"click Command2"});
      if (s == "frmLicense") user_.On(s, {"check Check1", "click Command1"});
      if (s == "frmlocalversion") user_.On(s, {"click Command1"});  // download it again
    }
  }

  void WillOverwrite() {
    user_.On("frmLowVersion", {"click Command1"});
    overwrote_ = true;
  }
  std::string LogSoFar() { return LogText(); }

 private:
  int listsBefore_ = 0;
  bool overwrote_ = false;
};

using Flow = reliability::Flow<SheetFaultMatrix>;

const std::vector<Flow>& Flows() {
  using M = SheetFaultMatrix;
  static const std::vector<Flow> flows = {
      {.name = "SignIn", .match = "/login", .arrange = &M::SignedOut, .act = &M::Login,
       .outcomes = {.down = {{kNoContact}, ""},
                    .cut = {{kNoContact}, ""},
                    .garbage = {{kRefused}, ""},
                    .wrongXml = {{kRefused}, ""},
                    .code = {{kRefused}, ""}},
       .next = &M::LoginThroughTheDialog, .worked = &M::IsSignedIn},
      // The answer is not read; signed out here all the same.
      {.name = "SignOut", .match = "/logout", .arrange = &M::SignedInAlone, .act = &M::Logout,
       .outcomes = {.down = {{kUnreachable}, ""}, .cut = {{kUnreachable}, ""}, .garbage = {}, .wrongXml = {}, .code = {}},
       .becomes = &M::SignedOutData, .next = &M::Login, .worked = &M::IsSignedIn},
      // Every failure of the list is told (a list that never came, too); the map stays.
      {.name = "List", .match = "getWorkbooks", .arrange = &M::BudgetDownloaded, .act = &M::ShowList,
       .outcomes = {.down = {{kListFailed}, kListError},
                    .cut = {{kListFailed}, kListError},
                    .garbage = {{kListFailed}, kListError},
                    .wrongXml = {{kListFailed}, kListError},
                    .code = {{kNotCompleted}, ""}},
       .worked = &M::ListShown},
      // Downloaded again over the local copy, which stays as it was when the download fails.
      {.name = "Download", .match = "/open.do", .arrange = &M::BudgetDownloaded, .act = &M::Open,
       .outcomes = {.down = {{"frmlocalversion", kNotOpened}, kDownloadError},
                    .cut = {{"frmlocalversion", kNotOpened}, kDownloadError},
                    .garbage = {{"frmlocalversion", kNotOpened}, kLoadError},
                    .wrongXml = {{"frmlocalversion", kNotOpened}, kLoadError},
                    .code = {{"frmlocalversion", kNotOpened}, kDownloadError}},
       .nextSeen = {"frmlocalversion"}, .worked = &M::BudgetOpen, .downAtList = true},
      {.name = "Save", .match = "saveWorkbook", .arrange = &M::BudgetChanged, .act = &M::Save,
       .outcomes = {.down = {{kSaveError, kSaveFailed}, kNotSaved},
                    .cut = {{kSaveError, kSaveFailed}, kNotSaved},
                    .garbage = {{kSaveError, kSaveFailed}, kNotSaved},
                    .wrongXml = {{kNotCompleted, kSaveFailed}, kSaveCommandError},
                    .code = {{kNotCompleted, kSaveFailed}, kSaveCommandError}},
       .becomes = &M::SavedUnprotected, .worked = &M::Saved, .savesOnline = true},
      // Publish on a linked workbook: the conflict check against the last list, then the save.
      {.name = "CheckedSave", .match = "saveWorkbook", .arrange = &M::BudgetChanged, .act = &M::Publish,
       .outcomes = {.down = {{kCheckedSaveError, kSaveError}, kNotUpdated},
                    .cut = {{kCheckedSaveError, kSaveError}, kNotUpdated},
                    .garbage = {{kCheckedSaveError, kSaveError}, kNotUpdated},
                    .wrongXml = {{kUnableToSave, kSaveError}, kNotUpdated},
                    .code = {{kUnableToSave, kSaveError}, kNotUpdated}},
       .becomes = &M::SavedUnprotected, .worked = &M::Updated, .savesOnline = true},
      {.name = "Add", .match = "addWorkbook", .arrange = &M::WorkbookOnThisComputer, .act = &M::Add,
       .outcomes = {.down = {{kAddFailed, kTryAgain}, kNotAdded},
                    .cut = {{kAddFailed, kTryAgain}, kNotAdded},
                    .garbage = {{kAddFailed, kTryAgain}, kNotAdded},
                    .wrongXml = {{kAddFailed, kTryAgain}, kNotAdded},
                    .code = {{kNotCompleted, kAddFailed, kTryAgain}, kNotAdded}},
       .worked = &M::Added},
      // Once the licence picker has run, the command keeps a protected copy in the user's
      // folder, whatever became of the publish.
      {.name = "Publish", .match = "addWorkbook", .arrange = &M::WorkbookOnThisComputer, .act = &M::Publish,
       .outcomes = {.down = {{"frmLicense", kAddFailed}, kNotAdded},
                    .cut = {{"frmLicense", kAddFailed}, kNotAdded},
                    .garbage = {{"frmLicense", kAddFailed}, kNotAdded},
                    .wrongXml = {{"frmLicense", kAddFailed}, kNotAdded},
                    .code = {{"frmLicense", kUnableToSave, kAddFailed}, kNotAdded}},
       .becomes = &M::CopiedToUserFolder, .nextSeen = {"frmLicense"}, .worked = &M::Published},
      // The calls that make the new workbook public and licensed. One that fails leaves the
      // workbook created online linked, and the user told; the next Publish finishes it on
      // that same workbook, without the licence picker.
      {.name = "MakePublic", .match = "/api/private/", .arrange = &M::WorkbookOnThisComputer, .act = &M::Publish,
       .outcomes = {.down = {{"frmLicense", kAddFailed}, kNotAdded},
                    .cut = {{"frmLicense", kNotPublic}, kNotMadePublic, Outcomes::Seen{}},
                    .garbage = {{"frmLicense", kNotPublic}, kNotMadePublic, Outcomes::Seen{}},
                    .wrongXml = {{"frmLicense", kNotPublic}, kNotMadePublic, Outcomes::Seen{}},
                    .code = {{"frmLicense", kNotPublic}, kNotMadePublic, Outcomes::Seen{}}},
       .becomes = &M::PublishedData, .nextSeen = {"frmLicense"}, .worked = &M::PublishedOnce},
  };
  return flows;
}

TEST_P(SheetFaultMatrix, EndsInTheFlowsFailurePathAndLosesNothing) {
  reliability::RunCase(*this, Flows()[std::get<0>(GetParam())], std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Flows, SheetFaultMatrix,
                         ::testing::Combine(::testing::Range<size_t>(0, Flows().size()),
                                            ::testing::ValuesIn(reliability::kTroubles)),
                         [](const auto& p) { return reliability::CaseName(Flows(), p.param); });

}  // namespace
}  // namespace tavo::sheet::test
