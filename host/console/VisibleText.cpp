#include "host/console/VisibleText.h"

#include <cstdio>
#include <sstream>
#include <utility>

namespace host {

VisibleStream::VisibleStream(std::ostream& target) : std::ostream(nullptr), filter_(target.rdbuf()) {
  rdbuf(&filter_);
}

VisibleStream::~VisibleStream() { filter_.Finish(); }

void VisibleStream::Filter::Escape(const char* format, unsigned value) {
  char escaped[8];
  const int n = std::snprintf(escaped, sizeof escaped, format, value);
  target_->sputn(escaped, n);
}

namespace {

// The range the byte after a lead byte must lie in for the sequence to be UTF-8: overlong forms,
// surrogates and code points past U+10FFFF are not.
std::pair<unsigned char, unsigned char> SecondByteRange(unsigned char lead) {
  switch (lead) {
    case 0xE0: return {0xA0, 0xBF};
    case 0xED: return {0x80, 0x9F};
    case 0xF0: return {0x90, 0xBF};
    case 0xF4: return {0x80, 0x8F};
    default: return {0x80, 0xBF};
  }
}

}  // namespace

void VisibleStream::Filter::Put(unsigned char c) {
  if (!sequence_.empty()) {
    const auto lead = static_cast<unsigned char>(sequence_[0]);
    const auto [low, high] =
        sequence_.size() == 1 ? SecondByteRange(lead) : std::pair<unsigned char, unsigned char>{0x80, 0xBF};
    if (c >= low && c <= high) {
      sequence_ += static_cast<char>(c);
      if (sequence_.size() < length_) return;
      const auto second = static_cast<unsigned char>(sequence_[1]);
      if (lead == 0xC2 && second < 0xA0) Escape("\\u%04x", second);
      else target_->sputn(sequence_.data(), static_cast<std::streamsize>(sequence_.size()));
      sequence_.clear();
      return;
    }
    Finish();  // not UTF-8: the bytes begun are shown escaped, and `c` stands on its own
  }
  if (c >= 0xC2 && c <= 0xF4) {
    sequence_ = static_cast<char>(c);
    length_ = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  } else if (c == '\n' || c == '\t' || (c >= 0x20 && c < 0x7F)) {
    target_->sputc(static_cast<char>(c));
  } else if (c != '\r') {
    Escape("\\x%02x", c);
  }
}

// What is left of a sequence begun is no UTF-8 character.
void VisibleStream::Filter::Finish() {
  for (const char b : sequence_) Escape("\\x%02x", static_cast<unsigned char>(b));
  sequence_.clear();
}

VisibleStream::Filter::int_type VisibleStream::Filter::overflow(int_type c) {
  if (!traits_type::eq_int_type(c, traits_type::eof())) Put(static_cast<unsigned char>(traits_type::to_char_type(c)));
  return traits_type::not_eof(c);
}

std::streamsize VisibleStream::Filter::xsputn(const char* s, std::streamsize n) {
  for (std::streamsize i = 0; i < n; ++i) Put(static_cast<unsigned char>(s[i]));
  return n;
}

int VisibleStream::Filter::sync() { return target_->pubsync(); }

std::string VisibleText(std::string_view text) {
  std::ostringstream out;
  {
    VisibleStream visible(out);
    visible << text;
  }
  return out.str();
}

}  // namespace host
