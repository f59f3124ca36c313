#pragma once
// The stand-in online suite in one process: accounts, word processor, spreadsheet, the
// suite's pages and an admin endpoint, over HTTP and (for the https accounts address) TLS,
// on loopback. Tests run it in process and control it through this class; tavo-service runs
// it standalone.
//
// Routing: by the Host header where paths of the two services collide (the publishing
// calls), by the path otherwise, so a client pointed straight at http://127.0.0.1:port is
// served too. Paths are in Defaults.h.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "service/Defaults.h"
#include "service/Store.h"
#include "service/Tls.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace tavo::service {

struct RecordedRequest {
  std::string method;
  std::string host;   // the Host header as sent
  std::string path;   // decoded
  std::string query;  // as sent, without "?"
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  bool tls = false;
  // How long the service took over the request once its body had arrived: recording it and
  // building the answer (zero while it is still being served).
  std::chrono::nanoseconds serviceTime{0};
  // "" when absent (case-insensitive name).
  std::string Header(std::string_view name) const;
};

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

struct ServerOptions {
  std::string address = "127.0.0.1";
  int port = 0;  // 0: a free port
  TlsMode tls = TlsMode::Trusted;
  int tlsPort = 0;
  std::filesystem::path caOut;  // where to write the CA certificate at start ("" not at all)
  // Load the server certificate instead of making one (all three or none).
  std::filesystem::path certificateFile;
  std::filesystem::path keyFile;
  std::filesystem::path caFile;
  std::vector<std::string> apiKeys{std::string(defaults::kApiKey)};
  Store::Clock clock;  // the time of modification stamps; the system clock when empty
};

class Server {
 public:
  explicit Server(ServerOptions options = {});
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds and starts serving; throws std::runtime_error when a port cannot be bound.
  // Started again after a Stop, it listens on the same ports with the same certificate, so
  // a client sees its connections refused in between and then served again.
  void Start();
  // Ends held and delayed answers and stops listening. The state is kept.
  void Stop();

  int port() const { return port_; }
  int tlsPort() const { return tlsPort_; }
  std::string Url() const;     // "http://127.0.0.1:<port>"
  std::string TlsUrl() const;  // "https://127.0.0.1:<tlsPort>"
  const std::string& CaPem() const { return caPem_; }
  // Both writers make the file's folder as needed and throw std::runtime_error naming the file
  // and the cause when they cannot write it.
  void WriteCaFile(const std::filesystem::path& path) const;
  // Hosts file lines sending the suite's names to this server: port 80 to the HTTP port,
  // port 443 to the TLS port.
  std::string HostsFileText() const;
  void WriteHostsFile(const std::filesystem::path& path) const;

  // --- seeding (ids are returned; they are unique across documents and workbooks)
  void AddAccount(const std::string& email, const std::string& password);
  std::string AddDocument(const std::string& owner, const std::string& name, const std::string& html,
                          double version = 1);
  std::string AddWorkbook(const std::string& owner, const std::string& name, const std::string& bytes);
  // Stores a picture and returns its path ("/pictures/<id>.<type>").
  std::string AddPicture(const std::string& owner, const std::string& type, const std::string& bytes);
  // A signed-in ticket for the account, as a sign-in would give it.
  std::string SignIn(const std::string& email);
  void EndTicket(const std::string& ticket);  // the ticket has expired
  void EndAllTickets();

  // --- changes made "online" by someone else; false for an unknown id
  bool ChangeDocument(const std::string& id, const std::string& html);   // next version
  bool ChangeWorkbook(const std::string& id, const std::string& bytes);  // new lock and time
  bool Trash(const std::string& id, bool trashed = true);
  bool ShareReadOnly(const std::string& id, bool shared = true);
  bool MarkInUse(const std::string& id, const std::string& editor);  // "" frees it

  // --- inspection
  std::vector<RecordedRequest> Requests() const;  // in the order received (admin calls aside)
  void ClearRequests();
  std::optional<Document> FindDocument(const std::string& id) const;
  std::optional<Workbook> FindWorkbook(const std::string& id) const;
  std::vector<Document> Documents() const;
  std::vector<Workbook> Workbooks() const;
  std::vector<Picture> Pictures() const;
  bool TicketValid(const std::string& ticket) const;
  // What a client must never write down: the accounts' passwords, every ticket given so far
  // (ended ones too) and the API keys.
  std::vector<std::string> Secrets() const;

  // --- faults
  void InjectFault(Fault fault);
  void ClearFaults();

 private:
  struct Listener;
  void Handle(const httplib::Request& req, httplib::Response& res, bool tls);
  std::optional<Fault> TakeFault(const std::string& path, std::string_view body);
  void ApplyFault(const Fault& fault, const httplib::Request& req, httplib::Response& res, bool tls);
  void Serve(const httplib::Request& req, httplib::Response& res, bool tls);
  // Waits until the time is up or the server stops; false when it stopped.
  bool Pause(std::chrono::milliseconds duration);
  void HoldUntilClientLeaves(int socket);

  ServerOptions options_;
  Store store_;
  std::unique_ptr<Listener> http_;
  std::unique_ptr<Listener> https_;
  int port_ = 0;
  int tlsPort_ = 0;
  std::string caPem_;
  std::unique_ptr<TlsMaterial> tls_;

  mutable std::mutex mutex_;  // requests_, faults_, stopping_
  std::condition_variable stopCv_;
  bool stopping_ = false;
  std::vector<RecordedRequest> requests_;
  std::uint64_t received_ = 0;  // requests recorded so far, ClearRequests aside
  std::vector<Fault> faults_;
};

}  // namespace tavo::service
