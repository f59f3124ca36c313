#include "platform/forms/ActionCommands.h"

#include <gtest/gtest.h>

#include "platform/forms/Operator.h"

namespace platform::forms {
namespace {

using Verb = Action::Verb;

TEST(Commands, ParsesEveryActionAndWritesItBack) {
  struct Case {
    const char* line;
    Verb verb;
    const char* target;
    const char* text;
    long number;
    const char* written;  // FormatAction's line, when it differs from `line`
  } cases[] = {
      {"click Command1", Verb::Click, "Command1", "", -1, nullptr},
      {"CLICK \"New Tavo User? Sign Up\"", Verb::Click, "New Tavo User? Sign Up", "", -1, "click \"New Tavo User? Sign Up\""},
      {"type tavoemailid user@example.com", Verb::Type, "tavoemailid", "user@example.com", -1, nullptr},
      {"type searchtxt two words \"quoted\" inside", Verb::Type, "searchtxt", "two words \"quoted\" inside", -1, nullptr},
      {"type searchtxt \" padded \"", Verb::Type, "searchtxt", " padded ", -1, nullptr},
      {"type searchtxt \"say \\\"hi\\\" \\\\ bye\"", Verb::Type, "searchtxt", "say \"hi\" \\ bye", -1,
       "type searchtxt say \"hi\" \\ bye"},
      {"type searchtxt \"\"", Verb::Type, "searchtxt", "", -1, nullptr},
      {"key tavopassword 13", Verb::Key, "tavopassword", "", 13, nullptr},
      {"key listdoc Space", Verb::Key, "listdoc", "", 32, "key listdoc 32"},
      {"key esc", Verb::Key, "", "", 27, "key 27"},
      {"select listdoc 2", Verb::Select, "listdoc", "", 2, nullptr},
      {"select listdoc \"My notes\"", Verb::Select, "listdoc", "My notes", -1, nullptr},
      {"select listdoc \"12\"", Verb::Select, "listdoc", "12", -1, nullptr},
      {"dblclick listdoc", Verb::DblClick, "listdoc", "", -1, nullptr},
      {"dblclick listdoc 0", Verb::DblClick, "listdoc", "", 0, nullptr},
      {"check rememberme", Verb::Check, "rememberme", "", -1, nullptr},
      {"uncheck rememberme", Verb::Uncheck, "rememberme", "", -1, nullptr},
      {"option Option7", Verb::Option, "Option7", "", -1, nullptr},
      {"hover LblLink", Verb::Hover, "LblLink", "", -1, nullptr},
      {"hover", Verb::Hover, "", "", -1, nullptr},
      {"  focus\tsearchtxt  ", Verb::Focus, "searchtxt", "", -1, "focus searchtxt"},
      {"clear searchtxt", Verb::Clear, "searchtxt", "", -1, nullptr},
      {"close", Verb::Close, "", "", -1, nullptr},
      {"wait 500", Verb::Wait, "", "", 500, nullptr},
  };
  for (const auto& c : cases) {
    Action a = ParseAction(c.line);
    EXPECT_EQ(a.verb, c.verb) << c.line;
    EXPECT_EQ(a.target, c.target) << c.line;
    EXPECT_EQ(a.text, c.text) << c.line;
    EXPECT_EQ(a.number, c.number) << c.line;
    std::string written = FormatAction(a);
    EXPECT_EQ(written, c.written ? c.written : c.line);
    Action again = ParseAction(written);
    EXPECT_EQ(again.target, a.target) << written;
    EXPECT_EQ(again.text, a.text) << written;
    EXPECT_EQ(again.number, a.number) << written;
  }
}

TEST(Commands, RejectsLinesThatAreNoAction) {
  struct Case {
    const char* line;
    const char* reason;
  } cases[] = {
      {"", "it is empty"},
      {"press Command1",
       "\"press\" is not an action; a dialog takes click, dblclick, focus, type, clear, key, select, check, uncheck, "
       "option, hover, close, wait"},
      {"click", "it names no control"},
      {"click a b", "there is more than the action takes; a name or entry with blanks goes in double quotes: click \"a b\""},
      {"type", "it names no control"},
      {"key Command1 enterr", "\"enterr\" is not a key code or key name"},
      {"key", "it gives no key"},
      {"select listdoc", "it gives no entry"},
      {"select listdoc -1", "entry numbers start at 0"},
      {"wait soon", "\"soon\" is not a number of milliseconds"},
      {"wait -5", "\"-5\" is not a number of milliseconds"},
      {"click \"unclosed", "a quoted text is not closed"},
      {"click \"a\"b", "a blank must follow a quoted text"},
      {"close now", "there is more than the action takes"},
  };
  for (const auto& c : cases) {
    try {
      ParseAction(c.line);
      ADD_FAILURE() << "accepted: " << c.line;
    } catch (const OperatorError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Cannot read the action \"") + c.line + "\": " + c.reason);
    }
  }
}

}  // namespace
}  // namespace platform::forms
