// The https sign-in through the hosts file and the environment's CA file, and the TLS
// failures a client must report.
#include <gtest/gtest.h>

#include "platform/environment/TestSupport.h"
#include "platform/http/Http.h"
#include "platform/http/XmlHttpRequest.h"
#include "service/Defaults.h"
#include "service/Server.h"

namespace tavo::service::test {
namespace {

namespace http = platform::http;
using platform::environment::HostPath;
using platform::environment::RaisedNumber;
using platform::environment::TempEnvironment;

std::string SignIn() {
  http::XmlHttpRequest req;
  req.open("POST", std::string(defaults::kAccountsUrl) + "login?");
  req.setRequestHeader("Content-Type", "application/x-www-form-urlencoded; charset=UTF-8");
  req.send("servicename=TavoWriter&silent=true&LOGIN_ID=ann%40tavo.example&PASSWORD=pw");
  return req.responseText();
}

struct Running {
  explicit Running(TlsMode mode, bool publishCa = true) {
    ServerOptions options;
    options.tls = mode;
    if (publishCa) options.caOut = HostPath(http::kCaFile);
    server = std::make_unique<Server>(options);
    server->Start();
    server->AddAccount("ann@tavo.example", "pw");
    server->WriteHostsFile(HostPath(http::kHostsFile));
  }
  std::unique_ptr<Server> server;
};

TEST(Tls, SignInOverHttpsWithTheGeneratedCa) {
  TempEnvironment env;
  Running running(TlsMode::Trusted);
  const std::string page = SignIn();
  EXPECT_NE(page.find("ticket="), std::string::npos) << page;
  const auto requests = running.server->Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].tls);
  EXPECT_EQ(requests[0].host, "accounts.tavo.example");
  EXPECT_EQ(requests[0].path, "/login");
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded; charset=UTF-8");
}

TEST(Tls, CertificatesThatMustNotBeTrusted) {
  const struct {
    TlsMode mode;
    bool publishCa;
    long number;
  } cases[] = {
      {TlsMode::Trusted, false, http::err::CertificateAuthority},
      {TlsMode::UntrustedCa, true, http::err::CertificateAuthority},
      {TlsMode::WrongHost, true, http::err::CertificateHostName},
  };
  for (const auto& c : cases) {
    TempEnvironment env;
    Running running(c.mode, c.publishCa);
    EXPECT_EQ(RaisedNumber([] { SignIn(); }), c.number) << static_cast<int>(c.mode);
    EXPECT_TRUE(running.server->Requests().empty());
  }
}

}  // namespace
}  // namespace tavo::service::test
