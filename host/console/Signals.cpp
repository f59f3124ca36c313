#include "host/console/Signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace host::signals {
namespace {

int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_terminal = 0;
volatile sig_atomic_t g_stop = 0;
volatile sig_atomic_t g_interrupt = 0;

void OnSignal(int signal) {
  const int saved = errno;
  if (signal == SIGINT && g_terminal) {
    g_interrupt = 1;
  } else {
    if (!g_stop) g_stop = signal;
    // The next one is not caught: it ends a host whose shut-down does not get through.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
  }
  const char wake = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &wake, 1);
  errno = saved;
}

}  // namespace

void Install(bool terminal) {
  if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) g_pipe[0] = g_pipe[1] = -1;
  g_terminal = terminal ? 1 : 0;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a blocked read returns, and the loop looks at the signal
  for (int signal : {SIGINT, SIGHUP, SIGTERM}) sigaction(signal, &action, nullptr);
}

int WakeFd() { return g_pipe[0]; }

void Drain() {
  char buffer[64];
  while (g_pipe[0] >= 0 && ::read(g_pipe[0], buffer, sizeof buffer) > 0) {
  }
}

int Stop() { return g_stop; }

bool TakeInterrupt() {
  const bool interrupted = g_interrupt != 0;
  g_interrupt = 0;
  return interrupted;
}

}  // namespace host::signals
