#include "platform/forms/WebBrowser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/core/RuntimeError.h"
#include "platform/environment/TestSupport.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/PageSource.h"
#include "platform/forms/Timer.h"

namespace forms = platform::forms;
using platform::environment::RaisedNumber;

namespace {

class frmResource : public forms::Form {
 public:
  frmResource() : Form("frmResource") {}
  forms::WebBrowser utilsBrowser{*this, "utilsBrowser"};
  forms::ProgressBar ProgressBar1{*this, "ProgressBar1"};
};

class WebBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::path docs = env.environment().HostPath("C:\\Users\\tavo\\Documents");
    std::filesystem::create_directories(docs);
    std::ofstream(docs / "tavo upload.html")
        << "<html><body><p>text<v:shape style='width:9px'><v:imagedata src=\"./tavoupload_files/image001.png\"/>"
           "</v:shape></p></body></html>";
  }
  platform::environment::TempEnvironment env;
  platform::ScopedVirtualClock clock{platform::MakeLocalTime(2009, 6, 2, 13, 0, 0)};
  frmResource form;
};

TEST_F(WebBrowserTest, LocalPageIsParsedAndCompleteAtOnce) {
  for (const char* url : {"C:\\Users\\tavo\\Documents\\tavo upload.html",
                          "file:///C:/Users/tavo/Documents/tavo%20upload.html"}) {
    form.utilsBrowser.Navigate(url);
    EXPECT_EQ(form.utilsBrowser.ReadyState(), forms::kReadyStateComplete) << url;
    platform::html::Document doc = form.utilsBrowser.Document();
    ASSERT_EQ(doc.getElementsByTagName("shape").length(), 1u) << url;
    EXPECT_EQ(doc.getElementsByTagName("shape").item(0).style().width(), "9px");
  }
  form.utilsBrowser.GoHome();
  EXPECT_EQ(form.utilsBrowser.LocationURL(), "about:blank");
  EXPECT_FALSE(form.utilsBrowser.Document().body().hasChildNodes());
}

TEST_F(WebBrowserTest, FailedNavigationNeverPassesForAnEmptyPage) {
  EXPECT_EQ(RaisedNumber([&] { form.utilsBrowser.Document(); }), platform::err::ObjectNotSet);
  form.utilsBrowser.Navigate("C:\\Users\\tavo\\Documents\\missing.html");
  EXPECT_EQ(form.utilsBrowser.ReadyState(), forms::kReadyStateComplete);
  EXPECT_TRUE(form.utilsBrowser.NavigationFailed());
  EXPECT_EQ(RaisedNumber([&] { form.utilsBrowser.Document(); }), platform::err::Automation);

  forms::ScriptedPages pages;  // no page for this address
  form.utilsBrowser.Navigate("http://www.tavo.example/");
  EXPECT_EQ(form.utilsBrowser.ReadyState(), forms::kReadyStateComplete);
  EXPECT_EQ(RaisedNumber([&] { form.utilsBrowser.Document(); }), platform::err::Automation);
  EXPECT_EQ(pages.Requests(), (std::vector<std::string>{"http://www.tavo.example/"}));
  EXPECT_EQ(RaisedNumber([&] { form.utilsBrowser.Navigate(""); }), platform::err::InvalidProcedureCall);
}

// The sign-in probe: the bar climbs one step per pass while the page loads, capped by stage.
TEST_F(WebBrowserTest, ScriptedReadyStatesDriveTheProbe) {
  forms::ScriptedPages pages;
  std::vector<int> states(30, 1);
  states.insert(states.end(), 3, 2);
  states.insert(states.end(), 80, 3);
  states.push_back(4);
  pages.Add("http://www.tavo.example/", states, "<html><body>home</body></html>");

  forms::ProgressBar& bar = form.ProgressBar1;
  forms::WebBrowser& browser = form.utilsBrowser;
  browser.Navigate("http://www.tavo.example/");
  std::vector<int> seen;
  int passes = 0;
  while (true) {
    int state = browser.ReadyState();
    if (state == forms::kReadyStateComplete) break;
    seen.push_back(state);
    if (state == 3 && bar.Value() <= 73) bar.SetValue(bar.Value() + 1);
    if (state == 1 && bar.Value() <= 23) bar.SetValue(bar.Value() + 1);
    if (state == 2 && bar.Value() <= 48) bar.SetValue(bar.Value() + 1);
    platform::Sleep(platform::Milliseconds(100));
    forms::DoEvents();
    ++passes;
  }
  EXPECT_EQ(passes, 113);
  EXPECT_EQ(seen.front(), 1);
  EXPECT_EQ(seen.back(), 3);
  EXPECT_EQ(bar.Value(), 74);  // 24 while loading, 3 more while loaded, up to 74 while interactive
  EXPECT_EQ(browser.ReadyState(), forms::kReadyStateComplete);  // stays complete
  EXPECT_EQ(browser.Document().body().innerHTML(), "home");

  pages.Add("*", {1, 4}, "any");  // every other address
  browser.Navigate("https://other.example/x");
  EXPECT_EQ(browser.ReadyState(), forms::kReadyStateLoading);
  EXPECT_EQ(browser.ReadyState(), forms::kReadyStateComplete);
  EXPECT_EQ(browser.Document().body().innerHTML(), "any");
}

TEST_F(WebBrowserTest, UnloadingTheFormForgetsThePage) {
  form.utilsBrowser.Navigate("C:\\Users\\tavo\\Documents\\tavo upload.html");
  form.Unload();
  EXPECT_EQ(form.utilsBrowser.ReadyState(), forms::kReadyStateUninitialized);
  EXPECT_EQ(form.utilsBrowser.LocationURL(), "");
}

}  // namespace
