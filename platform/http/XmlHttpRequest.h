#pragma once
// The web request object the add-ins use for every service call: open, set headers, send,
// then read the status, headers and the response text. Synchronous only: send blocks until
// the whole answer is in, and raises platform::RuntimeError (numbers in Http.h) when the
// exchange fails. Make one object per exchange.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/http/Transport.h"

namespace platform::http {

class XmlHttpRequest {
 public:
  // readyState values
  static constexpr int kUninitialized = 0;
  static constexpr int kOpen = 1;
  static constexpr int kComplete = 4;

  // An asynchronous open raises err::NotSupported. Opening again starts a new exchange.
  void open(std::string_view method, std::string_view url, bool async = false,
            std::string_view user = {}, std::string_view password = {});
  // Headers are sent in the order set; setting one name twice sends both values.
  void setRequestHeader(std::string_view name, std::string_view value);

  void send();
  // The body is moved in and sent from there, so a large body is never copied.
  void send(std::string body);

  int readyState() const { return readyState_; }
  long status() const;
  std::string statusText() const;
  // The body decoded by the charset of its Content-Type (UTF-8 when none), as UTF-8.
  const std::string& responseText();
  // The body's bytes as received.
  const std::string& responseBody() const;
  // "" when the answer has no such header; several are joined with ", ".
  std::string getResponseHeader(std::string_view name) const;
  // "Name: value" lines, each ended by CR LF.
  std::string getAllResponseHeaders() const;

 private:
  void RequireOpen() const;
  void RequireComplete() const;

  int readyState_ = kUninitialized;
  ExchangeRequest request_;
  std::string requestBody_;
  ResponseHead head_;
  std::string responseBody_;
  std::string responseText_;
  bool textDecoded_ = false;
  std::uint32_t codePage_ = 0;
};

}  // namespace platform::http
