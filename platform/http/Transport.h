#pragma once
// One HTTP exchange over libcurl, shared by the request object, the download and the
// asynchronous GET. Transport failures raise platform::RuntimeError with the numbers of
// Http.h.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::http {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct ExchangeRequest {
  std::string method = "GET";
  std::string url;
  HeaderList headers;
  std::string_view body;  // not owned: must outlive the exchange
  std::string user;
  std::string password;
};

struct ResponseHead {
  long status = 0;
  std::string statusText;
  HeaderList headers;  // in the order received
};

// What the transport reports while the exchange runs (on the thread that runs it).
class ResponseSink {
 public:
  virtual ~ResponseSink() = default;
  // The final response's status line and headers are in (not called for 1xx answers or
  // redirects that are followed). `contentLength` is -1 when the answer gives none.
  virtual void OnHeaders(const ResponseHead& head, long long contentLength) = 0;
  // A piece of the body. Returning false aborts the exchange.
  virtual bool OnData(std::string_view data) = 0;
};

// Runs the exchange to its end. `cancel`, when given, aborts it as soon as it turns true
// (raising err::Aborted).
ResponseHead Perform(const ExchangeRequest& request, ResponseSink& sink,
                     const std::atomic<bool>* cancel = nullptr);

// The value of a header (case-insensitive name); several are joined with ", ".
std::string FindHeader(const HeaderList& headers, std::string_view name);

// The code page in which a body labelled with this Content-Type is to be decoded; 0 when it
// is UTF-8 already (no charset, "utf-8", "us-ascii", or one this layer does not know).
// ISO-8859-1 is read as Windows-1252, its superset, as browsers do.
std::uint32_t CharsetCodePage(std::string_view contentType);
// The body as UTF-8 text, decoded by the charset of its Content-Type.
std::string DecodeText(std::string_view contentType, std::string_view body);

}  // namespace platform::http
