// Saving an opened document back online: the version check, the overwrite question, the answer
// recorded in the map, the HTML export with its pictures, and what each failure shows.
#include <string>
#include <vector>

#include "WordAddin/writerPlugin/source/tests/DocumentsFixture.h"

namespace tavo::writer::test {
namespace {

constexpr const char* kSaveFailed = "frmMsgInfo: Document save failed. Please try to save it again.";  // gMsg32
constexpr const char* kPicturesLeftOut =
    "frmMsgInfo: Some pictures could not be uploaded to Tavo Writer, so the online document lacks them. The copy on "
    "this computer keeps them.";

// What the save sends of the typed text: the blank that ends the paragraph kept as Word's export
// keeps it.
constexpr const char* kSavedParagraph = "<p>onlineTyped.<span class=\"blanks\">&nbsp;</span></p>";

class SaveTest : public DocumentsTest {
 protected:
  // The online document "Plan" at version `version`, opened in Word and typed into.
  std::string OpenedPlan(const std::string& version = "3") {
    const std::string id = server_->AddDocument(kUser, "Plan", "<p>online</p>", std::stod(version));
    SignedInWord();
    OpenFromList(0);
    app()->Selection().TypeText("Typed. ");
    return id;
  }
  void Save() { word().Click("&Save in Tavo Writer"); }
  std::string OnlineContent(const std::string& id) { return server_->FindDocument(id)->content; }
};

}  // namespace

TEST_F(SaveTest, EqualVersionsSaveAndTheAnswerIsRecorded) {
  const std::string id = OpenedPlan("3");
  Save();
  const auto saves = Calls("writer.saveDocument");
  ASSERT_EQ(saves.size(), 1u) << user_.TranscriptText();
  EXPECT_NE(saves[0].body.find("<name>documentid</name><value><long>" + id + "</long>"), std::string::npos);
  EXPECT_NE(saves[0].body.find("<name>version</name><value><double>3</double>"), std::string::npos);
  EXPECT_NE(OnlineContent(id).find(kSavedParagraph), std::string::npos) << OnlineContent(id);
  EXPECT_EQ(Status(), "Document saved successfully");

  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].id, id);
  EXPECT_EQ(entries[0].version, "4");
  EXPECT_EQ(entries[0].filename, "Plan");
  EXPECT_EQ(entries[0].name, "Plan");
  EXPECT_EQ(entries[0].location, DocsFolder() + "\\Plan.doc");
  // The copy stays protected, and the export's temporary files are gone.
  EXPECT_TRUE(SavedWithPassword(DocsFolder() + "\\Plan.doc", kPassword));
  EXPECT_FALSE(platform::files::FileExists(DocsFolder() + "\\tavoupload.html"));
  EXPECT_FALSE(platform::files::FolderExists(DocsFolder() + "\\tavoupload_files"));

  // The next save compares against the recorded version.
  Save();
  EXPECT_EQ(Calls("writer.saveDocument").size(), 2u);
  EXPECT_FALSE(user_.Saw("frmLowVersion"));
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();
}

TEST_F(SaveTest, AHigherOnlineVersionAsksBeforeOverwriting) {
  const std::string id = OpenedPlan("3");
  server_->ChangeDocument(id, "<p>changed online</p>");  // version 4

  user_.On("frmLowVersion", {"click No"});
  Save();
  EXPECT_TRUE(user_.Saw("frmLowVersion"));
  EXPECT_TRUE(Calls("writer.saveDocument").empty());
  EXPECT_EQ(OnlineContent(id), "<p>changed online</p>");

  user_.On("frmLowVersion", {"click Yes"});
  Save();
  const auto saves = Calls("writer.saveDocument");
  ASSERT_EQ(saves.size(), 1u);
  // The version sent is the one the copy was made from.
  EXPECT_NE(saves[0].body.find("<double>3</double>"), std::string::npos);
  EXPECT_NE(OnlineContent(id).find(kSavedParagraph), std::string::npos);
  EXPECT_EQ(MapEntries()[0].version, "5");
}

