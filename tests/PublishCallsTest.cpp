// Publishing a new document or workbook as a user does it, in tavo-office processes against the
// stand-in service: the create, then the two calls that make it public and give it its licence.
// Those two calls carry the ticket, so they go over TLS whenever the configured API URL does;
// and one that cannot be sent fails the publish, which is then not reported done.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/Files.h"
#include "platform/registry/Registry.h"
#include "service/Server.h"
#include "tests/EndToEnd.h"

namespace tavo::test {
namespace {

namespace reg = platform::registry;
using std::string;

constexpr const char* kUser = "ann@tavo.example";
constexpr const char* kPassword = "Secret-1";
constexpr int kFastClock = 20;  // the sign-in's waits of several seconds, shortened
constexpr const char* kMakePublic = "/api/private/xml/makePublic/";
constexpr const char* kLicence = "/api/private/TavoSocial/xml/updateLicense/";

// How each add-in publishes a file of its own and tells how that went.
struct Addin {
  const char* kind;  // "word" | "excel"
  const AddinParameterSet* params;
  const char* apiUrl;       // an https API URL for this add-in's service
  const char* extension;
  const char* published;    // the status bar after a publish
  const char* failed;       // the message after a failed one
  const char* failureLine;  // the Error line of the failure path
};
const Addin kAddins[] = {
    {"word", &kWriterParameters, "https://writer.tavo.example/api", ".doc",
     "The Document is Published Successfully", "Document Add failed. Please try to 'Add' it again",
     "Error While creating the document "},
    {"excel", &kSheetParameters, "https://sheet.tavo.example/api/xml", ".xls",
     "The Workbook is Published successfully!", "Error occured while adding the Workbook to Tavo sheet",
     "Error While adding the workbook -"},
};

class PublishCalls : public EndToEndTest {
 protected:
  void SetUp() override {
    EndToEndTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    server_->AddAccount(kUser, kPassword);
  }

  std::unique_ptr<HostProcess> SignedIn(const Addin& addin) {
    auto host = Start(addin.kind, kFastClock);
    host->Send("click &Login");
    host->Send(string("type tavoemailid ") + kUser);
    host->Send(string("type tavopassword ") + kPassword);
    EXPECT_TRUE(Has(host->Send("click Command1"), "&Login (disabled)"));
    return host;
  }

  // A new document (workbook) saved on this computer as `name`, published under Public Domain;
  // the screen after Upload.
  static string Publish(HostProcess& host, const Addin& addin, const string& name) {
    host.Send("new");
    host.Send(string(addin.kind) == "word" ? "type " + name + " text" : "cell A1 " + name);
    host.Send("saveas " + name + addin.extension);
    EXPECT_TRUE(Has(host.Send("click &Publish in Tavo Share"), "[frmLicense]"));
    host.Send("check Check1");
    host.Send("option Option8");
    return host.Send("click Command1");
  }

  // The online document or workbook of that name.
  std::optional<service::PublishRecord> PublishedAs(const string& name) const {
    for (const auto& d : server_->Documents())
      if (d.name == name) return d.publish;
    for (const auto& w : server_->Workbooks())
      if (w.name == name) return w.publish;
    return std::nullopt;
  }

  string Log(const Addin& addin) const {
    const string log = "C:\\Users\\tavo\\AppData\\Roaming\\tavo\\" + string(addin.params->folderWord) + "\\users\\" +
                       kUser + "\\" + string(addin.params->logFileName);
    return platform::files::FileExists(log) ? platform::files::ReadAllBytes(log) : string();
  }
};

}  // namespace

// The service refuses the connection of one of the two calls and nothing else: the document is
// created online and stays so, but the user hears that the publish failed, and the log says
// why; the call after a refused make-public is not sent.
TEST_F(PublishCalls, ACallThatCannotBeSentFailsThePublish) {
  for (const Addin& addin : kAddins) {
    SCOPED_TRACE(addin.kind);
    auto host = SignedIn(addin);
    const struct {
      const char* refused;
      const char* name;
      bool madePublic;
    } cases[] = {{kMakePublic, "Refused", false}, {kLicence, "Unlicensed", true}};
    for (const auto& c : cases) {
      SCOPED_TRACE(c.refused);
      server_->InjectFault(service::Fault(c.refused, service::FaultKind::RefuseConnection, -1));
      const size_t logBefore = Log(addin).size();
      const string screen = Publish(*host, addin, c.name);
      EXPECT_TRUE(Has(screen, addin.failed)) << screen;
      EXPECT_FALSE(Has(screen, addin.published)) << screen;
      host->Send("click Command1");
      server_->ClearFaults();

      const auto online = PublishedAs(c.name);
      ASSERT_TRUE(online) << host->Output();
      EXPECT_EQ(online->isPublic, c.madePublic);
      EXPECT_EQ(online->licenseCalls, 0);  // none after a refused make-public
      const string log = Log(addin).substr(logBefore);
      EXPECT_TRUE(Has(log, "[Error] -- " + string(addin.failureLine))) << log;
    }
    EXPECT_EQ(host->Quit(), 0) << host->Output();
  }
}

// With https API URLs configured, the make-public and licence calls go over TLS too, never in
// clear; with the default (http) URLs they keep the fixed http base.
TEST_F(PublishCalls, ThePublishingCallsFollowTheSchemeOfTheApiUrl) {
  for (const Addin& addin : kAddins) {
    SCOPED_TRACE(addin.kind);
    for (const bool https : {true, false}) {
      SCOPED_TRACE(https ? "https" : "http");
      reg::WriteValue(reg::HKEY_CURRENT_USER, addin.params->pluginSettingsKey, addin.params->apiUrlValue,
                      reg::StringValue(https ? addin.apiUrl : string(addin.params->defaultApiUrl)));
      server_->ClearRequests();
      auto host = SignedIn(addin);
      const string name = https ? "Secure" : "Plain";
      EXPECT_TRUE(Has(Publish(*host, addin, name), addin.published)) << host->Output();
      const auto online = PublishedAs(name);
      ASSERT_TRUE(online);
      EXPECT_TRUE(online->isPublic);
      EXPECT_EQ(online->licenseName, "Public Domain");

      std::vector<bool> overTls;
      for (const auto& r : server_->Requests())
        if (r.path.starts_with("/api/private/")) overTls.push_back(r.tls);
      EXPECT_EQ(overTls, std::vector<bool>(2, https));
      EXPECT_EQ(host->Quit(), 0) << host->Output();
    }
  }
}

}  // namespace tavo::test
