// The Word add-in's network flows against every trouble of the fault matrix: each ends in the
// flow's own failure path, Word goes on taking commands, and the user's files and registry
// values stay as they were.
#include <string>
#include <tuple>
#include <vector>

#include "tests/reliability/FaultMatrix.h"
#include "WordAddin/writerPlugin/source/tests/DocumentsFixture.h"

namespace tavo::writer::test {
namespace {

using reliability::Outcomes;
using reliability::Trouble;

constexpr const char* kUnreachable = "frmMsgInfo: Could not contact Tavo. Please check your connection and try again.";
constexpr const char* kRefused = "frmMsgInfo: Sign-in failed. Please check your Tavo ID and password.";
constexpr const char* kListFailed = "frmMsgInfo: The document list could not be retrieved from Tavo Writer.";
constexpr const char* kNotCompleted = "frmMsgInfo: Tavo Writer could not complete the request. Please try again.";
constexpr const char* kNotOpened = "frmMsgInfo: The document could not be opened. Please try again.";
constexpr const char* kNotCompletedError = "frmMsgError: Tavo Writer could not complete the request. Please try again.";
constexpr const char* kRefreshFailed = "frmMsgInfo: The document list could not be refreshed before saving.";
constexpr const char* kSaveFailed = "frmMsgInfo: Document save failed. Please try to save it again.";
constexpr const char* kCreateRefused = "frmMsgInfo: The document could not be created in Tavo Writer. Please try again.";
constexpr const char* kAddFailed = "frmMsgInfo: The document could not be added to Tavo Writer. Please try again.";
constexpr const char* kPublishRefused = "frmMsgInfo: Document Create failed. Please try to 'Add' it again.";
constexpr const char* kPublishFailed = "frmMsgInfo: Document Add failed. Please try to 'Add' it again";
constexpr const char* kPublishSaveFailed = "frmMsgInfo: Document Save failed. Please try to 'Save' it again.";
constexpr const char* kNotPublic =
    "frmMsgInfo: The document is in Tavo Writer, but it could not be made public. Use Publish in Tavo Share again to "
    "finish publishing it.";
constexpr const char* kPicturesLeftOut =
    "frmMsgInfo: Some pictures could not be uploaded to Tavo Writer, so the online document lacks them. The copy on "
    "this computer keeps them.";

// Log lines of the failure paths.
constexpr const char* kListError = "Error While Retrieving document lists ";
constexpr const char* kLoadError = "Error While loading the document in Word";
constexpr const char* kOpenError = "Error While Opening The Document | ";
constexpr const char* kRefreshError = "Error While Updating Local XML ";
constexpr const char* kVersionCheckError = "Error While performing version check";
constexpr const char* kNotSaved = "Error while saving the Document";
constexpr const char* kNotUpdated = "Error while Updating into Tavo Writer";
constexpr const char* kUploadError = "Error while uploading the Image";
constexpr const char* kNotCreated = "Error While creating the document ";
constexpr const char* kNotAdded = "Error While adding the document -";
constexpr const char* kNotMadePublic = "Error while making ";

class WordFaultMatrix : public DocumentsTest, public ::testing::WithParamInterface<std::tuple<size_t, Trouble>> {
 public:
  static constexpr const char* kUnknownCode = "1500";
  using DocumentsTest::server_;
  using DocumentsTest::user_;
  tavo::test::FormWatcher watcher_{user_};