// An overwrite after Yes that the service refuses, or that cannot be sent, is told as a failed
// save is; the online document stays as it was, and the next Save's Yes overwrites it.
TEST_F(SaveTest, AFailedOverwriteIsTold) {
  const std::string id = OpenedPlan("3");
  server_->ChangeDocument(id, "<p>changed online</p>");  // version 4
  const struct {
    const char* name;
    service::Fault fault;
    std::vector<std::string> messages;
  } cases[] = {
      {"cannot be sent", {"writer.saveDocument", service::FaultKind::RefuseConnection}, {kSaveFailed}},
      {"1890", {"writer.saveDocument", service::FaultKind::ErrorCode, 1, "1890"},
       {"frmMsgInfo: Your Tavo API key has been temporarily blocked. Please contact Tavo support.", kSaveFailed}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server_->InjectFault(c.fault);
    user_.On("frmLowVersion", {"click Yes"});
    for (size_t i = 0; i < c.messages.size(); ++i) WillReadMessage();
    const size_t before = Messages().size();
    Save();
    const auto all = Messages();
    EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()), c.messages);
    EXPECT_EQ(OnlineContent(id), "<p>changed online</p>");
    server_->ClearFaults();
  }

  user_.On("frmLowVersion", {"click Yes"});
  const size_t before = Messages().size();
  Save();
  EXPECT_EQ(Messages().size(), before);
  EXPECT_NE(OnlineContent(id).find(kSavedParagraph), std::string::npos);
}

// Each caller's error codes: the version check's error message comes before the overwrite
// question; a refused save shows its own message and then the command's.
TEST_F(SaveTest, WhatFailuresShow) {
  const struct {
    const char* name;
    service::Fault fault;
    std::vector<std::string> messages;
    bool asksToOverwrite;
  } cases[] = {
      {"version check 1401", {"writer.getVersion", service::FaultKind::ErrorCode, 1, "1401"},
       {"frmMsgError: Authentication failed. Please sign in again."}, true},
      {"version check not XML", {"writer.getVersion", service::FaultKind::NotXml}, {}, true},
      {"save 1401", {"writer.saveDocument", service::FaultKind::ErrorCode, 1, "1401"},
       {"frmMsgInfo: Authentication failed. Please sign in again.", kSaveFailed}, false},
      {"save 1807", {"writer.saveDocument", service::FaultKind::ErrorCode, 1, "1807"}, {kSaveFailed, kSaveFailed}, false},
      {"save 1890", {"writer.saveDocument", service::FaultKind::ErrorCode, 1, "1890"},
       {"frmMsgInfo: Your Tavo API key has been temporarily blocked. Please contact Tavo support.", kSaveFailed}, false},
      {"save answer without save/info", {"writer.saveDocument", service::FaultKind::WrongXml}, {kSaveFailed}, false},
      {"save answer not XML", {"writer.saveDocument", service::FaultKind::Html500}, {kSaveFailed}, false},
      {"list refresh 1401", {"writer.getDocuments", service::FaultKind::ErrorCode, 1, "1401"},
       {"frmMsgInfo: Authentication failed. Please sign in again.", kSaveFailed}, false},
      {"list refresh 1807", {"writer.getDocuments", service::FaultKind::ErrorCode, 1, "1807"},
       {"frmMsgInfo: The document list could not be retrieved from Tavo Writer.", kSaveFailed}, false},
      {"list refresh unreachable", {"writer.getDocuments", service::FaultKind::RefuseConnection},
       {"frmMsgInfo: The document list could not be refreshed before saving.", kSaveFailed}, false},
  };
  const std::string id = OpenedPlan("3");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server_->InjectFault(c.fault);
    for (const auto& m : c.messages) WillReadMessage(m.substr(0, m.find(':')).c_str());
    if (c.asksToOverwrite) user_.On("frmLowVersion", {"click No"});
    const size_t before = Messages().size();
    const size_t questions = user_.TimesShown("frmLowVersion");
    Save();
    const auto all = Messages();
    EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()), c.messages);
    EXPECT_EQ(user_.TimesShown("frmLowVersion"), questions + (c.asksToOverwrite ? 1 : 0));
    server_->ClearFaults();
    if (c.fault.code == "1401") SignInAgain();
  }
  EXPECT_EQ(OnlineContent(id), "<p>online</p>");
  EXPECT_EQ(MapEntries()[0].version, "3");
}

