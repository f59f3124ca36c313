#pragma once
// The sign-in commands' wait for the page that the sign-in dialog's hidden browser was sent to
// (the suite's home page, which warms up the connection), with the progress window's bar
// climbing while it loads: to 24 at most while the request is out (ready state 1), to 49 once
// the headers are in (2), to 74 while the body arrives (3, with the label gMsg45). Every pass
// pauses 100 ms and lets the window messages run, so the host stays responsive.
#include "platform/core/Clock.h"

namespace tavo {

struct AddinState;

// Returns once the page has loaded (ready state 4); raises a run-time error when it has not
// within `limit` (platform::LimitForOutside: in real time also on a clock that runs faster).
void WaitForHomePage(AddinState& state, platform::Milliseconds limit);

}  // namespace tavo
