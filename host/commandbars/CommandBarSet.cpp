#include "host/commandbars/CommandBarSet.h"

#include <cstdint>

#include "platform/core/RuntimeError.h"

namespace host {
using office::Ref;
using platform::Raise;
namespace err = platform::err;

struct ClickHub {
  struct Subscription {
    std::uint64_t id;
    std::weak_ptr<Control> bound;
    std::shared_ptr<office::ClickHandler> handler;
  };
  std::uint64_t nextId = 0;
  std::vector<Subscription> subscriptions;

  bool Contains(std::uint64_t id) const {
    for (const auto& s : subscriptions)
      if (s.id == id) return true;
    return false;
  }
};

namespace {
constexpr long kNotSupported = 438;

bool Matches(const Control& c, const office::FindControlOptions& o) {
  if (o.type && c.Type() != *o.type) return false;
  if (o.id && c.Id() != *o.id) return false;
  if (o.tag && c.Tag() != *o.tag) return false;
  if (o.visible && c.Visible() != *o.visible) return false;
  return true;
}
}  // namespace

// ---- ControlList ----

int ControlList::Count() const { return static_cast<int>(items_.size()); }

Ref<office::CommandBarControl> ControlList::Item(int index) {
  if (index < 1 || index > Count()) Raise(err::SubscriptOutOfRange);
  return items_[index - 1];
}

Ref<office::CommandBarControl> ControlList::Item(std::string_view caption) {
  const std::string key = office::CaptionKey(caption);
  for (const auto& c : items_)
    if (office::CaptionKey(c->Caption()) == key) return c;
  Raise(err::InvalidProcedureCall);
}

Ref<office::CommandBarControl> ControlList::Add(const office::ControlAddOptions& options) {
  if (options.type != office::control_type::Button && options.type != office::control_type::Popup)
    Raise(err::InvalidProcedureCall);
  if (options.before && (*options.before < 1 || *options.before > Count() + 1)) Raise(err::InvalidProcedureCall);
  auto control = std::make_shared<Control>(options.type, options.id.value_or(1), false, this, hub_);
  if (options.parameter) control->SetParameter(*options.parameter);
  auto at = options.before ? items_.begin() + (*options.before - 1) : items_.end();
  items_.insert(at, control);
  return control;
}

std::shared_ptr<Control> ControlList::AddBuiltIn(const BuiltInControl& definition) {
  auto control = std::make_shared<Control>(office::control_type::Button, definition.id, true, this, hub_);
  control->SetCaption(definition.caption);
  items_.push_back(control);
  return control;
}

void ControlList::Remove(const Control* control) {
  std::erase_if(items_, [control](const auto& c) { return c.get() == control; });
}

void ControlList::DeleteAll() {
  for (auto& c : items_) {
    c->Detach();
    c->MarkDeleted();
  }
  items_.clear();
}

std::shared_ptr<Control> ControlList::Find(const office::FindControlOptions& options, bool recursive) const {
  for (const auto& c : items_) {
    if (Matches(*c, options)) return c;
    if (recursive && c->items()) {
      if (auto found = c->items()->Find(options, true)) return found;
    }
  }
  return nullptr;
}

// ---- Control ----

Control::Control(int type, int id, bool builtIn, ControlList* owner, std::shared_ptr<ClickHub> hub)
    : type_(type), id_(id), builtIn_(builtIn), owner_(owner), hub_(std::move(hub)) {
  if (type_ == office::control_type::Popup) children_ = std::make_unique<ControlList>(hub_);
}

void Control::Check(const char* member) const {
  if (deleted_)
    Raise(office::kControlDeletedError,
          std::string("Method '") + member + "' of object 'CommandBarControl' failed");
}

int Control::Type() const { Check("Type"); return type_; }
int Control::Id() const { Check("Id"); return id_; }
bool Control::BuiltIn() const { Check("BuiltIn"); return builtIn_; }
std::string Control::Caption() const { Check("Caption"); return caption_; }
void Control::SetCaption(std::string_view v) { Check("Caption"); caption_ = v; }
std::string Control::Tag() const { Check("Tag"); return tag_; }
void Control::SetTag(std::string_view v) { Check("Tag"); tag_ = v; }
std::string Control::TooltipText() const { Check("TooltipText"); return tooltip_; }
void Control::SetTooltipText(std::string_view v) { Check("TooltipText"); tooltip_ = v; }
std::string Control::Parameter() const { Check("Parameter"); return parameter_; }
void Control::SetParameter(std::string_view v) { Check("Parameter"); parameter_ = v; }
int Control::Style() const { Check("Style"); return style_; }
void Control::SetStyle(int v) { Check("Style"); style_ = v; }
int Control::FaceId() const { Check("FaceId"); return faceId_; }
void Control::SetFaceId(int v) { Check("FaceId"); faceId_ = v; }
bool Control::BeginGroup() const { Check("BeginGroup"); return beginGroup_; }
void Control::SetBeginGroup(bool v) { Check("BeginGroup"); beginGroup_ = v; }
bool Control::Enabled() const { Check("Enabled"); return enabled_; }
void Control::SetEnabled(bool v) { Check("Enabled"); enabled_ = v; }
bool Control::Visible() const { Check("Visible"); return visible_; }
void Control::SetVisible(bool v) { Check("Visible"); visible_ = v; }

office::CommandBarControls& Control::Controls() {
  Check("Controls");
  if (!children_) Raise(kNotSupported, "Object doesn't support this property or method");
  return *children_;
}

void Control::Delete() {
  Check("Delete");
  auto keepAlive = shared_from_this();
  if (owner_) owner_->Remove(this);
  owner_ = nullptr;
  MarkDeleted();
}

void Control::MarkDeleted() {
  deleted_ = true;
  if (children_) children_->DeleteAll();
}

office::EventConnection Control::ConnectClick(office::ClickHandler handler) {
  // Binding a reference to a deleted control is allowed; such a control is never clicked.
  auto id = ++hub_->nextId;
  hub_->subscriptions.push_back({id, weak_from_this(), std::make_shared<office::ClickHandler>(std::move(handler))});
  std::weak_ptr<ClickHub> weakHub = hub_;
  return office::EventConnection([weakHub, id] {
    if (auto hub = weakHub.lock())
      std::erase_if(hub->subscriptions, [id](const ClickHub::Subscription& s) { return s.id == id; });
  });
}

// ---- Bar ----

Bar::Bar(std::string name, bool builtIn, std::vector<BuiltInControl> defaults, std::shared_ptr<ClickHub> hub)
    : name_(std::move(name)), builtIn_(builtIn), defaults_(std::move(defaults)), controls_(std::move(hub)) {
  for (const auto& d : defaults_) controls_.AddBuiltIn(d);
}

void Bar::SetPosition(int position) {
  if (position < office::bar_position::Left || position > office::bar_position::Floating)
    Raise(err::InvalidProcedureCall);
  position_ = position;
}

void Bar::Reset() {
  if (!builtIn_) return;
  controls_.DeleteAll();
  for (const auto& d : defaults_) controls_.AddBuiltIn(d);
}

Ref<office::CommandBarControl> Bar::FindControl(const office::FindControlOptions& options) {
  return controls_.Find(options, options.recursive);
}

// ---- CommandBarSet ----

CommandBarSet::CommandBarSet(const std::vector<BuiltInBar>& builtIns) : hub_(std::make_shared<ClickHub>()) {
  for (const auto& b : builtIns) {
    auto bar = std::make_shared<Bar>(b.name, true, b.controls, hub_);
    bar->SetVisible(b.visible);
    bars_.push_back(bar);
  }
}

CommandBarSet::~CommandBarSet() {
  // References an add-in still holds see deleted controls from now on.
  for (auto& bar : bars_) bar->controls().DeleteAll();
}

int CommandBarSet::Count() const { return static_cast<int>(bars_.size()); }

Ref<office::CommandBar> CommandBarSet::Item(int index) {
  if (index < 1 || index > Count()) Raise(err::SubscriptOutOfRange);
  return bars_[index - 1];
}

Ref<office::CommandBar> CommandBarSet::Item(std::string_view name) {
  const std::string key = office::CaptionKey(name);
  for (const auto& bar : bars_)
    if (office::CaptionKey(bar->Name()) == key) return bar;
  Raise(err::InvalidProcedureCall);
}

Ref<office::CommandBar> CommandBarSet::Add(const office::BarAddOptions& options) {
  std::string name = options.name.value_or("");
  if (name.empty()) {
    for (int n = 1; name.empty(); ++n) {
      std::string candidate = "Custom " + std::to_string(n);
      bool taken = false;
      for (const auto& bar : bars_) taken = taken || office::CaptionKey(bar->Name()) == office::CaptionKey(candidate);
      if (!taken) name = candidate;
    }
  }
  for (const auto& bar : bars_)
    if (office::CaptionKey(bar->Name()) == office::CaptionKey(name)) Raise(err::InvalidProcedureCall);
  auto bar = std::make_shared<Bar>(name, false, std::vector<BuiltInControl>{}, hub_);
  if (options.position) bar->SetPosition(*options.position);
  bars_.push_back(bar);
  return bar;
}

Ref<office::CommandBarControl> CommandBarSet::FindControl(const office::FindControlOptions& options) {
  for (const auto& bar : bars_)
    if (auto found = bar->controls().Find(options, true)) return found;
  return nullptr;
}

void CommandBarSet::Click(const std::shared_ptr<Control>& control) {
  if (control->Deleted()) Raise(office::kControlDeletedError, "The control has been deleted");
  if (control->Type() == office::control_type::Popup) Raise(err::InvalidProcedureCall, "A menu has no Click");
  if (!control->Enabled()) Raise(err::InvalidProcedureCall, "The control \"" + control->Caption() + "\" is disabled");
  if (!control->Visible()) Raise(err::InvalidProcedureCall, "The control \"" + control->Caption() + "\" is hidden");
  const std::string tag = control->Tag();
  auto hub = hub_;
  auto snapshot = hub->subscriptions;
  bool cancel = false;
  Ref<office::CommandBarControl> clicked(control);
  for (const auto& s : snapshot) {
    if (!hub->Contains(s.id)) continue;
    auto bound = s.bound.lock();
    if (!bound) continue;
    bool same = bound == control || (!bound->Deleted() && !tag.empty() && bound->Tag() == tag);
    if (same) (*s.handler)(clicked, cancel);
  }
}

// ---- built-in bars ----

// Ids of the built-in controls of this emulator (custom controls have 1).
std::vector<BuiltInBar> WordBuiltInBars() {
  return {
      {"File", false,
       {{101, "&New..."}, {102, "&Open..."}, {103, "&Close"}, {104, "&Save"}, {105, "Save &As..."},
        {106, "Save as Web Pa&ge..."}, {107, "&Print..."}, {108, "E&xit"}}},
      {"Standard", true, {{201, "&New Blank Document"}, {102, "&Open..."}, {104, "&Save"}, {107, "&Print"}}},
  };
}

std::vector<BuiltInBar> ExcelBuiltInBars() {
  return {
      {"File", false,
       {{101, "&New..."}, {102, "&Open..."}, {103, "&Close"}, {104, "&Save"}, {105, "Save &As..."},
        {107, "&Print..."}, {108, "E&xit"}}},
      {"Standard", true, {{201, "&New"}, {102, "&Open"}, {104, "&Save"}, {107, "&Print"}}},
  };
}

}  // namespace host
