#include "platform/core/RuntimeError.h"
#include "platform/forms/Controls.h"

namespace platform::forms {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

int CountCharacters(std::string_view s) {
  int n = 0;
  for (char c : s)
    if (!IsContinuation(c)) ++n;
  return n;
}

// Byte offset of character `index` (the end when past it).
size_t ByteOffset(std::string_view s, int index) {
  size_t i = 0;
  for (int seen = 0; i < s.size(); ++i) {
    if (IsContinuation(s[i])) continue;
    if (seen++ == index) return i;
  }
  return s.size();
}

}  // namespace

TextBox::TextBox(Form& form, std::string name, std::string text) : Control(form, std::move(name)) {
  state_->text = std::move(text);
}
TextBox::TextBox(Frame& frame, std::string name, std::string text) : Control(frame, std::move(name)) {
  state_->text = std::move(text);
}

const std::string& TextBox::Text() const { Touch(); return state_->text; }

void TextBox::SetText(std::string_view text) {
  Touch();
  bool changed = text != state_->text;
  state_->text = text;
  state_->selStart = 0;
  state_->selLength = 0;
  if (changed) Fire(onChange);
}

const std::string& TextBox::PasswordChar() const { Touch(); return state_->passwordChar; }
void TextBox::SetPasswordChar(std::string_view c) { Touch(); state_->passwordChar = c; }
int TextBox::MaxLength() const { Touch(); return state_->maxLength; }
void TextBox::SetMaxLength(int n) {
  Touch();
  if (n < 0) platform::Raise(err::InvalidPropertyValue, "Invalid property value");
  state_->maxLength = n;
}
bool TextBox::Locked() const { Touch(); return state_->locked; }
void TextBox::SetLocked(bool v) { Touch(); state_->locked = v; }

int TextBox::SelStart() const { Touch(); return state_->selStart; }
int TextBox::SelLength() const { Touch(); return state_->selLength; }

std::string TextBox::SelText() const {
  Touch();
  size_t b = ByteOffset(state_->text, state_->selStart);
  size_t e = ByteOffset(state_->text, state_->selStart + state_->selLength);
  return state_->text.substr(b, e - b);
}

void TextBox::SetSelStart(int start) {
  Touch();
  if (start < 0) platform::Raise(err::InvalidPropertyValue, "Invalid property value");
  state_->selStart = std::min(start, CountCharacters(state_->text));
  state_->selLength = 0;
}

void TextBox::SetSelLength(int length) {
  Touch();
  if (length < 0) platform::Raise(err::InvalidPropertyValue, "Invalid property value");
  state_->selLength = std::min(length, CountCharacters(state_->text) - state_->selStart);
}

void TextBox::SetSelText(std::string_view text) {
  Touch();
  Replace(state_->selStart, state_->selLength, text);
}

void TextBox::Replace(int start, int length, std::string_view with) {
  size_t b = ByteOffset(state_->text, start);
  size_t e = ByteOffset(state_->text, start + length);
  std::string next = state_->text.substr(0, b);
  next.append(with).append(state_->text.substr(e));
  bool changed = next != state_->text;
  state_->text = std::move(next);
  state_->selStart = start + CountCharacters(with);
  state_->selLength = 0;
  if (changed) Fire(onChange);
}

std::string TextBox::DisplayText() const {
  Touch();
  if (state_->passwordChar.empty()) return state_->text;
  std::string shown;
  for (int i = CountCharacters(state_->text); i > 0; --i) shown += state_->passwordChar;
  return shown;
}

int TextBox::LengthInCharacters() const { Touch(); return CountCharacters(state_->text); }


}  // namespace platform::forms
