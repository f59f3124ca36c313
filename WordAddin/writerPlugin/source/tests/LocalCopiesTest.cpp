// The local copies: opened with the password they were saved with, deleted with their record,
// and, when the user keeps none, removed with their records when Word quits.
#include <string>
#include <vector>

#include "platform/core/Text.h"
#include "WordAddin/writerPlugin/source/tests/DocumentsFixture.h"

namespace tavo::writer::test {
namespace {

class LocalCopiesTest : public DocumentsTest {
 protected:
  // Local Documents, then `actions` in the local copies dialog.
  void LocalDocuments(std::vector<std::string> actions) {
    user_.On("frmopenlocalfiles", std::move(actions));
    word().Click("Local &Documents");
  }
  std::vector<std::string> Locations(const std::string& user = kUser) {
    std::vector<std::string> locations;
    for (const auto& e : MapEntries(user)) locations.push_back(e.location);
    return locations;
  }
};

}  // namespace

// The copy opens without asking for its password; the document that was active opens again
// behind it.
TEST_F(LocalCopiesTest, ACopyOpensWithItsRecordedPassword) {
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  SignedInWord(/*keepCopies=*/true);
  OpenFromList(0);
  app()->documents().front()->Close({.saveChanges = 0});
  app()->Documents().Add()->SaveAs({.fileName = std::string(kDocuments) + "\\Other.doc"});

  LocalDocuments({"select locallist 0", "click Open"});
  EXPECT_EQ(Active()->FullName(), DocsFolder() + "\\Plan.doc");
  EXPECT_EQ(ActiveText(), "plan\r");
  ASSERT_EQ(app()->documents().size(), 2u);
  EXPECT_TRUE(app()->Documents().Item("Other.doc"));
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();
}

// The record is found by the copy's name in any letter case, and goes with the file.
TEST_F(LocalCopiesTest, DeletingACopyRemovesItsRecord) {
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  server_->AddDocument(kUser, "Notes", "<p>notes</p>");
  SignedInWord(/*keepCopies=*/true);
  OpenFromList(0);
  OpenFromList(1);
  while (!app()->documents().empty()) app()->documents().front()->Close({.saveChanges = 0});
  platform::files::DeleteFile(DocsFolder() + "\\Plan.doc");
  platform::files::WriteAllBytes(DocsFolder() + "\\PLAN.doc", "renamed copy");

  user_.On("Frmfileconfirm", {"click Yes"});
  WillReadMessage();
  LocalDocuments({"select locallist \"PLAN \"", "click Delete"});
  EXPECT_EQ(Messages(), std::vector<std::string>{"frmMsgInfo: The local copy has been deleted."});
  EXPECT_FALSE(platform::files::FileExists(DocsFolder() + "\\PLAN.doc"));
  EXPECT_EQ(Locations(), std::vector<std::string>{DocsFolder() + "\\Notes.doc"});

  // A copy without a record is deleted all the same, and the user is told about the record.
  platform::files::WriteAllBytes(DocsFolder() + "\\Stray.doc", "no record");
  user_.On("Frmfileconfirm", {"click Yes"});
  WillReadMessage();
  LocalDocuments({"select locallist \"Stray \"", "click Delete"});
  EXPECT_EQ(Messages().back(), "frmMsgInfo: The local copy could not be deleted.");
  EXPECT_FALSE(platform::files::FileExists(DocsFolder() + "\\Stray.doc"));
  EXPECT_EQ(Locations().size(), 1u);
}

// Entries that read alike once trimmed stand each for their own copy: the documents " Plan" and
// "Plan.doc" (kept as " Plan.doc" and Plan.doc.doc) beside Plan open and go alone, each with its
// own record.
TEST_F(LocalCopiesTest, EachEntryOpensAndDeletesItsOwnCopy) {
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  server_->AddDocument(kUser, " Plan", "<p>blank plan</p>");
  server_->AddDocument(kUser, "Plan.doc", "<p>plan doc</p>");
  SignedInWord(/*keepCopies=*/true);
  for (int row = 0; row < 3; ++row) OpenFromList(row);
  while (!app()->documents().empty()) app()->documents().front()->Close({.saveChanges = 0});

  const struct {
    std::string entry, file, text;
  } cases[] = {{" Plan ", " Plan.doc", "blank plan\r"}, {"Plan  ", "Plan.doc.doc", "plan doc\r"}};
  for (const auto& c : cases) {
    LocalDocuments({"select locallist \"" + c.entry + "\"", "click Open"});
    EXPECT_EQ(Active() ? Active()->FullName() : "", DocsFolder() + "\\" + c.file);
    EXPECT_EQ(Active() ? ActiveText() : "", c.text);
    while (!app()->documents().empty()) app()->documents().front()->Close({.saveChanges = 0});

    user_.On("Frmfileconfirm", {"click Yes"});
    WillReadMessage();
    LocalDocuments({"select locallist \"" + c.entry + "\"", "click Delete"});
    EXPECT_EQ(Messages().back(), "frmMsgInfo: The local copy has been deleted.");
    EXPECT_FALSE(platform::files::FileExists(DocsFolder() + "\\" + c.file)) << c.file;
    EXPECT_TRUE(platform::files::FileExists(DocsFolder() + "\\Plan.doc")) << c.entry;
  }
  EXPECT_EQ(Locations(), std::vector<std::string>{DocsFolder() + "\\Plan.doc"});
}

// A read-only copy cannot be opened for writing: it counts as in use, and Delete says so
// before it asks.
TEST_F(LocalCopiesTest, AReadOnlyCopyIsNotOfferedForDeletion) {
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  SignedInWord(/*keepCopies=*/true);
  OpenFromList(0);
  app()->documents().front()->Close({.saveChanges = 0});
  platform::files::SetReadOnly(DocsFolder() + "\\Plan.doc", true);

  WillReadMessage();
  LocalDocuments({"select locallist \"Plan \"", "click Delete", "click Cancel"});
  EXPECT_EQ(Messages(), std::vector<std::string>{"frmMsgInfo: The document is in use. Close it and try again."});
  EXPECT_FALSE(user_.Saw("Frmfileconfirm"));
  EXPECT_TRUE(platform::files::FileExists(DocsFolder() + "\\Plan.doc"));
  EXPECT_EQ(Locations(), std::vector<std::string>{DocsFolder() + "\\Plan.doc"});
}

// Any number of temporary downloads in one run: each opens like the first, and Quit removes
// every one with its record. A document added from Word is the user's own and stays.
TEST_F(LocalCopiesTest, QuitRemovesEveryTemporaryCopyAndItsRecord) {
  constexpr int kDownloads = 30;
  for (int i = 0; i < kDownloads; ++i) server_->AddDocument(kUser, "Doc " + std::to_string(i), "<p>x</p>");
  SignedInWord(/*keepCopies=*/false);
  for (int i = 0; i < kDownloads; ++i) {
    OpenFromList(i);
    ASSERT_EQ(ActiveName(), "Doc " + std::to_string(i) + ".doc");
  }
  app()->Documents().Add();
  app()->Selection().TypeText("mine");
  app()->ActiveDocument()->SaveAs({.fileName = std::string(kDocuments) + "\\Mine.doc"});
  word().Click("&Add to Tavo Writer");
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();
  ASSERT_EQ(MapEntries().size(), static_cast<size_t>(kDownloads + 1));

  QuitWord();
  for (int i = 0; i < kDownloads; ++i)
    EXPECT_FALSE(platform::files::FileExists(DocsFolder() + "\\Doc " + std::to_string(i) + ".doc")) << i;
  EXPECT_EQ(Locations(), std::vector<std::string>{DocsFolder() + "\\Mine.doc"});
  EXPECT_TRUE(platform::files::FileExists(DocsFolder() + "\\Mine.doc"));
}

TEST_F(LocalCopiesTest, KeptCopiesSurviveQuit) {
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  SignedInWord(/*keepCopies=*/true);
  OpenFromList(0);
  const std::string map = platform::files::ReadAllBytes(MapPath());
  QuitWord();
  EXPECT_TRUE(platform::files::FileExists(DocsFolder() + "\\Plan.doc"));
  EXPECT_EQ(platform::files::ReadAllBytes(MapPath()), map);
}

// A document downloaded for temporary use and then again after the user chose to keep copies
// is kept: Quit leaves the copy and its record.
TEST_F(LocalCopiesTest, ACopyDownloadedAgainToBeKeptSurvivesQuit) {
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  SignedInWord(/*keepCopies=*/false);
  OpenFromList(0);
  user_.On("frmConfig", {"click Image1", "check localsave", "click Command1"});
  word().Click("Se&ttings");
  user_.On("frmlocalversion", {"click Yes"});
  OpenFromList(0);
  ASSERT_EQ(Calls("writer.viewDocument").size(), 2u) << user_.TranscriptText();

  QuitWord();
  EXPECT_TRUE(platform::files::FileExists(DocsFolder() + "\\Plan.doc"));
  EXPECT_EQ(Locations(), std::vector<std::string>{DocsFolder() + "\\Plan.doc"});
}

// Word asks about unsaved changes before it raises Quit. A temporary copy the user saved changes
// into after the download stays, with its record, among the local documents; one left as it
// came, one whose changes went to the service, and one whose changes the user threw away go.
TEST_F(LocalCopiesTest, QuitKeepsTemporaryCopiesTheUserSavedChangesInto) {
  const char* names[] = {"Plan", "Notes", "Draft", "Memo"};
  for (const char* name : names) server_->AddDocument(kUser, name, std::string("<p>") + name + "</p>");
  SignedInWord(/*keepCopies=*/false);
  for (int row = 0; row < 4; ++row) OpenFromList(row);
  for (const char* name : {"Plan", "Notes", "Draft"}) {
    app()->Documents().Item(std::string(name) + ".doc")->Activate();
    app()->Selection().TypeText("edited ");
  }
  app()->Documents().Item("Notes.doc")->Activate();
  word().Click("&Save in Tavo Writer");
  ASSERT_EQ(Calls("writer.saveDocument").size(), 1u) << user_.TranscriptText();

  user_.On("frmPrompt", {"click Command1"});  // Plan: Yes, save the changes
  user_.On("frmPrompt", {"click Command2"});  // Draft: No
  ASSERT_TRUE(word().Quit());
  EXPECT_EQ(user_.TimesShown("frmPrompt"), 2) << user_.TranscriptText();
  EXPECT_TRUE(platform::files::FileExists(DocsFolder() + "\\Plan.doc"));
  for (const char* gone : {"Notes", "Draft", "Memo"})
    EXPECT_FALSE(platform::files::FileExists(DocsFolder() + "\\" + gone + ".doc")) << gone;
  EXPECT_EQ(Locations(), std::vector<std::string>{DocsFolder() + "\\Plan.doc"});
}

// A save sends a temporary copy's text, but a picture in it that does not go up (the upload is
// refused, or it is of a kind the service does not take) is only on this computer: the user is
// told, and Quit keeps the copy with its record. Opened again in a new run, its picture goes up
// with the next save.
TEST_F(LocalCopiesTest, QuitKeepsATemporaryCopyHoldingAPictureTheServiceLacks) {
  const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x14\0\0\0\x0a", 24);
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  server_->AddDocument(kUser, "Notes", "<p>notes</p>");
  SignedInWord(/*keepCopies=*/false);
  const struct {
    int row;
    const char* picture;
    std::string bytes;
  } copies[] = {{0, "chart.png", png}, {1, "scan.bmp", "BM bitmap"}};
  server_->InjectFault({"writer.uploadImage", service::FaultKind::Html500, 1});
  for (const auto& c : copies) {
    SCOPED_TRACE(c.picture);
    OpenFromList(c.row);
    platform::files::WriteAllBytes(DocsFolder() + "\\" + c.picture, c.bytes);
    Active()->InsertPicture(DocsFolder() + "\\" + c.picture);
    WillReadMessage();
    const size_t before = Messages().size();
    word().Click("&Save in Tavo Writer");
    const auto all = Messages();
    EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()),
              std::vector<std::string>{"frmMsgInfo: Some pictures could not be uploaded to Tavo Writer, so the online "
                                       "document lacks them. The copy on this computer keeps them."});
  }
  EXPECT_EQ(Calls("writer.saveDocument").size(), 2u);
  EXPECT_TRUE(server_->Pictures().empty());

  QuitWord();
  EndWord();
  const std::vector<std::string> kept{DocsFolder() + "\\Plan.doc", DocsFolder() + "\\Notes.doc"};
  EXPECT_EQ(Locations(), kept);
  for (const std::string& copy : kept) EXPECT_TRUE(platform::files::FileExists(copy)) << copy;

  SignedInWord(/*keepCopies=*/true);
  LocalDocuments({"select locallist \"Plan \"", "click Open"});
  ASSERT_EQ(ActiveName(), "Plan.doc");
  word().Click("&Save in Tavo Writer");
  ASSERT_EQ(server_->Pictures().size(), 1u);
  EXPECT_EQ(server_->Pictures()[0].bytes, png);
}

