#include "platform/http/Hosts.h"

#include <arpa/inet.h>

#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/core/Text.h"
#include "platform/environment/Environment.h"
#include "platform/http/Http.h"

namespace platform::http {
namespace {

struct NameAndPort {
  std::string name;
  int port = 0;
};

// "name", "name:port", "[v6]", "[v6]:port"; nullopt when the port is not a number.
std::optional<NameAndPort> SplitPort(std::string_view token) {
  NameAndPort out;
  std::string_view port;
  if (token.starts_with('[')) {
    const size_t close = token.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    out.name = token.substr(1, close - 1);
    if (token.size() > close + 1) {
      if (token[close + 1] != ':') return std::nullopt;
      port = token.substr(close + 2);
    }
  } else if (const size_t colon = token.find(':'); colon != std::string_view::npos) {
    if (token.find(':', colon + 1) != std::string_view::npos) {
      out.name = token;  // a bare IPv6 address
    } else {
      out.name = token.substr(0, colon);
      port = token.substr(colon + 1);
    }
  } else {
    out.name = token;
  }
  if (!port.empty()) {
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), out.port);
    if (ec != std::errc() || end != port.data() + port.size() || out.port <= 0 || out.port > 65535)
      return std::nullopt;
  }
  if (out.name.empty()) return std::nullopt;
  out.name = text::LCase(out.name);
  return out;
}

// An IP literal of this machine: 127.0.0.0/8 in dotted-quad form, or ::1. A name is never one,
// whatever it begins with: it would be resolved, and could lead anywhere.
bool IsLoopback(const std::string& address) {
  in_addr v4{};
  if (::inet_pton(AF_INET, address.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  return ::inet_pton(AF_INET6, address.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

}  // namespace

std::vector<HostMapping> ParseHostsFile(std::string_view content) {
  std::vector<HostMapping> mappings;
  std::istringstream lines{std::string(content)};
  std::string line;
  while (std::getline(lines, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream tokens(line);
    std::string token;
    if (!(tokens >> token)) continue;
    const auto address = SplitPort(token);
    if (!address || !IsLoopback(address->name)) continue;
    while (tokens >> token) {
      const auto host = SplitPort(token);
      if (!host) continue;
      mappings.push_back({host->name, host->port, address->name, address->port});
    }
  }
  return mappings;
}

std::optional<HostMapping> FindHostMapping(const std::vector<HostMapping>& mappings,
                                           std::string_view host, int port) {
  const std::string wanted = text::LCase(host);
  const HostMapping* anyPort = nullptr;
  for (const auto& m : mappings) {
    if (m.hostname != wanted) continue;
    if (m.hostPort == port) return m;
    if (m.hostPort == 0 && anyPort == nullptr) anyPort = &m;
  }
  if (anyPort != nullptr) return *anyPort;
  return std::nullopt;
}

std::vector<HostMapping> LoadHostsFile() {
  std::ifstream in(environment::HostPath(kHostsFile), std::ios::binary);
  if (!in) return {};
  std::ostringstream content;
  content << in.rdbuf();
  return ParseHostsFile(content.str());
}

}  // namespace platform::http
