#pragma once
// What the end-to-end tests share: a fresh environment root in a temporary folder, the
// stand-in service in this process (so that a test sees what reached it and can change things
// "online"), reached through the root's hosts file and trusted CA file, both add-in libraries
// registered as their installers do, and tavo-office processes started on that root. The test
// account (kUser) exists.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/AddinParameterSet.h"
#include "platform/environment/Environment.h"
#include "platform/registry/Registry.h"
#include "service/Server.h"
#include "tests/HostProcess.h"
#include "tests/StandInService.h"

namespace tavo::test {

// Whether a screen (or a log, a body) holds the text.
inline bool Has(const std::string& screen, const std::string& text) { return screen.find(text) != std::string::npos; }

// Each host, and what its sign-in shows when the service cannot be reached.
struct UnreachableMessage {
  const char* kind;
  const char* message;
};
inline constexpr UnreachableMessage kUnreachableMessages[] = {
    {"word", "Could not contact Tavo. Please check your connection and try again."},  // gMsg26
    {"excel", "An Error occurred while contacting Tavo. Please try again in a few minutes."},
};

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* stage = std::getenv("TAVO_STAGE_DIR");
    if (!stage) GTEST_SKIP() << "TAVO_STAGE_DIR is not set (run through ctest)";
    bin_ = std::filesystem::path(stage) / "bin";
    std::string pattern = (std::filesystem::temp_directory_path() / "tavo-e2e-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    environment_ = std::make_unique<platform::environment::ScopedEnvironment>(root_);
    server_ = StartStandIn();
    for (const char* library : {"libtavowriter.so", "libtavosheetexeladdin.so"}) {
      const Finished registered = RunToEnd(bin_ / "tavo-office", {"register", (bin_ / library).string()}, root_);
      ASSERT_EQ(registered.status, 0) << registered.output;
    }
    // Both add-ins write every line of their logs, for the check of what the logs hold.
    for (const AddinParameterSet* addin : {&kWriterParameters, &kSheetParameters})
      platform::registry::WriteValue(platform::registry::HKEY_CURRENT_USER, addin->pluginSettingsKey, "tavologlevel",
                                     platform::registry::StringValue("Info"));
  }
  void TearDown() override {
    if (server_) StopStandIn(*server_, root_);
    environment_.reset();
    std::error_code ec;
    if (!root_.empty()) std::filesystem::remove_all(root_, ec);
  }

  // A tavo-office word|excel process on the root; with `fastClock`, its time runs that many
  // times faster (the waits of the sign-in, for tests that sign in often).
  std::unique_ptr<HostProcess> Start(const char* kind, int fastClock = 0) {
    std::vector<std::string> arguments{kind};
    if (fastClock > 1) arguments.insert(arguments.end(), {"--fast-clock", std::to_string(fastClock)});
    return std::make_unique<HostProcess>(bin_ / "tavo-office", arguments, root_);
  }
  // A value of the registry key the two add-ins share.
  std::string Shared(const std::string& name) const {
    platform::registry::Value value;
    if (!platform::registry::ReadValue(platform::registry::HKEY_CURRENT_USER, "Software\\tavo\\accounts\\reg", name,
                                       &value))
      return {};
    return value.bytes.substr(0, value.bytes.find('\0'));
  }
  // How many requests of the method reached the service on the path.
  size_t Requests(const std::string& method, const std::string& path) const {
    const auto requests = server_->Requests();
    return static_cast<size_t>(std::count_if(requests.begin(), requests.end(), [&](const auto& r) {
      return r.method == method && r.path == path;
    }));
  }

  std::filesystem::path bin_, root_;
  std::unique_ptr<platform::environment::ScopedEnvironment> environment_;
  std::unique_ptr<service::Server> server_;
};

}  // namespace tavo::test
