#include "platform/forms/PageSource.h"

#include "platform/core/Text.h"

namespace platform::forms {
namespace {

// A load that moves through given states, one per look.
class SteppedLoad final : public PageLoad {
 public:
  SteppedLoad(std::vector<int> states, std::string body, bool succeeds, std::string error)
      : states_(std::move(states)), body_(std::move(body)), succeeds_(succeeds), error_(std::move(error)) {
    if (states_.empty() || states_.back() < 4) states_.push_back(4);
  }
  int ReadyState() override {
    int state = states_[next_];
    if (next_ + 1 < states_.size()) ++next_;
    return state;
  }
  bool Succeeded() const override { return succeeds_; }
  std::string Body() const override { return body_; }
  std::string Error() const override { return error_; }

 private:
  std::vector<int> states_;
  size_t next_ = 0;
  std::string body_;
  bool succeeds_;
  std::string error_;
};

// Until the network layer offers background requests, http(s) pages fail at once.
class NoNetwork final : public PageSource {
 public:
  std::unique_ptr<PageLoad> Start(const std::string& url) override {
    return std::make_unique<SteppedLoad>(std::vector<int>{4}, std::string(), false,
                                         "no network access for " + url);
  }
};

PageSource* g_source = nullptr;

}  // namespace

PageSource& CurrentPageSource() {
  static NoNetwork network;
  return g_source ? *g_source : network;
}

PageSource* SetPageSource(PageSource* source) {
  PageSource* previous = g_source;
  g_source = source;
  return previous;
}

ScriptedPages::ScriptedPages() : previous_(SetPageSource(this)) {}

ScriptedPages::~ScriptedPages() {
  if (g_source == this) SetPageSource(previous_);
}

void ScriptedPages::Add(std::string url, std::vector<int> states, std::string body, bool succeeds) {
  pages_[std::move(url)] = Page{std::move(states), std::move(body), succeeds};
}

std::unique_ptr<PageLoad> ScriptedPages::Start(const std::string& url) {
  requests_.push_back(url);
  auto it = pages_.find(url);
  if (it == pages_.end())
    return std::make_unique<SteppedLoad>(std::vector<int>{4}, std::string(), false, "no page is scripted for " + url);
  const Page& page = it->second;
  return std::make_unique<SteppedLoad>(page.states, page.body, page.succeeds, "the scripted page " + url + " failed");
}

}  // namespace platform::forms
