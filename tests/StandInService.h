#pragma once
// The stand-in service in the test's own process, reached the way the add-ins reach the suite:
// the suite's names lead to it through the environment's hosts file, its certificate is trusted
// through the environment's CA file, and the test account exists. The test sees what reached it
// and changes things "online" through the Server.
#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/environment/Environment.h"
#include "platform/http/Http.h"
#include "service/Server.h"
#include "tests/LogSecrets.h"

namespace tavo::test {

// The account the tests sign in with.
inline constexpr const char* kUser = "ann@tavo.example";
inline constexpr const char* kPassword = "Secret-1";

// The service's options, with its CA certificate written where the environment trusts it.
inline service::ServerOptions StandInOptions() {
  service::ServerOptions options;
  options.caOut = platform::environment::HostPath(platform::http::kCaFile);
  return options;
}

// Starts the service on the options, writes the environment's hosts file and adds the account.
inline std::unique_ptr<service::Server> StartStandIn(service::ServerOptions options = StandInOptions()) {
  auto server = std::make_unique<service::Server>(std::move(options));
  server->Start();
  server->WriteHostsFile(platform::environment::HostPath(platform::http::kHostsFile));
  server->AddAccount(kUser, kPassword);
  return server;
}

// How many requests reached the service on the path.
inline size_t RequestsTo(const service::Server& server, const std::string& path) {
  const auto requests = server.Requests();
  return static_cast<size_t>(
      std::count_if(requests.begin(), requests.end(), [&](const auto& r) { return r.path == path; }));
}

// The requests that called the method (its whole name), in the order received.
inline std::vector<service::RecordedRequest> CallsOf(const service::Server& server, const std::string& method) {
  std::vector<service::RecordedRequest> calls;
  for (const auto& r : server.Requests())
    if (r.body.find("<methodName>" + method + "</methodName>") != std::string::npos) calls.push_back(r);
  return calls;
}

// Stops the service, and checks that no add-in log under the environment root holds one of its
// secrets.
inline void StopStandIn(service::Server& server, const std::filesystem::path& root) {
  server.Stop();
  ExpectNoSecretsInLogs(root, server.Secrets());
}

}  // namespace tavo::test
