// The wait for the exported page in the hidden browser ends, on the platform clock, after its
// time limit rather than never.
#include "WordAddin/writerPlugin/source/BrowserWait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/environment/TestSupport.h"
#include "platform/forms/Form.h"
#include "platform/forms/PageSource.h"

namespace {

namespace forms = platform::forms;
using namespace std::chrono_literals;

class frmResource : public forms::Form {
 public:
  frmResource() : Form("frmResource") {}
  forms::WebBrowser utilsBrowser{*this, "utilsBrowser"};
};

TEST(BrowserWaitTest, ThePageLoadsOrTheLimitEndsTheWait) {
  platform::environment::TempEnvironment env;
  platform::ScopedVirtualClock clock{platform::MakeLocalTime(2009, 6, 2, 13, 0, 0)};
  forms::ScriptedPages pages;
  pages.Add("http://slow.example/", {1, 2, 3, 3, 3, 4});
  // Still arriving after far more looks than 30 s of waiting take.
  pages.Add("http://never.example/", std::vector<int>(5000, 3));
  frmResource form;

  const auto start = platform::Now();
  form.utilsBrowser.Navigate("http://slow.example/");
  EXPECT_TRUE(tavo::writer::WaitForPage(form.utilsBrowser, 30s));
  EXPECT_LT(platform::Now() - start, 1s);

  form.utilsBrowser.Navigate("http://never.example/");
  const auto waited = platform::Now();
  EXPECT_FALSE(tavo::writer::WaitForPage(form.utilsBrowser, 30s));
  EXPECT_GE(platform::Now() - waited, 30s);
  EXPECT_LT(platform::Now() - waited, 31s);
}

}  // namespace
