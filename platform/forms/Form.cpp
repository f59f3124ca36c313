#include "platform/forms/Form.h"

#include <algorithm>

#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Operator.h"
#include "platform/forms/Pump.h"
#include "platform/forms/Timer.h"

namespace platform::forms {
namespace {

std::vector<Form*>& Loaded() {
  static auto* forms = new std::vector<Form*>;  // never destroyed: forms may go at exit after it
  return *forms;
}

std::string WithoutAccessKeys(std::string_view caption) {
  std::string out;
  for (char c : caption)
    if (c != '&') out += c;
  return out;
}

// Runs `f` when the scope ends, also when it ends by an exception.
template <class F>
struct AtExit {
  F f;
  ~AtExit() { f(); }
};
template <class F>
AtExit(F) -> AtExit<F>;

}  // namespace

std::vector<Form*> LoadedForms() { return Loaded(); }

Form::Form(std::string name, std::string caption) : name_(std::move(name)) { props_.caption = std::move(caption); }

Form::~Form() { pump::Remove(Loaded(), this); }

void Form::Register(Control* control) {
  controls_.push_back(control);
  tabOrder_.push_back(control);
}

void Form::Unregister(Control* control) {
  pump::Remove(controls_, control);
  pump::Remove(tabOrder_, control);
  pump::Remove(designTabOrder_, control);
  if (focused_ == control) focused_ = nullptr;
}

int Form::TabPosition(const Control* control) const {
  auto it = std::find(tabOrder_.begin(), tabOrder_.end(), control);
  return static_cast<int>(it - tabOrder_.begin());
}

void Form::MoveInTabOrder(Control* control, int position) {
  pump::Remove(tabOrder_, control);
  position = std::min(position, static_cast<int>(tabOrder_.size()));
  tabOrder_.insert(tabOrder_.begin() + position, control);
}

void Form::Touch() const {
  if (state_ == State::Fresh || state_ == State::Unloaded) const_cast<Form*>(this)->EnsureLoaded();
}

void Form::EnsureLoaded() {
  if (state_ == State::Fresh) {
    state_ = State::Designing;
    Design();
    design_ = props_;
    designTabOrder_ = tabOrder_;
    for (Control* c : controls_) c->SaveDesign();
    state_ = State::Unloaded;
  }
  if (state_ != State::Unloaded) return;
  state_ = State::Loading;
  Loaded().push_back(this);
  for (Control* c : controls_) c->FormLoaded();
  AtExit done{[this] {
    if (state_ == State::Loading) state_ = State::Loaded;
  }};
  Form_Load();
}

const std::string& Form::Caption() const { Touch(); return props_.caption; }
void Form::SetCaption(std::string_view caption) { Touch(); props_.caption = caption; }
float Form::Left() const { Touch(); return props_.left; }
float Form::Top() const { Touch(); return props_.top; }
float Form::Width() const { Touch(); return props_.width; }
float Form::Height() const { Touch(); return props_.height; }
void Form::SetLeft(float v) { Touch(); props_.left = v; }
void Form::SetTop(float v) { Touch(); props_.top = v; }
void Form::SetWidth(float v) { Touch(); props_.width = v; }
void Form::SetHeight(float v) { Touch(); props_.height = v; }
void Form::Move(float left, float top, float width, float height) {
  Touch();
  props_.left = left;
  props_.top = top;
  props_.width = width;
  props_.height = height;
}
const std::string& Form::Picture() const { Touch(); return props_.picture; }
void Form::SetPicture(std::string_view path) { Touch(); props_.picture = path; }
int Form::MousePointer() const { Touch(); return props_.mousePointer; }
void Form::SetMousePointer(int v) { Touch(); props_.mousePointer = v; }
bool Form::KeyPreview() const { Touch(); return props_.keyPreview; }
void Form::SetKeyPreview(bool v) { Touch(); props_.keyPreview = v; }

void Form::Load() { EnsureLoaded(); }

void Form::Show(ShowMode mode) {
  EnsureLoaded();
  if (mode == ShowMode::Modal) {
    ShowModal();
    return;
  }
  if (visible_) return;
  visible_ = true;
  FocusFirstControl();
  if (Operator* op = CurrentOperator(); op && IsLoaded() && visible_) op->Shown(*this, false);
}

void Form::ShowModal() {
  if (visible_) platform::Raise(err::FormAlreadyDisplayed, "Form already displayed; can't show modally");
  if (!CurrentOperator()) throw OperatorError("No operator is installed to act on the modal form " + name_);
  visible_ = true;
  modal_ = true;
  AtExit done{[this] { modal_ = false; }};
  FocusFirstControl();
  if (IsLoaded() && visible_) CurrentOperator()->Shown(*this, true);
  while (IsLoaded() && visible_) {
    DoEvents();
    if (!IsLoaded() || !visible_) break;
    Operator* op = CurrentOperator();
    if (!op) throw OperatorError("No operator is installed to act on the modal form " + name_);
    op->Act(*this);
  }
}

void Form::Hide() {
  Touch();
  if (!visible_) return;
  visible_ = false;
  if (Operator* op = CurrentOperator()) op->Closed(*this);
}

void Form::Unload() { UnloadWith(kFormCode); }

void Form::CloseBox() { UnloadWith(kFormControlMenu); }

bool Form::UnloadWith(int unloadMode) {
  if (state_ != State::Loaded || unloading_) return false;
  unloading_ = true;
  AtExit done{[this] { unloading_ = false; }};
  bool cancel = false;
  Form_QueryUnload(cancel, unloadMode);
  if (cancel) return false;
  Form_Unload(cancel);
  if (cancel) return false;

  if (visible_) {
    visible_ = false;
    // Told while the form still holds what it showed; reading it now does not load it again.
    if (Operator* op = CurrentOperator()) op->Closed(*this);
  }
  focused_ = nullptr;
  state_ = State::Unloaded;
  props_ = design_;
  tabOrder_ = designTabOrder_;
  for (Control* c : controls_) c->RestoreDesign();
  pump::Remove(Loaded(), this);
  return true;
}

Control* Form::FindControl(std::string_view nameOrCaption) const {
  for (Control* c : controls_)
    if (text::EqualsText(c->Name(), nameOrCaption)) return c;
  std::string wanted = WithoutAccessKeys(nameOrCaption);
  Control* found = nullptr;
  for (Control* c : TabOrder()) {
    auto* captioned = dynamic_cast<CaptionedControl*>(c);
    if (!captioned || !text::EqualsText(WithoutAccessKeys(captioned->Caption()), wanted)) continue;
    if (c->Reachable()) return c;  // of several with that caption, the one a user can reach
    if (!found) found = c;
  }
  return found;
}

void Form::FocusControl(Control& control) {
  if (focused_ == &control) return;
  Control* previous = focused_;
  focused_ = &control;
  if (previous) Control::Fire(previous->onLostFocus);
  Control::Fire(control.onGotFocus);
}

void Form::FocusFirstControl() {
  if (focused_ && focused_->Reachable()) return;
  for (Control* c : TabOrder()) {
    if (c->Focusable() && c->common_->tabStop && c->Reachable()) {
      FocusControl(*c);
      return;
    }
  }
}

}  // namespace platform::forms
