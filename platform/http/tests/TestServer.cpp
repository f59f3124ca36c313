#include "platform/http/tests/TestServer.h"

#include <algorithm>
#include <chrono>

namespace platform::http::test {

TestServer::TestServer() {
  server_.Get("/echo", [this](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard lock(mutex_);
    last_ = {req.method, req.target, req.headers, req.body};
    res.set_content("ok", "text/plain");
  });
  server_.Post("/echo", [this](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard lock(mutex_);
    last_ = {req.method, req.target, req.headers, req.body};
    res.set_content("ok", "text/plain");
  });
  server_.Get("/text", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(req.get_param_value("body"), req.get_param_value("type").c_str());
  });
  server_.Get("/status", [](const httplib::Request& req, httplib::Response& res) {
    res.status = std::stoi(req.get_param_value("code"));
    res.set_content("status " + req.get_param_value("code"), "text/plain");
  });
  server_.Get("/delay", [this](const httplib::Request& req, httplib::Response& res) {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::milliseconds(std::stoi(req.get_param_value("ms"))),
                 [this] { return stopping_; });
    res.set_content("late", "text/plain");
  });
  server_.Get("/bytes", [](const httplib::Request& req, httplib::Response& res) {
    const size_t size = std::stoul(req.get_param_value("n"));
    static const std::string chunk(16 * 1024, 'x');
    if (req.has_param("chunked")) {
      res.set_chunked_content_provider("application/octet-stream", [size](size_t offset, httplib::DataSink& sink) {
        if (offset >= size) return sink.done(), true;
        return sink.write(chunk.data(), std::min(chunk.size(), size - offset));
      });
    } else {
      res.set_content_provider(size, "application/octet-stream",
                               [size](size_t offset, size_t, httplib::DataSink& sink) {
                                 return sink.write(chunk.data(), std::min(chunk.size(), size - offset));
                               });
    }
  });
  server_.Get("/staged", [this](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(12, "text/plain", [this](size_t offset, size_t, httplib::DataSink& sink) {
      WaitFor(offset == 0 ? 1 : 2);
      if (offset == 0) return sink.write("first ", 6);
      return sink.write("second", 6);
    });
  });
  port_ = server_.bind_to_any_port("127.0.0.1");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  // stop() is lost on a server whose accept loop has not begun yet.
  while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestServer::~TestServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  cv_.notify_all();
  server_.stop();
  thread_.join();
}

std::string TestServer::Url(const std::string& pathAndQuery) const {
  return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
}

SeenRequest TestServer::Last() const {
  std::lock_guard lock(mutex_);
  return last_;
}

void TestServer::Release(int step) {
  {
    std::lock_guard lock(mutex_);
    released_ = step;
  }
  cv_.notify_all();
}

void TestServer::WaitFor(int step) {
  std::unique_lock lock(mutex_);
  cv_.wait(lock, [&] { return released_ >= step || stopping_; });
}

}  // namespace platform::http::test
