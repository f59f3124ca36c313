#include "platform/forms/CommandWords.h"

namespace platform::forms {
namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

void CommandWords::SkipBlanks() {
  while (pos_ < line_.size() && Blank(line_[pos_])) ++pos_;
}

bool CommandWords::AtEnd() {
  SkipBlanks();
  return pos_ >= line_.size();
}

CommandWord CommandWords::Next() {
  SkipBlanks();
  CommandWord w;
  if (pos_ < line_.size() && line_[pos_] == '"') {
    w.quoted = true;
    ++pos_;
    while (true) {
      if (pos_ >= line_.size()) throw CommandLineError("a quoted text is not closed");
      char c = line_[pos_++];
      if (c == '"') break;
      if (c == '\\' && pos_ < line_.size() && (line_[pos_] == '"' || line_[pos_] == '\\')) c = line_[pos_++];
      w.text += c;
    }
    if (pos_ < line_.size() && !Blank(line_[pos_])) throw CommandLineError("a blank must follow a quoted text");
    return w;
  }
  while (pos_ < line_.size() && !Blank(line_[pos_])) w.text += line_[pos_++];
  return w;
}

std::string CommandWords::Rest() {
  if (pos_ < line_.size() && Blank(line_[pos_])) ++pos_;
  if (pos_ < line_.size() && line_[pos_] == '"') {
    CommandWord w = Next();
    if (!AtEnd()) throw CommandLineError("nothing may follow the quoted text");
    return w.text;
  }
  std::string rest(line_.substr(pos_));
  pos_ = line_.size();
  return rest;
}

std::string AlwaysQuoted(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string QuotedWord(std::string_view s) {
  bool plain = !s.empty() && s.find_first_of(" \t\"\\") == std::string_view::npos;
  return plain ? std::string(s) : AlwaysQuoted(s);
}

}  // namespace platform::forms
