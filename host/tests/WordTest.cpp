#include <gtest/gtest.h>

#include "host/tests/TestSupport.h"
#include "host/word/WordApplication.h"
#include "platform/environment/Environment.h"
#include "platform/files/Files.h"
#include "platform/office/Clipboard.h"

using namespace host::testing;
using host::Answer;
namespace files = platform::files;
namespace ow = platform::office::word;
using host::word::WordApplication;
using host::word::WordDocument;

namespace {

const std::string kPng("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x14\0\0\0\x0a", 24);

class WordTest : public ::testing::Test {
 protected:
  TempEnvironment env;
  QueuePrompter prompter;
  std::shared_ptr<WordApplication> word = WordApplication::Create();

  static std::string Doc(const std::string& name) { return std::string(kDocs) + "\\" + name; }

  std::shared_ptr<WordDocument> Active() { return word->activeDocument(); }
  std::string StoryText() {
    auto d = Active();
    return host::word::TextOfItems(d->items(), 0, d->items().size());
  }
  // A document with two paragraphs and a picture between them, not yet saved.
  void Compose() {
    word->Documents().Add();
    files::WriteAllBytes(Doc("pic.png"), kPng);
    word->Selection().TypeText("Hello\n");
    Active()->InsertPicture(Doc("pic.png"));
    word->Selection().TypeText("\nWorld");
  }
};

}  // namespace

TEST_F(WordTest, ContainerRoundTripKeepsTextAndPictures) {
  Compose();
  auto doc = word->ActiveDocument();
  EXPECT_EQ(doc->Name(), "Document1");
  EXPECT_EQ(doc->Path(), "");
  doc->SaveAs({.fileName = Doc("a.doc")});
  EXPECT_EQ(doc->Name(), "a.doc");
  EXPECT_EQ(doc->Path(), kDocs);
  EXPECT_EQ(doc->FullName(), Doc("a.doc"));
  EXPECT_TRUE(files::ReadAllBytes(Doc("a.doc")).starts_with("TAVO-DOCUMENT/1\nopen-password: \n"));
  doc->Close();
  EXPECT_EQ(word->Documents().Count(), 0);

  word->Documents().Open({.fileName = Doc("a.doc")});
  EXPECT_EQ(StoryText(), "Hello\r\x01\rWorld\r");
  EXPECT_EQ(Active()->items()[6].picture->bytes, kPng);
  EXPECT_EQ(Active()->items()[6].picture->width, "20px");
  EXPECT_TRUE(prompter.drained());
}

TEST_F(WordTest, OpenPasswordIsCheckedAndStoredAsAHash) {
  Compose();
  word->ActiveDocument()->SaveAs({.fileName = Doc("p.doc"), .password = "s3cret"});
  word->ActiveDocument()->Close();
  auto bytes = files::ReadAllBytes(Doc("p.doc"));
  EXPECT_EQ(bytes.find("s3cret"), std::string::npos);
  EXPECT_NE(bytes.find("open-password: sha256:"), std::string::npos);

  EXPECT_EQ(ErrorNumber([&] { word->Documents().Open({.fileName = Doc("p.doc"), .passwordDocument = "S3CRET"}); }),
            ow::err::WrongPassword);
  // No password given: Word asks; a cancelled prompt is an error, a wrong answer is refused.
  prompter.Text(std::nullopt);
  EXPECT_EQ(ErrorNumber([&] { word->Documents().Open({.fileName = Doc("p.doc")}); }), ow::err::CommandFailed);
  prompter.Text("wrong");
  EXPECT_EQ(ErrorNumber([&] { word->Documents().Open({.fileName = Doc("p.doc")}); }), ow::err::WrongPassword);
  EXPECT_EQ(word->Documents().Count(), 0);
  prompter.Text("s3cret");
  word->Documents().Open({.fileName = Doc("p.doc")});
  EXPECT_EQ(StoryText(), "Hello\r\x01\rWorld\r");

  // Saving without a Password argument keeps the protection; "" removes it.
  word->ActiveDocument()->SaveAs({.fileName = Doc("tavoupload.html"), .fileFormat = ow::format::Html});
  word->ActiveDocument()->SaveAs({.fileName = Doc("p.doc"), .fileFormat = ow::format::Document});
  EXPECT_NE(files::ReadAllBytes(Doc("p.doc")).find("sha256:"), std::string::npos);
  word->ActiveDocument()->SaveAs({.fileName = Doc("open.doc"), .password = ""});
  EXPECT_TRUE(files::ReadAllBytes(Doc("open.doc")).starts_with("TAVO-DOCUMENT/1\nopen-password: \n"));
}

