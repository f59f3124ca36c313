#include "platform/http/AsyncGet.h"

#include "platform/core/RuntimeError.h"
#include "platform/http/Http.h"

namespace platform::http {

class AsyncGet::Sink final : public ResponseSink {
 public:
  explicit Sink(AsyncGet& owner) : owner_(owner) {}

  void OnHeaders(const ResponseHead& head, long long contentLength) override {
    std::lock_guard lock(owner_.mutex_);
    owner_.head_ = head;
    if (contentLength > 0) owner_.body_.reserve(static_cast<size_t>(contentLength));
    owner_.stage_ = GetStage::HeadersReceived;
  }

  bool OnData(std::string_view data) override {
    std::lock_guard lock(owner_.mutex_);
    owner_.body_.append(data);
    owner_.stage_ = GetStage::ReceivingBody;
    return true;
  }

 private:
  AsyncGet& owner_;
};

AsyncGet::AsyncGet(std::string url, HeaderList headers)
    : url_(std::move(url)), headers_(std::move(headers)) {
  ExchangeRequest request;
  request.url = url_;
  request.headers = headers_;
  thread_ = std::thread([this, request = std::move(request)]() mutable { Run(std::move(request)); });
}

AsyncGet::~AsyncGet() {
  Cancel();
  if (thread_.joinable()) thread_.join();
}

void AsyncGet::Run(ExchangeRequest request) {
  Sink sink(*this);
  try {
    Perform(request, sink, &cancel_);
    Finish(GetStage::Complete, 0, {});
  } catch (const RuntimeError& e) {
    Finish(GetStage::Failed, e.number(), e.description());
  } catch (const std::exception& e) {
    Finish(GetStage::Failed, err::Unspecified, e.what());
  }
}

void AsyncGet::Finish(GetStage stage, long number, std::string description) {
  {
    std::lock_guard lock(mutex_);
    stage_ = stage;
    errorNumber_ = number;
    errorDescription_ = std::move(description);
  }
  finishedCv_.notify_all();
}

GetStage AsyncGet::stage() const {
  std::lock_guard lock(mutex_);
  return stage_;
}

bool AsyncGet::finished() const {
  const GetStage s = stage();
  return s == GetStage::Complete || s == GetStage::Failed;
}

long AsyncGet::status() const {
  std::lock_guard lock(mutex_);
  return head_.status;
}

std::string AsyncGet::statusText() const {
  std::lock_guard lock(mutex_);
  return head_.statusText;
}

std::string AsyncGet::getResponseHeader(std::string_view name) const {
  std::lock_guard lock(mutex_);
  return FindHeader(head_.headers, name);
}

std::string AsyncGet::body() const {
  std::lock_guard lock(mutex_);
  return body_;
}

std::string AsyncGet::text() const {
  std::lock_guard lock(mutex_);
  return DecodeText(FindHeader(head_.headers, "Content-Type"), body_);
}

long AsyncGet::errorNumber() const {
  std::lock_guard lock(mutex_);
  return errorNumber_;
}

std::string AsyncGet::errorDescription() const {
  std::lock_guard lock(mutex_);
  return errorDescription_;
}

bool AsyncGet::Wait(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return finishedCv_.wait_for(lock, timeout, [this] {
    return stage_ == GetStage::Complete || stage_ == GetStage::Failed;
  });
}

void AsyncGet::Cancel() { cancel_ = true; }

}  // namespace platform::http
