#include "tests/reliability/KillLoop.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <thread>

namespace tavo::test {
namespace {

using Clock = std::chrono::steady_clock;

// Runs the updates and reports each one done by a byte on the pipe; never returns.
[[noreturn]] void RunChild(int child, int progress, const std::function<void(int, long)>& update) {
  try {
    for (long step = 0;; ++step) {
      update(child, step);
      const char done = 1;
      if (::write(progress, &done, 1) != 1) ::_exit(3);
    }
  } catch (...) {
    ::_exit(2);
  }
}

// How long one update takes here: the child's first few, timed through the pipe.
Clock::duration TimeOfOneUpdate(int progress, int updates) {
  const Clock::time_point start = Clock::now();
  char done;
  int seen = 0;
  while (seen < updates && ::read(progress, &done, 1) == 1) ++seen;
  return seen == 0 ? Clock::duration::zero() : (Clock::now() - start) / seen;
}

}  // namespace

KillLoopResult KillRepeatedly(int kills, const std::function<void(int, long)>& update,
                              const std::function<bool()>& check, unsigned seed) {
  KillLoopResult result;
  std::mt19937 random(seed);
  Clock::duration oneUpdate = Clock::duration::zero();
  for (int n = 0; n < kills; ++n) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {result.kills, "no pipe"};
    const pid_t pid = ::fork();
    if (pid < 0) return {result.kills, "no fork"};
    if (pid == 0) {
      ::close(pipeFds[0]);
      RunChild(n, pipeFds[1], update);
    }
    ::close(pipeFds[1]);
    if (n == 0) {
      oneUpdate = TimeOfOneUpdate(pipeFds[0], 3);
    } else {
      // Up to two updates done, then a pause of up to one and a half updates.
      char done;
      for (int k = std::uniform_int_distribution<int>(0, 2)(random); k > 0 && ::read(pipeFds[0], &done, 1) == 1; --k) {
      }
      const auto spread = std::max<Clock::duration::rep>(1, oneUpdate.count() * 3 / 2);
      std::this_thread::sleep_for(Clock::duration(std::uniform_int_distribution<Clock::duration::rep>(0, spread)(random)));
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(pipeFds[0]);
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL)
      return {result.kills, "child " + std::to_string(n) + " ended by itself with status " + std::to_string(status)};
    ++result.kills;
    if (!check()) return {result.kills, "the check failed after kill " + std::to_string(n + 1)};
  }
  return result;
}

}  // namespace tavo::test
