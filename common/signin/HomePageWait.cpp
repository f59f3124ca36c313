#include "common/signin/HomePageWait.h"

#include "common/AddinState.h"
#include "common/LanguageText.h"
#include "common/dialogs/Dialogs.h"
#include "platform/core/RuntimeError.h"
#include "platform/forms/Timer.h"

namespace tavo {

namespace forms = platform::forms;

void WaitForHomePage(AddinState& state, platform::Milliseconds limit) {
  forms::WebBrowser& browser = Dialogs(state).frmConfig.WBrowser;
  frmProgress& progress = Dialogs(state).frmProgress;
  auto climbTo = [&progress](long most) {
    const long value = progress.ProgressBar1.Value();
    if (value <= most) progress.SetValue(value + 1);
  };
  const platform::TimePoint deadline = platform::Now() + platform::LimitForOutside(limit);
  // The state is read afresh for every test, as the browser reports it at that moment.
  while (browser.ReadyState() != forms::kReadyStateComplete) {
    if (browser.ReadyState() == forms::kReadyStateInteractive) {
      if (progress.ProgressBar1.Value() <= 73) {
        forms::DoEvents();
        progress.SetText(LanguageText(state, "gMsg45"));
        climbTo(73);
      }
    } else if (browser.ReadyState() == forms::kReadyStateLoading) {
      climbTo(23);
    } else if (browser.ReadyState() == forms::kReadyStateLoaded) {
      climbTo(48);
    }
    platform::Sleep(platform::Milliseconds(100));
    forms::DoEvents();
    if (platform::Now() >= deadline)
      platform::Raise(platform::err::Automation, "The suite's home page did not load in time");
  }
}

}  // namespace tavo
