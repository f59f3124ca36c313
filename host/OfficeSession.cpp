#include "host/OfficeSession.h"

#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace host {
using platform::Raise;

bool ShownOnScreen(const Bar& bar, const Control& control) {
  if (!control.Visible()) return false;
  return bar.BuiltIn() ? !control.BuiltIn() : bar.Visible();
}

namespace {
// Every control the screen shows, popup items included, in the screen's order.
void Collect(const ControlList& list, std::vector<std::shared_ptr<Control>>& out) {
  for (const auto& c : list.items()) {
    if (!c->Visible()) continue;
    out.push_back(c);
    if (c->items()) Collect(*c->items(), out);
  }
}
std::vector<std::shared_ptr<Control>> Shown(const CommandBarSet& bars) {
  std::vector<std::shared_ptr<Control>> shown;
  for (const auto& bar : bars.bars())
    for (const auto& c : bar->controls().items()) {
      if (!ShownOnScreen(*bar, *c)) continue;
      shown.push_back(c);
      if (c->items()) Collect(*c->items(), shown);
    }
  return shown;
}
}  // namespace

std::vector<std::shared_ptr<Control>> FindByCaption(const CommandBarSet& bars, std::string_view caption) {
  const std::string key = office::CaptionKey(platform::text::Trim(caption));
  std::vector<std::shared_ptr<Control>> found;
  for (const auto& c : Shown(bars))
    if (office::CaptionKey(platform::text::Trim(c->Caption())) == key) found.push_back(c);
  return found;
}

std::vector<std::string> ShownCaptions(const CommandBarSet& bars) {
  std::vector<std::string> captions;
  for (const auto& c : Shown(bars))
    if (!c->items()) captions.push_back(c->Caption());
  return captions;
}

OfficeSession::OfficeSession(HostKind kind, LoadReport report) : kind_(kind), report_(report) {
  if (kind == HostKind::Word) {
    word_ = word::WordApplication::Create();
    application_ = office::Ref<office::Application>(word_);
  } else {
    excel_ = excel::ExcelApplication::Create();
    application_ = office::Ref<office::Application>(excel_);
  }
  loader_ = std::make_unique<AddinLoader>(application_, std::move(report));
}

OfficeSession::~OfficeSession() {
  // Add-ins let go of the application before it goes.
  loader_.reset();
}

CommandBarSet& OfficeSession::bars() { return word_ ? word_->bars() : excel_->bars(); }

int OfficeSession::Start() {
  int loaded = loader_->LoadRegistered();
  loader_->StartupComplete();
  return loaded;
}

bool OfficeSession::Quit(bool discardChanges) {
  if (quit_) return true;
  if (word_) {
    if (!word_->CloseAllDocuments(discardChanges)) return false;
    try {
      word_->RaiseQuit();
    } catch (const std::exception& e) {
      // An add-in's Quit handler that fails must not keep Word from quitting.
      if (report_) report_(std::string("An add-in failed in the Quit event: ") + e.what());
    }
    loader_->BeginShutdown();
    loader_->Disconnect();
  } else {
    if (!excel_->CloseAllWorkbooks(discardChanges)) return false;
    loader_->Disconnect();
    excel_->Revoke();
  }
  quit_ = true;
  return true;
}

void OfficeSession::Click(std::string_view caption) {
  auto found = FindByCaption(bars(), caption);
  if (found.empty()) Raise(platform::err::InvalidProcedureCall, "No control with the caption \"" + std::string(caption) + "\"");
  if (found.size() > 1) Raise(platform::err::InvalidProcedureCall, "More than one control has the caption \"" + std::string(caption) + "\"");
  bars().Click(found.front());
}

}  // namespace host
