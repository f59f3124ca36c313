#include "service/Server.h"

#include <httplib.h>

#include <csignal>
#include <stdexcept>

#include "service/Accounts.h"
#include "service/Admin.h"
#include "service/ClientFiles.h"
#include "service/Exchange.h"
#include "service/SheetApi.h"
#include "service/WriterApi.h"

namespace tavo::service {
namespace {

enum class Route {
  WriterApi, SheetApi, WriterPublish, SheetPublish, Download, Login, Logout, Register, Terms, Picture, Home,
  NotFound,
};

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

Route PublishRoute(const Call& call, const Store& store) {
  if (call.host == defaults::kWriterHost) return Route::WriterPublish;
  if (call.host == defaults::kSheetHost) return Route::SheetPublish;
  // Not told by the host: the spreadsheet's make-public says "external", and otherwise the
  // id (unique across both services) tells.
  if (call.Param("external") == "true") return Route::SheetPublish;
  return store.HoldsWorkbook(PublishedId(call)) ? Route::SheetPublish : Route::WriterPublish;
}

// The route of a request that is no admin call.
Route RouteOf(const Call& call, const Store& store) {
  const std::string& p = call.path;
  if (p == defaults::kWriterApiPath) return Route::WriterApi;
  if (p == defaults::kSheetApiPath) return Route::SheetApi;
  if (StartsWith(p, defaults::kMakePublicPath) || StartsWith(p, defaults::kUpdateLicensePath))
    return PublishRoute(call, store);
  if (p == defaults::kDownloadPath) return Route::Download;
  if (p == defaults::kLoginPath) return Route::Login;
  if (p == defaults::kLogoutPath) return Route::Logout;
  if (p == defaults::kRegisterPath) return Route::Register;
  if (p == defaults::kTermsPath) return Route::Terms;
  if (StartsWith(p, defaults::kPicturesPath)) return Route::Picture;
  if (p == "/") return Route::Home;
  return Route::NotFound;
}

Call MakeCall(const httplib::Request& req, bool tls, const std::vector<std::string>& apiKeys) {
  Call call;
  call.method = req.method;
  call.hostHeader = req.get_header_value("Host");
  std::string host = call.hostHeader;
  if (!host.empty() && host.front() == '[') {
    host = host.substr(1, host.find(']') - 1);
  } else if (const size_t colon = host.find(':'); colon != std::string::npos) {
    host = host.substr(0, colon);
  }
  call.host = LowerAscii(host);
  call.path = req.path;
  const size_t q = req.target.find('?');
  call.query = q == std::string::npos ? std::string() : req.target.substr(q + 1);
  call.params = ParseQuery(call.query);
  call.body = req.body;
  call.tls = tls;
  call.apiKeys = apiKeys;
  return call;
}

void Send(httplib::Response& res, const Answer& answer) {
  res.status = answer.status;
  res.set_content(answer.body, answer.contentType.c_str());
}

bool IsLoopback(const std::string& address) {
  return StartsWith(address, "127.") || address == "::1" || StartsWith(address, "::ffff:127.");
}

}  // namespace

struct Server::Listener {
  std::unique_ptr<httplib::Server> server;
  std::thread thread;
};

std::string RecordedRequest::Header(std::string_view name) const {
  for (const auto& [n, v] : headers)
    if (LowerAscii(n) == LowerAscii(std::string(name))) return v;
  return {};
}

Server::Server(ServerOptions options)
    : options_(std::move(options)),
      store_(options_.clock ? options_.clock : [] { return std::chrono::system_clock::now(); }) {}

Server::~Server() { Stop(); }

void Server::Start() {
  static std::once_flag ignorePipes;
  std::call_once(ignorePipes, [] { std::signal(SIGPIPE, SIG_IGN); });
  stop_.Reset();
  auto open = [this](std::unique_ptr<httplib::Server> server, int wanted, bool tls) {
    auto handler = [this, tls](const httplib::Request& req, httplib::Response& res) { Handle(req, res, tls); };
    server->Get(".*", handler);
    server->Post(".*", handler);
    server->Put(".*", handler);
    server->Delete(".*", handler);
    const int port = wanted != 0 ? (server->bind_to_port(options_.address, wanted) ? wanted : -1)
                                 : server->bind_to_any_port(options_.address);
    if (port <= 0) throw std::runtime_error("tavo-service: cannot listen on " + options_.address + ":" +
                                            std::to_string(wanted));
    auto listener = std::make_unique<Listener>();
    listener->server = std::move(server);
    listener->thread = std::thread([s = listener->server.get()] { s->listen_after_bind(); });
    // A stop() before the accept loop runs would be lost.
    while (!listener->server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return std::make_pair(std::move(listener), port);
  };

  std::tie(http_, port_) = open(std::make_unique<httplib::Server>(), port_ != 0 ? port_ : options_.port, false);
  if (options_.tls == TlsMode::Off) return;
  if (!tls_) {
    tls_ = std::make_unique<TlsMaterial>(
        options_.certificateFile.empty()
            ? MakeTlsMaterial(options_.tls)
            : LoadTlsMaterial(options_.certificateFile, options_.keyFile, options_.caFile));
    caPem_ = tls_->caPem;
  }
  auto ssl = std::make_unique<httplib::SSLServer>(tls_->certificate.get(), tls_->key.get());
  if (!ssl->is_valid()) throw std::runtime_error("tavo-service: the TLS certificate was refused");
  std::tie(https_, tlsPort_) = open(std::move(ssl), tlsPort_ != 0 ? tlsPort_ : options_.tlsPort, true);
  if (!options_.caOut.empty()) WriteCaFile(options_.caOut);
}

void Server::Stop() {
  stop_.Raise();
  for (auto* listener : {&http_, &https_}) {
    if (!*listener) continue;
    (*listener)->server->stop();
    (*listener)->thread.join();
    listener->reset();
  }
}

std::string Server::Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
std::string Server::TlsUrl() const { return "https://127.0.0.1:" + std::to_string(tlsPort_); }

void Server::WriteCaFile(const std::filesystem::path& path) const { WriteClientFile(path, caPem_, "CA file"); }
std::string Server::HostsFileText() const { return service::HostsFileText(port_, tlsPort_); }
void Server::WriteHostsFile(const std::filesystem::path& path) const {
  WriteClientFile(path, HostsFileText(), "hosts file");
}

std::vector<std::string> Server::Secrets() const {
  std::vector<std::string> secrets(options_.apiKeys.begin(), options_.apiKeys.end());
  for (std::string& secret : store_.Secrets()) secrets.push_back(std::move(secret));
  return secrets;
}

// ---- request handling ------------------------------------------------------------------

namespace {

void Serve(Store& store, const Call& call, Route route, httplib::Response& res) {
  switch (route) {
    case Route::WriterApi: return Send(res, call.method == "POST" ? WriterApi(store, call) : NotFoundPage());
    case Route::SheetApi: return Send(res, call.method == "POST" ? SheetApi(store, call) : NotFoundPage());
    case Route::WriterPublish:
      return Send(res, WriterPublish(store, call, StartsWith(call.path, defaults::kUpdateLicensePath)));
    case Route::SheetPublish:
      return Send(res, SheetPublish(store, call, StartsWith(call.path, defaults::kUpdateLicensePath)));
    case Route::Download: return Send(res, Download(store, call));
    case Route::Login: return Send(res, call.method == "POST" ? Login(store, call) : NotFoundPage());
    case Route::Logout: return Send(res, Logout(store, call));
    case Route::Register: return Send(res, RegisterPage());
    case Route::Terms: return Send(res, TermsPage());
    case Route::Picture: return Send(res, ServePicture(store, call));
    case Route::Home: return Send(res, HomePage(call));
    case Route::NotFound: return Send(res, NotFoundPage());
  }
}

ErrorForm ErrorFormOf(Route route) {
  if (route == Route::WriterApi || route == Route::WriterPublish) return ErrorForm::Writer;
  if (route == Route::SheetApi || route == Route::SheetPublish) return ErrorForm::Sheet;
  return ErrorForm::Page;
}

RecordedRequest RecordOf(const httplib::Request& req, const Call& call) {
  RecordedRequest record;
  record.method = call.method;
  record.host = call.hostHeader;
  record.path = call.path;
  record.query = call.query;
  for (const auto& [name, value] : req.headers) record.headers.emplace_back(name, value);
  record.body = req.body;
  record.tls = call.tls;
  return record;
}

}  // namespace

void Server::Handle(const httplib::Request& req, httplib::Response& res, bool tls) {
  const Call call = MakeCall(req, tls, options_.apiKeys);
  if (StartsWith(call.path, defaults::kAdminPath)) {
    if (!IsLoopback(req.remote_addr)) return Send(res, NotFoundPage());
    return Send(res, AdminCall(*this, call));
  }
  const auto start = std::chrono::steady_clock::now();
  std::uint64_t number = 0;
  {
    RecordedRequest record = RecordOf(req, call);
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(record));
    number = ++received_;
  }
  const Route route = RouteOf(call, store_);
  if (const auto fault = faults_.Take(call.path, call.body))
    ApplyFault(*fault, ErrorFormOf(route), req, res, stop_, [&] { Serve(store_, call, route, res); });
  else
    Serve(store_, call, route, res);
  const auto taken = std::chrono::steady_clock::now() - start;
  std::lock_guard lock(mutex_);
  // The record is the number'th from the first, counted back from the last one received.
  const std::uint64_t later = received_ - number;
  if (later < requests_.size()) requests_[requests_.size() - 1 - later].serviceTime = taken;
}

// ---- the requests received ---------------------------------------------------------------

std::vector<RecordedRequest> Server::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void Server::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

}  // namespace tavo::service
