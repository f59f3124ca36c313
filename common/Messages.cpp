#include "common/Messages.h"

#include "common/AddinHost.h"
#include "common/AddinState.h"
#include "common/LanguageText.h"
#include "platform/forms/Form.h"
#include "platform/forms/ScreenMetrics.h"

namespace tavo {

void ShowMessage(AddinState& state, std::string_view text, int kind) {
  const bool dialogRule = state.params.singleMessageDialog || kind == 0 || kind == 1;
  if (!dialogRule) {
    if (kind == 2) ShowMessageDialog(state, kind, std::string(text));
    return;
  }
  std::string label = DisplayMessageText(state, text);
  if (state.gLanguageName == "english") ShowStatus(state, text);
  ShowMessageDialog(state, kind, label);
}

void ShowStatus(AddinState& state, std::string_view text) {
  if (state.gLanguageName != "english" || state.host == nullptr) return;
  state.host->SetStatusBarText(std::string(text));
}

void CenterForm(platform::forms::Form& form) {
  using platform::forms::Screen;
  form.SetLeft(Screen::Width() / 2 - form.Width() / 2);
  form.SetTop(Screen::Height() / 2 - form.Height() / 2);
}

}  // namespace tavo
