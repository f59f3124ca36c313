// Publishing a new document or workbook as a user does it, in tavo-office processes against the
// stand-in service: the create, then the two calls that make it public and give it its licence.
// Those two calls carry the ticket, so they go over TLS whenever the configured API URL does;
// and one that fails leaves a publish that is not reported done, and that the next Publish
// finishes.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/Files.h"
#include "platform/registry/Registry.h"
#include "service/Server.h"
#include "tests/EndToEnd.h"

namespace tavo::test {
namespace {

namespace reg = platform::registry;
using std::string;

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
  const char* updated;      // the status bar after the Publish of a linked one with nothing left to do
  const char* notPublic;    // the message after a publish that created it but did not make it public
  const char* notLicensed;  // ... that made it public but did not give it its licence
  const char* failed;       // the message after a failed one
  const char* unknownCode;  // an error code of the add-in's service that no table lists
};
const Addin kAddins[] = {
    {"word", &kWriterParameters, "https://writer.tavo.example/api", ".doc", "The Document is Published Successfully",
     "Successfully Updated in Tavo!!!",
     "The document is in Tavo Writer, but it could not be made public. Use Publish in Tavo Share again to finish "
     "publishing it.",
     "The document is in Tavo Writer and public, but its licence could not be set. Use Publish in Tavo Share again "
     "to finish publishing it.",
     "Document Add failed. Please try to 'Add' it again", "1500"},
    {"excel", &kSheetParameters, "https://sheet.tavo.example/api/xml", ".xls",
     "The Workbook is Published successfully!", "Workbook Updated Sucessfully !!",
     "The workbook is in Tavo Sheet, but it could not be made public. Use Publish in Tavo Share again to finish "
     "publishing it.",
     "The workbook is in Tavo Sheet and public, but its licence could not be set. Use Publish in Tavo Share again "
     "to finish publishing it.",
     "Error occured while adding the Workbook to Tavo sheet", "2999"},
};

class PublishCalls : public EndToEndTest {
 protected:
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

  // The add-in's online documents (workbooks) of that name, with their ids.
  std::vector<std::pair<string, service::PublishRecord>> Online(const Addin& addin, const string& name) const {
    std::vector<std::pair<string, service::PublishRecord>> found;
    if (string(addin.kind) == "word") {
      for (const auto& d : server_->Documents())
        if (d.name == name) found.emplace_back(d.id, d.publish);
    } else {
      for (const auto& w : server_->Workbooks())
        if (w.name == name) found.emplace_back(w.id, w.publish);
    }
    return found;
  }

  string UserFile(const Addin& addin, const char* root, const string& name) const {
    return string(root) + "\\tavo\\" + string(addin.params->folderWord) + "\\users\\" + kUser + "\\" + name;
  }
  // The kept copy the publish put into the user's folder.
  string KeptCopy(const Addin& addin, const string& name) const {
    return UserFile(addin, "C:\\Users\\tavo\\Documents", name + addin.extension);
  }
  string Map(const Addin& addin) const {
    const string map = UserFile(addin, "C:\\Users\\tavo\\AppData\\Roaming", string(addin.params->mapFileName));
    return platform::files::FileExists(map) ? platform::files::ReadAllBytes(map) : string();
  }
  string Log(const Addin& addin) const {
    const string log = UserFile(addin, "C:\\Users\\tavo\\AppData\\Roaming", string(addin.params->logFileName));
    return platform::files::FileExists(log) ? platform::files::ReadAllBytes(log) : string();
  }
};

}  // namespace

// The service creates the document, then fails one of the two publishing calls: it cannot be
// sent, it is answered with an HTTP error status, or with the service's error code. The
// document is linked all the same (its record and its kept copy, as after any publish), the
// user hears that it is online but not public (or not licensed), and the next Publish of that
// same document, in this run or after a new start, finishes the publish on it: never a second
// online document. A Publish after that has nothing left to finish.
TEST_F(PublishCalls, APublishThatFailsHalfWayIsFinishedOnTheSameDocument) {
  for (const Addin& addin : kAddins) {
    SCOPED_TRACE(addin.kind);
    auto host = SignedIn(addin);
    const struct {
      const char* name;
      service::Fault fault;
      bool madePublic;
      bool restart;  // the retry comes after Quit and a new start
    } cases[] = {
        {"Refused", service::Fault(kMakePublic, service::FaultKind::RefuseConnection, -1), false, false},
        {"Unlicensed", service::Fault(kLicence, service::FaultKind::Html500, -1), true, true},
        {"Coded", service::Fault(kMakePublic, service::FaultKind::ErrorCode, -1, addin.unknownCode), false, false},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name);
      server_->InjectFault(c.fault);
      const size_t logBefore = Log(addin).size();
      const string screen = Publish(*host, addin, c.name);
      EXPECT_TRUE(Has(screen, c.madePublic ? addin.notLicensed : addin.notPublic)) << screen;
      EXPECT_FALSE(Has(screen, addin.published)) << screen;
      EXPECT_FALSE(Has(screen, addin.failed)) << screen;
      host->Send("click Command1");
      server_->ClearFaults();

      const auto created = Online(addin, c.name);
      ASSERT_EQ(created.size(), 1u) << host->Output();
      EXPECT_EQ(created[0].second.isPublic, c.madePublic);
      EXPECT_EQ(created[0].second.licenseCalls, 0);
      EXPECT_TRUE(Has(Map(addin), "id=\"" + created[0].first + "\"")) << Map(addin);
      EXPECT_TRUE(platform::files::FileExists(KeptCopy(addin, c.name)));
      EXPECT_TRUE(Has(Log(addin).substr(logBefore), "[Error] -- Error while ")) << Log(addin).substr(logBefore);

      if (c.restart) {
        EXPECT_EQ(host->Quit(), 0) << host->Output();
        host = SignedIn(addin);
        host->Send("open " + KeptCopy(addin, c.name) + " " + kPassword);
      }
      EXPECT_TRUE(Has(host->Send("click &Publish in Tavo Share"), addin.published)) << host->Output();
      const auto finished = Online(addin, c.name);
      ASSERT_EQ(finished.size(), 1u);
      EXPECT_TRUE(finished[0].second.isPublic);
      EXPECT_EQ(finished[0].second.licenseName, "Public Domain");
      EXPECT_EQ(finished[0].second.licenseCalls, 1);

      EXPECT_TRUE(Has(host->Send("click &Publish in Tavo Share"), addin.updated)) << host->Output();
      const auto after = Online(addin, c.name);
      ASSERT_EQ(after.size(), 1u);
      EXPECT_EQ(after[0].second.makePublicCalls, finished[0].second.makePublicCalls);
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
      const auto online = Online(addin, name);
      ASSERT_EQ(online.size(), 1u);
      EXPECT_TRUE(online[0].second.isPublic);
      EXPECT_EQ(online[0].second.licenseName, "Public Domain");

      std::vector<bool> overTls;
      for (const auto& r : server_->Requests())
        if (r.path.starts_with("/api/private/")) overTls.push_back(r.tls);
      EXPECT_EQ(overTls, std::vector<bool>(2, https));
      EXPECT_EQ(host->Quit(), 0) << host->Output();
    }
  }
}

}  // namespace tavo::test
