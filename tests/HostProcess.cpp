#include "tests/HostProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <vector>

extern char** environ;

namespace tavo::test {
namespace {

constexpr auto kLimit = std::chrono::minutes(1);

void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return;  // the host has gone; what it printed tells why
    done += static_cast<size_t>(n);
  }
}

}  // namespace

HostProcess::HostProcess(const std::filesystem::path& program, const std::string& kind,
                         const std::filesystem::path& root)
    : HostProcess(program, std::vector<std::string>{kind}, root) {}

HostProcess::HostProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& root) {
  // A host that has gone must not take the test with it when a line is written to it.
  ::signal(SIGPIPE, SIG_IGN);
  int toHost[2], fromHost[2];
  if (::pipe2(toHost, O_CLOEXEC) != 0 || ::pipe2(fromHost, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "no pipes: " << std::strerror(errno);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toHost[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromHost[1], 1);
  posix_spawn_file_actions_adddup2(&actions, fromHost[1], 2);

  std::vector<std::string> variables;
  for (char** e = environ; *e; ++e)
    if (std::strncmp(*e, "TAVO_ROOT=", 10) != 0 && std::strncmp(*e, "TAVO_OFFICE_SCREENS=", 20) != 0)
      variables.emplace_back(*e);
  variables.push_back("TAVO_ROOT=" + root.string());
  // The whole screen after every command, which is what Send gives the tests.
  variables.push_back("TAVO_OFFICE_SCREENS=full");
  std::vector<char*> envp;
  for (std::string& v : variables) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string path = program.string();
  std::vector<std::string> words = arguments;
  std::vector<char*> argv{path.data()};
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  const int rc = ::posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(toHost[0]);
  ::close(fromHost[1]);
  toHost_ = toHost[1];
  fromHost_ = fromHost[0];
  if (rc != 0) {
    pid_ = -1;
    ADD_FAILURE() << "cannot start " << path << ": " << std::strerror(rc);
  }
}

HostProcess::~HostProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (toHost_ >= 0) ::close(toHost_);
  if (fromHost_ >= 0) ::close(fromHost_);
}

bool HostProcess::ReadUntil(const std::string& marker) {
  const auto deadline = std::chrono::steady_clock::now() + kLimit;
  while (marker.empty() || output_.find(marker, consumed_) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fromHost_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[8192];
    const ssize_t n = ::read(fromHost_, buffer, sizeof buffer);
    if (n <= 0) {
      ended_ = true;
      return marker.empty();
    }
    output_.append(buffer, static_cast<size_t>(n));
  }
  return true;
}

// The host echoes every line it reads and flushes before it reads the next one, so the echo of
// a comment line sent after the command shows that the command is over and the host waits.
std::string HostProcess::Exchange(const std::string& line, bool mayEnd) {
  const std::string marker = "> # step " + std::to_string(++step_) + "\n";
  WriteAll(toHost_, line + "\n" + marker.substr(2));
  if (!ReadUntil(marker)) {
    if (!mayEnd || !ended_)
      ADD_FAILURE() << "the host did not finish \"" << line << "\"; it printed:\n" << output_.substr(consumed_);
    std::string printed = output_.substr(consumed_);
    consumed_ = output_.size();
    return printed;
  }
  const size_t end = output_.find(marker, consumed_);
  std::string printed = output_.substr(consumed_, end - consumed_);
  consumed_ = end + marker.size();
  return printed;
}

int HostProcess::Wait() {
  int status = 0;
  if (::waitpid(pid_, &status, 0) != pid_) return -1;
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int HostProcess::Quit() {
  WriteAll(toHost_, "quit\n");
  return End();
}

int HostProcess::End() {
  ::close(toHost_);
  toHost_ = -1;
  if (!ReadUntil("")) {
    ADD_FAILURE() << "the program did not end; it printed:\n" << output_.substr(consumed_);
    return -1;
  }
  return Wait();
}

Finished RunToEnd(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                  const std::filesystem::path& root) {
  HostProcess run(program, arguments, root);
  Finished finished;
  finished.status = run.End();
  finished.output = run.Output();
  return finished;
}

}  // namespace tavo::test
