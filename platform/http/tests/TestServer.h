#pragma once
// A small HTTP server on loopback for the transport tests, with routes that answer the way
// each test needs and a record of the last request.
#include <httplib.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace platform::http::test {

struct SeenRequest {
  std::string method;
  std::string target;  // path and query as sent
  httplib::Headers headers;
  std::string body;
};

// Routes:
//   /echo                 200 "ok", records the request
//   /text?type=T&body=B   200 with Content-Type T and the bytes B (percent-decoded)
//   /status?code=N        status N, body "status N"
//   /delay?ms=N           answers "late" after N ms (cut short when the server stops)
//   /bytes?n=N[&chunked]  N bytes "x", with a Content-Length, or chunked without one
//   /staged               headers, then "first " after Release(1), "second" after Release(2)
class TestServer {
 public:
  TestServer();
  ~TestServer();

  int port() const { return port_; }
  std::string Url(const std::string& pathAndQuery) const;
  SeenRequest Last() const;
  void Release(int step);

 private:
  void WaitFor(int step);

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  SeenRequest last_;
  int released_ = 0;
  bool stopping_ = false;
};

}  // namespace platform::http::test
