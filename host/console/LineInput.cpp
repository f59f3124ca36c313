#include "host/console/LineInput.h"

#include <histedit.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cwchar>
#include <initializer_list>
#include <utility>

#include "host/console/Signals.h"
#include "platform/codepage/Utf.h"

namespace host {
namespace {

using Status = LineInput::Status;

LineInput::Read Stopped() { return {Status::Stopped, {}}; }

class Stream final : public LineInput {
 public:
  explicit Stream(std::istream& in) : in_(in) {}
  Read ReadLine(const std::string&) override {
    if (signals::Stop()) return Stopped();
    Read read;
    if (!std::getline(in_, read.line)) return {Status::End, {}};
    read.status = Status::Line;
    return read;
  }

 private:
  std::istream& in_;
};

// Waits until `fd` can be read or a signal has come; false for the signal.
bool WaitFor(int fd) {
  while (true) {
    pollfd waits[2] = {{fd, POLLIN, 0}, {signals::WakeFd(), POLLIN, 0}};
    const int n = ::poll(waits, signals::WakeFd() < 0 ? 1 : 2, -1);
    if (n < 0 && errno != EINTR) return true;  // the read that follows tells what is wrong
    if (signals::Stop() || (waits[1].revents & POLLIN)) return false;
    if (n > 0) return true;
  }
}

class Descriptor final : public LineInput {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Read ReadLine(const std::string&) override {
    while (true) {
      if (signals::Stop()) return Stopped();
      const size_t end = buffer_.find('\n');
      if (end != std::string::npos) {
        Read read{Status::Line, buffer_.substr(0, end)};
        buffer_.erase(0, end + 1);
        return read;
      }
      if (ended_) {
        if (buffer_.empty()) return {Status::End, {}};
        return {Status::Line, std::exchange(buffer_, {})};  // a last line without its break
      }
      if (!WaitFor(fd_)) {
        signals::Drain();
        continue;
      }
      char chunk[4096];
      const ssize_t n = ::read(fd_, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) ended_ = true;
      else buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

 private:
  int fd_;
  std::string buffer_;
  bool ended_ = false;
};

// What the editor leaves of a line is text: a control character (a key it does not know,
// pasted escapes) must not reach a document or a dialog. Tabs stay: they part words.
std::string LineText(const wchar_t* from, const wchar_t* to) {
  std::string line;
  for (const wchar_t* p = from; p < to; ++p) {
    if (*p == L'\n' || *p == L'\r') continue;
    if ((*p < 0x20 && *p != L'\t') || (*p >= 0x7F && *p < 0xA0)) continue;
    platform::codepage::utf::Append(static_cast<char32_t>(*p), line);
  }
  return line;
}

class Terminal final : public LineInput {
 public:
  Terminal(std::FILE* in, std::FILE* out) : inFd_(::fileno(in)) {
    // The editor measures and shows characters by the locale; the host's text is UTF-8.
    if (!std::setlocale(LC_CTYPE, "") || MB_CUR_MAX == 1) std::setlocale(LC_CTYPE, "C.UTF-8");
    editor_ = el_init("tavo-office", in, out, stderr);
    history_ = history_winit();
    HistEventW event;
    history_w(history_, &event, H_SETSIZE, 500);
    history_w(history_, &event, H_SETUNIQUE, 1);
    el_wset(editor_, EL_CLIENTDATA, this);
    el_wset(editor_, EL_EDITOR, L"emacs");
    el_wset(editor_, EL_SIGNAL, 0);  // the host's own handlers (Signals.h)
    el_wset(editor_, EL_HIST, history_w, history_);
    el_wset(editor_, EL_PROMPT, &Terminal::Prompt);
    el_wset(editor_, EL_GETCFN, &Terminal::GetChar);
    // Keys the editor has no use for send sequences it does not know, whose tail it would
    // type: Insert, Page Up and Down, F1 to F12 do nothing.
    for (const wchar_t* key : {L"\\e[2~", L"\\e[5~", L"\\e[6~", L"\\eOP", L"\\eOQ", L"\\eOR", L"\\eOS", L"\\e[15~",
                               L"\\e[17~", L"\\e[18~", L"\\e[19~", L"\\e[20~", L"\\e[21~", L"\\e[23~", L"\\e[24~"})
      el_wset(editor_, EL_BIND, key, L"ed-unassigned", nullptr);
    // Ctrl with Left or Right goes a word.
    el_wset(editor_, EL_BIND, L"\\e[1;5D", L"ed-prev-word", nullptr);
    el_wset(editor_, EL_BIND, L"\\e[1;5C", L"em-next-word", nullptr);
  }
  ~Terminal() override {
    el_end(editor_);
    history_wend(history_);
  }
  bool terminal() const override { return true; }

  Read ReadLine(const std::string& prompt) override {
    if (signals::Stop()) return Stopped();
    prompt_.clear();
    for (unsigned char c : prompt) prompt_ += static_cast<wchar_t>(c);  // prompts are ASCII
    signals::TakeInterrupt();  // a Ctrl-C while a command ran is not one for this line
    el_resize(editor_);
    int count = 0;
    const wchar_t* typed = el_wgets(editor_, &count);
    if (signals::Stop()) return Stopped();
    if (signals::TakeInterrupt() || cancelled_) {
      cancelled_ = false;
      const LineInfoW* info = el_wline(editor_);
      Read read{Status::Interrupted, LineText(info->buffer, info->lastchar)};
      // The next line starts empty.
      el_reset(editor_);
      return read;
    }
    if (!typed || count <= 0) return {Status::End, {}};
    std::string line = LineText(typed, typed + count);
    if (!line.empty()) {
      HistEventW event;
      std::wstring entry(typed, static_cast<size_t>(count));
      if (!entry.empty() && entry.back() == L'\n') entry.pop_back();
      history_w(history_, &event, H_ENTER, entry.c_str());
    }
    return {Status::Line, line};
  }

 private:
  static Terminal& Of(EditLine* editor) {
    Terminal* self = nullptr;
    el_wget(editor, EL_CLIENTDATA, &self);
    return *self;
  }
  static wchar_t* Prompt(EditLine* editor) { return Of(editor).prompt_.data(); }

  // One character; a signal ends the read (-1), which ends the line being read.
  static int GetChar(EditLine* editor, wchar_t* c) {
    Terminal& self = Of(editor);
    std::mbstate_t state{};
    while (true) {
      if (!WaitFor(self.inFd_)) {
        signals::Drain();
        if (signals::Stop() || signals::TakeInterrupt()) {
          self.cancelled_ = !signals::Stop();
          errno = EINTR;
          return -1;
        }
        continue;
      }
      char byte;
      const ssize_t n = ::read(self.inFd_, &byte, 1);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return n == 0 ? 0 : -1;
      const size_t got = std::mbrtowc(c, &byte, 1, &state);
      if (got == static_cast<size_t>(-2)) continue;  // more bytes of the character to come
      if (got == static_cast<size_t>(-1)) {
        state = {};
        continue;  // not a character: dropped
      }
      return 1;
    }
  }

  int inFd_;
  EditLine* editor_ = nullptr;
  HistoryW* history_ = nullptr;
  std::wstring prompt_;
  bool cancelled_ = false;
};

}  // namespace

std::unique_ptr<LineInput> StreamInput(std::istream& in) { return std::make_unique<Stream>(in); }
std::unique_ptr<LineInput> DescriptorInput(int fd) { return std::make_unique<Descriptor>(fd); }
std::unique_ptr<LineInput> TerminalInput(std::FILE* in, std::FILE* out) { return std::make_unique<Terminal>(in, out); }

}  // namespace host
