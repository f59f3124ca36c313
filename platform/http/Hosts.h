#pragma once
// The hosts file of the environment. Each line is
//   <address>[:<port>]  <hostname>[:<port>] ...      # comment
// and sends requests for a host name (only those to the given port when the name carries
// one) to the address and, when given, the port on the left. Addresses are IP literals of this
// machine only (127.0.0.0/8, ::1): lines naming any other address, or a name of any kind, are
// ignored, so a stray entry can never send a request off the machine, nor have a name resolved.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::http {

struct HostMapping {
  std::string hostname;  // lower case
  int hostPort = 0;      // 0: any port
  std::string address;   // without brackets
  int addressPort = 0;   // 0: the port of the request
};

std::vector<HostMapping> ParseHostsFile(std::string_view content);

// The mapping for a request to host:port. An entry naming the port wins over one without;
// otherwise the first matching line wins.
std::optional<HostMapping> FindHostMapping(const std::vector<HostMapping>& mappings,
                                           std::string_view host, int port);

// The mappings of the current environment's hosts file (none when it does not exist).
std::vector<HostMapping> LoadHostsFile();

}  // namespace platform::http
