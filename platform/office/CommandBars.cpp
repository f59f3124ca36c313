#include "platform/office/CommandBars.h"

#include "platform/core/Text.h"

namespace platform::office {

std::string CaptionKey(std::string_view caption) {
  std::string plain;
  plain.reserve(caption.size());
  for (char c : caption)
    if (c != '&') plain.push_back(c);
  return text::FoldCase(plain);
}

CommandBarControl::~CommandBarControl() = default;
CommandBarControls::~CommandBarControls() = default;
CommandBar::~CommandBar() = default;
CommandBars::~CommandBars() = default;

ControlEvents::ControlEvents(ClickHandler handler) : handler_(std::move(handler)) {}

ControlEvents& ControlEvents::operator=(const Ref<CommandBarControl>& control) {
  Set(control);
  return *this;
}

void ControlEvents::Set(const Ref<CommandBarControl>& control) {
  connection_.Disconnect();
  control_ = control;
  if (control_) {
    // The handler is called through this object so that a rebinding inside a handler takes
    // effect for the next event.
    connection_ = control_->ConnectClick([this](const Ref<CommandBarControl>& clicked, bool& cancel) {
      if (handler_) handler_(clicked, cancel);
    });
  }
}

void ControlEvents::Release() {
  connection_.Disconnect();
  control_.Reset();
}

}  // namespace platform::office
