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
#include "service/Faults.h"
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
  void AddAccount(const std::string& email, const std::string& password) { store_.AddAccount(email, password); }
  std::string AddDocument(const std::string& owner, const std::string& name, const std::string& html,
                          double version = 1) {
    return store_.AddDocument(owner, name, html, version);
  }
  std::string AddWorkbook(const std::string& owner, const std::string& name, const std::string& bytes) {
    return store_.AddWorkbook(owner, name, bytes);
  }
  // Stores a picture and returns its path ("/pictures/<id>.<type>").
  std::string AddPicture(const std::string& owner, const std::string& type, const std::string& bytes) {
    return store_.AddPicture(owner, type, bytes);
  }
  // A signed-in ticket for the account, as a sign-in would give it.
  std::string SignIn(const std::string& email) { return store_.SignIn(email); }
  void EndTicket(const std::string& ticket) { store_.EndTicket(ticket); }  // the ticket has expired
  void EndAllTickets() { store_.EndAllTickets(); }

  // --- changes made "online" by someone else; false for an unknown id
  bool ChangeDocument(const std::string& id, const std::string& html) { return store_.ChangeDocument(id, html); }
  bool ChangeWorkbook(const std::string& id, const std::string& bytes) { return store_.ChangeWorkbook(id, bytes); }
  bool Trash(const std::string& id, bool trashed = true) { return store_.Trash(id, trashed); }
  bool ShareReadOnly(const std::string& id, bool shared = true) { return store_.ShareReadOnly(id, shared); }
  // "" frees it.
  bool MarkInUse(const std::string& id, const std::string& editor) { return store_.MarkInUse(id, editor); }

  // --- inspection
  std::vector<RecordedRequest> Requests() const;  // in the order received (admin calls aside)
  void ClearRequests();
  std::optional<Document> FindDocument(const std::string& id) const { return store_.FindDocument(id); }
  std::optional<Workbook> FindWorkbook(const std::string& id) const { return store_.FindWorkbook(id); }
  std::vector<Document> Documents() const { return store_.Documents(); }
  std::vector<Workbook> Workbooks() const { return store_.Workbooks(); }
  std::vector<Picture> Pictures() const { return store_.Pictures(); }
  bool TicketValid(const std::string& ticket) const { return store_.TicketValid(ticket); }
  // What a client must never write down: the accounts' passwords, every ticket given so far
  // (ended ones too) and the API keys.
  std::vector<std::string> Secrets() const;

  // --- faults
  void InjectFault(Fault fault) { faults_.Add(std::move(fault)); }
  void ClearFaults() { faults_.Clear(); }

 private:
  struct Listener;
  void Handle(const httplib::Request& req, httplib::Response& res, bool tls);

  ServerOptions options_;
  Store store_;
  std::unique_ptr<Listener> http_;
  std::unique_ptr<Listener> https_;
  int port_ = 0;
  int tlsPort_ = 0;
  std::string caPem_;
  std::unique_ptr<TlsMaterial> tls_;
  FaultList faults_;
  StopSignal stop_;

  mutable std::mutex mutex_;  // requests_, received_
  std::vector<RecordedRequest> requests_;
  std::uint64_t received_ = 0;  // requests recorded so far, ClearRequests aside
};

}  // namespace tavo::service