TEST_F(SaveTest, WhatTheCommandsRefuse) {
  SignedInWord();
  const struct {
    const char* command;
    const char* fileName;  // "" none open, "-" a new document never saved
    const char* message;   // "" nothing shown
  } cases[] = {
      {"&Save in Tavo Writer", "", "frmMsgInfo: Please open a document first."},
      {"&Save in Tavo Writer", "-", "frmMsgInfo: Please save the document on this computer first."},
      {"&Add to Tavo Writer", "-", "frmMsgInfo: Save the document on this computer before adding it to Tavo Writer."},
      {"&Publish in Tavo Share", "-", "frmMsgInfo: Please save the document on this computer first."},
      {"&Publish in Tavo Share", "notes.txt", "frmMsgInfo: Only .doc, .docx and .rtf documents can be published."},
      {"&Save in Tavo Writer", "notes.txt", ""},
      {"&Add to Tavo Writer", "notes.txt", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.fileName);
    while (!app()->documents().empty()) app()->documents().front()->Close({.saveChanges = 0});
    if (std::string(c.fileName) == "-") {
      app()->Documents().Add();
    } else if (*c.fileName) {
      app()->Documents().Add()->SaveAs({.fileName = DocsFolder() + "\\" + c.fileName});
    }
    if (*c.message) WillReadMessage();
    const size_t before = Messages().size();
    const size_t lists = Calls("writer.getDocuments").size();
    word().Click(c.command);
    EXPECT_EQ(Messages().size(), before + (*c.message ? 1 : 0));
    if (*c.message) {
      EXPECT_EQ(Messages().back(), c.message);
    }
    // The list is refreshed before the document is looked at.
    EXPECT_EQ(Calls("writer.getDocuments").size(), lists + 1);
  }
  EXPECT_TRUE(Calls("writer.saveDocument").empty());
  EXPECT_TRUE(Calls("writer.newDocument").empty());
}

