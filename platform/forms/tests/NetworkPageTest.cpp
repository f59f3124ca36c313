#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/core/RuntimeError.h"
#include "platform/environment/TestSupport.h"
#include "platform/forms/Form.h"
#include "platform/forms/WebBrowser.h"
#include "platform/http/tests/Support.h"
#include "platform/http/tests/TestServer.h"

namespace forms = platform::forms;

namespace {

class frmProbe : public forms::Form {
 public:
  frmProbe() : Form("frmProbe") {}
  forms::WebBrowser WBrowser{*this, "WBrowser"};
};

// Reads ReadyState as the sign-in wait does until it says `wanted` (or clearly never will).
bool Reaches(forms::WebBrowser& browser, int wanted) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (browser.ReadyState() != wanted) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

class NetworkPageTest : public ::testing::Test {
 protected:
  platform::environment::TempEnvironment env;
  platform::http::test::TestServer server;
  frmProbe form;
};

TEST_F(NetworkPageTest, ReadyStateFollowsTheAnswerAsItArrives) {
  form.WBrowser.Navigate(server.Url("/staged"));
  ASSERT_TRUE(Reaches(form.WBrowser, forms::kReadyStateLoaded));
  server.Release(1);
  ASSERT_TRUE(Reaches(form.WBrowser, forms::kReadyStateInteractive));
  server.Release(2);
  ASSERT_TRUE(Reaches(form.WBrowser, forms::kReadyStateComplete));
  EXPECT_EQ(form.WBrowser.Document().body().innerHTML(), "first second");
}

TEST_F(NetworkPageTest, ErrorStatusIsAPageAndARefusedConnectionAFailure) {
  form.WBrowser.Navigate(server.Url("/status?code=404"));
  ASSERT_TRUE(Reaches(form.WBrowser, forms::kReadyStateComplete));
  EXPECT_EQ(form.WBrowser.Document().body().innerHTML(), "status 404");

  form.WBrowser.Navigate("http://127.0.0.1:" + std::to_string(platform::http::test::ClosedPort()) + "/");
  ASSERT_TRUE(Reaches(form.WBrowser, forms::kReadyStateComplete));
  EXPECT_TRUE(form.WBrowser.NavigationFailed());
  EXPECT_EQ(platform::environment::RaisedNumber([&] { form.WBrowser.Document(); }), platform::err::Automation);
}

}  // namespace
