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

#include <gtest/gtest.h>

#include <vector>

#include "common/AddinHost.h"
#include "common/AddinParameterSet.h"
#include "platform/files/Files.h"

namespace tavo::test {

// Records what the core writes to the status bar.
class RecordingHost : public AddinHost {
 public:
  void SetStatusBarText(const std::string& text) override { statusTexts.push_back(text); }
  std::vector<std::string> statusTexts;
};

// Names the cases of a test run for both add-ins.
inline std::string AddinName(const ::testing::TestParamInfo<const AddinParameterSet*>& param) {
  return std::string(param.param->name);
}

// A test with its own environment and the clock standing at FixedTime().
class CoreTest : public ::testing::Test {
 protected:
  std::string Read(const std::string& windowsPath) { return platform::files::ReadAllBytes(windowsPath); }

  TempEnvironment env_;
  platform::ScopedVirtualClock clock_{FixedTime()};
};

}  // namespace tavo::test
