// Names and texts that markup, selections and code pages treat specially go through the
// document operations unchanged.
#include <string>
#include <vector>

#include "platform/forms/ListBox.h"
#include "tests/word/DocumentsFixture.h"

namespace tavo::writer::test {
namespace {

using SpecialNamesTest = DocumentsTest;

// "<" and ">" cannot stand in a file name: the service names the file with "_" in their place.
constexpr const char* kName = "Bob's notes & <drafts>";
constexpr const char* kFileName = "Bob's notes & _drafts_";

}  // namespace

TEST_F(SpecialNamesTest, ANameWithAmpersandLessThanAndApostropheGoesThroughListOpenSaveAndAdd) {
  const std::string id = server_->AddDocument(kUser, kName, "<p>notes</p>", 1);
  SignedInWord(/*keepCopies=*/true);
  std::vector<std::string> rows;
  FormWatcher watcher(user_);
  watcher.onShown = [&](forms::Form& form) {
    if (form.Name() == "frmDocList") rows = ControlOf<forms::ListBox>(form, "listdoc").Items();
  };
  OpenFromList(0, "<DRAFTS>");
  EXPECT_EQ(rows, std::vector<std::string>{kName});
  EXPECT_EQ(ActiveName(), std::string(kFileName) + ".doc");
  auto entries = MapEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, kName);
  EXPECT_EQ(entries[0].filename, kFileName);

  app()->Selection().TypeText("More & more. ");
  word().Click("&Save in Tavo Writer");
  const auto saves = Calls("writer.saveDocument");
  ASSERT_EQ(saves.size(), 1u) << user_.TranscriptText();
  EXPECT_NE(saves[0].body.find("<name>documentname</name><value><string>Bob's notes &amp; &lt;drafts&gt;</string>"),
            std::string::npos);
  EXPECT_EQ(server_->FindDocument(id)->name, kName);
  EXPECT_NE(server_->FindDocument(id)->content.find("More &amp; more."), std::string::npos);
  EXPECT_EQ(MapEntries().at(0).version, "2");

  app()->Documents().Add();
  app()->Selection().TypeText("cartoon");
  app()->ActiveDocument()->SaveAs({.fileName = std::string(kDocuments) + "\\Tom's & Jerry's.doc"});
  word().Click("&Add to Tavo Writer");
  entries = MapEntries();
  ASSERT_EQ(entries.size(), 2u) << user_.TranscriptText();
  EXPECT_EQ(entries[1].name, "Tom's & Jerry's");
  EXPECT_EQ(server_->FindDocument(entries[1].id)->name, "Tom's & Jerry's");
  // Saved again under its new name, it finds its record.
  word().Click("&Save in Tavo Writer");
  EXPECT_EQ(Calls("writer.saveDocument").size(), 2u);
  EXPECT_FALSE(user_.Saw("frmConfirm"));
  EXPECT_TRUE(Messages().empty()) << user_.TranscriptText();

  // Its local copy is deleted with its record.
  app()->ActiveDocument()->Close();
  user_.On("frmopenlocalfiles", {"select locallist \"Tom's & Jerry's \"", "click Delete"});
  user_.On("Frmfileconfirm", {"click Yes"});
  WillReadMessage();
  word().Click("Local &Documents");
  EXPECT_EQ(Messages(), std::vector<std::string>{"frmMsgInfo: The local copy has been deleted."});
  ASSERT_EQ(MapEntries().size(), 1u);
  EXPECT_EQ(MapEntries()[0].name, kName);
}

// Word reads a page in the system's code page unless it declares its own; characters that code
// page lacks arrive all the same.
TEST_F(SpecialNamesTest, TextsOutsideTheCodePageOpenIntact) {
  server_->AddDocument(kUser, "Greeting", "<p>\xE4\xBD\xA0\xE5\xA5\xBD, M\xC3\xBCller</p>");
  server_->AddDocument(kUser, "Gruss", "<p>Gr\xC3\xBC\xC3\x9F Gott</p>");
  SignedInWord();
  OpenFromList(0);
  EXPECT_EQ(ActiveText(), "\xE4\xBD\xA0\xE5\xA5\xBD, M\xC3\xBCller\r");
  OpenFromList(1);
  EXPECT_EQ(ActiveText(), "Gr\xC3\xBC\xC3\x9F Gott\r");
}

}  // namespace tavo::writer::test
