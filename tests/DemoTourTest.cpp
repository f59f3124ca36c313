// The tour of scripts/demo, run as the demo runs it (through scripts/demo-tour, which also changes
// a document and a workbook online in the middle, and runs Excel beside Word): tavo-office in a
// fresh environment with both add-ins registered, against the stand-in service with its demo
// account (here in this process, so that the test can see what reached it).
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/environment/TestSupport.h"
#include "platform/files/Files.h"
#include "platform/http/Http.h"
#include "platform/registry/Registry.h"
#include "service/Seed.h"
#include "tests/EndToEnd.h"

namespace tavo::test {
namespace {

// The screen printed after the command `command` of the script (up to the next command).
std::string ScreenAfter(const std::string& output, const std::string& command) {
  const size_t at = output.find("> " + command + "\n");
  if (at == std::string::npos) return {};
  const size_t end = output.find("\n> ", at + 1);
  return output.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

class DemoTour : public EndToEndTest {
 protected:
  void SetUp() override {
    EndToEndTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    service::SeedDemo(*server_);
  }
  std::optional<service::Document> Online(const std::string& name) const {
    for (const auto& d : server_->Documents())
      if (d.name == name) return d;
    return std::nullopt;
  }
};

// The tour with the usual umask, which lets everyone read what is created, on a root that an
// earlier run left open to everyone.
class PrivateTour : public DemoTour {
 protected:
  void SetUp() override {
    umask_.emplace(022);
    DemoTour::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_EQ(::chmod(root_.c_str(), 0755), 0);
  }
  std::optional<platform::environment::ScopedUmask> umask_;
};

}  // namespace

// Everything the hosts and the add-ins leave in the root is the user's alone: the registry with
// the password and the ticket, the credentials and map files, the logs, the documents and
// workbooks and their local copies, and the folders they are in. Only what others put there (the
// stand-in's hosts and CA files, the tour's picture) is as they made it.
TEST_F(PrivateTour, LeavesNothingOthersCanRead) {
  const Finished tour = RunToEnd(std::filesystem::path(TAVO_SOURCE_DIR) / "scripts/demo-tour",
                                 {(bin_ / "tavo-office").string(), TAVO_DEMO_TOUR, server_->Url()}, root_);
  ASSERT_EQ(tour.status, 0) << tour.output;
  // The tour went through Word's part and Excel's.
  ASSERT_TRUE(Online("Minutes")) << tour.output;
  const auto workbooks = server_->Workbooks();
  ASSERT_TRUE(std::any_of(workbooks.begin(), workbooks.end(), [](const auto& w) { return w.name == "Ideas"; }));

  namespace fs = std::filesystem;
  std::set<fs::path> othersOwn;
  for (const std::string_view path : {platform::http::kHostsFile, platform::http::kCaFile,
                                      std::string_view("C:\\Windows\\System32\\certs"),
                                      std::string_view("C:\\Users\\tavo\\Documents\\tour-picture.gif")})
    othersOwn.insert(platform::environment::HostPath(path));
  EXPECT_EQ(platform::environment::ModeOf(root_), 0700);
  size_t files = 0;
  std::vector<std::string> open;
  for (const auto& entry : fs::recursive_directory_iterator(root_)) {
    if (othersOwn.count(entry.path()) != 0) continue;
    const bool folder = entry.is_directory();
    files += folder ? 0 : 1;
    const int mode = platform::environment::ModeOf(entry.path());
    if (mode != (folder ? 0700 : 0600)) open.push_back(entry.path().string() + " " + std::to_string(mode));
  }
  EXPECT_EQ(open, std::vector<std::string>{});
  EXPECT_GT(files, 10u);
}

TEST_F(DemoTour, RunsFromSignInToQuit) {
  const Finished tour = RunToEnd(std::filesystem::path(TAVO_SOURCE_DIR) / "scripts/demo-tour",
                                 {(bin_ / "tavo-office").string(), TAVO_DEMO_TOUR, server_->Url()}, root_);
  EXPECT_EQ(tour.status, 0) << tour.output;

  // Start-up: the signed-out toolbar, in English.
  const std::string start = tour.output.substr(0, tour.output.find("\n> "));
  EXPECT_NE(start.find("[ &Open ](disabled)"), std::string::npos) << start;
  EXPECT_NE(start.find("Status bar: You are not signed in to Tavo."), std::string::npos) << start;

  // Login shows the sign-in dialog; confirming it signs the demo account in.
  EXPECT_NE(ScreenAfter(tour.output, "click &Login").find("[frmConfig] \"Tavo Credentials\" (modal)"), std::string::npos)
      << tour.output;
  const std::string signedIn = ScreenAfter(tour.output, "click Command1");
  EXPECT_NE(signedIn.find("&Login (disabled)"), std::string::npos) << signedIn;
  EXPECT_NE(signedIn.find("[ &Open ] | [ &Save ] | [ &Add ]"), std::string::npos) << signedIn;
  EXPECT_EQ(signedIn.find("[frmConfig]"), std::string::npos) << signedIn;
  EXPECT_EQ(Requests("GET", "/"), 1u);  // the home page, before the sign-in
  EXPECT_EQ(Requests("POST", "/login"), 2u);

  // A listed document opens, is typed into and saved; changed online, it is saved again after
  // the overwrite question.
  EXPECT_NE(ScreenAfter(tour.output, "type Edited on the desktop.").find("Welcome.doc (modified) (password)"),
            std::string::npos)
      << tour.output;
  EXPECT_NE(ScreenAfter(tour.output, "click &Save in Tavo Writer").find("Status bar: Document saved successfully"),
            std::string::npos)
      << tour.output;
  EXPECT_NE(tour.output.find("(online: Welcome changed by someone else)"), std::string::npos) << tour.output;
  EXPECT_NE(tour.output.find("[frmLowVersion]"), std::string::npos) << tour.output;
  const auto welcome = Online("Welcome");
  ASSERT_TRUE(welcome);
  EXPECT_NE(welcome->content.find("Edited again."), std::string::npos) << welcome->content;
  EXPECT_EQ(welcome->version, 6);  // 3, saved, changed online, saved again

  // The new document went up with its picture; the other one is public under its licence.
  const auto minutes = Online("Minutes");
  ASSERT_TRUE(minutes) << tour.output;
  EXPECT_NE(minutes->content.find("<img src=\"http://writer.tavo.example/pictures/"), std::string::npos)
      << minutes->content;
  EXPECT_EQ(server_->Pictures().size(), 2u);  // the demo's own and the tour's
  const auto essay = Online("Essay");
  ASSERT_TRUE(essay) << tour.output;
  EXPECT_TRUE(essay->publish.isPublic);
  EXPECT_EQ(essay->publish.licenseName, "Attribution");

  // The local copies: Welcome's kept, Minutes' deleted with its record.
  const std::string copies = "C:\\Users\\tavo\\Documents\\tavo\\tavowriter\\users\\demo@tavo.example\\";
  EXPECT_TRUE(platform::files::FileExists(copies + "Welcome.doc"));
  EXPECT_TRUE(platform::files::FileExists(copies + "Essay.doc"));
  EXPECT_FALSE(platform::files::FileExists(copies + "Minutes.doc"));
  EXPECT_NE(tour.output.find("The local copy has been deleted."), std::string::npos) << tour.output;
  const std::string map = platform::files::ReadAllBytes(
      "C:\\Users\\tavo\\AppData\\Roaming\\tavo\\tavowriter\\users\\demo@tavo.example\\maptavoword.xml");
  EXPECT_NE(map.find("<document_name>Welcome</document_name>"), std::string::npos) << map;
  EXPECT_EQ(map.find("<document_name>Minutes</document_name>"), std::string::npos) << map;

  // Excel beside Word: it took over Word's sign-in (no sign-in of its own), found Budget,
  // saved it, met the change made online, overwrote it, added Plan and published Ideas.
  const std::string list = ScreenAfter(tour.output, "click &Open Tavo Sheet");
  EXPECT_NE(list.find("&Login (disabled)"), std::string::npos) << list;
  EXPECT_NE(list.find("M\xc3\xbcller"), std::string::npos) << list;
  EXPECT_NE(tour.output.find("(online: Budget changed by someone else)"), std::string::npos) << tour.output;
  std::map<std::string, service::Workbook> workbooks;
  for (const auto& wb : server_->Workbooks()) workbooks[wb.name] = wb;
  EXPECT_NE(workbooks["Budget"].bytes.find("B2: 1250\n"), std::string::npos) << workbooks["Budget"].bytes;
  EXPECT_NE(workbooks["Budget"].bytes.find("B3: 500\n"), std::string::npos) << workbooks["Budget"].bytes;
  ASSERT_TRUE(workbooks.count("Plan") && workbooks.count("Ideas")) << tour.output;
  EXPECT_FALSE(workbooks["Plan"].publish.isPublic);
  EXPECT_TRUE(workbooks["Ideas"].publish.isPublic);
  EXPECT_EQ(workbooks["Ideas"].publish.licenseName, "Attribution");
  const std::string excelOut = ScreenAfter(tour.output, "click Lo&gout");  // Excel's comes first
  EXPECT_NE(excelOut.find("Toolbar \"Tavo Sheet Excel Add-In\""), std::string::npos) << excelOut;
  EXPECT_NE(excelOut.find("[ &Open ](disabled)"), std::string::npos) << excelOut;
  EXPECT_EQ(Shared("excelstatus"), "0");

  // The sign-out reaches the service as the last one signed in: Excel's did not.
  const std::string signedOut = ScreenAfter(tour.output.substr(tour.output.rfind("> click &Open Document")), "click Lo&gout");
  EXPECT_NE(signedOut.find("&Login\n"), std::string::npos) << signedOut;
  EXPECT_NE(signedOut.find("[ &Open ](disabled)"), std::string::npos) << signedOut;
  EXPECT_EQ(Requests("GET", "/logout"), 1u);
  EXPECT_NE(tour.output.find("Bye."), std::string::npos);

  EXPECT_EQ(Shared("wordstatus"), "0");
}

}  // namespace tavo::test
