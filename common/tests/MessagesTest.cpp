#include "common/Messages.h"

#include <gtest/gtest.h>

#include "common/AddinState.h"
#include "common/dialogs/TestSupport.h"
#include "common/tests/TestEnvironment.h"
#include "platform/core/RuntimeError.h"
#include "platform/forms/ScriptedOperator.h"

namespace tavo {
namespace {

constexpr const char* kEscapedHello = "\\u4f60\\u597d";
constexpr const char* kHello = "\xE4\xBD\xA0\xE5\xA5\xBD";

namespace forms = platform::forms;

struct Shown {
  std::vector<test::SeenMessage> messages;
  std::vector<std::string> status;
};

// The message as the user saw it, each dialog closed with its OK.
Shown Show(const AddinParameterSet& params, const std::string& language, const std::string& text, int kind) {
  test::RecordingHost host;
  AddinState state(params, &host);
  state.gLanguageName = language;
  forms::ScriptedOperator op;
  for (const char* dialog : {"frmMsgInfo", "frmMsgError", "frmMsg"}) op.On(dialog, {"click Command1"});
  ShowMessage(state, text, kind);
  return {test::SeenMessages(op), host.statusTexts};
}

TEST(MessagesTest, WordProcessorKinds) {
  Shown english = Show(kWriterParameters, "english", "Saved.", 0);
  ASSERT_EQ(english.messages.size(), 1u);
  EXPECT_EQ(english.messages[0].dialog, "frmMsgInfo");
  EXPECT_EQ(english.messages[0].text, "Saved.");
  EXPECT_EQ(english.status, (std::vector<std::string>{"Saved.", ""}));  // OK clears it again

  Shown error = Show(kWriterParameters, "english", "Failed.", 1);
  ASSERT_EQ(error.messages.size(), 1u);
  EXPECT_EQ(error.messages[0].dialog, "frmMsgError");

  Shown chinese = Show(kWriterParameters, "chinese", kEscapedHello, 1);
  ASSERT_EQ(chinese.messages.size(), 1u);
  EXPECT_EQ(chinese.messages[0].text, kHello);
  EXPECT_TRUE(chinese.status.empty());  // the status bar keeps its text

  Shown box = Show(kWriterParameters, "chinese", kEscapedHello, 2);  // never decoded
  ASSERT_EQ(box.messages.size(), 1u);
  EXPECT_EQ(box.messages[0].dialog, "MsgBox");
  EXPECT_EQ(box.messages[0].text, kEscapedHello);
  EXPECT_TRUE(box.status.empty());

  EXPECT_TRUE(Show(kWriterParameters, "english", "x", 3).messages.empty());
}

TEST(MessagesTest, SpreadsheetShowsEveryKindInItsOneDialog) {
  for (int kind : {0, 1, 2, 7}) {
    Shown shown = Show(kSheetParameters, "japanese", kEscapedHello, kind);
    ASSERT_EQ(shown.messages.size(), 1u) << kind;
    EXPECT_EQ(shown.messages[0].dialog, "frmMsg") << kind;
    EXPECT_EQ(shown.messages[0].text, kHello) << kind;
  }
  EXPECT_EQ(Show(kSheetParameters, "english", "Done", 2).status, (std::vector<std::string>{"Done", ""}));
}

// Fixed English messages and texts with plain text put in front of a translation are shown in a
// translated interface too, instead of failing on their first non-escape letters.
TEST(MessagesTest, PlainTextInATranslatedInterfaceIsShownAsItStands) {
  struct Case { const char* text; std::string shown; } cases[] = {
      {"Select Tavo FileName", "Select Tavo FileName"},
      {"xlsx\\u6587\\u4ef6", std::string("xlsx") + "\xE6\x96\x87\xE4\xBB\xB6"},
      {"\\U4F60 stays", "\\U4F60 stays"},
  };
  for (const auto& c : cases) {
    Shown shown = Show(kWriterParameters, "chinese", c.text, 0);
    ASSERT_EQ(shown.messages.size(), 1u) << c.text;
    EXPECT_EQ(shown.messages[0].text, c.shown) << c.text;
  }
}

TEST(MessagesTest, StatusBarOnlyInEnglish) {
  test::RecordingHost host;
  AddinState state(kSheetParameters, &host);
  for (const char* language : {"english", "chinese", ""}) {
    state.gLanguageName = language;
    ShowStatus(state, std::string("text in ") + language);
  }
  EXPECT_EQ(host.statusTexts, std::vector<std::string>{"text in english"});
  AddinState noHost(kWriterParameters);
  noHost.gLanguageName = "english";
  ShowStatus(noHost, "nowhere");  // a state without a host shows nothing and does not fail
}

}  // namespace
}  // namespace tavo