TEST_F(WordTest, HtmlExportWritesPicturesBesideTheFile) {
  Compose();
  files::WriteAllBytes(Doc("vector.emz"), "EMZ");
  word->Selection().TypeText(" ");
  Active()->InsertPicture(Doc("vector.emz"));
  auto doc = word->ActiveDocument();
  doc->SaveAs({.fileName = Doc("tavoupload.html"), .fileFormat = ow::format::Html, .addToRecentFiles = false});
  EXPECT_EQ(doc->Name(), "tavoupload.html");
  std::string html = files::ReadAllBytes(Doc("tavoupload.html"));
  EXPECT_NE(html.find("<v:shape style=\"width:20px;height:10px\"><v:imagedata src=\"./tavoupload_files/image001.png\"/>"
                      "</v:shape>"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("src=\"./tavoupload_files/image002.emz\""), std::string::npos);
  EXPECT_EQ(files::ReadAllBytes(Doc("tavoupload_files\\image001.png")), kPng);
  EXPECT_EQ(files::ReadAllBytes(Doc("tavoupload_files\\image002.emz")), "EMZ");
  EXPECT_TRUE(files::FileExists(Doc("tavoupload_files\\image003.gif")));
}

TEST_F(WordTest, OpeningHtmlKeepsRemotePicturesLinkedAndReadsLocalOnes) {
  files::CreateFolder(Doc("page_files"));
  files::WriteAllBytes(Doc("page_files\\image001.png"), kPng);
  files::WriteAllBytes(Doc("page.html"),
                       "<html><body><p>Title</p><p>see <img src=\"http://srv/x.png\" width=\"120\" height=\"80\"></p>"
                       "<p><img src=\"./page_files/image001.png\"></p></body></html>");
  auto doc = word->Documents().Open({.fileName = Doc("page.html"), .addToRecentFiles = false});
  EXPECT_EQ(doc->Name(), "page.html");
  EXPECT_EQ(StoryText(), "Title\rsee \x01\r\x01\r");
  const auto& items = Active()->items();
  EXPECT_EQ(items[10].picture->link, "http://srv/x.png");
  EXPECT_EQ(items[10].picture->height, "80px");
  EXPECT_EQ(items[12].picture->bytes, kPng);
}

// A page reads pictures only from its own folder and below, as a browser does for a page opened
// from disk; a picture it names elsewhere stays a link and none of its bytes come in.
TEST_F(WordTest, OpeningHtmlReadsPicturesOnlyFromThePagesFolder) {
  files::CreateFolder(Doc("site"));
  files::CreateFolder(Doc("site\\pics"));
  files::WriteAllBytes(Doc("site\\pics\\in.png"), kPng);
  files::WriteAllBytes(Doc("holiday.png"), kPng);
  const std::string holiday = Doc("holiday.png");  // C:\Users\tavo\Documents\holiday.png
  const struct {
    std::string src;
    bool read;
  } cases[] = {
      {"pics/in.png", true},
      {"./pics/in.png", true},
      {Doc("site\\pics\\in.png"), true},
      {"file:///" + Doc("site/pics/in.png"), true},
      {"pics/../pics/in.png", true},
      {"../holiday.png", false},
      {"pics\\..\\..\\holiday.png", false},
      {holiday, false},
      {"file:///" + holiday, false},
      {"c:/users/TAVO/documents/holiday.png", false},
      {"Z:" + platform::environment::HostPath(holiday).string(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.src);
    files::WriteAllBytes(Doc("site\\page.html"), "<html><body><p><img src=\"" + c.src + "\"></p></body></html>");
    auto doc = word->Documents().Open({.fileName = Doc("site\\page.html"), .addToRecentFiles = false});
    const auto& picture = Active()->items().at(0).picture;
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->bytes, c.read ? kPng : "");
    EXPECT_EQ(picture->link, c.read ? "" : c.src);
    doc->Close();
  }
}

// Whatever pictures a page holds, the document made of it saves and opens again as it was, and its
// export writes pictures only into its own folder: a file of no picture type (none, a blank in
// it, one Word takes no picture from) stays a link, and sizes lose their line breaks.
TEST_F(WordTest, APagesPicturesSaveOpenAndExportAgain) {
  files::CreateFolder(Doc("site"));
  for (const char* name : {"noext", "a.p g", "x.svg", "ok.PNG"})
    files::WriteAllBytes(Doc(std::string("site\\") + name), kPng);
  files::WriteAllBytes(Doc("site\\page.html"),
                       "<html><body><p><img src=\"noext\" width=\"1\n2\"><img src=\"a.p g\"><img src=\"x.svg\">"
                       "<img src=\"ok.PNG\" height=\" 7\r\n\"></p></body></html>");
  word->Documents().Open({.fileName = Doc("site\\page.html"), .addToRecentFiles = false});
  const auto read = Active()->items();
  ASSERT_EQ(read.size(), 5u);
  for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(read[i].picture->linked()) << i;
  EXPECT_EQ(read[0].picture->width, "12px");
  EXPECT_EQ(read[3].picture->type, "png");
  EXPECT_EQ(read[3].picture->height, "7px");

  word->ActiveDocument()->SaveAs({.fileName = Doc("copy.doc")});
  word->ActiveDocument()->Close();
  word->Documents().Open({.fileName = Doc("copy.doc")});
  const auto again = Active()->items();
  ASSERT_EQ(again.size(), read.size());
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(again[i].picture->type, read[i].picture->type);
    EXPECT_EQ(again[i].picture->link, read[i].picture->link);
    EXPECT_EQ(again[i].picture->bytes, read[i].picture->bytes);
    EXPECT_EQ(again[i].picture->width, read[i].picture->width);
    EXPECT_EQ(again[i].picture->height, read[i].picture->height);
  }
  word->ActiveDocument()->SaveAs({.fileName = Doc("copy.html"), .fileFormat = ow::format::Html});
  EXPECT_EQ(files::ListFileNames(Doc("copy_files")), std::vector<std::string>{"image001.png"});
}

