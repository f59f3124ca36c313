#pragma once
// The stand-in service in process, reached the way the add-ins reach the suite: through the
// environment's hosts file and trusted CA file, over a real loopback socket, with one account.
#include <memory>
#include <string>

#include "common/AddinState.h"
#include "common/tests/TestEnvironment.h"
#include "platform/http/Http.h"
#include "service/Server.h"
#include "tests/StandInService.h"

namespace tavo::test {

class StandInTest : public CoreTest {
 protected:
  void SetUp() override {
    server_ = StartStandIn();
  }
  void TearDown() override {
    server_->Stop();
    platform::http::ResetTimeouts();
  }

  // The add-in's service settings at their defaults, signed in to the account.
  void SignIn(AddinState& state) {
    state.gWriterApiUrl = std::string(state.params.defaultApiUrl);
    state.gWriterApiBaseUrl = std::string(state.params.privateApiBaseUrl);
    state.gAccountsUrl = std::string(state.params.defaultAccountsUrl);
    state.gTicket = server_->SignIn(kUser);
  }

  // Short limits for the tests of a service that does not answer.
  static void ShortTimeouts() { platform::http::SetTimeouts({std::chrono::milliseconds(500), std::chrono::milliseconds(500)}); }

  std::unique_ptr<service::Server> server_;
};

}  // namespace tavo::test
