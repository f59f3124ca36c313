// The tour of scripts/demo, run as the demo runs it (through scripts/demo-tour, which also changes
// a document online in the middle): tavo-office in a fresh environment with
// the Word add-in registered, against the stand-in service with its demo account (here in this
// process, so that the test can see what reached it).
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/environment/Environment.h"
#include "platform/files/Files.h"
#include "platform/http/Http.h"
#include "platform/registry/Registry.h"
#include "service/Seed.h"
#include "service/Server.h"

namespace {

namespace fs = std::filesystem;

struct Finished {
  int status = -1;
  std::string output;
};

// Runs a command line through the shell and collects what it prints.
Finished Shell(const std::string& command) {
  Finished run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// The screen printed after the command `command` of the script (up to the next command).
std::string ScreenAfter(const std::string& output, const std::string& command) {
  const size_t at = output.find("> " + command + "\n");
  if (at == std::string::npos) return {};
  const size_t end = output.find("\n> ", at + 1);
  return output.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

class DemoTour : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* stage = std::getenv("TAVO_STAGE_DIR");
    if (!stage) GTEST_SKIP() << "TAVO_STAGE_DIR is not set (run through ctest)";
    bin_ = fs::path(stage) / "bin";
    tour_ = TAVO_DEMO_TOUR;
    std::string pattern = (fs::temp_directory_path() / "tavo-tour-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    environment_ = std::make_unique<platform::environment::ScopedEnvironment>(root_);

    tavo::service::ServerOptions options;
    options.caOut = platform::environment::HostPath(platform::http::kCaFile);
    server_ = std::make_unique<tavo::service::Server>(options);
    server_->Start();
    tavo::service::SeedDemo(*server_);
    server_->WriteHostsFile(platform::environment::HostPath(platform::http::kHostsFile));
  }
  void TearDown() override {
    if (server_) server_->Stop();
    environment_.reset();
    std::error_code ec;
    if (!root_.empty()) fs::remove_all(root_, ec);
  }

  Finished Office(const std::string& arguments) {
    return Shell("TAVO_ROOT=" + Quoted(root_) + " " + Quoted(bin_ / "tavo-office") + " " + arguments);
  }
  std::optional<tavo::service::Document> Online(const std::string& name) const {
    for (const auto& d : server_->Documents())
      if (d.name == name) return d;
    return std::nullopt;
  }
  size_t Requests(const std::string& method, const std::string& path) const {
    const auto requests = server_->Requests();
    return static_cast<size_t>(std::count_if(requests.begin(), requests.end(), [&](const auto& r) {
      return r.method == method && r.path == path;
    }));
  }

  fs::path bin_, tour_, root_;
  std::unique_ptr<platform::environment::ScopedEnvironment> environment_;
  std::unique_ptr<tavo::service::Server> server_;
};

}  // namespace

TEST_F(DemoTour, RunsFromSignInToQuit) {
  const Finished registered = Office("register " + Quoted(bin_ / "libtavowriter.so"));
  ASSERT_EQ(registered.status, 0) << registered.output;

  const Finished tour = Shell("TAVO_ROOT=" + Quoted(root_) + " " + Quoted(fs::path(TAVO_SOURCE_DIR) / "scripts/demo-tour") +
                              " " + Quoted(bin_ / "tavo-office") + " " + Quoted(tour_) + " " + server_->Url());
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

  // The sign-out reaches the service as the last one signed in.
  const std::string signedOut = ScreenAfter(tour.output, "click Lo&gout");
  EXPECT_NE(signedOut.find("&Login\n"), std::string::npos) << signedOut;
  EXPECT_NE(signedOut.find("[ &Open ](disabled)"), std::string::npos) << signedOut;
  EXPECT_EQ(Requests("GET", "/logout"), 1u);
  EXPECT_NE(tour.output.find("Bye."), std::string::npos);

  platform::registry::Value status;
  ASSERT_TRUE(platform::registry::ReadValue(platform::registry::HKEY_CURRENT_USER, "Software\\tavo\\accounts\\reg",
                                            "wordstatus", &status));
  EXPECT_EQ(status.bytes.substr(0, 1), "0");
}
