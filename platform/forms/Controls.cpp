#include "platform/forms/Controls.h"

#include "platform/core/RuntimeError.h"
#include "platform/files/Files.h"
#include "platform/forms/Form.h"

namespace platform::forms {
namespace {
[[noreturn]] void InvalidValue() { platform::Raise(err::InvalidPropertyValue, "Invalid property value"); }
}  // namespace

// ---- captions ----

CaptionedControl::CaptionedControl(Form& form, std::string name, std::string caption)
    : Control(form, std::move(name)) {
  *caption_ = std::move(caption);
}
CaptionedControl::CaptionedControl(Frame& frame, std::string name, std::string caption)
    : Control(frame, std::move(name)) {
  *caption_ = std::move(caption);
}

const std::string& CaptionedControl::Caption() const { Touch(); return *caption_; }
void CaptionedControl::SetCaption(std::string_view caption) { Touch(); *caption_ = caption; }


Label::Label(Form& form, std::string name, std::string caption)
    : CaptionedControl(form, std::move(name), std::move(caption)) {}
Label::Label(Frame& frame, std::string name, std::string caption)
    : CaptionedControl(frame, std::move(name), std::move(caption)) {}

CommandButton::CommandButton(Form& form, std::string name, std::string caption)
    : CaptionedControl(form, std::move(name), std::move(caption)) {}
CommandButton::CommandButton(Frame& frame, std::string name, std::string caption)
    : CaptionedControl(frame, std::move(name), std::move(caption)) {}

Frame::Frame(Form& form, std::string name, std::string caption)
    : CaptionedControl(form, std::move(name), std::move(caption)) {}

// ---- check boxes ----

CheckBox::CheckBox(Form& form, std::string name, std::string caption)
    : CaptionedControl(form, std::move(name), std::move(caption)) {}
CheckBox::CheckBox(Frame& frame, std::string name, std::string caption)
    : CaptionedControl(frame, std::move(name), std::move(caption)) {}

int CheckBox::Value() const { Touch(); return *value_; }

void CheckBox::SetValue(int value) {
  Touch();
  if (value < 0 || value > 2) InvalidValue();
  if (value == *value_) return;
  *value_ = value;
  Fire(onChange);
  Fire(onClick);
}


// ---- option buttons ----

OptionButton::OptionButton(Form& form, std::string name, std::string caption)
    : CaptionedControl(form, std::move(name), std::move(caption)) {}
OptionButton::OptionButton(Frame& frame, std::string name, std::string caption)
    : CaptionedControl(frame, std::move(name), std::move(caption)) {}

bool OptionButton::Value() const { Touch(); return *value_; }

void OptionButton::SetValue(bool value) {
  Touch();
  if (value == *value_) return;
  if (value) {
    for (Control* c : Parent().Controls()) {
      auto* other = dynamic_cast<OptionButton*>(c);
      if (other && other != this && other->Container() == Container() && *other->value_) {
        *other->value_ = false;
        Fire(other->onChange);
      }
    }
  }
  *value_ = value;
  Fire(onChange);
  if (value) Fire(onClick);
}


// ---- pictures ----

Image::Image(Form& form, std::string name) : Control(form, std::move(name)) {}
Image::Image(Frame& frame, std::string name) : Control(frame, std::move(name)) {}

const std::string& Image::Picture() const { Touch(); return *picture_; }
void Image::SetPicture(std::string_view path) { Touch(); *picture_ = path; }


std::string LoadPicture(std::string_view path) {
  if (path.empty()) return {};
  if (!files::FileExists(path)) platform::Raise(platform::err::FileNotFound);
  return std::string(path);
}

// ---- progress bars ----

ProgressBar::ProgressBar(Form& form, std::string name) : Control(form, std::move(name)) {}
ProgressBar::ProgressBar(Frame& frame, std::string name) : Control(frame, std::move(name)) {}

long ProgressBar::Min() const { Touch(); return state_->min; }
long ProgressBar::Max() const { Touch(); return state_->max; }
long ProgressBar::Value() const { Touch(); return state_->value; }

void ProgressBar::SetMin(long v) {
  Touch();
  if (v >= state_->max) InvalidValue();
  state_->min = v;
  if (state_->value < v) state_->value = v;
}

void ProgressBar::SetMax(long v) {
  Touch();
  if (v <= state_->min) InvalidValue();
  state_->max = v;
  if (state_->value > v) state_->value = v;
}

void ProgressBar::SetValue(long v) {
  Touch();
  if (v < state_->min || v > state_->max) InvalidValue();
  state_->value = v;
}


}  // namespace platform::forms
