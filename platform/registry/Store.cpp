#include "platform/registry/Store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/environment/Environment.h"
#include "platform/environment/PrivateFiles.h"

namespace platform::registry::store {

struct Connection {
  sqlite3* db = nullptr;
  std::unordered_map<std::string, sqlite3_stmt*> statements;
};

namespace {

constexpr int kBusyTimeoutMs = 5000;
// Beyond SQLite's own busy waiting, a whole transaction is retried for this long.
constexpr auto kRetryFor = std::chrono::seconds(20);

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS registry_keys("
    "  hive INTEGER NOT NULL, path_lc TEXT NOT NULL, path TEXT NOT NULL,"
    "  PRIMARY KEY(hive, path_lc)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS registry_values("
    "  id INTEGER PRIMARY KEY, hive INTEGER NOT NULL, key_lc TEXT NOT NULL, key TEXT NOT NULL,"
    "  name_lc TEXT NOT NULL, name TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    "  UNIQUE(hive, key_lc, name_lc));"
    "CREATE TABLE IF NOT EXISTS registry_settings(name TEXT PRIMARY KEY, value TEXT NOT NULL);";

bool IsBusy(int code) {
  int primary = code & 0xFF;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

void Check(sqlite3* db, int code) {
  (void)db;
  if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE) throw Failure{code};
}

void Exec(sqlite3* db, const char* sql) { Check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr)); }

// The process's connection. Reopened when the current environment changes, and after a fork:
// a child must not use (or close) the connection it inherited, whose locks are the parent's.
struct State {
  std::mutex mutex;
  Connection* connection = nullptr;
  std::uint64_t environmentId = 0;
  pid_t pid = 0;
};

State& TheState() {
  static State* state = new State;  // never destroyed: used until the process ends
  return *state;
}

void Close(Connection* connection) {
  for (auto& [sql, statement] : connection->statements) sqlite3_finalize(statement);
  sqlite3_close(connection->db);
  delete connection;
}

// The store holds the stored password and the ticket: it is made private before SQLite first
// opens it, and SQLite gives its journal and shared-memory files the rights of the database.
// Those of a store made before are narrowed.
void KeepPrivate(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, environment::kPrivateFileMode);
  if (fd >= 0) ::close(fd);  // only a new, empty file: closing it drops no lock SQLite holds
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) environment::NarrowToOwner(path + suffix);
}

Connection* Open(const environment::Environment& env) {
  auto* connection = new Connection;
  std::string path = (env.root() / "registry.db").string();
  KeepPrivate(path);
  int rc = sqlite3_open_v2(path.c_str(), &connection->db,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(connection->db);
    delete connection;
    throw Failure{rc};
  }
  try {
    sqlite3_busy_timeout(connection->db, kBusyTimeoutMs);
    Exec(connection->db, "PRAGMA journal_mode=WAL");
    Exec(connection->db, "PRAGMA synchronous=NORMAL");
    Exec(connection->db, "BEGIN IMMEDIATE");
    try {
      Exec(connection->db, kSchema);
      Exec(connection->db, "COMMIT");
    } catch (...) {
      sqlite3_exec(connection->db, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  } catch (...) {
    Close(connection);
    throw;
  }
  return connection;
}

Connection* ConnectionFor(State& state) {
  const environment::Environment& env = environment::Current();
  pid_t pid = ::getpid();
  if (state.connection && state.environmentId == env.id() && state.pid == pid) return state.connection;
  if (state.connection && state.pid == pid) Close(state.connection);
  state.connection = nullptr;  // an inherited connection is left alone
  state.connection = Open(env);
  state.environmentId = env.id();
  state.pid = pid;
  return state.connection;
}

}  // namespace

Statement::Statement(sqlite3* db, sqlite3_stmt* statement) : db_(db), statement_(statement) {}

Statement::~Statement() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

Statement& Statement::Bind(int index, std::int64_t value) {
  Check(db_, sqlite3_bind_int64(statement_, index, value));
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  Check(db_, sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
  return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes) {
  // A zero-length blob still binds as a blob (not NULL), so empty values stay values.
  static const char kEmpty = 0;
  Check(db_, sqlite3_bind_blob(statement_, index, bytes.empty() ? &kEmpty : bytes.data(),
                               static_cast<int>(bytes.size()), SQLITE_TRANSIENT));
  return *this;
}

bool Statement::Step() {
  int rc = sqlite3_step(statement_);
  Check(db_, rc);
  return rc == SQLITE_ROW;
}

void Statement::Run() {
  while (Step()) {
  }
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(statement_, column); }

std::string Statement::Text(int column) const {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
}

std::string Statement::Blob(int column) const {
  const auto* p = static_cast<const char*>(sqlite3_column_blob(statement_, column));
  return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
}

Statement Transaction::Prepare(const std::string& sql) {
  auto it = connection_->statements.find(sql);
  if (it == connection_->statements.end()) {
    sqlite3_stmt* statement = nullptr;
    Check(connection_->db, sqlite3_prepare_v2(connection_->db, sql.c_str(), -1, &statement, nullptr));
    it = connection_->statements.emplace(sql, statement).first;
  }
  return Statement(connection_->db, it->second);
}

bool Run(bool write, const std::function<void(Transaction&)>& body) {
  State& state = TheState();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto deadline = std::chrono::steady_clock::now() + kRetryFor;
  auto pause = std::chrono::milliseconds(1);
  while (true) {
    Connection* connection = nullptr;
    bool begun = false;
    try {
      connection = ConnectionFor(state);
      Exec(connection->db, write ? "BEGIN IMMEDIATE" : "BEGIN");
      begun = true;
      Transaction transaction(connection);
      body(transaction);
      Exec(connection->db, "COMMIT");
      return true;
    } catch (const Failure& failure) {
      if (begun) sqlite3_exec(connection->db, "ROLLBACK", nullptr, nullptr, nullptr);
      if (!IsBusy(failure.code) || std::chrono::steady_clock::now() > deadline) return false;
    } catch (...) {
      if (begun) sqlite3_exec(connection->db, "ROLLBACK", nullptr, nullptr, nullptr);
      return false;
    }
    // Real time on purpose: another process holds the lock, and a virtual clock would spin.
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

}  // namespace platform::registry::store
