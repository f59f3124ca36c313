// Adding a local document as a new online document, and publishing one under a licence.
#include <string>
#include <vector>

#include "WordAddin/writerPlugin/source/tests/DocumentsFixture.h"

namespace tavo::writer::test {
namespace {

constexpr const char* kAddFailed = "frmMsgInfo: The document could not be added to Tavo Writer. Please try again.";

class CreateTest : public DocumentsTest {
 protected:
  // A document of the user's own, saved outside the add-in's folders.
  void LocalDocument(const std::string& fileName, const std::string& text) {
    app()->Documents().Add();
    app()->Selection().TypeText(text);
    app()->ActiveDocument()->SaveAs({.fileName = std::string(kDocuments) + "\\" + fileName});
  }
  std::optional<service::Document> Online(const std::string& name) {
    for (const auto& d : server_->Documents())
      if (d.name == name) return d;
    return std::nullopt;
  }
};

}  // namespace

// The new document's record names the copy the add-in keeps, with the document's extension, so
// that the next Save finds it by its Word file name.
TEST_F(CreateTest, AddCreatesTheDocumentAndKeepsTheWordDocumentAsItsCopy) {
  SignedInWord();
  LocalDocument("Memo.doc", "Remember the milk");
  word().Click("&Add to Tavo Writer");

  const auto created = Online("Memo");
  ASSERT_TRUE(created) << user_.TranscriptText();
  EXPECT_NE(created->content.find("Remember the milk"), std::string::npos);
  EXPECT_EQ(Status(), "The document is created successfully");
  const std::string copy = DocsFolder() + "\\Memo.doc";
  EXPECT_EQ(Active()->FullName(), copy);
  EXPECT_TRUE(SavedWithPassword(copy, kPassword));
  const auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].id, created->id);
  EXPECT_EQ(entries[0].filename, "Memo");
  EXPECT_EQ(entries[0].version, "1");
  EXPECT_EQ(entries[0].location, copy);
  EXPECT_EQ(entries[0].extension, ".doc");

  app()->Selection().TypeText(" and bread");
  word().Click("&Save in Tavo Writer");
  EXPECT_FALSE(user_.Saw("frmConfirm"));
  EXPECT_NE(server_->FindDocument(created->id)->content.find("and bread"), std::string::npos);
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();
}

// Save of a document that is not online yet offers to add it; the file name loses every
// occurrence of its extension.
TEST_F(CreateTest, TheAddQuestionsYesCreatesIt) {
  SignedInWord();
  LocalDocument("Notes.rtf.rtf", "rich");
  user_.On("frmConfirm", {"click Yes"});
  word().Click("&Save in Tavo Writer");
  ASSERT_TRUE(Online("Notes")) << user_.TranscriptText();
  EXPECT_EQ(Status(), "Saved successfully.");
  EXPECT_EQ(Active()->FullName(), DocsFolder() + "\\Notes.rtf");
  EXPECT_EQ(MapEntries().at(0).extension, ".rtf");
}

TEST_F(CreateTest, RefusedCreations) {
  const struct {
    const char* command;
    const char* code;
    std::vector<std::string> messages;
  } cases[] = {
      {"&Add to Tavo Writer", "1807",
       {"frmMsgInfo: The document could not be created in Tavo Writer. Please try again.", kAddFailed}},
      {"&Add to Tavo Writer", "1401", {"frmMsgInfo: Authentication failed. Please sign in again.", kAddFailed}},
      {"&Publish in Tavo Share", "1807",
       {"frmMsgInfo: Document Create failed. Please try to 'Add' it again.",
        "frmMsgInfo: Document Add failed. Please try to 'Add' it again"}},
      {"&Publish in Tavo Share", "1890",
       {"frmMsgInfo: Your Tavo API key has been temporarily blocked. Please contact us at api-support@tavo.example "
        "for further details.",
        "frmMsgInfo: Document Add failed. Please try to 'Add' it again"}},
  };
  SignedInWord();
  LocalDocument("Memo.doc", "text");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.code);
    server_->InjectFault({"writer.newDocument", service::FaultKind::ErrorCode, 1, c.code});
    user_.On("frmLicense", {"check Check1", "click Upload"});
    for (size_t i = 0; i < c.messages.size(); ++i) WillReadMessage();
    const size_t before = Messages().size();
    word().Click(c.command);
    const auto all = Messages();
    EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<long>(before), all.end()), c.messages);
    if (std::string(c.code) == "1401") SignInAgain();
  }
  EXPECT_TRUE(server_->Documents().empty());
  EXPECT_TRUE(MapEntries().empty());
  EXPECT_EQ(Active()->FullName(), std::string(kDocuments) + "\\Memo.doc");
}

