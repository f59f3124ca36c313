#pragma once
// What the tests of the shared core share: a fresh Windows-like environment in a temporary
// folder, a virtual clock standing at a fixed local time, and a host that records the status bar
// and the operations the dialogs call.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/AddinHost.h"
#include "common/AddinParameterSet.h"
#include "platform/core/Clock.h"
#include "platform/environment/TestSupport.h"
#include "platform/files/Files.h"

namespace tavo::test {

using platform::environment::RaisedNumber;
using platform::environment::TempEnvironment;

// Tuesday, June 02, 2009, 13:05:07 local time.
inline platform::TimePoint FixedTime() { return platform::MakeLocalTime(2009, 6, 2, 13, 5, 7); }

class RecordingHost : public AddinHost {
 public:
  void SetStatusBarText(const std::string& text) override { statusTexts.push_back(text); }
  void LoadSelectedDocument() override { Record("LoadSelectedDocument"); }
  void SearchDocuments(const std::string& text) override { Record("SearchDocuments " + text); }
  void LoadLocalDocument() override { Record("LoadLocalDocument"); }
  void DeleteLocalDocument() override { Record("DeleteLocalDocument"); }
  void AddActiveDocument() override { Record("AddActiveDocument"); }
  void OverwriteActiveDocument() override { Record("OverwriteActiveDocument"); }
  bool PublishActiveDocument(const std::string& licenceName, const std::string& licenceUrl,
                             const std::string& licenceImage) override {
    Record("PublishActiveDocument " + licenceName + " | " + licenceUrl + " | " + licenceImage);
    return publishResult;
  }

  std::vector<std::string> statusTexts;
  // Each operation called, with its arguments ("SearchDocuments bud").
  std::vector<std::string> operations;
  // Runs after an operation is recorded, so a test can do what the add-in would (close dialogs).
  std::function<void(const std::string& operation)> onOperation;
  bool publishResult = true;

 private:
  void Record(const std::string& operation) {
    operations.push_back(operation);
    if (onOperation) onOperation(operation);
  }
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