// Copies downloaded for an account signed in earlier in the run lose their records in that
// account's map, not in the map of the account signed in when Word quits.
TEST_F(LocalCopiesTest, QuitCleansTheMapOfTheAccountEachCopyBelongsTo) {
  const std::string bob = "bob@tavo.example";
  server_->AddAccount(bob, "Bob-pass");
  server_->AddDocument(kUser, "Plan", "<p>ann's</p>");
  server_->AddDocument(bob, "Plan", "<p>bob's</p>");
  SignedInWord(/*keepCopies=*/false);
  OpenFromList(0);
  word().Click("Lo&gout");
  SheetSignedIn(bob, "Bob-pass", server_->SignIn(bob));
  word().Click("&Login");
  OpenFromList(0);
  EXPECT_EQ(ActiveText(), "bob's\r");
  ASSERT_EQ(MapEntries(kUser).size(), 1u);
  ASSERT_EQ(MapEntries(bob).size(), 1u);

  QuitWord();
  EXPECT_TRUE(MapEntries(kUser).empty());
  EXPECT_TRUE(MapEntries(bob).empty());
  EXPECT_FALSE(platform::files::FileExists(DocsFolder() + "\\Plan.doc"));
  EXPECT_FALSE(platform::files::FileExists(DocsFolder(bob) + "\\Plan.doc"));
}

