#include "platform/forms/PageSource.h"

#include "platform/http/AsyncGet.h"

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

// A page fetched by a background GET of the network layer; its stage is the ready state.
class NetworkLoad final : public PageLoad {
 public:
  explicit NetworkLoad(const std::string& url) : get_(url) {}
  int ReadyState() override {
    switch (get_.stage()) {
      case http::GetStage::RequestOut: return 1;
      case http::GetStage::HeadersReceived: return 2;
      case http::GetStage::ReceivingBody: return 3;
      default: return 4;
    }
  }
  // An answer with an error status is still a page, as a browser shows it.
  bool Succeeded() const override { return get_.stage() == http::GetStage::Complete; }
  std::string Body() const override { return get_.text(); }
  std::string Error() const override { return get_.errorDescription(); }

 private:
  http::AsyncGet get_;
};

class Network final : public PageSource {
 public:
  std::unique_ptr<PageLoad> Start(const std::string& url) override { return std::make_unique<NetworkLoad>(url); }
};

PageSource* g_source = nullptr;

}  // namespace

PageSource& CurrentPageSource() {
  static Network network;
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
  if (it == pages_.end()) it = pages_.find("*");
  if (it == pages_.end())
    return std::make_unique<SteppedLoad>(std::vector<int>{4}, std::string(), false, "no page is scripted for " + url);
  const Page& page = it->second;
  return std::make_unique<SteppedLoad>(page.states, page.body, page.succeeds, "the scripted page " + url + " failed");
}

}  // namespace platform::forms
