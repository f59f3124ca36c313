#include "platform/http/Url.h"

#include <gtest/gtest.h>

#include "platform/http/Hosts.h"

using namespace platform::http;

TEST(Url, EncodesOnlyWhatAUrlMayNotHold) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"http://h/p?licensename=All Rights Reserved", "http://h/p?licensename=All%20Rights%20Reserved"},
      {"http://h/M\xC3\xBCller", "http://h/M%C3%BCller"},
      {"http://h/a%20b", "http://h/a%20b"},
      {"http://h/api/?apikey=k&licenseurl=http://c.example/by/3.0/&x=~_-.*'()",
       "http://h/api/?apikey=k&licenseurl=http://c.example/by/3.0/&x=~_-.*'()"},
      {"http://h/<\"\\^`{|}>\t", "http://h/%3C%22%5C%5E%60%7B%7C%7D%3E%09"},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeUrl(c.in), c.out) << c.in;
}

TEST(Url, TargetOfAnUrl) {
  const struct {
    const char* url;
    const char* scheme;
    const char* host;
    int port;
  } cases[] = {
      {"http://Writer.Tavo.Example/api", "http", "writer.tavo.example", 80},
      {"https://accounts.tavo.example/login?", "https", "accounts.tavo.example", 443},
      {"http://127.0.0.1:8080?x=1", "http", "127.0.0.1", 8080},
      {"http://user:pw@h:81/", "http", "h", 81},
      {"http://[::1]:9000/", "http", "::1", 9000},
  };
  for (const auto& c : cases) {
    const auto t = ParseUrlTarget(c.url);
    ASSERT_TRUE(t) << c.url;
    EXPECT_EQ(t->scheme, c.scheme);
    EXPECT_EQ(t->host, c.host);
    EXPECT_EQ(t->port, c.port);
  }
  for (const char* bad : {"writer.tavo.example/api", "http:///p", "http://h:x/", "http://h:70000/"})
    EXPECT_FALSE(ParseUrlTarget(bad)) << bad;
}

TEST(Hosts, ParsesLinesAndPicksTheMostSpecificEntry) {
  const auto m = ParseHostsFile(
      "# stand-in service\n"
      "127.0.0.1:8080  writer.tavo.example Sheet.Tavo.Example   # both\n"
      "127.0.0.1:8443  accounts.tavo.example:443\n"
      "127.0.0.1:8081  accounts.tavo.example\n"
      "127.0.0.2       www.tavo.example:8000\n"
      "10.1.2.3        far.tavo.example\n"
      "[::1]:9000      six.tavo.example\n");
  const struct {
    const char* host;
    int port;
    const char* address;  // nullptr: not mapped
    int addressPort;
  } cases[] = {
      {"writer.tavo.example", 80, "127.0.0.1", 8080},
      {"sheet.tavo.example", 80, "127.0.0.1", 8080},
      {"ACCOUNTS.tavo.example", 443, "127.0.0.1", 8443},
      {"accounts.tavo.example", 80, "127.0.0.1", 8081},
      {"www.tavo.example", 8000, "127.0.0.2", 0},
      {"www.tavo.example", 80, nullptr, 0},
      {"far.tavo.example", 80, nullptr, 0},  // not this machine: ignored
      {"six.tavo.example", 80, "::1", 9000},
  };
  for (const auto& c : cases) {
    const auto found = FindHostMapping(m, c.host, c.port);
    if (c.address == nullptr) {
      EXPECT_FALSE(found) << c.host;
      continue;
    }
    ASSERT_TRUE(found) << c.host;
    EXPECT_EQ(found->address, c.address) << c.host;
    EXPECT_EQ(found->addressPort, c.addressPort) << c.host;
  }
}

// An address is taken only as an IP literal of this machine: a name that merely looks like one
// would be resolved and could lead anywhere.
TEST(Hosts, TakesOnlyLoopbackAddressesWrittenAsLiterals) {
  const struct {
    const char* address;
    bool taken;
  } cases[] = {
      {"127.0.0.1", true},
      {"127.255.3.4:8080", true},
      {"[::1]:9000", true},
      {"0:0:0:0:0:0:0:1", true},
      {"127.attacker.example", false},
      {"127.0.0.1.attacker.example", false},
      {"127.attacker.example:8080", false},
      {"127.1", false},
      {"0x7f.0.0.1", false},
      {"0177.0.0.1", false},
      {"127.0.0.256", false},
      {"128.0.0.1", false},
      {"localhost", false},
      {"[::ffff:127.0.0.1]", false},
      {"[::2]", false},
  };
  for (const auto& c : cases) {
    const auto m = ParseHostsFile(std::string(c.address) + " writer.tavo.example\n");
    EXPECT_EQ(FindHostMapping(m, "writer.tavo.example", 80).has_value(), c.taken) << c.address;
  }
}
