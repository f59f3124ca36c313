// The document list: listing, searching and opening online documents in Word.
#include <string>
#include <vector>

#include "WordAddin/writerPlugin/source/tests/DocumentsFixture.h"
#include "platform/forms/Controls.h"
#include "platform/forms/ListBox.h"

namespace tavo::writer::test {
namespace {

class DocumentListTest : public DocumentsTest {
 protected:
  DocumentListTest() {
    watcher_.onShown = [this](forms::Form& form) {
      if (form.Name() == "frmDocList") shownRows = ControlOf<forms::ListBox>(form, "listdoc").Items();
    };
    watcher_.onClosed = [this](forms::Form& form) {
      if (form.Name() == "frmDocList") closedRows = ControlOf<forms::ListBox>(form, "listdoc").Items();
    };
  }
  FormWatcher watcher_{user_};
  std::vector<std::string> shownRows, closedRows;
};

}  // namespace

TEST_F(DocumentListTest, SearchFiltersTheListAndTheFilteredRowOpens) {
  server_->AddDocument(kUser, "Quarterly report", "<p>Q1</p>", 3);
  server_->AddDocument(kUser, "Plan", "<p>The plan</p>", 1);
  const std::string annual = server_->AddDocument(kUser, "Annual Report", "<p>All of the year</p>", 2);
  SignedInWord();
  OpenFromList(1, "REPORT");

  EXPECT_EQ(shownRows, (std::vector<std::string>{"Quarterly report", "Plan", "Annual Report"}));
  EXPECT_EQ(closedRows, (std::vector<std::string>{"Quarterly report", "Annual Report"}));
  EXPECT_EQ(ActiveName(), "Annual Report.doc");
  EXPECT_EQ(ActiveText(), "All of the year\r");
  const std::string local = DocsFolder() + "\\Annual Report.doc";
  EXPECT_TRUE(SavedWithPassword(local, kPassword));
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].id, annual);
  EXPECT_EQ(entries[0].version, "2");
  EXPECT_EQ(entries[0].location, local);
  EXPECT_EQ(entries[0].filename, "Annual Report");
  EXPECT_EQ(DecodeStoredSecret(entries[0].password), kPassword);
  EXPECT_EQ(Status(), "The document has been opened from Tavo Writer.");
  EXPECT_FALSE(platform::files::FileExists(DocsFolder() + "\\tavodownload.html"));
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();
}

TEST_F(DocumentListTest, AnEmptySearchRestoresTheListAndTheRowNotTheNameDecides) {
  server_->AddDocument(kUser, "Plan", "<p>first plan</p>");
  server_->AddDocument(kUser, "Notes", "<p>notes</p>");
  server_->AddDocument(kUser, "Plan", "<p>second plan</p>");
  SignedInWord();
  user_.On("frmDocList", {"type searchtxt zzz", "clear searchtxt", "select listdoc 2", "click Command1"});
  word().Click("&Open Document");

  EXPECT_EQ(closedRows, (std::vector<std::string>{"Plan", "Notes", "Plan"}));
  // The service names the second one's file "Plan_2".
  EXPECT_EQ(ActiveName(), "Plan_2.doc");
  EXPECT_EQ(ActiveText(), "second plan\r");
}

// The first match is selected after each search, and the details shown are its own.
TEST_F(DocumentListTest, TheDetailsFollowTheFilteredList) {
  server_->AddDocument(kUser, "Notes", "<p>notes</p>", 5);
  server_->AddDocument(kUser, "Plan", "<p>plan</p>", 2);
  SignedInWord();
  std::string version, urlName;
  watcher_.onClosed = [&](forms::Form& form) {
    if (form.Name() != "frmDocList") return;
    version = ControlOf<forms::Label>(form, "versionfld").Caption();
    urlName = ControlOf<forms::Label>(form, "documenturlfld").Caption();
  };
  user_.On("frmDocList", {"type searchtxt pla", "click Cancel"});
  word().Click("&Open Document");
  EXPECT_EQ(version, "2");
  EXPECT_EQ(urlName, "Plan");
}

TEST_F(DocumentListTest, AnEmptyListShowsAnEmptyDialog) {
  SignedInWord();
  user_.On("frmDocList", {"click Cancel"});
  word().Click("&Open Document");
  EXPECT_TRUE(user_.Saw("frmDocList"));
  EXPECT_TRUE(shownRows.empty());
  EXPECT_TRUE(Messages().empty());
}

