#include "host/console/VisibleText.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// Control characters and bytes that are no UTF-8 reach the terminal only in an escaped form;
// text, line breaks and UTF-8 pass as they are.
TEST(VisibleText, EscapesWhatATerminalWouldTakeAsACommand) {
  struct Case {
    std::string text, shown;
  } cases[] = {
      {"Budget", "Budget"},
      {"Line one\nLine two\tend", "Line one\nLine two\tend"},
      {"\x1b]0;owned\x07", "\\x1b]0;owned\\x07"},    // retitles the window
      {"\x1b[2J\x1b[31mred", "\\x1b[2J\\x1b[31mred"},  // clears the screen, recolours
      {"a\rb", "ab"},                                  // would overwrite the line
      {"back\bspace\x7f", "back\\x08space\\x7f"},
      {"M\xc3\xbcller \xe2\x80\x9cq\xe2\x80\x9d \xf0\x9f\x98\x80", "M\xc3\xbcller \xe2\x80\x9cq\xe2\x80\x9d \xf0\x9f\x98\x80"},
      {"\xc2\x9b" "2J and \xc2\xa0", "\\u009b2J and \xc2\xa0"},  // C1 CSI in UTF-8; a no-break space passes
      {"\x9b" "2J", "\\x9b2J"},                                  // an 8-bit terminal's CSI
      // Bytes that are no UTF-8 character, an 8-bit terminal's CSI among them, however cut.
      {"Q3\xe0\x9b" "2J", "Q3\\xe0\\x9b2J"},                       // a sequence cut short
      {"\xc3" "\x1b", "\\xc3\\x1b"},
      {"\xe0\x80\x9b", "\\xe0\\x80\\x9b"},                          // overlong
      {"\xc0\x9b", "\\xc0\\x9b"},
      {"\xed\xa0\x80", "\\xed\\xa0\\x80"},                          // a surrogate
      {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},                  // past U+10FFFF
      {"caf\xe9 \xa0\xff", "caf\\xe9 \\xa0\\xff"},                   // Latin-1 bytes
      {"end\xe2\x80", "end\\xe2\\x80"},                            // a sequence the text ends in
  };
  for (const auto& c : cases) EXPECT_EQ(host::VisibleText(c.text), c.shown) << c.text;
}

// Text written in pieces comes out as written whole, a UTF-8 sequence split between writes too.
TEST(VisibleText, StreamFiltersAcrossWrites) {
  std::ostringstream out;
  {
    host::VisibleStream visible(out);
    visible << "M\xc3" << std::flush;
    visible << "\xbc" << "ller \xc2" << "\x9b" << '\x07' << 42 << "\n";
    visible << "Q3\xe0" << std::flush << "\x9b" << std::flush << "2J";
  }
  EXPECT_EQ(out.str(), "M\xc3\xbcller \\u009b\\x0742\nQ3\\xe0\\x9b2J");
}

}  // namespace
