#include "host/prompts/Notices.h"

namespace host {
namespace {
NoticeHandler& Handler() {
  static NoticeHandler handler;
  return handler;
}
}  // namespace

void SetNoticeHandler(NoticeHandler handler) { Handler() = std::move(handler); }

void Notice(const std::string& notice) {
  if (Handler()) Handler()(notice);
}

void NoticeFileInUse(std::string_view application, std::string_view verb, std::string_view path) {
  Notice(std::string(application) + " cannot " + std::string(verb) + " " + std::string(path) +
         ": the file is open in another tavo-office process.");
}

}  // namespace host