// What the list request's failures show; the dialog does not come up.
TEST_F(DocumentListTest, FailuresOfTheListRequest) {
  const struct {
    service::FaultKind kind;
    const char* code;
    const char* message;
  } cases[] = {
      {service::FaultKind::ErrorCode, "1401", "frmMsgError: Authentication failed. Please sign in again."},
      {service::FaultKind::ErrorCode, "1807", "frmMsgError: This document is no longer available in Tavo Writer."},
      {service::FaultKind::ErrorCode, "1890",
       "frmMsgError: Your Tavo API key has been temporarily blocked. Please contact Tavo support."},
      {service::FaultKind::ErrorCode, "01401", "frmMsgError: Tavo Writer could not complete the request. Please try again."},
      {service::FaultKind::NotXml, "", "frmMsgInfo: The document list could not be retrieved from Tavo Writer."},
      {service::FaultKind::RefuseConnection, "", "frmMsgInfo: The document list could not be retrieved from Tavo Writer."},
  };
  SignedInWord();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    user_.On(std::string(c.message).substr(0, std::string(c.message).find(':')), {"click Command1"});
    server_->InjectFault({"writer.getDocuments", c.kind, 1, c.code});
    const size_t before = Messages().size();
    word().Click("&Open Document");
    ASSERT_EQ(Messages().size(), before + 1);
    EXPECT_EQ(Messages().back(), c.message);
    if (std::string(c.code) == "1401") SignInAgain();
  }
  EXPECT_FALSE(user_.Saw("frmDocList"));
}

// The File menu's item stays enabled while signed out; the list then asks for a sign-in first.
TEST_F(DocumentListTest, SignedOutNothingIsAsked) {
  StartWord();
  WillReadMessage();
  word().bars().Click(std::static_pointer_cast<host::Control>(word().bars().Item("File")->Controls().Item(3).shared()));
  EXPECT_EQ(Messages(), std::vector<std::string>{"frmMsgInfo: Login to Tavo Writer to View Documents"});
  EXPECT_TRUE(server_->Requests().empty());
}

TEST_F(DocumentListTest, FailuresOfTheOpen) {
  const struct {
    service::FaultKind kind;
    const char* code;
    const char* message;
    bool listStays;  // an answer that never came leaves the list open
  } cases[] = {
      {service::FaultKind::ErrorCode, "1807", "This document is no longer available in Tavo Writer.", false},
      {service::FaultKind::ErrorCode, "1401", "Authentication failed. Please sign in again.", false},
      {service::FaultKind::ErrorCode, "1500", "Tavo Writer could not complete the request. Please try again.", false},
      {service::FaultKind::NotXml, "", "Tavo Writer could not complete the request. Please try again.", false},
      {service::FaultKind::RefuseConnection, "", "Tavo Writer could not complete the request. Please try again.", true},
  };
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  SignedInWord();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    server_->InjectFault({"writer.viewDocument", c.kind, 1, c.code});
    WillReadMessage();
    std::vector<std::string> actions = {"select listdoc 0", "click Command1"};
    if (c.listStays) actions.push_back("click Cancel");
    user_.On("frmDocList", actions);
    const size_t before = Messages().size();
    word().Click("&Open Document");
    ASSERT_EQ(Messages().size(), before + 1);
    EXPECT_EQ(Messages().back(), "frmMsgInfo: " + std::string(c.message));
    EXPECT_EQ(user_.Pending("frmDocList"), 0u);
    EXPECT_EQ(app()->documents().size(), 0u);
    if (std::string(c.code) == "1401") SignInAgain();
  }
  EXPECT_TRUE(MapEntries().empty());
}

// A map file that does not load while the list is shown ends the open in its failure path; no
// run-time error was raised, so the Error line ends with no description.
TEST_F(DocumentListTest, AMapThatDoesNotLoadFailsTheOpen) {
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  SignedInWord();
  watcher_.onShown = [](forms::Form& form) {
    if (form.Name() == "frmDocList") platform::files::WriteAllBytes(MapPath(), "<mapxml><document>");
  };
  WillReadMessage();
  OpenFromList(0);
  EXPECT_EQ(Messages().back(), "frmMsgInfo: The document could not be opened. Please try again.");
  EXPECT_NE(LogText(kUser).find("[Error] -- Error While Opening The Document | \r\n"), std::string::npos)
      << LogText(kUser);
}

// A picture's size in pixels is taken over as its size; one that is no plain number of pixels
// does not keep the document from opening.
TEST_F(DocumentListTest, PictureSizesThatAreNoNumberDoNotStopTheOpen) {
  server_->AddDocument(kUser, "Odd", "<p>pic<img src=\"http://writer.tavo.example/pictures/1.png\" "
                                     "style=\"width:calc(20px);height:80px\"></p>");
  SignedInWord();
  OpenFromList(0);
  EXPECT_EQ(ActiveName(), "Odd.doc");
  EXPECT_EQ(ActiveText(), "pic\x01\r");
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();
}

