#include "service/Faults.h"

#include <httplib.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "service/Exchange.h"
#include "service/SheetApi.h"
#include "service/WriterApi.h"

namespace tavo::service {
namespace {

void Send(httplib::Response& res, const Answer& answer) {
  res.status = answer.status;
  res.set_content(answer.body, answer.contentType.c_str());
}

// The connection a request came on: the TLS session's socket, or the socket of this
// process whose two ends are the request's ports.
int SocketOf(const httplib::Request& req) {
  if (req.ssl != nullptr) return SSL_get_fd(req.ssl);
  auto port = [](const sockaddr_storage& a) {
    if (a.ss_family == AF_INET) return static_cast<int>(ntohs(reinterpret_cast<const sockaddr_in&>(a).sin_port));
    if (a.ss_family == AF_INET6) return static_cast<int>(ntohs(reinterpret_cast<const sockaddr_in6&>(a).sin6_port));
    return -1;
  };
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir("/proc/self/fd"), &closedir);
  if (!dir) return -1;
  while (const dirent* entry = readdir(dir.get())) {
    const int fd = std::atoi(entry->d_name);
    struct stat st {};
    if (entry->d_name[0] == '.' || fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode)) continue;
    sockaddr_storage local{}, peer{};
    socklen_t localLength = sizeof local, peerLength = sizeof peer;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
        getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0)
      continue;
    if (port(local) == req.local_port && port(peer) == req.remote_port) return fd;
  }
  return -1;
}

// Resets the connection: nothing more is sent, and the client sees it end without answer.
void ResetConnection(int fd) {
  if (fd < 0) return;
  linger hard{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  shutdown(fd, SHUT_RDWR);
}

// An answer that never comes: the connection closes instead.
void NoAnswer(httplib::Response& res) {
  res.set_content_provider(1, "text/plain", [](size_t, size_t, httplib::DataSink&) { return false; });
}

// Holds the worker until the client closes the connection or the server stops.
void HoldUntilClientLeaves(int fd, StopSignal& stop) {
  // Bounded, so that a forgotten client cannot hold a worker for ever.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (fd >= 0) {
      pollfd p{fd, POLLRDHUP, 0};
      if (poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) return;
    }
    if (!stop.Pause(std::chrono::milliseconds(20))) return;
  }
}

bool Matches(const Fault& fault, const std::string& path, const std::string& method) {
  const std::string& m = fault.match;
  if (m.empty() || m == path || m == method) return true;
  if (m.back() == '/' && path.starts_with(m)) return true;
  const size_t dot = method.rfind('.');
  return dot != std::string::npos && method.substr(dot + 1) == m;
}

// The HTTP status a fault's code names; `fallback` when it names none from `low` to `high`.
int StatusOf(const std::string& code, int fallback, int low, int high) {
  int status = fallback;
  try {
    status = std::stoi(code);
  } catch (const std::exception&) {
  }
  return status < low || status > high ? fallback : status;
}

}  // namespace

std::optional<FaultKind> FaultKindNamed(std::string_view name) {
  for (const auto& entry : kFaultKindNames)
    if (entry.name == name) return entry.kind;
  return std::nullopt;
}

void FaultList::Add(Fault fault) {
  std::lock_guard lock(mutex_);
  faults_.push_back(std::move(fault));
}

void FaultList::Clear() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

std::optional<Fault> FaultList::Take(const std::string& path, std::string_view body) {
  std::lock_guard lock(mutex_);
  if (faults_.empty()) return std::nullopt;
  const std::string method = PeekMethodName(body);
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (!Matches(*it, path, method)) continue;
    Fault fault = *it;
    if (it->count > 0 && --it->count == 0) faults_.erase(it);
    return fault;
  }
  return std::nullopt;
}

void StopSignal::Reset() {
  std::lock_guard lock(mutex_);
  stopping_ = false;
}

void StopSignal::Raise() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  cv_.notify_all();
}

bool StopSignal::Pause(std::chrono::milliseconds duration) {
  std::unique_lock lock(mutex_);
  return !cv_.wait_for(lock, duration, [this] { return stopping_; });
}

void ApplyFault(const Fault& fault, ErrorForm errorForm, const httplib::Request& req, httplib::Response& res,
                StopSignal& stop, const std::function<void()>& serve) {
  switch (fault.kind) {
    case FaultKind::ErrorCode: {
      if (errorForm == ErrorForm::Writer) return Send(res, WriterError(fault.code, "Injected error"));
      if (errorForm == ErrorForm::Sheet) return Send(res, SheetError(fault.code, "Injected error"));
      const int status = StatusOf(fault.code, 500, 100, 599);
      return Send(res, {status, "text/html; charset=UTF-8", "<html><body><p>Error " + fault.code + "</p></body></html>"});
    }
    case FaultKind::NotXml:
      return Send(res, {200, "text/plain; charset=UTF-8", "Service temporarily unavailable - please retry <later"});
    case FaultKind::Html500:
      return Send(res, {500, "text/html; charset=UTF-8",
                        "<html><head><title>500 Internal Server Error</title></head><body>"
                        "<h1>Internal Server Error</h1><p>The server could not complete the request.<br>"
                        "Please try again later.</body></html>"});
    case FaultKind::WrongXml:
      return Send(res, {200, "text/xml; charset=UTF-8",
                        "<methodResponse><unexpected>This is not the answer to the request</unexpected>"
                        "</methodResponse>"});
    case FaultKind::LargeBody: {
      const size_t size = fault.size;
      res.set_content_provider(size, "text/xml; charset=UTF-8", [size](size_t offset, size_t, httplib::DataSink& sink) {
        static const std::string chunk(64 * 1024, 'x');
        const size_t n = std::min(chunk.size(), size - offset);
        return sink.write(chunk.data(), n);
      });
      return;
    }
    case FaultKind::Delay:
      if (!stop.Pause(fault.delay)) return NoAnswer(res);
      return serve();
    case FaultKind::Truncated:
    case FaultKind::Stalled: {
      serve();
      auto body = std::make_shared<std::string>(std::move(res.body));
      res.body.clear();
      const std::string type = res.get_header_value("Content-Type");
      const int stall = fault.kind == FaultKind::Stalled ? SocketOf(req) : -1;
      res.set_content_provider(body->size(), type.c_str(),
                               [&stop, body, stall](size_t offset, size_t, httplib::DataSink& sink) {
                                 const size_t half = body->size() / 2;
                                 if (offset < half) return sink.write(body->data() + offset, half - offset);
                                 if (stall >= 0) HoldUntilClientLeaves(stall, stop);
                                 return false;  // the rest never comes: the connection closes
                               });
      return;
    }
    case FaultKind::Hang:
      HoldUntilClientLeaves(SocketOf(req), stop);
      return NoAnswer(res);
    case FaultKind::RefuseConnection:
      ResetConnection(SocketOf(req));
      return NoAnswer(res);
    case FaultKind::Redirect:
      return res.set_redirect(fault.location, StatusOf(fault.code, 307, 300, 399));
  }
}

}  // namespace tavo::service