// Two accounts on one computer, each with an online "Welcome". A's copy, still open when the
// user has switched to B, is no document of B's: it is not saved over B's namesake, whose record
// keeps pointing at B's own copy. A document outside the account folders keeps the lookup by name.
TEST_F(SaveTest, ADocumentInAnotherAccountsFolderIsNotSavedOverThisAccountsNamesake) {
  const std::string bob = "bob@tavo.example", bobPassword = "Secret-2";
  server_->AddAccount(bob, bobPassword);
  const std::string bobsId = server_->AddDocument(bob, "Welcome", "<p>bob's</p>", 2);
  const std::string annsId = server_->AddDocument(kUser, "Welcome", "<p>ann's</p>", 2);
  // Through Settings, then Login: the sign-in as the other account.
  auto signInAs = [&](const std::string& user, const std::string& password) {
    if (Controls()[6]->Enabled()) word().Click("Lo&gout");
    user_.On("frmConfig", {"clear tavoemailid", "type tavoemailid " + user, "clear tavopassword",
                           "type tavopassword " + password, "click Command1"});
    word().Click("Se&ttings");
    word().Click("&Login");
    ASSERT_EQ(EnabledStates(), kSignedInKeepingCopies) << user_.TranscriptText();
  };
  RememberCredentials(bob, bobPassword, /*saveLocal=*/true);
  StartWord();
  word().Click("&Login");
  OpenFromList(0);  // bob's Welcome, kept in his folder
  signInAs(kUser, kPassword);
  OpenFromList(0);
  app()->Selection().TypeText("Ann's words. ");
  ASSERT_EQ(Active()->FullName(), DocsFolder() + "\\Welcome.doc");
  signInAs(bob, bobPassword);

  for (const char* command : {"&Save in Tavo Writer", "&Publish in Tavo Share"}) {
    WillReadMessage();
    word().Click(command);
  }
  EXPECT_EQ(Messages(), std::vector<std::string>(2, "frmMsgInfo: This document lies in the folder of another Tavo "
                                                    "account. Sign in with that account to save or publish it."))
      << user_.TranscriptText();
  EXPECT_TRUE(Calls("writer.saveDocument").empty());
  EXPECT_EQ(OnlineContent(bobsId), "<p>bob's</p>");
  EXPECT_EQ(OnlineContent(annsId), "<p>ann's</p>");
  const auto bobs = MapEntries(bob);
  ASSERT_EQ(bobs.size(), 1u);
  EXPECT_EQ(bobs[0].location, DocsFolder(bob) + "\\Welcome.doc");

  // Outside the account folders, the name finds bob's record as it always did. The record goes
  // on naming bob's own copy, and the version that copy holds: a map record never leads outside
  // the account's folders, and bob's copy, saved next, meets the newer version online.
  Active()->SaveAs({.fileName = std::string(kDocuments) + "\\Welcome.doc"});
  word().Click("&Save in Tavo Writer");
  EXPECT_EQ(Calls("writer.saveDocument").size(), 1u);
  EXPECT_NE(OnlineContent(bobsId).find("Ann's words."), std::string::npos);
  const auto after = MapEntries(bob);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].location, DocsFolder(bob) + "\\Welcome.doc");
  EXPECT_EQ(after[0].version, bobs[0].version);
}

// The extension is found in any letter case and stays as it is written: a file whose key then
// differs from every record is offered for adding.
TEST_F(SaveTest, TheMapKeyIsTheFileNameWithoutItsExtension) {
  const std::string id = OpenedPlan("3");
  auto doc = app()->ActiveDocument();
  doc->SaveAs({.fileName = DocsFolder() + "\\Plan.DOC"});
  Save();
  EXPECT_EQ(Calls("writer.saveDocument").size(), 1u) << user_.TranscriptText();

  doc->SaveAs({.fileName = DocsFolder() + "\\Plan.doc.doc"});
  Save();
  EXPECT_EQ(Calls("writer.saveDocument").size(), 2u);

  doc->SaveAs({.fileName = DocsFolder() + "\\Plan copy.doc"});
  user_.On("frmConfirm", {"click No"});
  Save();
  EXPECT_TRUE(user_.Saw("frmConfirm"));
  EXPECT_EQ(Calls("writer.saveDocument").size(), 2u);
}

