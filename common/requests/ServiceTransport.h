#pragma once
// What every call to the online service shares, whichever request format it carries: the
// method-call URL with the API key and the ticket, and the transport: a new request object
// for each exchange, POST, synchronous, with the one User-Agent header and nothing else. For
// the method calls the status code is not looked at, the answer's text decides; the publishing
// calls, whose answers say little, also take their status. A transport failure (nothing
// listening, a name that does not resolve, the connect or exchange timeout of the HTTP layer)
// raises platform::RuntimeError, so no call waits for ever.
#include <string>
#include <string_view>

namespace tavo {

struct AddinState;

// The add-in's API URL & "?apikey=" & key & "&ticket=" & gTicket, nothing encoded. Signed out
// (an empty ticket) it still ends "&ticket=".
std::string ApiUrl(const AddinState& state);

// POSTs the body and returns the answer's text.
std::string PostToService(std::string_view url, std::string body);
// POSTs without a body (the path-style publishing calls).
std::string PostToService(std::string_view url);

// An answer with its HTTP status.
struct ServiceAnswer {
  long status = 0;
  std::string text;
};
// POSTs without a body, as PostToService does, and keeps the status.
ServiceAnswer PostWithoutBody(std::string_view url);

}  // namespace tavo
