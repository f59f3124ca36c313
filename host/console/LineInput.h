#pragma once
// Where the operator's command lines come from: a stream (a test's script), a file descriptor
// (a script file, a pipe), or a terminal, where the line editor gives cursor keys, history and
// Ctrl-C. Each read also gives way to the signals of Signals.h.
#include <cstdio>
#include <istream>
#include <memory>
#include <string>

namespace host {

class LineInput {
 public:
  enum class Status {
    Line,         // a line (without its line break)
    End,          // the end of the input (Ctrl-D at a terminal)
    Interrupted,  // Ctrl-C at a terminal: the line being typed is dropped
    Stopped,      // a signal asks the host to quit (signals::Stop)
  };
  struct Read {
    Status status = Status::End;
    std::string line;  // Line: the line; Interrupted: what had been typed
  };
  virtual ~LineInput() = default;
  // `prompt` shows only at a terminal.
  virtual Read ReadLine(const std::string& prompt) = 0;
  // A terminal, which shows what is typed.
  virtual bool terminal() const { return false; }
};

std::unique_ptr<LineInput> StreamInput(std::istream& in);
// Reads lines from the descriptor (not a terminal), which stays open.
std::unique_ptr<LineInput> DescriptorInput(int fd);
// The line editor on a terminal: reads `in`, writes the prompt and what is typed to `out`.
std::unique_ptr<LineInput> TerminalInput(std::FILE* in, std::FILE* out);

}  // namespace host
