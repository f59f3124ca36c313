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
  state_->data.insert(state_->data.begin() + index, std::string());
  if (state_->listIndex >= index) ++state_->listIndex;
}

void ListBox::RemoveItem(int index) {
  Touch();
  CheckEntry(index, platform::err::InvalidProcedureCall);
  state_->items.erase(state_->items.begin() + index);
  state_->data.erase(state_->data.begin() + index);
  if (state_->listIndex == index)
    state_->listIndex = -1;
  else if (state_->listIndex > index)
    --state_->listIndex;
}

void ListBox::Clear() {
  Touch();
  state_->items.clear();
  state_->data.clear();
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

std::string ListBox::ValueOf(const std::vector<std::string>& values, int index) const {
  Touch();
  if (index < 0 || index >= static_cast<int>(values.size())) return {};
  return values[static_cast<size_t>(index)];
}

void ListBox::SetValueOf(std::vector<std::string>& values, int index, std::string_view value) {
  Touch();
  CheckEntry(index, err::InvalidPropertyArrayIndex);
  values[static_cast<size_t>(index)] = value;
}

std::string ListBox::List(int index) const { return ValueOf(state_->items, index); }
void ListBox::SetList(int index, std::string_view text) { SetValueOf(state_->items, index, text); }

bool ListBox::Selected(int index) const {
  Touch();
  CheckEntry(index, err::InvalidPropertyArrayIndex);
  return index == state_->listIndex;
}

std::string ListBox::Text() const { return List(ListIndex()); }

const std::vector<std::string>& ListBox::Items() const { Touch(); return state_->items; }

std::string ListBox::ItemData(int index) const { return ValueOf(state_->data, index); }
void ListBox::SetItemData(int index, std::string_view data) { SetValueOf(state_->data, index, data); }


}  // namespace platform::forms
