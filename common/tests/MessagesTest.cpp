#include "common/Messages.h"

#include <gtest/gtest.h>

#include "common/AddinState.h"
#include "common/tests/TestEnvironment.h"
#include "platform/core/RuntimeError.h"

namespace tavo {
namespace {

constexpr const char* kEscapedHello = "\\u4f60\\u597d";
constexpr const char* kHello = "\xE4\xBD\xA0\xE5\xA5\xBD";

struct Shown {
  std::vector<ShownMessage> messages;
  std::vector<std::string> status;
};

Shown Show(const AddinParameterSet& params, const std::string& language, const std::string& text, int kind) {
  test::RecordingHost host;
  AddinState state(params, &host);
  state.gLanguageName = language;
  ShowMessage(state, text, kind);
  return {state.shownMessages, host.statusTexts};
}

TEST(MessagesTest, WordProcessorKinds) {
  Shown english = Show(kWriterParameters, "english", "Saved.", 0);
  ASSERT_EQ(english.messages.size(), 1u);
  EXPECT_EQ(english.messages[0].kind, 0);
  EXPECT_EQ(english.messages[0].label, "Saved.");
  EXPECT_EQ(english.status, std::vector<std::string>{"Saved."});

  Shown chinese = Show(kWriterParameters, "chinese", kEscapedHello, 1);
  ASSERT_EQ(chinese.messages.size(), 1u);
  EXPECT_EQ(chinese.messages[0].label, kHello);
  EXPECT_TRUE(chinese.status.empty());  // the status bar keeps its text

  Shown box = Show(kWriterParameters, "chinese", kEscapedHello, 2);  // never decoded
  ASSERT_EQ(box.messages.size(), 1u);
  EXPECT_EQ(box.messages[0].kind, 2);
  EXPECT_EQ(box.messages[0].label, kEscapedHello);
  EXPECT_TRUE(box.status.empty());

  EXPECT_TRUE(Show(kWriterParameters, "english", "x", 3).messages.empty());
}

TEST(MessagesTest, SpreadsheetShowsEveryKindInItsOneDialog) {
  for (int kind : {0, 1, 2, 7}) {
    Shown shown = Show(kSheetParameters, "japanese", kEscapedHello, kind);
    ASSERT_EQ(shown.messages.size(), 1u) << kind;
    EXPECT_EQ(shown.messages[0].label, kHello) << kind;
  }
  EXPECT_EQ(Show(kSheetParameters, "english", "Done", 2).status, std::vector<std::string>{"Done"});
}

TEST(MessagesTest, TextThatDoesNotDecodeIsATypeMismatch) {
  AddinState state(kWriterParameters);
  state.gLanguageName = "chinese";
  EXPECT_EQ(test::RaisedNumber([&] { ShowMessage(state, "Plain English text", 0); }), platform::err::TypeMismatch);
  EXPECT_TRUE(state.shownMessages.empty());
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