// With a local copy present the user is asked first. After a Yes whose download failed, the
// next list starts afresh.
TEST_F(DocumentListTest, ALocalCopyIsReplacedOnlyAfterAYes) {
  server_->AddDocument(kUser, "Plan", "<p>online plan</p>");
  SignedInWord();
  platform::files::WriteAllBytes(DocsFolder() + "\\Plan.doc", "local copy");

  user_.On("frmlocalversion", {"click No"});
  OpenFromList(0);
  EXPECT_TRUE(user_.Saw("frmlocalversion")) << user_.TranscriptText();
  EXPECT_EQ(platform::files::ReadAllBytes(DocsFolder() + "\\Plan.doc"), "local copy");
  EXPECT_TRUE(Calls("writer.viewDocument").empty());

  server_->InjectFault({"writer.viewDocument", service::FaultKind::RefuseConnection});
  user_.On("frmlocalversion", {"click Yes"});
  WillReadMessage();
  OpenFromList(0);
  EXPECT_EQ(Messages().back(), "frmMsgInfo: Tavo Writer could not complete the request. Please try again.");

  user_.On("frmlocalversion", {"click Yes"});
  OpenFromList(0);
  EXPECT_EQ(shownRows, std::vector<std::string>{"Plan"});
  EXPECT_EQ(ActiveText(), "online plan\r");
  EXPECT_TRUE(SavedWithPassword(DocsFolder() + "\\Plan.doc", kPassword));
}

// Opening a document again closes its window first, overwrites the copy and keeps one record
// with the new version; a record's own extension names the copy.
TEST_F(DocumentListTest, OpeningAgainReplacesTheCopyAndItsRecord) {
  const std::string id = server_->AddDocument(kUser, "Plan", "<p>one</p>", 1);
  SignedInWord(/*keepCopies=*/true);
  OpenFromList(0);
  ASSERT_EQ(ActiveName(), "Plan.doc");
  server_->ChangeDocument(id, "<p>two</p>");
  user_.On("frmlocalversion", {"click Yes"});
  OpenFromList(0);
  EXPECT_EQ(app()->documents().size(), 1u);
  EXPECT_EQ(ActiveText(), "two\r");
  auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].version, "2");

  // A record written for an .rtf copy (as the add command leaves it) keeps that extension.
  std::string map = platform::files::ReadAllBytes(MapPath());
  map = platform::text::Replace(map, "<extension>.doc</extension>", "<extension>.rtf</extension>");
  platform::files::WriteAllBytes(MapPath(), map);
  user_.On("frmlocalversion", {"click Yes"});
  OpenFromList(0);
  EXPECT_EQ(ActiveName(), "Plan.rtf");
  EXPECT_EQ(MapEntries()[0].location, DocsFolder() + "\\Plan.rtf");
}

// The question names the copy the download would replace: a copy the user saved as .rtf and sent
// from there is downloaded again as .rtf, so it is asked about (and No keeps what only it holds)
// even when no .doc of that name is left.
TEST_F(DocumentListTest, TheQuestionIsAboutTheCopyTheDownloadWouldReplace) {
  server_->AddDocument(kUser, "Plan", "<p>online plan</p>");
  SignedInWord();
  OpenFromList(0);
  const std::string rtf = DocsFolder() + "\\Plan.rtf";
  Active()->SaveAs({.fileName = rtf});
  platform::files::DeleteFile(DocsFolder() + "\\Plan.doc");
  word().Click("&Save in Tavo Writer");
  ASSERT_EQ(MapEntries()[0].location, rtf);
  app()->Selection().TypeText("Kept on this computer only. ");
  Active()->Save();
  Active()->Close({.saveChanges = 0});
  const std::string kept = platform::files::ReadAllBytes(rtf);

  user_.On("frmlocalversion", {"click No"});
  OpenFromList(0);
  EXPECT_TRUE(user_.Saw("frmlocalversion")) << user_.TranscriptText();
  EXPECT_EQ(platform::files::ReadAllBytes(rtf), kept);
  EXPECT_TRUE(app()->documents().empty());

  user_.On("frmlocalversion", {"click Yes"});
  OpenFromList(0);
  EXPECT_EQ(ActiveName(), "Plan.rtf");
  EXPECT_EQ(ActiveText(), "online plan\r");
}

}  // namespace tavo::writer::test
