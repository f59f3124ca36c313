// Which command each control runs, the About box, and what the add-in leaves when Word closes.
#include <string>

#include "WordAddin/writerPlugin/source/tests/ServiceFixture.h"

namespace tavo::writer::test {
namespace {

using CommandsTest = WriterTest;
using DocumentCommandsTest = ServiceTest;

void ClickControl(host::OfficeSession& word, const office::Ref<office::CommandBarControl>& control) {
  word.bars().Click(std::static_pointer_cast<host::Control>(control.shared()));
}

}  // namespace

// Each control reaches its command: the Open controls show the list, and the other document
// commands, given a document that was never saved, say what they need first.
TEST_F(DocumentCommandsTest, EachControlRunsItsCommand) {
  const std::string ticket = server_->SignIn(kUser);
  SheetSignedIn(kUser, kPassword, ticket);
  StartWord();
  ASSERT_EQ(EnabledStates(), kSignedInWithoutCopies);
  word().word()->Documents().Add();
  const struct {
    int control;  // 1-8 the menu items, 9-12 the buttons
    const char* message;  // "" the list comes up
  } rows[] = {
      {2, ""},
      {9, ""},
      {4, "Please save the document on this computer first."},
      {10, "Please save the document on this computer first."},
      {5, "Please save the document on this computer first."},
      {3, "Save the document on this computer before adding it to Tavo Writer."},
      {11, "Save the document on this computer before adding it to Tavo Writer."},
  };
  const auto controls = Controls();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.control);
    const int lists = user_.TimesShown("frmDocList");
    const size_t messages = Messages().size();
    if (*row.message) WillReadMessage();
    else user_.On("frmDocList", {"click Cancel"});
    ClickControl(word(), controls[row.control - 1]);
    if (*row.message) {
      ASSERT_EQ(Messages().size(), messages + 1);
      EXPECT_EQ(Messages().back(), "frmMsgInfo: " + std::string(row.message));
    } else {
      EXPECT_EQ(user_.TimesShown("frmDocList"), lists + 1);
    }
  }
  // The File menu's item opens the list too.
  user_.On("frmDocList", {"click Cancel"});
  ClickControl(word(), word().bars().Item("File")->Controls().Item(3));
  EXPECT_EQ(user_.TimesShown("frmDocList"), 3);

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
