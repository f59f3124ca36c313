#include "platform/forms/ListBox.h"

#include "platform/core/RuntimeError.h"

namespace platform::forms {

ListBox::ListBox(Form& form, std::string name) : Control(form, std::move(name)) {}
ListBox::ListBox(Frame& frame, std::string name) : Control(frame, std::move(name)) {}

void ListBox::CheckEntry(int index, long error) const {
  if (index < 0 || index >= static_cast<int>(state_->items.size())) {
    if (error == err::InvalidPropertyArrayIndex) platform::Raise(error, "Invalid property array index");
    platform::Raise(error);
  }
}

void ListBox::AddItem(std::string_view item, int index) {
  Touch();
  int count = static_cast<int>(state_->items.size());
  if (index == -1) index = count;
  if (index < 0 || index > count) platform::Raise(platform::err::InvalidProcedureCall);
  state_->items.insert(state_->items.begin() + index, std::string(item));
  if (state_->listIndex >= index) ++state_->listIndex;
}

void ListBox::RemoveItem(int index) {
  Touch();
  CheckEntry(index, platform::err::InvalidProcedureCall);
  state_->items.erase(state_->items.begin() + index);
  if (state_->listIndex == index)
    state_->listIndex = -1;
  else if (state_->listIndex > index)
    --state_->listIndex;
}

void ListBox::Clear() {
  Touch();
  state_->items.clear();
  state_->listIndex = -1;
}

int ListBox::ListCount() const { Touch(); return static_cast<int>(state_->items.size()); }
int ListBox::ListIndex() const { Touch(); return state_->listIndex; }

void ListBox::SetListIndex(int index) {
  Touch();
  if (index < -1 || index >= static_cast<int>(state_->items.size()))
    platform::Raise(err::InvalidPropertyValue, "Invalid property value");
  if (index == state_->listIndex) return;
  state_->listIndex = index;
  Fire(onClick);
}

std::string ListBox::List(int index) const {
  Touch();
  if (index < 0 || index >= static_cast<int>(state_->items.size())) return {};
  return state_->items[static_cast<size_t>(index)];
}

void ListBox::SetList(int index, std::string_view text) {
  Touch();
  CheckEntry(index, err::InvalidPropertyArrayIndex);
  state_->items[static_cast<size_t>(index)] = text;
}

bool ListBox::Selected(int index) const {
  Touch();
  CheckEntry(index, err::InvalidPropertyArrayIndex);
  return index == state_->listIndex;
}

void ListBox::SetSelected(int index, bool selected) {
  Touch();
  CheckEntry(index, err::InvalidPropertyArrayIndex);
  if (selected)
    SetListIndex(index);
  else if (index == state_->listIndex)
    SetListIndex(-1);
}

std::string ListBox::Text() const { return List(ListIndex()); }

const std::vector<std::string>& ListBox::Items() const { Touch(); return state_->items; }


}  // namespace platform::forms
