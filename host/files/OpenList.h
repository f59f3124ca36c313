#pragma once
// The files an application has open (documents, workbooks) and which one is active. A file
// type provides fileName(): the full Windows path it was opened from or saved as, "" while it
// was never saved.
#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/core/Text.h"

namespace host {

template <class File>
class OpenList {
 public:
  const std::vector<std::shared_ptr<File>>& items() const { return items_; }
  std::shared_ptr<File> active() const { return active_.lock(); }

  // A file opened or created becomes the active one.
  void Add(const std::shared_ptr<File>& file) {
    items_.push_back(file);
    active_ = file;
  }
  void Activate(const std::shared_ptr<File>& file) { active_ = file; }

  // The open file of this path (ignoring case), nullptr when none.
  std::shared_ptr<File> Find(std::string_view fileName) const {
    for (const auto& f : items_)
      if (!f->fileName().empty() && platform::text::EqualsText(f->fileName(), fileName)) return f;
    return nullptr;
  }

  // When the active file goes, the one opened last becomes active.
  void Remove(const File* file) {
    const bool wasActive = active_.expired() || active_.lock().get() == file;
    std::erase_if(items_, [file](const auto& f) { return f.get() == file; });
    if (wasActive) active_ = items_.empty() ? std::weak_ptr<File>() : items_.back();
  }

 private:
  std::vector<std::shared_ptr<File>> items_;
  std::weak_ptr<File> active_;
};

}  // namespace host
