#include "platform/forms/Control.h"

#include "platform/core/RuntimeError.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"

namespace platform::forms {

Control::Control(Form& form, std::string name) : form_(&form), name_(std::move(name)) { form_->Register(this); }

Control::Control(Frame& frame, std::string name)
    : form_(&frame.Parent()), container_(&frame), name_(std::move(name)) {
  form_->Register(this);
}

Control::~Control() { form_->Unregister(this); }

void Control::Touch() const { form_->Touch(); }

float Control::Left() const { Touch(); return common_->left; }
float Control::Top() const { Touch(); return common_->top; }
float Control::Width() const { Touch(); return common_->width; }
float Control::Height() const { Touch(); return common_->height; }
void Control::SetLeft(float v) { Touch(); common_->left = v; }
void Control::SetTop(float v) { Touch(); common_->top = v; }
void Control::SetWidth(float v) { Touch(); common_->width = v; }
void Control::SetHeight(float v) { Touch(); common_->height = v; }

void Control::Move(float left, float top, float width, float height) {
  Touch();
  common_->left = left;
  common_->top = top;
  common_->width = width;
  common_->height = height;
}

bool Control::Enabled() const { Touch(); return common_->enabled; }
void Control::SetEnabled(bool v) {
  Touch();
  common_->enabled = v;
  EnabledChanged();
}
bool Control::Visible() const { Touch(); return common_->visible; }
void Control::SetVisible(bool v) { Touch(); common_->visible = v; }

Color Control::ForeColor() const { Touch(); return common_->foreColor; }
void Control::SetForeColor(Color v) { Touch(); common_->foreColor = v; }
const std::string& Control::FontName() const { Touch(); return common_->fontName; }
void Control::SetFontName(std::string_view v) { Touch(); common_->fontName = v; }
bool Control::FontBold() const { Touch(); return common_->fontBold; }
void Control::SetFontBold(bool v) { Touch(); common_->fontBold = v; }
bool Control::FontUnderline() const { Touch(); return common_->fontUnderline; }
void Control::SetFontUnderline(bool v) { Touch(); common_->fontUnderline = v; }
int Control::MousePointer() const { Touch(); return common_->mousePointer; }
void Control::SetMousePointer(int v) { Touch(); common_->mousePointer = v; }
const std::string& Control::ToolTipText() const { Touch(); return common_->toolTipText; }
void Control::SetToolTipText(std::string_view v) { Touch(); common_->toolTipText = v; }
int Control::TabIndex() const { Touch(); return form_->TabPosition(this); }
void Control::SetTabIndex(int v) {
  Touch();
  if (v < 0) platform::Raise(err::InvalidPropertyValue, "Invalid property value");
  form_->MoveInTabOrder(this, v);
}

bool Control::HasFocus() const { return form_->ActiveControl() == this; }

bool Control::Reachable() const {
  if (!common_->enabled || !common_->visible) return false;
  return container_ == nullptr || container_->Reachable();
}

DesignedState::DesignedState(Control& owner) { owner.designed_.push_back(this); }

void Control::SaveDesign() {
  for (DesignedState* d : designed_) d->SaveDesign();
}
void Control::RestoreDesign() {
  for (DesignedState* d : designed_) d->RestoreDesign();
}

}  // namespace platform::forms
