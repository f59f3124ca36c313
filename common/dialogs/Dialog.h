#pragma once
// The base of the add-in's own dialogs: the state of the add-in they belong to, and the few
// things every one of them does alike (captions in the interface language, status texts,
// messages, closing with the status bar cleared).
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "common/AddinParameterSet.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"

namespace tavo {

struct AddinState;
class AddinHost;

namespace forms = platform::forms;

class Dialog : public forms::Form {
 public:
  AddinState& State() const { return state_; }

 protected:
  Dialog(AddinState& state, std::string name, std::string caption);

  // Whether the captions come from the language file: any interface language but English.
  bool Translated() const;
  // Each control's caption becomes the shown text of its language key, unless in English.
  void TranslateCaptions(std::initializer_list<std::pair<forms::CaptionedControl*, std::string_view>> captions);
  // The loaded value of a language key (undecoded: the message and status procedures decode).
  const std::string& Text(std::string_view key) const;
  std::string Text(ShownText text) const;
  void Status(std::string_view text);
  void Message(std::string_view text);  // an information message
  // Clears the status bar, then unloads the dialog.
  void CloseClearingStatus();
  // Esc (27) pressed on any of the controls runs `action`; other keys do nothing.
  static void OnEscape(std::initializer_list<forms::Control*> controls, const std::function<void()>& action);
  // The add-in's operations; RuntimeError 91 when the state has no host.
  AddinHost& Host() const;

  AddinState& state_;
};

// Runs `statement`, ignoring a RuntimeError it raises, for handlers that go on after errors.
void IgnoreErrors(const std::function<void()>& statement);

}  // namespace tavo
