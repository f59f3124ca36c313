#pragma once
// What the service can be told to do wrong, so that every failure path of a client can be met
// over a real socket: the kinds of fault and the names the admin endpoint knows them by, the
// faults waiting for the requests they match, and how a fault is served in place of the answer.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace tavo::service {

enum class FaultKind {
  ErrorCode,         // the API's error answer with `code` (an HTTP status on other paths)
  NotXml,            // 200 with a body that is not XML
  Html500,           // status 500 with an HTML error page (not well-formed XML)
  Truncated,         // the request is served, but its answer is cut in half: the
                     // Content-Length promises more than is sent, then the connection closes
  Stalled,           // as Truncated, but after the first half nothing comes until the client
                     // gives up (a download the client is still waiting for)
  WrongXml,          // 200 with XML that is not the expected answer
  LargeBody,         // 200 with a body of `size` bytes (streamed, never held in memory)
  Delay,             // served normally after `delay`
  Hang,              // no answer: held until the client gives up (or the server stops)
  RefuseConnection,  // the connection is reset at once, without an answer
  Redirect,          // status `code` (307 when it is no 3xx number) sending the client to `location`
};

// The kinds by the names of the admin endpoint's fault call. A redirect has none: it needs a
// location, which that call does not take.
struct FaultKindName {
  std::string_view name;
  FaultKind kind;
};
inline constexpr FaultKindName kFaultKindNames[] = {
    {"error-code", FaultKind::ErrorCode}, {"not-xml", FaultKind::NotXml},     {"html-500", FaultKind::Html500},
    {"truncated", FaultKind::Truncated},  {"wrong-xml", FaultKind::WrongXml}, {"large-body", FaultKind::LargeBody},
    {"delay", FaultKind::Delay},          {"hang", FaultKind::Hang},          {"refuse", FaultKind::RefuseConnection},
    {"stalled", FaultKind::Stalled},
};
// nullopt for a name that is not in the table.
std::optional<FaultKind> FaultKindNamed(std::string_view name);

struct Fault {
  Fault(std::string matching = {}, FaultKind faultKind = FaultKind::ErrorCode, int times = 1, std::string errorCode = {})
      : match(std::move(matching)), kind(faultKind), count(times), code(std::move(errorCode)) {}
  Fault& WithSize(size_t bytes) { return size = bytes, *this; }
  Fault& WithDelay(std::chrono::milliseconds wait) { return delay = wait, *this; }
  Fault& WithLocation(std::string url) { return location = std::move(url), *this; }

  // What a request must be to be affected: "" any request; a path ("/api/xml"; one ending
  // in "/" covers every path below it); or a method name, whole ("writer.saveDocument") or
  // its last part ("saveWorkbook").
  std::string match;
  FaultKind kind;
  int count;  // how many matching requests; negative: every one
  std::string code;
  size_t size = 0;
  std::chrono::milliseconds delay{0};
  std::string location;
};

// The faults waiting for their requests, in the order they were injected; safe for the
// listeners' threads.
class FaultList {
 public:
  void Add(Fault fault);
  void Clear();
  // The first fault that the request (its path, and the method named in its body) matches,
  // counted down by one and dropped once used up; nullopt when none matches.
  std::optional<Fault> Take(const std::string& path, std::string_view body);

 private:
  std::mutex mutex_;
  std::vector<Fault> faults_;
};

// Tells the waits of held and delayed answers that the server stops.
class StopSignal {
 public:
  void Reset();  // the server runs again
  void Raise();  // the server stops: every wait ends
  // Waits until the time is up or the server stops; false when it stopped.
  bool Pause(std::chrono::milliseconds duration);

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool stopping_ = false;
};

// How an injected error code answers: as the word-processor or spreadsheet API's error
// answer, or (any other path) as an error page with that HTTP status.
enum class ErrorForm { Writer, Sheet, Page };

// Answers the request with the fault instead of its answer. `serve` answers it as without a
// fault, for the kinds that serve it late or in part.
void ApplyFault(const Fault& fault, ErrorForm errorForm, const httplib::Request& req, httplib::Response& res,
                StopSignal& stop, const std::function<void()>& serve);

}  // namespace tavo::service
