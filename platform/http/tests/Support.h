#pragma once
// Shared by the transport tests: the hosts file of the test environment, and a free port.
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/environment/Environment.h"
#include "platform/http/Http.h"
#include "platform/http/tests/TestServer.h"

namespace platform::http::test {

inline void WriteEnvironmentFile(std::string_view windowsPath, const std::string& content) {
  const auto path = environment::HostPath(windowsPath);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

// A loopback port on which nothing listens (a server was there a moment ago).
inline int ClosedPort() {
  TestServer server;
  return server.port();
}

}  // namespace platform::http::test
