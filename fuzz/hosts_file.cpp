// The environment's hosts file, which a hostile program or another user may have written. Whatever
// it holds, every mapping it yields sends its name to a loopback IP literal (127.0.0.0/8 or ::1),
// never to a name that would be resolved, and the lookup of an ASCII name from it finds one.
#include <arpa/inet.h>

#include <algorithm>

#include "fuzz/FuzzSupport.h"
#include "platform/http/Hosts.h"

namespace {

bool LoopbackLiteral(const std::string& address) {
  unsigned char bytes[16];
  if (::inet_pton(AF_INET, address.c_str(), bytes) == 1) return bytes[0] == 127;
  static const unsigned char kLoopback6[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  return ::inet_pton(AF_INET6, address.c_str(), bytes) == 1 && std::equal(bytes, bytes + 16, kLoopback6);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace platform::http;
  const auto mappings = ParseHostsFile(tavo::fuzz::Text(data, size));
  for (const HostMapping& m : mappings) {
    tavo::fuzz::Require(LoopbackLiteral(m.address), "every address is a loopback IP literal");
    tavo::fuzz::Require(!m.hostname.empty(), "every mapping names a host");
    const auto found = FindHostMapping(mappings, m.hostname, m.hostPort == 0 ? 80 : m.hostPort);
    // Names of hosts are ASCII; letter case is folded for those.
    const bool ascii = std::all_of(m.hostname.begin(), m.hostname.end(), [](char c) { return c > 0 && c < 0x7F; });
    tavo::fuzz::Require(found ? LoopbackLiteral(found->address) : !ascii,
                        "a name of the file is found, at a loopback IP literal");
  }
  return 0;
}
