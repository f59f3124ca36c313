#pragma once
// For tests of code that uses the platform: a fresh environment in a temporary folder, and
// the number of the run-time error a call raises.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

#include "platform/core/RuntimeError.h"
#include "platform/environment/Environment.h"

namespace platform::environment {

// A new environment in a new temporary folder, installed as the current one for the scope
// and removed with everything in it afterwards.
class TempEnvironment {
 public:
  explicit TempEnvironment(std::string userName = "tavo")
      : folder_(MakeFolder()), scoped_(folder_ / "root", std::move(userName)) {}
  ~TempEnvironment() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  TempEnvironment(const TempEnvironment&) = delete;
  TempEnvironment& operator=(const TempEnvironment&) = delete;

  Environment& environment() { return scoped_.environment(); }
  const std::filesystem::path& root() { return scoped_.environment().root(); }

 private:
  static std::filesystem::path MakeFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavo-env-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return std::filesystem::weakly_canonical(pattern);
  }
  std::filesystem::path folder_;
  ScopedEnvironment scoped_;
};

// Sets the process's umask for the scope.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(previous_); }
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t previous_;
};

// The permission bits of a file or folder (-1 when there is none).
inline int ModeOf(const std::filesystem::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// The number of the RuntimeError that `call` raises; 0 when it raises none.
inline long RaisedNumber(const std::function<void()>& call) {
  try {
    call();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace platform::environment
