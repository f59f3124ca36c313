#pragma once
// A single-selection list box. Entries are numbered from 0; ListIndex -1 means no selection.
// Changing ListIndex (in code or by the user) raises Click, as on the platform.
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/Control.h"

namespace platform::forms {

class ListBox final : public Control {
 public:
  ListBox(Form& form, std::string name);
  ListBox(Frame& frame, std::string name);
  std::string_view Kind() const override { return "ListBox"; }
  bool Focusable() const override { return true; }

  // Appends, or inserts before entry `index` (0..ListCount); RuntimeError 5 for another index.
  // The selection stays on its entry.
  void AddItem(std::string_view item, int index = -1);
  // RuntimeError 5 for an index that names no entry. Removing the selected entry clears the
  // selection.
  void RemoveItem(int index);
  void Clear();
  int ListCount() const;

  int ListIndex() const;
  // -1 clears the selection; RuntimeError 380 for an index outside -1..ListCount-1.
  void SetListIndex(int index);

  // The text of entry i; "" for an index that names no entry.
  std::string List(int index) const;
  // RuntimeError 381 for an index that names no entry.
  void SetList(int index, std::string_view text);
  // RuntimeError 381 for an index that names no entry.
  bool Selected(int index) const;

  // The selected entry's text, "" when nothing is selected.
  std::string Text() const;

  const std::vector<std::string>& Items() const;

  // A text kept with entry i and never shown (what the entry stands for, where its text does not
  // say it whole): "" until set, and for an index that names no entry. It stays with its entry
  // when others are added or removed.
  std::string ItemData(int index) const;
  // RuntimeError 381 for an index that names no entry.
  void SetItemData(int index, std::string_view data);

 private:
  struct State {
    std::vector<std::string> items;
    std::vector<std::string> data;  // one per entry
    int listIndex = -1;
  };
  void CheckEntry(int index, long error) const;
  // Entry i of the entries' texts or of their item data; as List and SetList.
  std::string ValueOf(const std::vector<std::string>& values, int index) const;
  void SetValueOf(std::vector<std::string>& values, int index, std::string_view value);
  Designed<State> state_{*this};
};

}  // namespace platform::forms
