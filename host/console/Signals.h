#pragma once
// The signals that end or interrupt the host, turned into something its input loop can wait
// for: the handlers only note the signal and wake the loop through a pipe, and the loop
// decides what follows. At a terminal Ctrl-C (SIGINT) drops the line being typed; a hang-up
// (SIGHUP) or a termination signal (SIGTERM), and Ctrl-C when the input is a script or pipe,
// ask the host to quit in order: the add-ins' quit and disconnection events run, as when the
// system ends the session. A second one of those ends the host at once.
namespace host::signals {

// Installs the handlers for the process; `terminal`: the commands come from a terminal.
void Install(bool terminal);
// Readable once a signal has come (until Drain); -1 before Install.
int WakeFd();
void Drain();
// The signal that asks the host to quit, 0 while none has come.
int Stop();
// Whether Ctrl-C came at a terminal since the last call.
bool TakeInterrupt();

}  // namespace host::signals
