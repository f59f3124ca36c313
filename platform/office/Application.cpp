#include "platform/office/Application.h"

#include <map>
#include <mutex>

#include "platform/core/Text.h"

namespace platform::office {
namespace {
std::mutex g_mutex;
std::map<std::string, std::weak_ptr<Application>>& Table() {
  static std::map<std::string, std::weak_ptr<Application>> table;
  return table;
}
}  // namespace

Application::~Application() = default;

void RegisterActiveObject(std::string_view className, const Ref<Application>& application) {
  std::lock_guard lock(g_mutex);
  Table()[text::FoldCase(className)] = application.shared();
}

void RevokeActiveObject(std::string_view className, const Application* application) {
  std::lock_guard lock(g_mutex);
  auto it = Table().find(text::FoldCase(className));
  if (it == Table().end()) return;
  auto current = it->second.lock();
  if (!current || current.get() == application) Table().erase(it);
}

Ref<Application> GetActiveObject(std::string_view className) {
  std::lock_guard lock(g_mutex);
  auto it = Table().find(text::FoldCase(className));
  if (it != Table().end()) {
    if (auto app = it->second.lock()) return Ref<Application>(app);
  }
  Raise(kCannotCreateObjectError, "Cannot create object");
}

}  // namespace platform::office