// Word exports pictures as local files: png, gif and jpg go up as they are, emz and wmz as the
// GIF rendering Word writes under the next number, any other kind stays a local reference (and
// the user hears that the online document lacks it); a linked picture is left alone. Each
// uploaded one is relinked to its online address.
TEST_F(SaveTest, PicturesAreUploadedAndRelinked) {
  const std::string id = OpenedPlan("3");
  const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x14\0\0\0\x0a", 24);
  const struct {
    const char* file;
    std::string bytes;
  } pictures[] = {
      {"a.png", png},          {"b.gif", "GIF89a\x02\0\x03\0"}, {"c.jpeg", "jpeg bytes"}, {"d.bmp", "BM bitmap"},
      {"e.png", png},          {"f.png", png},                    {"g.png", png},           {"h.png", png},
      {"i.emz", "emz bytes"},  {"j.wmz", "wmz bytes"},
  };
  for (const auto& p : pictures) {
    const std::string path = DocsFolder() + "\\" + p.file;
    platform::files::WriteAllBytes(path, p.bytes);
    Active()->InsertPicture(path);
  }
  WillReadMessage();
  Save();
  EXPECT_EQ(Messages(), std::vector<std::string>{kPicturesLeftOut});

  // image001-008 are the first eight; the emz is image009 with its rendering image010, the wmz
  // image011 with image012.
  std::vector<std::string> types;
  for (const auto& call : Calls("writer.uploadImage")) {
    const size_t at = call.body.find("<name>contenttype</name><value><string>") + 39;
    types.push_back(call.body.substr(at, 3));
  }
  EXPECT_EQ(types, (std::vector<std::string>{"png", "gif", "jpg", "png", "png", "png", "png", "gif", "gif"}));
  const auto stored = server_->Pictures();
  ASSERT_EQ(stored.size(), 9u);
  EXPECT_EQ(stored[0].bytes, png);
  EXPECT_TRUE(stored[7].bytes.starts_with("GIF89a"));  // the emz's rendering, not the emz

  const std::string content = OnlineContent(id);
  size_t relinked = 0;
  for (const auto& p : stored) {
    const std::string address = "http://writer.tavo.example/pictures/" + p.id + "." + p.type;
    if (content.find("<img src=\"" + address + "\"") != std::string::npos) ++relinked;
  }
  EXPECT_EQ(relinked, 9u) << content;
  EXPECT_NE(content.find("style=\"width: 20px; height: 10px\""), std::string::npos) << content;
  EXPECT_NE(content.find("./tavoupload_files/image004.bmp"), std::string::npos) << content;
  EXPECT_EQ(content.find("image009.emz"), std::string::npos);
  EXPECT_FALSE(platform::files::FolderExists(DocsFolder() + "\\tavoupload_files"));

  // Saved again, the document's pictures are online addresses now and go up no more.
  user_.On("frmlocalversion", {"click Yes"});
  OpenFromList(0);
  Save();
  EXPECT_EQ(Calls("writer.uploadImage").size(), 9u);
}

// The export's picture folder, held open by another program while the save cleans up, stays
// where it is: the log says it could not be deleted, and never that it was.
TEST_F(SaveTest, AnExportFolderThatCannotBeDeletedIsNotLoggedAsDeleted) {
  OpenedPlan("3");
  const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x14\0\0\0\x0a", 24);
  platform::files::WriteAllBytes(DocsFolder() + "\\a.png", png);
  Active()->InsertPicture(DocsFolder() + "\\a.png");
  const std::string pictures = DocsFolder() + "\\tavoupload_files";
  platform::files::FileLock held;
  FormWatcher watcher(user_);
  watcher.onShown = [&](forms::Form& form) {
    if (form.Name() == "frmProgress") held = platform::files::LockExclusive(pictures + "\\image001.png");
  };
  Save();

  EXPECT_EQ(Status(), "Document saved successfully");
  const std::string log = LogText(kUser);
  EXPECT_NE(log.find("[Error] -- Folder " + pictures + " could not be deleted | "), std::string::npos) << log;
  EXPECT_EQ(log.find("Folder" + pictures + " Deleted sucessfully"), std::string::npos) << log;
  EXPECT_EQ(log.find("Folder" + pictures + " not found"), std::string::npos) << log;
  EXPECT_TRUE(platform::files::FolderExists(pictures));
}

