#pragma once
// The web browser control. Navigate takes a Windows path of a local file, a file: URL,
// "about:blank" or an http(s) URL:
// - a local page is read (through the environment's path mapping) and parsed at once, and
//   ReadyState is 4 when Navigate returns;
// - an http(s) page loads in the background from the current page source (PageSource.h);
//   ReadyState is read afresh on every access and goes 1, 2, 3, 4 as it arrives.
// A failed navigation also ends at 4; its Document then raises RuntimeError, so a caller never
// mistakes an error for an empty page.
#include <memory>
#include <string>
#include <string_view>

#include "platform/forms/Control.h"
#include "platform/html/HtmlDocument.h"

namespace platform::forms {

class PageLoad;

inline constexpr int kReadyStateUninitialized = 0;
inline constexpr int kReadyStateLoading = 1;
inline constexpr int kReadyStateLoaded = 2;
inline constexpr int kReadyStateInteractive = 3;
inline constexpr int kReadyStateComplete = 4;

class WebBrowser final : public Control {
 public:
  WebBrowser(Form& form, std::string name);
  ~WebBrowser() override;
  std::string_view Kind() const override { return "WebBrowser"; }

  // RuntimeError 5 for an empty URL. A local file that does not exist is a failed navigation.
  void Navigate(std::string_view url);
  // The home page ("about:blank").
  void GoHome();
  int ReadyState();
  const std::string& LocationURL() const;
  // Whether the last navigation that completed failed.
  bool NavigationFailed() const { return failed_; }

  // The page shown. RuntimeError 91 before any navigation completed, RuntimeError
  // (Automation) naming the failure after a failed one.
  html::Document Document();

  // For the message pump: lets a background load move on.
  void Pump();

 protected:
  // An unloaded form's browser starts again from nothing.
  void RestoreDesign() override;

 private:
  void Complete();
  void Show(html::Document doc);
  void Fail(std::string error);

  std::unique_ptr<PageLoad> load_;
  std::string url_;
  std::unique_ptr<html::Document> document_;
  bool failed_ = false;
  std::string error_;
  int state_ = kReadyStateUninitialized;
};

}  // namespace platform::forms