// A temporary copy whose file is gone by the time Word quits (the user deleted it) loses its
// record as well.
TEST_F(LocalCopiesTest, QuitRemovesTheRecordOfACopyWhoseFileIsGone) {
  server_->AddDocument(kUser, "Plan", "<p>plan</p>");
  server_->AddDocument(kUser, "Notes", "<p>notes</p>");
  SignedInWord(/*keepCopies=*/false);
  OpenFromList(0);
  OpenFromList(1);
  app()->Documents().Item("Plan.doc")->Close();
  platform::files::DeleteFile(DocsFolder() + "\\Plan.doc");
  QuitWord();
  EXPECT_TRUE(Locations().empty());
  EXPECT_FALSE(platform::files::FileExists(DocsFolder() + "\\Notes.doc"));
}

// A hand-edited or damaged record that would lead the download out of the user's folder (by its
// extension, or by the file name its copy was kept under) is not followed: the document opens
// as one without a record, into the user's folder, the log says why, and the file outside is
// neither written nor deleted with the temporary copies when Word quits.
TEST_F(LocalCopiesTest, ARecordLeadingOutOfTheUserFolderIsNotFollowed) {
  const std::string precious = std::string(kDocuments) + "\\Precious.doc";
  const struct {
    const char* filename;
    const char* extension;
    const char* leadsTo;
  } cases[] = {
      {"Plan", "\\..\\..\\..\\..\\..\\Precious.doc", "Plan\\..\\..\\..\\..\\..\\Precious.doc"},
      {"..\\..\\..\\..\\Precious", ".doc", "..\\..\\..\\..\\Precious.doc"},
  };
  server_->AddDocument(kUser, "Plan", "<p>online</p>");
  SignedInWord(/*keepCopies=*/false);
  app()->Documents().Add();
  app()->Selection().TypeText("precious");
  app()->ActiveDocument()->SaveAs({.fileName = precious});
  app()->ActiveDocument()->Close();
  const std::string kept = platform::files::ReadAllBytes(precious);
  OpenFromList(0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filename);
    app()->ActiveDocument()->Close();
    std::string map = platform::files::ReadAllBytes(MapPath());
    map = platform::text::Replace(map, "filename=\"Plan\"", std::string("filename=\"") + c.filename + "\"");
    map = platform::text::Replace(map, "<extension>.doc</extension>",
                                  std::string("<extension>") + c.extension + "</extension>");
    platform::files::WriteAllBytes(MapPath(), map);

    user_.On("frmlocalversion", {"click Yes"});
    OpenFromList(0);
    ASSERT_EQ(ActiveName(), "Plan.doc") << user_.TranscriptText();
    EXPECT_EQ(ActiveText(), "online\r");
    EXPECT_EQ(Locations(), std::vector<std::string>{DocsFolder() + "\\Plan.doc"});
    EXPECT_EQ(MapEntries().at(0).extension, ".doc");
    EXPECT_EQ(MapEntries().at(0).filename, "Plan");
    EXPECT_NE(LogText(kUser).find("[Error] -- A map record names a file outside the user folder, which is not used: " +
                                  DocsFolder() + "\\" + c.leadsTo + "\r\n"),
              std::string::npos);
    EXPECT_EQ(platform::files::ReadAllBytes(precious), kept);
  }
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();
  QuitWord();
  EXPECT_FALSE(platform::files::FileExists(DocsFolder() + "\\Plan.doc"));
  EXPECT_EQ(platform::files::ReadAllBytes(precious), kept);
}

}  // namespace tavo::writer::test
