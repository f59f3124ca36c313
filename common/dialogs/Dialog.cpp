#include "common/dialogs/Dialog.h"

#include "common/AddinHost.h"
#include "common/AddinState.h"
#include "common/LanguageText.h"
#include "common/Messages.h"
#include "platform/core/RuntimeError.h"

namespace tavo {

Dialog::Dialog(AddinState& state, std::string name, std::string caption)
    : Form(std::move(name), std::move(caption)), state_(state) {}

bool Dialog::Translated() const { return state_.gLanguageName != "english"; }

void Dialog::TranslateCaptions(
    std::initializer_list<std::pair<forms::CaptionedControl*, std::string_view>> captions) {
  if (!Translated()) return;
  for (const auto& [control, key] : captions) control->SetCaption(LanguageText(state_, key));
}

const std::string& Dialog::Text(std::string_view key) const { return state_.strings[key]; }

std::string Dialog::Text(ShownText text) const {
  return text.key.empty() ? std::string(text.fixed) : state_.strings[text.key];
}

void Dialog::Status(std::string_view text) { ShowStatus(state_, text); }

void Dialog::Message(std::string_view text) { ShowMessage(state_, text, 0); }

void Dialog::CloseClearingStatus() {
  Status("");
  Unload();
}

void Dialog::OnEscape(std::initializer_list<forms::Control*> controls, const std::function<void()>& action) {
  for (forms::Control* control : controls) {
    control->onKeyPress = [action](int& key) {
      if (key == forms::kKeyEscape) action();
    };
  }
}

AddinHost& Dialog::Host() const {
  if (state_.host == nullptr) platform::Raise(platform::err::ObjectNotSet, "The add-in has no host");
  return *state_.host;
}

void IgnoreErrors(const std::function<void()>& statement) {
  try {
    statement();
  } catch (const platform::RuntimeError&) {
  }
}

}  // namespace tavo
