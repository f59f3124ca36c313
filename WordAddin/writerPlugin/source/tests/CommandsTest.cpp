// Which command each control runs, the About box, and what the add-in leaves when Word closes.
#include <string>

#include "WordAddin/writerPlugin/source/tests/WriterTestSupport.h"

namespace tavo::writer::test {
namespace {

using CommandsTest = WriterTest;

void ClickControl(host::OfficeSession& word, const office::Ref<office::CommandBarControl>& control) {
  word.bars().Click(std::static_pointer_cast<host::Control>(control.shared()));
}

}  // namespace

// The document commands hand over to the operations class; until it carries them, each says in
// the status bar which command it is.
TEST_F(CommandsTest, EachControlRunsItsCommand) {
  SheetSignedIn("ann@tavo.example", "pw", "T-7");
  StartWord();
  ASSERT_EQ(EnabledStates(), kSignedInWithoutCopies);
  const struct {
    int control;  // 1-8 the menu items, 9-12 the buttons
    const char* status;
  } rows[] = {
      {2, "The document list is not available in this version."},
      {9, "The document list is not available in this version."},
      {4, "Saving in Tavo Writer is not available in this version."},
      {10, "Saving in Tavo Writer is not available in this version."},
      {3, "Adding to Tavo Writer is not available in this version."},
      {11, "Adding to Tavo Writer is not available in this version."},
      {5, "Publishing in Tavo Share is not available in this version."},
  };
  const auto controls = Controls();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.control);
    word().application()->SetStatusBar("");
    ClickControl(word(), controls[row.control - 1]);
    EXPECT_EQ(word().application()->StatusBar(), row.status);
  }
  // The File menu's item opens the list too.
  word().application()->SetStatusBar("");
  ClickControl(word(), word().bars().Item("File")->Controls().Item(3));
  EXPECT_EQ(word().application()->StatusBar(), "The document list is not available in this version.");

  user_.On("frmAboutUs", {"click OK"});
  word().Click("About &Tavo Office Plugin");
  EXPECT_TRUE(user_.Saw("frmAboutUs"));
}

TEST_F(CommandsTest, ClosingWordRemovesTheFileMenuItem) {
  StartWord();
  auto item = word().bars().Item("File")->Controls().Item(3);
  ASSERT_EQ(item->Tag(), "Open from Tavo");
  QuitWord();
  EXPECT_TRUE(item->Deleted());
  // The toolbar is temporary: Word discards it, the add-in leaves it.
  EXPECT_TRUE(HasToolbar());
}

}  // namespace tavo::writer::test
