#include "service/Server.h"

#include <httplib.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "service/Accounts.h"
#include "service/Admin.h"
#include "service/Exchange.h"
#include "service/SheetApi.h"
#include "service/WriterApi.h"

namespace tavo::service {
namespace {

enum class Route {
  WriterApi, SheetApi, WriterPublish, SheetPublish, Download, Login, Logout, Register, Terms, Picture, Home,
  Admin, NotFound,
};

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

Route PublishRoute(const Call& call, Store& store) {
  if (call.host == defaults::kWriterHost) return Route::WriterPublish;
  if (call.host == defaults::kSheetHost) return Route::SheetPublish;
  // Not told by the host: the spreadsheet's make-public says "external", and otherwise the
  // id (unique across both services) tells.
  if (call.Param("external") == "true") return Route::SheetPublish;
  std::lock_guard lock(store.mutex);
  return store.workbooks.count(PublishedId(call)) != 0 ? Route::SheetPublish : Route::WriterPublish;
}

Route RouteOf(const Call& call, Store& store) {
  const std::string& p = call.path;
  if (StartsWith(p, defaults::kAdminPath)) return Route::Admin;
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

void Send(httplib::Response& res, Answer answer) {
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

bool Matches(const Fault& fault, const std::string& path, const std::string& method) {
  const std::string& m = fault.match;
  if (m.empty() || m == path || m == method) return true;
  if (m.back() == '/' && StartsWith(path, m)) return true;
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
  {
    std::lock_guard lock(mutex_);
    stopping_ = false;
  }
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
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopCv_.notify_all();
  for (auto* listener : {&http_, &https_}) {
    if (!*listener) continue;
    (*listener)->server->stop();
    (*listener)->thread.join();
    listener->reset();
  }
}

std::string Server::Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
std::string Server::TlsUrl() const { return "https://127.0.0.1:" + std::to_string(tlsPort_); }

namespace {
// Writes a file the service hands out (its folder made as needed); a std::runtime_error that
// names the file and the cause when that cannot be done.
void WriteOut(const std::filesystem::path& path, const std::string& text, const char* what) {
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  if (ec)
    throw std::runtime_error("tavo-service: cannot write the " + std::string(what) + " " + path.string() +
                             ": cannot make its folder (" + ec.message() + ")");
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out)
    throw std::runtime_error("tavo-service: cannot write the " + std::string(what) + " " + path.string() + ": " +
                             std::strerror(errno));
}
}  // namespace

void Server::WriteCaFile(const std::filesystem::path& path) const { WriteOut(path, caPem_, "CA file"); }

std::string Server::HostsFileText() const {
  const std::string names[] = {std::string(defaults::kWriterHost), std::string(defaults::kSheetHost),
                               std::string(defaults::kAccountsHost), std::string(defaults::kMainHost),
                               std::string(defaults::kShareHost)};
  std::string text = "# The Tavo suite's names, served by tavo-service on this machine.\n";
  text += "127.0.0.1:" + std::to_string(port_);
  for (const auto& name : names) text += " " + name;
  text += "\n";
  if (tlsPort_ != 0) {
    text += "127.0.0.1:" + std::to_string(tlsPort_);
    for (const auto& name : names) text += " " + name + ":443";
    text += "\n";
  }
  return text;
}

void Server::WriteHostsFile(const std::filesystem::path& path) const { WriteOut(path, HostsFileText(), "hosts file"); }

// ---- request handling ------------------------------------------------------------------

void Server::Handle(const httplib::Request& req, httplib::Response& res, bool tls) {
  const bool admin = StartsWith(req.path, defaults::kAdminPath);
  if (admin) {
    if (!IsLoopback(req.remote_addr)) return Send(res, NotFoundPage());
    return Send(res, AdminCall(*this, MakeCall(req, tls, options_.apiKeys)));
  }
  const auto start = std::chrono::steady_clock::now();
  std::uint64_t number = 0;
  {
    RecordedRequest record;
    record.method = req.method;
    record.host = req.get_header_value("Host");
    record.path = req.path;
    const size_t q = req.target.find('?');
    record.query = q == std::string::npos ? std::string() : req.target.substr(q + 1);
    for (const auto& [name, value] : req.headers) record.headers.emplace_back(name, value);
    record.body = req.body;
    record.tls = tls;
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(record));
    number = ++received_;
  }
  if (const auto fault = TakeFault(req.path, req.body)) ApplyFault(*fault, req, res, tls);
  else Serve(req, res, tls);
  const auto taken = std::chrono::steady_clock::now() - start;
  std::lock_guard lock(mutex_);
  // The record is the number'th from the first, counted back from the last one received.
  const std::uint64_t later = received_ - number;
  if (later < requests_.size()) requests_[requests_.size() - 1 - later].serviceTime = taken;
}

void Server::Serve(const httplib::Request& req, httplib::Response& res, bool tls) {
  const Call call = MakeCall(req, tls, options_.apiKeys);
  switch (RouteOf(call, store_)) {
    case Route::WriterApi: return Send(res, call.method == "POST" ? WriterApi(store_, call) : NotFoundPage());
    case Route::SheetApi: return Send(res, call.method == "POST" ? SheetApi(store_, call) : NotFoundPage());
    case Route::WriterPublish:
      return Send(res, WriterPublish(store_, call, StartsWith(call.path, defaults::kUpdateLicensePath)));
    case Route::SheetPublish:
      return Send(res, SheetPublish(store_, call, StartsWith(call.path, defaults::kUpdateLicensePath)));
    case Route::Download: return Send(res, Download(store_, call));
    case Route::Login: return Send(res, call.method == "POST" ? Login(store_, call) : NotFoundPage());
    case Route::Logout: return Send(res, Logout(store_, call));
    case Route::Register: return Send(res, RegisterPage());
    case Route::Terms: return Send(res, TermsPage());
    case Route::Picture: return Send(res, ServePicture(store_, call));
    case Route::Home: return Send(res, HomePage(call));
    case Route::Admin:
    case Route::NotFound: return Send(res, NotFoundPage());
  }
}

std::optional<Fault> Server::TakeFault(const std::string& path, std::string_view body) {
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

void Server::ApplyFault(const Fault& fault, const httplib::Request& req, httplib::Response& res, bool tls) {
  switch (fault.kind) {
    case FaultKind::ErrorCode: {
      const Call call = MakeCall(req, tls, options_.apiKeys);
      const Route route = RouteOf(call, store_);
      if (route == Route::WriterApi || route == Route::WriterPublish)
        return Send(res, WriterError(fault.code, "Injected error"));
      if (route == Route::SheetApi || route == Route::SheetPublish)
        return Send(res, SheetError(fault.code, "Injected error"));
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
      if (!Pause(fault.delay)) return NoAnswer(res);
      return Serve(req, res, tls);
    case FaultKind::Truncated:
    case FaultKind::Stalled: {
      Serve(req, res, tls);
      auto body = std::make_shared<std::string>(std::move(res.body));
      res.body.clear();
      const std::string type = res.get_header_value("Content-Type");
      const int stall = fault.kind == FaultKind::Stalled ? SocketOf(req) : -1;
      res.set_content_provider(body->size(), type.c_str(),
                               [this, body, stall](size_t offset, size_t, httplib::DataSink& sink) {
                                 const size_t half = body->size() / 2;
                                 if (offset < half) return sink.write(body->data() + offset, half - offset);
                                 if (stall >= 0) HoldUntilClientLeaves(stall);
                                 return false;  // the rest never comes: the connection closes
                               });
      return;
    }
    case FaultKind::Hang:
      HoldUntilClientLeaves(SocketOf(req));
      return NoAnswer(res);
    case FaultKind::RefuseConnection:
      ResetConnection(SocketOf(req));
      return NoAnswer(res);
    case FaultKind::Redirect:
      return res.set_redirect(fault.location, StatusOf(fault.code, 307, 300, 399));
  }
}

bool Server::Pause(std::chrono::milliseconds duration) {
  std::unique_lock lock(mutex_);
  return !stopCv_.wait_for(lock, duration, [this] { return stopping_; });
}

void Server::HoldUntilClientLeaves(int fd) {
  // Bounded, so that a forgotten client cannot hold a worker for ever.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (fd >= 0) {
      pollfd p{fd, POLLRDHUP, 0};
      if (poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) return;
    }
    if (!Pause(std::chrono::milliseconds(20))) return;
  }
}

// ---- seeding and changes -----------------------------------------------------------------

void Server::AddAccount(const std::string& email, const std::string& password) {
  std::lock_guard lock(store_.mutex);
  store_.passwords[LowerAscii(email)] = password;
}

std::string Server::AddDocument(const std::string& owner, const std::string& name, const std::string& html,
                                double version) {
  std::lock_guard lock(store_.mutex);
  return store_.CreateDocument(owner, name, html, version).id;
}

std::string Server::AddWorkbook(const std::string& owner, const std::string& name, const std::string& bytes) {
  std::lock_guard lock(store_.mutex);
  return store_.CreateWorkbook(owner, name, bytes).id;
}

std::string Server::AddPicture(const std::string& owner, const std::string& type, const std::string& bytes) {
  std::lock_guard lock(store_.mutex);
  Picture p{store_.NewId(), LowerAscii(owner), type, bytes};
  store_.pictures[p.id] = p;
  return std::string(defaults::kPicturesPath) + p.id + "." + type;
}

std::string Server::SignIn(const std::string& email) {
  std::lock_guard lock(store_.mutex);
  return store_.TicketFor(email);
}

void Server::EndTicket(const std::string& ticket) {
  std::lock_guard lock(store_.mutex);
  store_.tickets.erase(ticket);
}

void Server::EndAllTickets() {
  std::lock_guard lock(store_.mutex);
  store_.tickets.clear();
}

bool Server::TicketValid(const std::string& ticket) const {
  std::lock_guard lock(store_.mutex);
  return store_.tickets.count(ticket) != 0;
}

std::vector<std::string> Server::Secrets() const {
  std::lock_guard lock(store_.mutex);
  std::vector<std::string> secrets(options_.apiKeys.begin(), options_.apiKeys.end());
  for (const auto& [account, password] : store_.passwords) secrets.push_back(password);
  secrets.insert(secrets.end(), store_.issuedTickets.begin(), store_.issuedTickets.end());
  return secrets;
}

bool Server::ChangeDocument(const std::string& id, const std::string& html) {
  std::lock_guard lock(store_.mutex);
  const auto it = store_.documents.find(id);
  if (it == store_.documents.end()) return false;
  it->second.content = html;
  it->second.version = NextVersion(it->second.version);
  return true;
}

bool Server::ChangeWorkbook(const std::string& id, const std::string& bytes) {
  std::lock_guard lock(store_.mutex);
  const auto it = store_.workbooks.find(id);
  if (it == store_.workbooks.end()) return false;
  store_.Revise(it->second, bytes);
  return true;
}

bool Server::Trash(const std::string& id, bool trashed) {
  std::lock_guard lock(store_.mutex);
  if (auto it = store_.documents.find(id); it != store_.documents.end()) return (it->second.trashed = trashed, true);
  if (auto it = store_.workbooks.find(id); it != store_.workbooks.end()) return (it->second.trashed = trashed, true);
  return false;
}

bool Server::ShareReadOnly(const std::string& id, bool shared) {
  std::lock_guard lock(store_.mutex);
  if (auto it = store_.documents.find(id); it != store_.documents.end())
    return (it->second.sharedReadOnly = shared, true);
  if (auto it = store_.workbooks.find(id); it != store_.workbooks.end())
    return (it->second.sharedReadOnly = shared, true);
  return false;
}

bool Server::MarkInUse(const std::string& id, const std::string& editor) {
  std::lock_guard lock(store_.mutex);
  const auto it = store_.workbooks.find(id);
  if (it == store_.workbooks.end()) return false;
  it->second.inUseBy = editor;
  return true;
}

// ---- inspection and faults -------------------------------------------------------------

std::vector<RecordedRequest> Server::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void Server::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

std::optional<Document> Server::FindDocument(const std::string& id) const {
  std::lock_guard lock(store_.mutex);
  const auto it = store_.documents.find(id);
  if (it == store_.documents.end()) return std::nullopt;
  return it->second;
}

std::optional<Workbook> Server::FindWorkbook(const std::string& id) const {
  std::lock_guard lock(store_.mutex);
  const auto it = store_.workbooks.find(id);
  if (it == store_.workbooks.end()) return std::nullopt;
  return it->second;
}

std::vector<Document> Server::Documents() const {
  std::lock_guard lock(store_.mutex);
  std::vector<Document> all;
  for (const auto& [id, d] : store_.documents) all.push_back(d);
  return all;
}

std::vector<Workbook> Server::Workbooks() const {
  std::lock_guard lock(store_.mutex);
  std::vector<Workbook> all;
  for (const auto& [id, wb] : store_.workbooks) all.push_back(wb);
  return all;
}

std::vector<Picture> Server::Pictures() const {
  std::lock_guard lock(store_.mutex);
  std::vector<Picture> all;
  for (const auto& [id, p] : store_.pictures) all.push_back(p);
  return all;
}

void Server::InjectFault(Fault fault) {
  std::lock_guard lock(mutex_);
  faults_.push_back(std::move(fault));
}

void Server::ClearFaults() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

}  // namespace tavo::service
