#include "platform/environment/Environment.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/environment/PrivateFiles.h"

namespace fs = std::filesystem;

namespace platform::environment {
namespace {

std::atomic<std::uint64_t> g_nextId{1};
std::atomic<Environment*> g_current{nullptr};

std::string EnvOr(const char* name, std::string fallback) {
  const char* v = std::getenv(name);
  return (v && *v) ? std::string(v) : std::move(fallback);
}

fs::path DefaultRoot() {
  if (const char* root = std::getenv("TAVO_ROOT"); root && *root) return root;
  std::string home = EnvOr("HOME", "");
  if (home.empty()) {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) home = pw->pw_dir;
  }
  if (home.empty()) home = "/tmp";
  return fs::path(home) / ".tavo";
}

Environment& DefaultEnvironment() {
  static Environment environment(DefaultRoot(), EnvOr("TAVO_USER", "tavo"));
  return environment;
}

// Windows ignores trailing blanks and dots of a path component ("name. " is "name").
std::string StripTrailingDotsAndBlanks(std::string component) {
  if (component == "." || component == "..") return component;
  while (!component.empty() && (component.back() == ' ' || component.back() == '.')) component.pop_back();
  return component;
}

// The components of the part after the drive: separators of either kind, doubled or not;
// "." dropped, ".." going up but never above the drive's root.
std::vector<std::string> SplitComponents(std::string_view rest) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = rest.size();
    std::string part = StripTrailingDotsAndBlanks(std::string(rest.substr(start, end - start)));
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    start = end + 1;
  }
  return parts;
}

// The entry of `folder` whose name equals `name` ignoring case; the first in name order
// when several do, so the choice does not depend on the order the file system lists them.
bool FindIgnoringCase(const fs::path& folder, const std::string& name, std::string* found) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec), end;
  if (ec) return false;
  std::string folded = text::FoldCase(name);
  bool any = false;
  for (; it != end; it.increment(ec)) {
    if (ec) break;
    std::string entry = it->path().filename().string();
    if (text::FoldCase(entry) != folded) continue;
    if (!any || entry < *found) *found = entry;
    any = true;
  }
  return any;
}

// `path` relative to `base` when it lies inside it (both lexically normal and absolute).
bool RelativeInside(const fs::path& path, const fs::path& base, fs::path* rest) {
  auto p = path.begin();
  for (auto b = base.begin(); b != base.end(); ++b) {
    if (b->empty()) continue;  // trailing separator of the base
    if (p == path.end() || *p != *b) return false;
    ++p;
  }
  fs::path r;
  for (; p != path.end(); ++p) {
    if (!p->empty()) r /= *p;
  }
  *rest = r;
  return true;
}

std::string JoinWindows(std::string drive, const fs::path& rest) {
  std::string out = std::move(drive);
  for (const auto& part : rest) {
    out += '\\';
    out += part.string();
  }
  if (out.size() == 2) out += '\\';
  return out;
}

}  // namespace

Environment::Environment(fs::path root, std::string userName)
    : userName_(text::Trim(userName).empty() ? std::string("tavo") : text::Trim(userName)),
      id_(g_nextId.fetch_add(1)) {
  std::error_code ec;
  fs::path absolute = fs::absolute(root, ec);
  if (ec) Raise(err::PathNotFound, {}, root.string());
  fs::path user = absolute / "drive_c" / "Users" / userName_;
  // Nothing is made in, nor read from, a folder that another user could change (checked again once
  // made, for a folder that turned up meanwhile).
  for (const fs::path& folder : {user / "Documents", user / "AppData" / "Roaming",
                                 absolute / "drive_c" / "Windows" / "System32" / "drivers" / "etc"}) {
    RequireUsersOwnFolders(absolute, folder);
    CreatePrivateFolders(folder, ec);
    if (ec) Raise(err::PathNotFound, "Path not found: " + folder.string());
    RequireUsersOwnFolders(absolute, folder);
  }
  // A root made before its folders were kept private, or by hand, is closed to others: nothing
  // below it can then be reached by them.
  NarrowToOwner(absolute);
  root_ = fs::weakly_canonical(absolute, ec);
  if (ec) root_ = absolute.lexically_normal();
}

fs::path Environment::HostPath(std::string_view windowsPath) const {
  if (windowsPath.find('\0') != std::string_view::npos) Raise(err::BadFileNameOrNumber);
  bool hasDrive = windowsPath.size() >= 2 && windowsPath[1] == ':' &&
                  std::isalpha(static_cast<unsigned char>(windowsPath[0]));
  bool absolute = hasDrive && (windowsPath.size() == 2 || windowsPath[2] == '\\' || windowsPath[2] == '/');
  if (!absolute) Raise(err::PathNotFound);
  fs::path current;
  switch (std::toupper(static_cast<unsigned char>(windowsPath[0]))) {
    case 'C': current = root_ / "drive_c"; break;
    case 'Z': current = "/"; break;
    default: Raise(err::PathNotFound);
  }
  bool onDisk = true;  // every component so far exists, so the next may be found ignoring case
  for (const std::string& part : SplitComponents(windowsPath.substr(2))) {
    fs::path exact = current / part;
    std::error_code ec;
    if (!onDisk || fs::symlink_status(exact, ec).type() != fs::file_type::not_found) {
      current = std::move(exact);
      continue;
    }
    std::string found;
    if (FindIgnoringCase(current, part, &found)) {
      current /= found;
    } else {
      current = std::move(exact);
      onDisk = false;
    }
  }
  return current;
}

std::string Environment::WindowsPath(const fs::path& hostPath) const {
  std::error_code ec;
  fs::path path = fs::absolute(hostPath, ec).lexically_normal();
  fs::path driveC = root_ / "drive_c";
  fs::path rest;
  if (RelativeInside(path, driveC, &rest)) return JoinWindows("C:", rest);
  fs::path canonical = fs::weakly_canonical(path, ec);
  if (!ec && RelativeInside(canonical, driveC, &rest)) return JoinWindows("C:", rest);
  RelativeInside(path, "/", &rest);
  return JoinWindows("Z:", rest);
}

Environment& Current() {
  Environment* installed = g_current.load(std::memory_order_acquire);
  return installed ? *installed : DefaultEnvironment();
}

ScopedEnvironment::ScopedEnvironment(fs::path root, std::string userName)
    : environment_(std::move(root), std::move(userName)),
      previous_(g_current.exchange(&environment_, std::memory_order_acq_rel)) {}

ScopedEnvironment::~ScopedEnvironment() { g_current.store(previous_, std::memory_order_release); }

fs::path HostPath(std::string_view windowsPath) { return Current().HostPath(windowsPath); }

std::string LexicalWindowsPath(std::string_view windowsPath) {
  const bool hasDrive =
      windowsPath.size() >= 2 && windowsPath[1] == ':' && std::isalpha(static_cast<unsigned char>(windowsPath[0]));
  std::string path(windowsPath.substr(0, hasDrive ? 2 : 0));
  const std::string_view rest = windowsPath.substr(path.size());
  const std::vector<std::string> steps = SplitComponents(rest);
  const bool rooted = !rest.empty() && (rest.front() == '\\' || rest.front() == '/');
  for (size_t i = 0; i < steps.size(); ++i) path += (i > 0 || rooted ? "\\" : "") + steps[i];
  if (steps.empty() && rooted) path += "\\";
  return path;
}

}  // namespace platform::environment