// A picture pass that fails ends the export with its own Error line; the export's line after it
// names no run-time error of its own (there is none left over), and nothing is sent.
TEST_F(SaveTest, AFailedPicturePassIsLoggedWithItsOwnError) {
  OpenedPlan("3");
  const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x14\0\0\0\x0a", 24);
  platform::files::WriteAllBytes(DocsFolder() + "\\a.png", png);
  Active()->InsertPicture(DocsFolder() + "\\a.png");
  FormWatcher watcher(user_);
  watcher.onShown = [](forms::Form& form) {
    if (form.Name() == "frmProgress") platform::Raise(platform::err::ObjectRequired, "The progress bar is gone");
  };
  WillReadMessage();
  Save();

  EXPECT_EQ(Messages().back(), kSaveFailed);
  EXPECT_TRUE(Calls("writer.saveDocument").empty());
  const std::string log = LogText(kUser);
  EXPECT_NE(log.find("[Error] -- Error While changing the Images UrlThe progress bar is gone\r\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find("[Error] -- Error While Converting Document to HTML | Error Number :0\r\n"), std::string::npos)
      << log;
}

// An online document that names pictures on this computer (by path, by file: URL, by a relative
// path from the folder Word opens it in) does not make the add-in upload them: neither a save nor
// a publish sends them, and they do not come back online. The pictures on the web, the service's
// and other sites' alike, stay linked through both, and a picture the user puts in goes up as
// before.
TEST_F(SaveTest, PicturesADownloadedDocumentNamesOnThisComputerAreNeverUploaded) {
  const std::string holiday("\x89PNG\r\n\x1a\nholiday", 15);
  const std::string pictures = std::string(kDocuments) + "\\..\\Pictures";
  platform::files::CreateFolder(pictures);
  for (const char* name : {"holiday.png", "holiday.jpg", "holiday.gif"})
    platform::files::WriteAllBytes(pictures + "\\" + name, holiday);
  const std::string online = "http://writer.tavo.example" + server_->AddPicture(kUser, "png", "online picture");
  const std::string id = server_->AddDocument(
      kUser, "Trip",
      "<p>a<img src=\"C:\\Users\\tavo\\Pictures\\holiday.png\" style=\"width:20px;height:10px\"></p>"
      "<p>b<img src=\"file:///C:/Users/tavo/Pictures/holiday.jpg\"></p>"
      "<p>c<img src=\"../../../../../Pictures/holiday.gif\"></p>"
      "<p>d<img src=\"beside.png\"></p>"
      "<p>e<v:shape style=\"width:20px;height:10px\"><v:imagedata src=\"C:\\Users\\tavo\\Pictures\\holiday.png\"/>"
      "</v:shape></p>"
      "<p>f<img src=\"http://elsewhere.example/holiday.png\"></p>"
      "<p>g<img src=\"" + online + "\"></p>"
      "<p>h<v:shape style=\"width:20px;height:10px\"><v:imagedata src=\"https://elsewhere.example/shape.png\"/>"
      "</v:shape></p>"
      "<p>i<img src=\"\\\\fileserver\\pictures\\holiday.png\"></p>");
  SignedInWord();
  platform::files::WriteAllBytes(DocsFolder() + "\\beside.png", holiday);  // beside the page Word opens
  OpenFromList(0);
  ASSERT_EQ(ActiveName(), "Trip.doc") << user_.TranscriptText();
  Save();
  word().Click("&Publish in Tavo Share");  // a document online already is saved again
  ASSERT_EQ(Calls("writer.saveDocument").size(), 2u) << user_.TranscriptText();
  EXPECT_TRUE(Calls("writer.uploadImage").empty());
  EXPECT_EQ(server_->Pictures().size(), 1u);
  const std::string content = OnlineContent(id);
  for (const char* local : {"Pictures\\holiday", "Pictures/holiday", "beside", "fileserver"})
    EXPECT_EQ(content.find(local), std::string::npos) << local << "\n" << content;
  for (const std::string& web : {online, std::string("http://elsewhere.example/holiday.png"),
                                 std::string("https://elsewhere.example/shape.png")})
    EXPECT_NE(content.find("<img src=\"" + web + "\""), std::string::npos) << web << "\n" << content;

  const std::string mine = std::string(kDocuments) + "\\mine.png";
  platform::files::WriteAllBytes(mine, "\x89PNG\r\n\x1a\nmine");
  Active()->InsertPicture(mine);
  Save();
  ASSERT_EQ(Calls("writer.uploadImage").size(), 1u);
  EXPECT_EQ(server_->Pictures().back().bytes, "\x89PNG\r\n\x1a\nmine");
}

}  // namespace tavo::writer::test