// A document that is not online is published through the licence picker: created, made
// public and licensed, in that order.
TEST_F(CreateTest, PublishCreatesAPublicLicensedDocument) {
  SignedInWord();
  LocalDocument("Essay.docx", "An essay");
  user_.On("frmLicense", {"check Check1", "option Option7", "click Upload"});
  word().Click("&Publish in Tavo Share");

  const auto created = Online("Essay");
  ASSERT_TRUE(created) << user_.TranscriptText();
  EXPECT_EQ(Status(), "The Document is Published Successfully");
  EXPECT_TRUE(created->publish.isPublic);
  EXPECT_EQ(created->publish.publicQuery, "apikey=7c0e9a5b31f84d62a09e3b7f5c18d24e&ticket=" + ticket +
                                              "&showcomment=true&allowcomment=true&issocial=true");
  EXPECT_EQ(created->publish.licenseName, "Attribution-Share Alike");
  EXPECT_EQ(created->publish.licenseUrl, "http://creativecommons.org/license/by-sa/3.0/");
  EXPECT_EQ(created->publish.licenseImage, "/images/l_by_sa.gif");
  std::vector<std::string> order;
  for (const auto& r : server_->Requests())
    if (r.path != "/api" || r.body.find("writer.newDocument") != std::string::npos) order.push_back(r.path);
  EXPECT_EQ(order, (std::vector<std::string>{"/api", "/api/private/xml/makePublic/" + created->id,
                                             "/api/private/TavoSocial/xml/updateLicense/" + created->id}));
  EXPECT_EQ(MapEntries().at(0).location, DocsFolder() + "\\Essay.docx");
  EXPECT_EQ(Active()->FullName(), DocsFolder() + "\\Essay.docx");
}

// Publishing a document that is online already saves it again, with no licence and nothing
// made public; a newer online version is not overwritten without the question.
TEST_F(CreateTest, PublishingAMappedDocumentSavesIt) {
  const std::string id = server_->AddDocument(kUser, "Plan", "<p>online</p>", 2);
  SignedInWord();
  OpenFromList(0);
  app()->Selection().TypeText(" shared");
  word().Click("&Publish in Tavo Share");
  EXPECT_EQ(Status(), "Successfully Updated in Tavo!!!");
  EXPECT_NE(server_->FindDocument(id)->content.find("shared"), std::string::npos);
  EXPECT_FALSE(server_->FindDocument(id)->publish.isPublic);
  EXPECT_EQ(server_->FindDocument(id)->publish.licenseCalls, 0);
  EXPECT_FALSE(user_.Saw("frmLicense"));

  server_->ChangeDocument(id, "<p>someone else's</p>");
  user_.On("frmLowVersion", {"click No"});
  word().Click("&Publish in Tavo Share");
  EXPECT_TRUE(user_.Saw("frmLowVersion"));
  EXPECT_EQ(server_->FindDocument(id)->content, "<p>someone else's</p>");
}

// An export that fails sends nothing: neither an empty document over the online one nor an
// empty new one, whether added or published.
TEST_F(CreateTest, AFailedExportIsNotSent) {
  const std::string id = server_->AddDocument(kUser, "Plan", "<p>online</p>", 1);
  SignedInWord();
  OpenFromList(0);
  // Word cannot write its export where a folder of that name stands.
  platform::files::CreateFolder(DocsFolder() + "\\tavoupload.html");

  WillReadMessage();
  word().Click("&Save in Tavo Writer");
  EXPECT_TRUE(Calls("writer.saveDocument").empty());
  EXPECT_EQ(server_->FindDocument(id)->content, "<p>online</p>");

  LocalDocument("Memo.doc", "text");
  WillReadMessage();
  word().Click("&Add to Tavo Writer");
  user_.On("frmConfirm", {"click Yes"});
  WillReadMessage();
  word().Click("&Save in Tavo Writer");
  user_.On("frmLicense", {"check Check1", "click Upload"});
  WillReadMessage();
  word().Click("&Publish in Tavo Share");
  EXPECT_TRUE(Calls("writer.newDocument").empty());
  EXPECT_EQ(Messages(), (std::vector<std::string>{"frmMsgInfo: Document save failed. Please try to save it again.",
                                                   kAddFailed, kAddFailed,
                                                   "frmMsgInfo: Document Add failed. Please try to 'Add' it again"}));
}

