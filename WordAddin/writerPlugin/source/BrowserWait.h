#pragma once
// The wait for a page in a web browser control: short sleeps, the host's messages processed in
// between (so Word stays responsive), until the page is complete or its time limit has passed
// (platform::LimitForOutside: in real time also on a clock that runs faster).
#include "platform/core/Clock.h"
#include "platform/forms/WebBrowser.h"

namespace tavo::writer {

// True once the browser's ready state is complete; false when it was not within `limit`.
bool WaitForPage(platform::forms::WebBrowser& browser, platform::Milliseconds limit);

}  // namespace tavo::writer
