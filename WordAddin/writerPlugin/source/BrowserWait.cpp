#include "WordAddin/writerPlugin/source/BrowserWait.h"

#include "platform/forms/Timer.h"

namespace tavo::writer {

bool WaitForPage(platform::forms::WebBrowser& browser, platform::Milliseconds limit) {
  const platform::TimePoint deadline = platform::Now() + platform::LimitForOutside(limit);
  while (browser.ReadyState() != platform::forms::kReadyStateComplete) {
    if (platform::Now() >= deadline) return false;
    platform::Sleep(platform::Milliseconds(100));
    platform::forms::DoEvents();
  }
  return true;
}

}  // namespace tavo::writer
