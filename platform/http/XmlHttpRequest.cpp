#include "platform/http/XmlHttpRequest.h"

#include "platform/codepage/CodePage.h"
#include "platform/core/RuntimeError.h"
#include "platform/http/Http.h"

namespace platform::http {
namespace {

class BufferSink final : public ResponseSink {
 public:
  explicit BufferSink(std::string& body) : body_(body) {}
  void OnHeaders(const ResponseHead&, long long contentLength) override {
    if (contentLength > 0) body_.reserve(static_cast<size_t>(contentLength));
  }
  bool OnData(std::string_view data) override {
    body_.append(data);
    return true;
  }

 private:
  std::string& body_;
};

}  // namespace

void XmlHttpRequest::open(std::string_view method, std::string_view url, bool async,
                          std::string_view user, std::string_view password) {
  if (async) Raise(err::NotSupported, ErrorDescription(err::NotSupported));
  request_ = {};
  request_.method = method;
  request_.url = url;
  request_.user = user;
  request_.password = password;
  requestBody_.clear();
  head_ = {};
  responseBody_.clear();
  responseText_.clear();
  textDecoded_ = false;
  codePage_ = 0;
  readyState_ = kOpen;
}

void XmlHttpRequest::setRequestHeader(std::string_view name, std::string_view value) {
  RequireOpen();
  request_.headers.emplace_back(name, value);
}

void XmlHttpRequest::send() { send(std::string()); }

void XmlHttpRequest::send(std::string body) {
  RequireOpen();
  requestBody_ = std::move(body);
  request_.body = requestBody_;
  BufferSink sink(responseBody_);
  try {
    head_ = Perform(request_, sink);
  } catch (...) {
    // What came of a failed exchange is given back at once: it may be all the bound allows.
    std::string().swap(responseBody_);
    throw;
  }
  codePage_ = CharsetCodePage(FindHeader(head_.headers, "Content-Type"));
  readyState_ = kComplete;
}

long XmlHttpRequest::status() const {
  RequireComplete();
  return head_.status;
}

std::string XmlHttpRequest::statusText() const {
  RequireComplete();
  return head_.statusText;
}

const std::string& XmlHttpRequest::responseText() {
  RequireComplete();
  // UTF-8 bodies are handed out as they are, without a copy.
  if (codePage_ == 0) return responseBody_;
  if (!textDecoded_) {
    responseText_ = codepage::AnsiToUtf8(responseBody_, codePage_);
    textDecoded_ = true;
  }
  return responseText_;
}

const std::string& XmlHttpRequest::responseBody() const {
  RequireComplete();
  return responseBody_;
}

std::string XmlHttpRequest::getResponseHeader(std::string_view name) const {
  RequireComplete();
  return FindHeader(head_.headers, name);
}

std::string XmlHttpRequest::getAllResponseHeaders() const {
  RequireComplete();
  std::string all;
  for (const auto& [name, value] : head_.headers) all += name + ": " + value + "\r\n";
  return all;
}

void XmlHttpRequest::RequireOpen() const {
  if (readyState_ != kOpen) Raise(err::DataNotAvailable, ErrorDescription(err::DataNotAvailable));
}

void XmlHttpRequest::RequireComplete() const {
  if (readyState_ != kComplete) Raise(err::DataNotAvailable, ErrorDescription(err::DataNotAvailable));
}

}  // namespace platform::http
