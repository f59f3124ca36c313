#pragma once
// A GET that runs on a background thread while its owner polls how far it has come: what a
// web browser control needs to navigate without blocking the thread that pumps its window
// messages. Construction starts it; destruction cancels it and waits for the thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/http/Transport.h"

namespace platform::http {

enum class GetStage {
  RequestOut,       // connecting, or the request is on its way
  HeadersReceived,  // status line and headers are in, no body yet
  ReceivingBody,    // part of the body is in
  Complete,         // the whole answer is in (whatever its status)
  Failed,           // a transport failure: see errorNumber()
};

class AsyncGet {
 public:
  explicit AsyncGet(std::string url, HeaderList headers = {});
  ~AsyncGet();
  AsyncGet(const AsyncGet&) = delete;
  AsyncGet& operator=(const AsyncGet&) = delete;

  GetStage stage() const;
  bool finished() const;  // Complete or Failed

  // 0 until the headers are in.
  long status() const;
  std::string statusText() const;
  std::string getResponseHeader(std::string_view name) const;
  // The body received so far: raw bytes, and as UTF-8 text decoded by its charset.
  std::string body() const;
  std::string text() const;

  // The failure, once the stage is Failed.
  long errorNumber() const;
  std::string errorDescription() const;

  // Waits until finished or the time is up; true when finished.
  bool Wait(std::chrono::milliseconds timeout) const;
  // Aborts the exchange; it ends as Failed with err::Aborted.
  void Cancel();

 private:
  class Sink;
  void Run(ExchangeRequest request);
  void Finish(GetStage stage, long number, std::string description);

  mutable std::mutex mutex_;
  mutable std::condition_variable finishedCv_;
  GetStage stage_ = GetStage::RequestOut;
  ResponseHead head_;
  std::string body_;
  long errorNumber_ = 0;
  std::string errorDescription_;
  std::string url_;
  HeaderList headers_;
  std::atomic<bool> cancel_{false};
  std::thread thread_;
};

}  // namespace platform::http
