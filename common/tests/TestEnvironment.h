#pragma once
// A fresh Windows-like environment in a temporary folder and a virtual clock standing at a fixed
// local time, for the duration of one test.
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/core/Clock.h"
#include "platform/environment/Environment.h"

namespace tavo::test {

inline std::filesystem::path MakeTempRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tavo-common-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

class TempEnvironment {
 public:
  TempEnvironment() : root_(MakeTempRoot()), env_(root_) {}
  ~TempEnvironment() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path HostPath(const std::string& windowsPath) { return env_.environment().HostPath(windowsPath); }

 private:
  std::filesystem::path root_;
  platform::environment::ScopedEnvironment env_;
};

// Tuesday, June 02, 2009, 13:05:07 local time.
inline platform::TimePoint FixedTime() { return platform::MakeLocalTime(2009, 6, 2, 13, 5, 7); }

}  // namespace tavo::test
