// tavo-office at a terminal, as a person runs it by hand: on a pseudo-terminal (which echoes what
// is typed, as a terminal does), and the text it prints that came from the service.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "tests/EndToEnd.h"

extern char** environ;

namespace tavo::test {
namespace {

// tavo-office word|excel with a pseudo-terminal as its input and output.
class TerminalHost {
 public:
  TerminalHost(const std::filesystem::path& program, const std::string& kind, const std::filesystem::path& root) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
      ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
      return;
    }
    const std::string terminal = ::ptsname(master_);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);  // the terminal becomes its own
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2}) posix_spawn_file_actions_addopen(&actions, fd, terminal.c_str(), O_RDWR, 0);
    std::vector<std::string> variables{"TAVO_ROOT=" + root.string()};
    for (char** e = environ; *e; ++e)
      if (std::strncmp(*e, "TAVO_", 5) != 0) variables.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string path = program.string(), verb = kind;
    char* argv[] = {path.data(), verb.data(), nullptr};
    const int rc = ::posix_spawn(&pid_, path.c_str(), &actions, &attributes, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) {
      pid_ = -1;
      ADD_FAILURE() << "cannot start " << path << ": " << std::strerror(rc);
    }
  }
  ~TerminalHost() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }

  // What the host printed (and the terminal echoed) until `marker`, which ends it.
  std::string ReadUntil(const std::string& marker) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    size_t at;
    while ((at = output_.find(marker)) == std::string::npos) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      pollfd p{master_, POLLIN, 0};
      if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) break;
      char buffer[4096];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      output_.append(buffer, static_cast<size_t>(n));
    }
    if (at == std::string::npos) {
      ADD_FAILURE() << "no \"" << marker << "\" in:\n" << output_;
      return std::exchange(output_, {});
    }
    std::string read = output_.substr(0, at + marker.size());
    output_.erase(0, at + marker.size());
    return read;
  }
  void Type(const std::string& keys) {
    if (::write(master_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) ADD_FAILURE() << "cannot type";
  }
  int Wait() {
    int status = 0;
    if (::waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  std::string output_;
};

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

using TerminalUse = EndToEndTest;

}  // namespace

// The host shows a prompt when it waits, prints once what was typed (the terminal's echo), then
// what the command changed; Ctrl-D at the prompt quits as "quit" does, asking about unsaved changes.
TEST_F(TerminalUse, PromptsShowsEachLineOnceAndAsksBeforeQuittingAtEndOfInput) {
  TerminalHost word(bin_ / "tavo-office", "word", root_);
  const std::string start = word.ReadUntil("Word> ");
  EXPECT_NE(start.find("==== Word ===="), std::string::npos) << start;
  EXPECT_NE(start.find("Toolbar \"Tavo Writer Word Add-In\""), std::string::npos) << start;

  word.Type("new\n");
  const std::string created = word.ReadUntil("Word> ");
  EXPECT_EQ(Count(created, "new"), 1u) << created;
  EXPECT_EQ(created.find("> new"), std::string::npos) << created;
  EXPECT_NE(created.find("Documents: *Document1"), std::string::npos) << created;
  EXPECT_EQ(created.find("Toolbar"), std::string::npos) << created;  // it did not change

  word.Type("type Hello\n");
  EXPECT_NE(word.ReadUntil("Word> ").find("Text: Hello"), std::string::npos);
  word.Type("\x04");  // Ctrl-D
  const std::string question = word.ReadUntil("]> ");
  EXPECT_NE(question.find("quit"), std::string::npos) << question;
  EXPECT_NE(question.find("Do you want to save the changes"), std::string::npos) << question;
  word.Type("click No\n");
  EXPECT_NE(word.ReadUntil("Bye.").find("click No"), std::string::npos);
  EXPECT_EQ(word.Wait(), 0);
}

// A document name from the service holding terminal control sequences (a window title set by
// ESC ] ... BEL, a screen clear, the 8-bit CSI byte behind a cut UTF-8 sequence) reaches the
// screen escaped, never as the sequence itself.
TEST_F(TerminalUse, ControlCharactersFromTheServiceAreShownEscaped) {
  server_->AddAccount("ann@tavo.example", "Secret-1");
  server_->AddDocument("ann@tavo.example", "Plan\x1b]0;owned\x07\x1b[2J", "<html><body><p>x</p></body></html>");
  server_->AddDocument("ann@tavo.example", "Q3\xe0\x9b" "2J", "<html><body><p>x</p></body></html>");
  HostProcess word(bin_ / "tavo-office", "word", root_);
  word.Send("click &Login");
  word.Send("type tavoemailid ann@tavo.example");
  word.Send("type tavopassword Secret-1");
  word.Send("click Command1");
  const std::string list = word.Send("click &Open Document");
  EXPECT_NE(list.find("Plan\\x1b]0;owned\\x07\\x1b[2J"), std::string::npos) << list;
  EXPECT_NE(list.find("Q3\\xe0\\x9b2J"), std::string::npos) << list;
  word.Send("close");
  word.Quit();
  EXPECT_EQ(word.Output().find_first_of("\x1b\x07\x9b"), std::string::npos) << word.Output();
}

// A host on a root where nothing is registered for it says so, rather than starting bare in silence.
TEST_F(TerminalUse, HostWithoutAddinsSaysHowToRegisterOne) {
  const Finished bare = RunToEnd(bin_ / "tavo-office", {"excel"}, root_ / "bare");
  EXPECT_EQ(bare.status, 0) << bare.output;
  EXPECT_NE(bare.output.find("No add-in is registered for Excel (tavo-office register LIBRARY registers one).\n"),
            std::string::npos)
      << bare.output;
}

// The service's files that cannot be written end it with the cause and status 1, not an abort.
TEST_F(TerminalUse, ServiceEndsWithTheCauseWhenItCannotWriteItsFiles) {
  const std::string file = (root_ / "a-file").string();
  std::ofstream(file) << "not a folder";
  for (const char* option : {"--hosts-out", "--ca-out"}) {
    const Finished run = RunToEnd(bin_ / "tavo-service", {option, file + "/etc/out"}, root_);
    EXPECT_EQ(run.status, 1) << option << ": " << run.output;
    EXPECT_NE(run.output.find("tavo-service: cannot write the "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(file + "/etc/out: cannot make its folder"), std::string::npos) << run.output;
  }
}

}  // namespace tavo::test
