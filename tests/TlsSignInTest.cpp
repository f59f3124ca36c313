// The sign-in of both add-ins over HTTPS, run as a user runs it: the accounts service answers
// only over TLS, with a certificate that the environment's CA file vouches for or not. A
// certificate the environment must not trust stops the sign-in before anything is sent, with the
// add-in's message for a service it cannot reach, and leaves nothing stored: no ticket, name or
// password in the registry, no status "signed in", no credentials file.
#include <filesystem>
#include <string>

#include "common/AddinParameterSet.h"
#include "platform/environment/Environment.h"
#include "platform/http/Http.h"
#include "platform/registry/Registry.h"
#include "service/Server.h"
#include "tests/EndToEnd.h"

namespace tavo::test {
namespace {

namespace fs = std::filesystem;
namespace reg = platform::registry;
using std::string;

constexpr int kFastClock = 20;  // the sign-in's waits of several seconds, shortened


class TlsSignIn : public EndToEndTest {
 protected:
  // The service again, its TLS listener with a certificate of `mode`; the environment's CA
  // file holds the service's CA only when `publishCa`.
  void Serve(service::TlsMode mode, bool publishCa) {
    server_->Stop();
    const fs::path caFile = platform::environment::HostPath(platform::http::kCaFile);
    fs::remove(caFile);
    service::ServerOptions options = StandInOptions();
    options.tls = mode;
    if (!publishCa) options.caOut.clear();
    server_ = StartStandIn(options);
  }

  // Login, the credentials typed into the dialog, OK: the screen the sign-in leaves.
  static string SignIn(HostProcess& host) {
    host.Send("click &Login");
    host.Send(string("type tavoemailid ") + kUser);
    host.Send(string("type tavopassword ") + kPassword);
    return host.Send("click Command1");
  }

  // Everything a sign-in would have stored, "" where nothing is.
  static string Stored() {
    string stored;
    const auto value = [&stored](std::string_view key, const char* name) {
      reg::Value v;
      if (reg::ReadValue(reg::HKEY_CURRENT_USER, key, name, &v) && !v.bytes.empty() && v.bytes != string(1, '\0') &&
          v.bytes != "0" && v.bytes != string("0\0", 2))
        stored += string(key) + " " + name + "; ";
    };
    for (const char* name : {"tavoticketid", "tavousername", "tavopassword", "wordstatus", "excelstatus"})
      value("Software\\tavo\\accounts\\reg", name);
    for (const AddinParameterSet* addin : {&kWriterParameters, &kSheetParameters}) {
      value(addin->pluginSettingsKey, "tavoticketid");
      const string data = "C:\\Users\\tavo\\AppData\\Roaming\\tavo\\" + string(addin->folderWord) + "\\users\\" + kUser +
                          "\\" + string(addin->credentialsFileName);
      if (fs::exists(platform::environment::HostPath(data))) stored += data + "; ";
    }
    return stored;
  }
};

}  // namespace

TEST_F(TlsSignIn, OnlyACertificateTheEnvironmentTrustsLetsTheSignInThrough) {
  const struct {
    const char* what;
    service::TlsMode mode;
    bool publishCa;
  } untrusted[] = {
      {"signed by a CA the environment does not trust", service::TlsMode::UntrustedCa, true},
      {"for another host name", service::TlsMode::WrongHost, true},
      {"with no CA file in the environment", service::TlsMode::Trusted, false},
  };
  for (const auto& c : untrusted) {
    Serve(c.mode, c.publishCa);
    for (const auto& h : kUnreachableMessages) {
      SCOPED_TRACE(string(h.kind) + ", a certificate " + c.what);
      auto host = Start(h.kind, kFastClock);
      const string screen = SignIn(*host);
      EXPECT_TRUE(Has(screen, h.message)) << screen;
      EXPECT_FALSE(Has(host->Send("click Command1"), "&Login (disabled)"));
      EXPECT_EQ(host->Quit(), 0);
      EXPECT_EQ(Requests("POST", "/login"), 0u);
      EXPECT_EQ(Stored(), "");
    }
  }

  // The certificate the environment trusts: the sign-in goes through, over TLS.
  Serve(service::TlsMode::Trusted, true);
  auto word = Start("word", kFastClock);
  const string screen = SignIn(*word);
  EXPECT_TRUE(Has(screen, "&Login (disabled)")) << screen;
  EXPECT_EQ(Requests("POST", "/login"), 2u);
  for (const auto& r : server_->Requests())
    if (r.path == "/login") { EXPECT_TRUE(r.tls); }
  EXPECT_NE(Stored(), "");
  EXPECT_EQ(word->Quit(), 0);
}

// A sign-in begun over TLS that the accounts address redirects to plain http (307 resends the
// body, the password with it) fails as an unreachable service does, and nothing of it goes out
// in clear.
TEST_F(TlsSignIn, ARedirectToPlainHttpIsNotFollowed) {
  Serve(service::TlsMode::Trusted, true);
  // The service's plain listener by its address: the hosts file maps the suite's names for the
  // first request only.
  server_->InjectFault(
      service::Fault("/login", service::FaultKind::Redirect, -1, "307").WithLocation(server_->Url() + "/login"));
  for (const auto& h : kUnreachableMessages) {
    SCOPED_TRACE(h.kind);
    auto host = Start(h.kind, kFastClock);
    EXPECT_TRUE(Has(SignIn(*host), h.message));
    EXPECT_FALSE(Has(host->Send("click Command1"), "&Login (disabled)"));
    EXPECT_EQ(host->Quit(), 0);
    EXPECT_EQ(Stored(), "");
  }
  EXPECT_GE(Requests("POST", "/login"), 2u);
  size_t inClear = 0;
  for (const auto& r : server_->Requests())
    if (!r.tls && (r.path == "/login" || r.body.find("PASSWORD=") != string::npos)) ++inClear;
  EXPECT_EQ(inClear, 0u);
}

}  // namespace tavo::test