  // --- arrangements
  void SignedOut() {
    RememberCredentials(kUser, kPassword);
    StartWord();
  }
  // Signed in with Word alone, so that its sign-out reaches the service.
  void SignedInAlone() {
    SignedInWord();
    SetShared("excelstatus", "0");
  }
  void PlanOnline() {
    server_->AddDocument(kUser, "Plan", "<p>online</p>", 3);
    SignedInWord();
  }
  // "Plan" opened once: its local copy and record are there.
  void PlanDownloaded() {
    PlanOnline();
    OpenFromList(0);
    app()->documents().front()->Close({.saveChanges = 0});
  }
  void PlanOpened() {
    PlanOnline();
    OpenFromList(0);
    app()->Selection().TypeText("Typed. ");
  }
  void PlanWithPicture() {
    PlanOpened();
    const std::string picture = DocsFolder() + "\\chart.png";
    platform::files::WriteAllBytes(picture, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x14\0\0\0\x0a", 24));
    Active()->InsertPicture(picture);
  }
  void MemoOnThisComputer() {
    SignedInWord();
    app()->Documents().Add();
    app()->Selection().TypeText("Remember the milk");
    app()->ActiveDocument()->SaveAs({.fileName = std::string(kDocuments) + "\\Memo.doc"});
  }

  // --- what the user data becomes
  // Signed out here (Excel was not signed in).
  void SignedOutData(reliability::UserData& expected, const reliability::UserData&) {
    reliability::SignedOutEverywhere(expected, "wordstatus", kSettingsKey, kSheetSettingsKey);
  }
  // The export before the request wrote Word's document back to its own file, protected as it
  // was; the map is untouched.
  void CopySaved(reliability::UserData& expected, const reliability::UserData& actual) {
    if (!ServiceReached()) return;
    const std::string copy = DocsFolder() + "\\Plan.doc";
    EXPECT_TRUE(SavedWithPassword(copy, kPassword));
    EXPECT_NE(platform::files::ReadAllBytes(copy).find("onlineTyped. "), std::string::npos);
    reliability::TakeOver(expected, actual, copy);
  }
  // The save went through with the picture left as it was: the record has the next version.
  void CopySavedAndRecorded(reliability::UserData& expected, const reliability::UserData& actual) {
    if (!ServiceReached()) return;
    CopySaved(expected, actual);
    const auto entries = MapEntries();
    EXPECT_EQ(entries.size(), 1u);
    if (!entries.empty()) {
      EXPECT_EQ(entries[0].version, "4");
    }
    reliability::TakeOver(expected, actual, MapPath());
  }
  // Created online, whatever became of the publishing calls: the new document's record and its
  // protected copy.
  void PublishedData(reliability::UserData& expected, const reliability::UserData& actual) {
    if (!ServiceReached()) return;
    const auto entries = MapEntries();
    EXPECT_EQ(entries.size(), 1u);
    if (!entries.empty()) {
      EXPECT_EQ(entries[0].location, DocsFolder() + "\\Memo.doc");
    }
    EXPECT_TRUE(SavedWithPassword(DocsFolder() + "\\Memo.doc", kPassword));
    for (const std::string& path : {MapPath(), DocsFolder() + "\\Memo.doc"}) reliability::TakeOver(expected, actual, path);
    // What is left of the publish, for the next Publish to finish.
    reliability::TakeOver(expected, actual, UnfinishedPublishes());
  }
  static std::string UnfinishedPublishes() {
    return std::string(kAppData) + "\\tavo\\tavowriter\\users\\" + kUser + "\\unfinishedpublishes.xml";
  }
  // With nothing listening, the list refresh before each save fails first, and nothing is
  // exported.
  bool ServiceReached() const { return std::get<1>(GetParam()) != Trouble::NoListener; }
  // The exchange hit by the trouble got no answer it could read at all.
  bool ExchangeCut() const {
    const Trouble trouble = std::get<1>(GetParam());
    return trouble == Trouble::Hang || trouble == Trouble::Truncated || trouble == Trouble::PastTheBound;
  }

  // --- commands
  void Login() { word().Click("&Login"); }
  // A failed sign-in leaves the dialog to come up at the next Login, filled in.
  void LoginThroughTheDialog() {
    user_.On("frmConfig", {"click Command1"});
    Login();
  }
  void Logout() { word().Click("Lo&gout"); }
  void ShowList() {
    listsBefore_ = user_.TimesShown("frmDocList");
    user_.On("frmDocList", {"click Cancel"});
    word().Click("&Open Document");
  }
  // The question stands in for the list while it is asked: the list is gone after it.
  void Open() {
    user_.On("frmDocList", {"select listdoc 0", "click Command1"});
    word().Click("&Open Document");
  }
  void Save() { word().Click("&Save in Tavo Writer"); }
  void Add() { word().Click("&Add to Tavo Writer"); }
  void Publish() { word().Click("&Publish in Tavo Share"); }

  // --- what worked
  bool IsSignedIn() { return EnabledStates() == kSignedInWithoutCopies; }
  bool ListShown() { return user_.TimesShown("frmDocList") > listsBefore_; }
  bool PlanOpen() { return ActiveName() == "Plan.doc" && ActiveText().find("online") != std::string::npos; }
  bool Saved() { return Status() == "Document saved successfully"; }
  bool Added() { return Status() == "The document is created successfully"; }
  bool Published() { return Status() == "The Document is Published Successfully"; }
  // One online document of the memo, public under the licence chosen.
  bool PublishedOnce() {
    return reliability::PublicOnce(server_->Documents(), "Memo", "All Rights Reserved") && Published();
  }

  // Answers the questions and dialogs the user is to see, and reads the messages.
  void WillSee(const Outcomes::Seen& seen) {
    reliability::WillRead(user_, seen);
    for (const auto& s : seen) {
      if (s == "frmLowVersion") user_.On(s, {"click No"});
      if (s == "frmLicense") user_.On(s, {"check Check1", "click Upload"});
      if (s == "frmlocalversion") user_.On(s, {"click Yes"});  // download it again
    }
  }

  void WillOverwrite() { user_.On("frmLowVersion", {"click Yes"}); }
  std::string LogSoFar() { return LogText(kUser); }

 private:
  int listsBefore_ = 0;
};

using Flow = reliability::Flow<WordFaultMatrix>;

const std::vector<Flow>& Flows() {
  using M = WordFaultMatrix;
  static const std::vector<Flow> flows = {
      {.name = "SignIn", .match = "/login", .arrange = &M::SignedOut, .act = &M::Login,
       .outcomes = {.down = {{kUnreachable}, ""},
                    .cut = {{kUnreachable}, ""},
                    .garbage = {{kRefused}, ""},
                    .wrongXml = {{kRefused}, ""},
                    .code = {{kRefused}, ""}},
       .next = &M::LoginThroughTheDialog, .worked = &M::IsSignedIn},
      // The answer is not read; signed out here all the same.
      {.name = "SignOut", .match = "/logout", .arrange = &M::SignedInAlone, .act = &M::Logout,
       .outcomes = {.down = {{kUnreachable}, ""}, .cut = {{kUnreachable}, ""}, .garbage = {}, .wrongXml = {}, .code = {}},
       .becomes = &M::SignedOutData, .next = &M::Login, .worked = &M::IsSignedIn},
      {.name = "List", .match = "writer.getDocuments", .arrange = &M::PlanOnline, .act = &M::ShowList,
       .outcomes = {.down = {{kListFailed}, kListError},
                    .cut = {{kListFailed}, kListError},
                    .garbage = {{kListFailed}, kListError},
                    .wrongXml = {{kListFailed}, kListError},
                    .code = {{kNotCompletedError}, ""}},
       .worked = &M::ListShown},
      // Downloaded again over the local copy, which stays as it was when the open fails.
      {.name = "Open", .match = "writer.viewDocument", .arrange = &M::PlanDownloaded, .act = &M::Open,
       .outcomes = {.down = {{"frmlocalversion", kNotCompleted}, ""},
                    .cut = {{"frmlocalversion", kNotCompleted}, ""},
                    .garbage = {{"frmlocalversion", kNotCompleted}, kLoadError},
                    .wrongXml = {{"frmlocalversion", kNotOpened}, kOpenError},
                    .code = {{"frmlocalversion", kNotCompleted}, kLoadError}},
       .nextSeen = {"frmlocalversion"}, .worked = &M::PlanOpen, .downAtList = true},
      // A version check that fails asks before overwriting; the user says No.
      {.name = "VersionCheck", .match = "writer.getVersion", .arrange = &M::PlanOpened, .act = &M::Save,
       .outcomes = {.down = {{kRefreshFailed, kSaveFailed}, kRefreshError},
                    .cut = {{"frmLowVersion"}, kVersionCheckError},
                    .garbage = {{"frmLowVersion"}, kVersionCheckError},
                    .wrongXml = {{"frmLowVersion"}, kVersionCheckError},
                    .code = {{kNotCompletedError, "frmLowVersion"}, ""}},
       .worked = &M::Saved},
      {.name = "Save", .match = "writer.saveDocument", .arrange = &M::PlanOpened, .act = &M::Save,
       .outcomes = {.down = {{kRefreshFailed, kSaveFailed}, kRefreshError},
                    .cut = {{kSaveFailed}, kNotSaved},
                    .garbage = {{kSaveFailed}, kNotSaved},
                    .wrongXml = {{kSaveFailed}, kNotSaved},
                    .code = {{kSaveFailed, kSaveFailed}, kNotUpdated}},
       .becomes = &M::CopySaved, .worked = &M::Saved, .savesOnline = true},
      // A picture that cannot go up keeps its local reference; the save goes on, and the user
      // hears that the online document lacks it.
      {.name = "PictureUpload", .match = "writer.uploadImage", .arrange = &M::PlanWithPicture, .act = &M::Save,
       .outcomes = {.down = {{kRefreshFailed, kSaveFailed}, kRefreshError},
                    .cut = {{kPicturesLeftOut}, kUploadError},
                    .garbage = {{kPicturesLeftOut}, kUploadError},
                    .wrongXml = {{kPicturesLeftOut}, kUploadError},
                    .code = {{kPicturesLeftOut}, kUploadError}},
       .becomes = &M::CopySavedAndRecorded, .worked = &M::Saved},
      {.name = "Add", .match = "writer.newDocument", .arrange = &M::MemoOnThisComputer, .act = &M::Add,
       .outcomes = {.down = {{kRefreshFailed, kAddFailed}, kNotAdded},
                    .cut = {{kAddFailed}, kNotCreated},
                    .garbage = {{kAddFailed}, kNotCreated},
                    .wrongXml = {{kAddFailed}, kNotCreated},
                    .code = {{kCreateRefused, kAddFailed}, kNotAdded}},
       .worked = &M::Added},
      {.name = "Publish", .match = "writer.newDocument", .arrange = &M::MemoOnThisComputer, .act = &M::Publish,
       .outcomes = {.down = {{kRefreshFailed, kPublishSaveFailed}, kRefreshError},
                    .cut = {{"frmLicense", kPublishFailed}, kNotCreated},
                    .garbage = {{"frmLicense", kPublishFailed}, kNotCreated},
                    .wrongXml = {{"frmLicense", kPublishFailed}, kNotCreated},
                    .code = {{"frmLicense", kPublishRefused, kPublishFailed}, ""}},
       .nextSeen = {"frmLicense"}, .worked = &M::Published},
      // The calls that make the new document public and licensed. One that fails leaves the
      // document created online linked, and the user told; the next Publish finishes it on
      // that same document, without the licence picker.
      {.name = "MakePublic", .match = "/api/private/", .arrange = &M::MemoOnThisComputer, .act = &M::Publish,
       .outcomes = {.down = {{kRefreshFailed, kPublishSaveFailed}, kRefreshError},
                    .cut = {{"frmLicense", kNotPublic}, kNotMadePublic, Outcomes::Seen{}},
                    .garbage = {{"frmLicense", kNotPublic}, kNotMadePublic, Outcomes::Seen{}},
                    .wrongXml = {{"frmLicense", kNotPublic}, kNotMadePublic, Outcomes::Seen{}},
                    .code = {{"frmLicense", kNotPublic}, kNotMadePublic, Outcomes::Seen{}}},
       .becomes = &M::PublishedData, .nextSeen = {"frmLicense"}, .worked = &M::PublishedOnce},
  };
  return flows;
}

TEST_P(WordFaultMatrix, EndsInTheFlowsFailurePathAndLosesNothing) {
  reliability::RunCase(*this, Flows()[std::get<0>(GetParam())], std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Flows, WordFaultMatrix,
                         ::testing::Combine(::testing::Range<size_t>(0, Flows().size()),
                                            ::testing::ValuesIn(reliability::kTroubles)),
                         [](const auto& p) { return reliability::CaseName(Flows(), p.param); });

}  // namespace
}  // namespace tavo::writer::test