// The open flow of a downloaded document: nothing of the downloaded content may be lost and no
// surplus paragraph may be left at the end.
TEST_F(WordTest, CopyIntoANewDocumentLosesNothing) {
  const char* pages[] = {
      "<html><body><p>First line</p><p>second <img src=\"http://srv/a.png\" width=\"3\" height=\"4\"></p>"
      "<p>last</p></body></html>",
      "<html><body>one paragraph only</body></html>",
      "<html><body><p>ends empty</p><p></p></body></html>",
  };
  for (const char* page : pages) {
    files::WriteAllBytes(Doc("tavodownload.html"), page);
    word->Documents().Open({.fileName = Doc("tavodownload.html"), .addToRecentFiles = false});
    const std::string downloaded = StoryText();
    auto& sel = word->Selection();
    word->SetScreenUpdating(false);
    sel.WholeStory();
    sel.Copy();
    sel.Collapse();
    word->SetScreenUpdating(true);
    word->ActiveDocument()->Close();
    auto fresh = word->Documents().Add({.visible = true});
    fresh->Activate();
    sel.Paste();
    fresh->ActiveWindow()->Activate();
    sel.MoveRight({.unit = ow::unit::Character, .count = 1, .extend = 1});
    sel.Delete({.unit = ow::unit::Character, .count = 10});
    sel.MoveUp({.unit = ow::unit::Line, .count = 10000});
    platform::office::clipboard::Clear();
    EXPECT_EQ(StoryText(), downloaded) << page;
    // Up to the first line (the column is kept, as in Word).
    EXPECT_EQ(host::word::TextOfItems(Active()->items(), 0, Active()->selectionStart()).find('\r'), std::string::npos);
    fresh->Close({.saveChanges = ow::save_changes::DoNotSave});
  }
}

