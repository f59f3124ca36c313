#pragma once
// The one way a command line is cut into words, for the host's commands and the dialogs'
// actions alike: words end at a blank or a tab; a word in double quotes may hold blanks, and
// \" and \\ inside it stand for " and \ (any other backslash stays as it is, so a quoted
// Windows path reads as written). A text argument is the rest of the line, or one quoted text.
//
//   CommandWords words(R"(cell B3 "Tokyo Osaka")");
//   words.Next().text;  // "cell"
//   words.Next().text;  // "B3"
//   words.Rest();       // "Tokyo Osaka"
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform::forms {

struct CommandWord {
  std::string text;
  bool quoted = false;
};

// A line that cannot be cut into words; what() says why ("a quoted text is not closed").
class CommandLineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class CommandWords {
 public:
  explicit CommandWords(std::string_view line) : line_(line) {}

  bool AtEnd();
  // The next word (empty at the end of the line).
  CommandWord Next();
  // The rest of the line as a text: one quoted text (nothing may follow it), or everything
  // after the one blank that ends the word before, as typed.
  std::string Rest();
  // Where the next word starts (after the blanks before it).
  size_t Position() {
    SkipBlanks();
    return pos_;
  }

 private:
  void SkipBlanks();
  std::string_view line_;
  size_t pos_ = 0;
};

// A word as CommandWords reads it back: bare when it can be, quoted otherwise.
std::string QuotedWord(std::string_view word);
// Always in quotes, with " and \ escaped.
std::string AlwaysQuoted(std::string_view word);

}  // namespace platform::forms
