#pragma once
// What the host prints holds text that others wrote: names, messages and contents that came from
// the service, a document or the registry. A control character in it would reach the user's
// terminal as a command (retitle the window, clear the screen, change colours), so everything
// the host prints passes through this filter, which shows such characters in an escaped form:
// line breaks and tabs pass, carriage returns are dropped, every other C0 control and DEL
// become "\x1b"-style escapes, the C1 controls (U+0080 to U+009F) "\u009b"-style ones, and
// every byte that is not part of a valid UTF-8 sequence "\x9b"-style ones: a sequence cut short,
// overlong, a surrogate or past U+10FFFF, and any stray byte of 0x80 or more (0x9B alone is a
// control to an 8-bit terminal, and a cut sequence must not hide one).
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace host {

// A stream that writes to `target` through the filter. Nothing is held back longer than a
// UTF-8 sequence needs; flushing it flushes `target`.
class VisibleStream final : public std::ostream {
 public:
  explicit VisibleStream(std::ostream& target);
  ~VisibleStream() override;

 private:
  class Filter final : public std::streambuf {
   public:
    explicit Filter(std::streambuf* target) : target_(target) {}
    void Finish();

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

   private:
    void Put(unsigned char c);
    void Escape(const char* format, unsigned value);
    std::streambuf* target_;
    std::string sequence_;  // the UTF-8 sequence begun and not yet complete
    size_t length_ = 0;     // its length once complete
  };
  Filter filter_;
};

// `text` as VisibleStream writes it.
std::string VisibleText(std::string_view text);

}  // namespace host
