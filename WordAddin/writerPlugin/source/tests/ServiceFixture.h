#pragma once
// The Word add-in's tests against the stand-in service, in process: the suite's host names
// lead to it through the environment's hosts file, its certificate is trusted through the
// environment's CA file, and the demo account exists. The suite's home page comes from a
// scripted page source, so the sign-in's wait runs on the virtual clock.
#include <algorithm>
#include <memory>

#include "WordAddin/writerPlugin/source/tests/WriterTestSupport.h"
#include "platform/forms/PageSource.h"
#include "platform/forms/WebBrowser.h"
#include "service/Server.h"
#include "tests/StandInService.h"

namespace tavo::writer::test {

using tavo::test::kPassword;
using tavo::test::kUser;
inline constexpr const char* kHomePage = "http://www.tavo.example/";

class ServiceTest : public WriterTest {
 protected:
  ServiceTest() : server_(tavo::test::StartStandIn()) {
    // Every line of the log is written, for the check of what the log holds.
    SetSetting("tavologlevel", "Info");
    pages_.Add(kHomePage, {platform::forms::kReadyStateComplete}, "<html><body>Tavo</body></html>");
  }
  ~ServiceTest() override {
    EndWord();  // its last log lines are written as it quits
    tavo::test::StopStandIn(*server_, env_.root());
  }

  // How many requests reached the service on this path.
  size_t RequestsTo(const std::string& path) const { return tavo::test::RequestsTo(*server_, path); }

  std::unique_ptr<service::Server> server_;
  platform::forms::ScriptedPages pages_;
};

}  // namespace tavo::writer::test
