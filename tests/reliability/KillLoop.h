#pragma once
// Kills a writer at random moments: a child process repeats one update for ever, and is killed
// with SIGKILL after a random number of completed updates plus a random pause, spread over the
// time one update takes, so that kills land before, inside and between the steps of a write.
#include <chrono>
#include <functional>
#include <string>

namespace tavo::test {

struct KillLoopResult {
  int kills = 0;                 // children killed (each followed by the check)
  std::string failure;           // why the loop stopped early ("" when it did not)
};

// Forks `kills` children in turn. Child n runs update(n, 0), update(n, 1), ... until it is
// killed; a child that throws or returns from the loop is a failure. After each kill,
// check() runs in this process, with the child reaped; false from it ends the loop. The random
// choices follow `seed`.
KillLoopResult KillRepeatedly(int kills, const std::function<void(int child, long step)>& update,
                              const std::function<bool()>& check, unsigned seed);

}  // namespace tavo::test
