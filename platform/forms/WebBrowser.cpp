#include "platform/forms/WebBrowser.h"

#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/forms/PageSource.h"
#include "platform/forms/Pump.h"

namespace platform::forms {
namespace {

constexpr std::string_view kHome = "about:blank";

bool IsWeb(std::string_view url) {
  return text::StartsWith(text::LCase(url.substr(0, 8)), "http://") ||
         text::StartsWith(text::LCase(url.substr(0, 8)), "https://");
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The Windows path of a local page: a path as it is, or a file: URL
// ("file:///C:/dir/a%20b.html") with its escapes decoded and "\" for "/".
std::string LocalPath(std::string_view url) {
  if (!text::StartsWith(text::LCase(url.substr(0, 5)), "file:")) return std::string(url);
  std::string_view rest = url.substr(5);
  while (!rest.empty() && (rest.front() == '/' || rest.front() == '\\')) rest.remove_prefix(1);
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    char c = rest[i];
    if (c == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
      path += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
      i += 2;
    } else {
      path += c == '/' ? '\\' : c;
    }
  }
  return path;
}

}  // namespace

WebBrowser::WebBrowser(Form& form, std::string name) : Control(form, std::move(name)) {
  pump::Browsers().push_back(this);
}

WebBrowser::~WebBrowser() { pump::Remove(pump::Browsers(), this); }

void WebBrowser::Navigate(std::string_view url) {
  Touch();
  if (url.empty()) platform::Raise(platform::err::InvalidProcedureCall);
  load_.reset();
  url_ = url;
  failed_ = false;
  error_.clear();
  if (text::EqualsText(url, kHome)) {
    Show(html::Document());
  } else if (IsWeb(url)) {
    state_ = kReadyStateLoading;
    load_ = CurrentPageSource().Start(url_);
  } else {
    try {
      Show(html::Document::FromFile(LocalPath(url)));
    } catch (const RuntimeError& e) {
      Fail(e.description());
    }
  }
}

void WebBrowser::GoHome() { Navigate(kHome); }

int WebBrowser::ReadyState() {
  Touch();
  if (load_) {
    int state = load_->ReadyState();
    if (state >= kReadyStateComplete)
      Complete();
    else
      state_ = state;
  }
  return state_;
}


const std::string& WebBrowser::LocationURL() const {
  Touch();
  return url_;
}

html::Document WebBrowser::Document() {
  Touch();
  if (failed_) platform::Raise(platform::err::Automation, "The page " + url_ + " could not be loaded: " + error_);
  if (!document_) platform::Raise(platform::err::ObjectNotSet);
  return *document_;
}

void WebBrowser::Pump() {
  if (load_) load_->Pump();
}

void WebBrowser::RestoreDesign() {
  Control::RestoreDesign();
  load_.reset();
  url_.clear();
  document_.reset();
  failed_ = false;
  error_.clear();
  state_ = kReadyStateUninitialized;
}

void WebBrowser::Complete() {
  std::unique_ptr<PageLoad> load = std::move(load_);
  if (!load->Succeeded()) {
    Fail(load->Error());
    return;
  }
  try {
    Show(html::Document::FromText(load->Body()));
  } catch (const RuntimeError& e) {
    Fail(e.description());
  }
}

void WebBrowser::Show(html::Document doc) {
  document_ = std::make_unique<html::Document>(std::move(doc));
  state_ = kReadyStateComplete;
}

void WebBrowser::Fail(std::string error) {
  failed_ = true;
  error_ = std::move(error);
  state_ = kReadyStateComplete;
}

}  // namespace platform::forms