TEST_F(WordTest, SelectionEditsKeepTheFinalParagraphMark) {
  word->Documents().Add();
  auto& sel = word->Selection();
  sel.TypeText("abc");
  EXPECT_EQ(sel.MoveRight({.count = 5}), 0);  // the insertion point cannot pass the final mark
  EXPECT_EQ(sel.MoveLeft({.count = 2}), 2);
  EXPECT_EQ(sel.Delete({.count = 10}), 2);  // "bc": the final mark stays
  EXPECT_EQ(StoryText(), "a\r");
  sel.WholeStory();
  EXPECT_EQ(sel.Delete(), 1);
  EXPECT_EQ(StoryText(), "\r");
  sel.TypeText("one\ntwo\nthree");
  EXPECT_EQ(sel.MoveUp({.count = 1}), 1);
  EXPECT_EQ(sel.MoveRight({.count = 1, .extend = 1}), 1);
  EXPECT_EQ(sel.Text(), "\r");
  EXPECT_EQ(sel.MoveUp({.count = 10000}), 2);
  EXPECT_EQ(sel.MoveDown({.count = 10000}), 2);
  EXPECT_EQ(ErrorNumber([&] { sel.MoveRight({.unit = 2}); }), ow::err::BadParameter);
}

TEST_F(WordTest, OpenDocumentsAreLocked) {
  Compose();
  word->ActiveDocument()->SaveAs({.fileName = Doc("locked.doc")});
  files::FileLock probe;
  EXPECT_FALSE(files::TryLockExclusive(Doc("locked.doc"), &probe));
  EXPECT_EQ(ErrorNumber([&] { files::DeleteFile(Doc("locked.doc")); }), platform::err::PermissionDenied);
  // Saving under another name moves the lock with the document.
  word->ActiveDocument()->SaveAs({.fileName = Doc("moved.doc")});
  EXPECT_TRUE(files::TryLockExclusive(Doc("locked.doc"), &probe));
  probe.Release();
  word->ActiveDocument()->Close();
  files::DeleteFile(Doc("moved.doc"));
}

TEST_F(WordTest, ClosingAModifiedDocumentAsksWhetherToSave) {
  Compose();
  word->ActiveDocument()->SaveAs({.fileName = Doc("c.doc")});
  word->Selection().TypeText("!");
  prompter.Answer(Answer::Cancel);
  EXPECT_EQ(ErrorNumber([&] { word->ActiveDocument()->Close(); }), ow::err::CommandFailed);
  EXPECT_EQ(word->Documents().Count(), 1);
  prompter.Answer(Answer::No);
  word->ActiveDocument()->Close();
  EXPECT_EQ(prompter.lastQuestion(), "Do you want to save the changes you made to c.doc?");
  word->Documents().Open({.fileName = Doc("c.doc")});
  EXPECT_EQ(StoryText().find('!'), std::string::npos);
  word->Selection().TypeText("!");
  prompter.Answer(Answer::Yes);
  word->ActiveDocument()->Close();
  word->Documents().Open({.fileName = Doc("c.doc")});
  EXPECT_NE(StoryText().find('!'), std::string::npos);
  // An unmodified document closes without a question.
  word->ActiveDocument()->Close();
  EXPECT_EQ(prompter.asked(), 3);
}

TEST_F(WordTest, ErrorsOfTheObjectModel) {
  EXPECT_EQ(ErrorNumber([&] { word->ActiveDocument(); }), ow::err::NoDocumentOpen);
  EXPECT_EQ(ErrorNumber([&] { word->Selection().WholeStory(); }), ow::err::NoDocumentOpen);
  EXPECT_EQ(ErrorNumber([&] { word->Documents().Open({.fileName = Doc("none.doc")}); }), ow::err::FileNotFound);
  files::WriteAllBytes(Doc("bad.doc"), "TAVO-DOCUMENT/1\ngarbage\n");
  EXPECT_EQ(ErrorNumber([&] { word->Documents().Open({.fileName = Doc("bad.doc")}); }), ow::err::NotADocument);
  auto doc = word->Documents().Add();
  EXPECT_EQ(ErrorNumber([&] { word->Documents().Item("Nope"); }), ow::err::NoSuchMember);
  EXPECT_TRUE(word->Documents().Item("document1").Is(doc));
  EXPECT_EQ(ErrorNumber([&] { doc->SaveAs({.fileName = "C:\\missing\\x.doc"}); }), ow::err::CannotSave);
  EXPECT_EQ(ErrorNumber([&] { doc->SaveAs({.fileName = Doc("x.doc"), .fileFormat = 17}); }), ow::err::BadParameter);
  doc->Close();
  EXPECT_EQ(ErrorNumber([&] { doc->Name(); }), ow::err::ObjectDeleted);
  // The running application is found by its class name.
  EXPECT_TRUE(ow::RunningApplication().Is(platform::office::Ref<ow::Application>(word)));
}
