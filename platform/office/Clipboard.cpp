#include "platform/office/Clipboard.h"

#include <map>
#include <mutex>

namespace platform::office::clipboard {
namespace {
std::mutex g_mutex;
std::map<std::string, std::string, std::less<>>& Data() {
  static std::map<std::string, std::string, std::less<>> data;
  return data;
}
}  // namespace

void Clear() {
  std::lock_guard lock(g_mutex);
  Data().clear();
}

void SetData(std::string_view format, std::string data) {
  std::lock_guard lock(g_mutex);
  Data().insert_or_assign(std::string(format), std::move(data));
}

std::optional<std::string> GetData(std::string_view format) {
  std::lock_guard lock(g_mutex);
  auto it = Data().find(format);
  if (it == Data().end()) return std::nullopt;
  return it->second;
}

bool HasFormat(std::string_view format) {
  std::lock_guard lock(g_mutex);
  return Data().find(format) != Data().end();
}

std::vector<std::string> Formats() {
  std::lock_guard lock(g_mutex);
  std::vector<std::string> formats;
  for (const auto& [name, data] : Data()) formats.push_back(name);
  return formats;
}

}  // namespace platform::office::clipboard
