#pragma once
// Where a web browser's http(s) pages come from. A load runs in the background; the browser
// asks it for its ready state on every read of ReadyState:
//   1 the request is out, 2 the headers have arrived, 3 the body is arriving, 4 done (also when
//   it failed).
// The process has one page source: the network (background GETs of platform/http), unless a
// test installs a scripted one.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::forms {

class PageLoad {
 public:
  virtual ~PageLoad() = default;
  // The state now; asked once per read of the browser's ReadyState.
  virtual int ReadyState() = 0;
  // Gives the load a chance to move on from the message pump (DoEvents); most need none.
  virtual void Pump() {}
  // Once ReadyState has said 4: whether the page arrived, its body and the failure text.
  virtual bool Succeeded() const = 0;
  virtual std::string Body() const = 0;
  virtual std::string Error() const = 0;
};

class PageSource {
 public:
  virtual ~PageSource() = default;
  virtual std::unique_ptr<PageLoad> Start(const std::string& url) = 0;
};

// The page source of the process (the network unless one is installed).
PageSource& CurrentPageSource();
// Installs `source` (nullptr: the network again); returns the previous one, nullptr for the
// network.
PageSource* SetPageSource(PageSource* source);

// Pages for tests: each URL has a sequence of ready states, one per read of ReadyState (the
// last one repeats), and a body. A URL without a page fails at once (4, failed). Installs itself
// for its lifetime.
class ScriptedPages final : public PageSource {
 public:
  ScriptedPages();
  ~ScriptedPages() override;
  ScriptedPages(const ScriptedPages&) = delete;
  ScriptedPages& operator=(const ScriptedPages&) = delete;

  // A page that loads through `states` (ending in 4), with `body`; `succeeds` false makes it
  // fail when it reaches 4. The URL "*" stands for every URL without a page of its own.
  void Add(std::string url, std::vector<int> states, std::string body = {}, bool succeeds = true);
  // The URLs navigated to, in order.
  const std::vector<std::string>& Requests() const { return requests_; }

  std::unique_ptr<PageLoad> Start(const std::string& url) override;

 private:
  struct Page {
    std::vector<int> states;
    std::string body;
    bool succeeds = true;
  };
  std::map<std::string, Page> pages_;
  std::vector<std::string> requests_;
  PageSource* previous_;
};

}  // namespace platform::forms
