#pragma once
// One `tavo-office word|excel` process driven as a user at its terminal would drive it: one
// command line at a time, each answered by what the host printed until it waits for the next
// line. Two of them on one environment root are Word and Excel running side by side on one
// computer, sharing its registry.
//
//   HostProcess excel(bin / "tavo-office", "excel", root);
//   std::string screen = excel.Send("click &Login");   // the screen, with the sign-in dialog
//   excel.Quit();
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tavo::test {

struct Finished {
  int status = -1;  // the exit status, -1 when it did not end by itself within a minute
  std::string output;
};

// Runs the program with the arguments on the environment root to its end.
Finished RunToEnd(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& root);

class HostProcess {
 public:
  HostProcess(const std::filesystem::path& program, const std::string& kind, const std::filesystem::path& root);
  HostProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
              const std::filesystem::path& root);
  ~HostProcess();
  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

  // Everything the host printed after reading `line` (its echo included), up to the moment it
  // asks for the next line: the command's screen, or the dialog the command left open. Fails
  // the test when the host does not get there within a minute.
  std::string Send(const std::string& line) { return Exchange(line, false); }
  // As Send, for a line the host may end on (an answer to the last question of a quit): what it
  // printed until it asks for the next line or its output ends; Ended() tells which.
  std::string SendMayEnd(const std::string& line) { return Exchange(line, true); }
  // Whether the host's output has ended (it quit or died).
  bool Ended() const { return ended_; }
  // "quit", then the exit status (-1 when it did not end within a minute).
  int Quit();
  // No more input: the exit status once the program has ended by itself.
  int End();
  // The process id, -1 once it has ended.
  pid_t pid() const { return pid_; }
  // All the host has printed so far.
  const std::string& Output() const { return output_; }

 private:
  // Reads until `marker` has been printed; false after the time limit or at the end of output.
  bool ReadUntil(const std::string& marker);
  std::string Exchange(const std::string& line, bool mayEnd);
  int Wait();

  pid_t pid_ = -1;
  int toHost_ = -1;
  int fromHost_ = -1;
  std::string output_;
  bool ended_ = false;
  size_t consumed_ = 0;  // what earlier Sends have returned
  int step_ = 0;
};

}  // namespace tavo::test