// A file of the new document's name in the user's folder (here a copy holding edits of its own)
// is never replaced, whether the document is added or published: the copy takes a free name, as
// a workbook's does, and its record names it, so that Save, a later open from the list and Local
// Documents find it there. A document of the user's in that folder, added itself, stays where
// it is.
TEST_F(CreateTest, AddAndPublishNeverReplaceAnotherFileInTheUserFolder) {
  const struct {
    const char* name;
    const char* command;
    bool inTheFolder;  // the document added is the file of its name in the user's folder
    const char* copy;
  } cases[] = {
      {"Memo", "&Add to Tavo Writer", false, "Memo1.doc"},
      {"Essay", "&Publish in Tavo Share", false, "Essay1.doc"},
      {"Notes", "&Add to Tavo Writer", true, "Notes.doc"},
  };
  SignedInWord(/*keepCopies=*/true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string other = DocsFolder() + "\\" + c.name + ".doc";
    app()->Documents().Add();
    app()->Selection().TypeText("edits of its own");
    app()->ActiveDocument()->SaveAs({.fileName = other, .password = kPassword});
    const std::string kept = platform::files::ReadAllBytes(other);
    if (c.inTheFolder) {
      app()->Selection().TypeText(", now added");
    } else {
      Active()->Close();
      LocalDocument(std::string(c.name) + ".doc", "new text");
    }
    user_.On("frmLicense", {"check Check1", "click Upload"});
    word().Click(c.command);

    const auto created = Online(c.name);
    ASSERT_TRUE(created) << user_.TranscriptText();
    const std::string copy = DocsFolder() + "\\" + c.copy;
    EXPECT_EQ(Active()->FullName(), copy);
    if (!c.inTheFolder) {
      EXPECT_EQ(platform::files::ReadAllBytes(other), kept);
    }
    const auto entries = MapEntries();
    ASSERT_FALSE(entries.empty());
    const std::string nameUrl = std::string(c.copy).substr(0, std::string(c.copy).size() - 4);
    EXPECT_EQ(entries.back().id, created->id);
    EXPECT_EQ(entries.back().location, copy);
    EXPECT_EQ(entries.back().filename, nameUrl);
    EXPECT_EQ(entries.back().nameUrl, nameUrl);

    app()->Selection().TypeText(" saved");
    word().Click("&Save in Tavo Writer");
    EXPECT_FALSE(user_.Saw("frmConfirm"));
    EXPECT_NE(server_->FindDocument(created->id)->content.find("saved"), std::string::npos);
    Active()->Close();
    user_.On("frmlocalversion", {"click Yes"});  // a file of the document's name is there
    OpenFromList(0, c.name);
    EXPECT_EQ(Active() ? Active()->FullName() : "", copy);
    if (!c.inTheFolder) {
      EXPECT_EQ(platform::files::ReadAllBytes(other), kept);
    }
    EXPECT_EQ(MapEntries().back().location, copy);
    Active()->Close();

    user_.On("frmopenlocalfiles", {"select locallist \"" + nameUrl + " \"", "click Delete"});
    user_.On("Frmfileconfirm", {"click Yes"});
    WillReadMessage();
    word().Click("Local &Documents");
    EXPECT_EQ(Messages().back(), "frmMsgInfo: The local copy has been deleted.");
    EXPECT_FALSE(platform::files::FileExists(copy));
    for (const auto& entry : MapEntries()) EXPECT_NE(entry.id, created->id);
  }
  EXPECT_EQ(Messages().size(), 3u) << user_.TranscriptText();
}

// The user deletes a copy by hand; its record stays (until Quit, for a temporary copy). A
// document added later whose copy takes that path (here the free name past a file of the
// user's) writes the file again: the old record goes, Save sends the document to its own online
// document, not over the one of the old record, and the copy is the user's own: it stays when
// Word quits.
TEST_F(CreateTest, TheAddedCopysRecordIsTheOnlyOneOfItsFile) {
  const std::string earlier = server_->AddDocument(kUser, "Memo1", "<p>earlier</p>");
  SignedInWord(/*keepCopies=*/false);
  OpenFromList(0);
  Active()->Close();
  platform::files::DeleteFile(DocsFolder() + "\\Memo1.doc");
  app()->Documents().Add();
  app()->ActiveDocument()->SaveAs({.fileName = DocsFolder() + "\\Memo.doc"});
  Active()->Close();

  LocalDocument("Memo.doc", "new memo");
  word().Click("&Add to Tavo Writer");
  const auto created = Online("Memo");
  ASSERT_TRUE(created) << user_.TranscriptText();
  ASSERT_EQ(Active()->FullName(), DocsFolder() + "\\Memo1.doc");
  std::vector<std::string> recorded;
  for (const auto& entry : MapEntries()) recorded.push_back(entry.id);
  EXPECT_EQ(recorded, std::vector<std::string>{created->id});

  app()->Selection().TypeText(" saved");
  word().Click("&Save in Tavo Writer");
  EXPECT_NE(server_->FindDocument(created->id)->content.find("saved"), std::string::npos);
  EXPECT_EQ(server_->FindDocument(earlier)->content, "<p>earlier</p>");
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();

  QuitWord();
  EXPECT_TRUE(SavedWithPassword(DocsFolder() + "\\Memo1.doc", kPassword));
  ASSERT_EQ(MapEntries().size(), 1u);
  EXPECT_EQ(MapEntries()[0].id, created->id);
}

}  // namespace tavo::writer::test
