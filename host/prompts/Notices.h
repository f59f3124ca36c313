#pragma once
// What the emulated application tells the user of its own accord, beside the add-ins'
// messages: why it refused a call an add-in made (a file open in another tavo-office process),
// which the add-in's own message may not say. The terminal prints it; without a handler (tests
// of the object model) it goes nowhere.
#include <functional>
#include <string>
#include <string_view>

namespace host {

using NoticeHandler = std::function<void(const std::string& notice)>;

// Installs the handler for the process (nullptr: none).
void SetNoticeHandler(NoticeHandler handler);
void Notice(const std::string& notice);

// The notice for a file another process holds open, e.g.
//   "Word cannot save C:\x.doc: the file is open in another tavo-office process."
void NoticeFileInUse(std::string_view application, std::string_view verb, std::string_view path);

}  // namespace host
