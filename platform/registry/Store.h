#pragma once
// The registry's SQLite store: one connection per process and environment, shared by the
// process's threads one call at a time, each call a single short transaction. Two host
// processes and a reader use the same file at once (write-ahead log, busy waiting).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::registry::store {

// A prepared statement of the connection, reset for reuse when it goes out of scope.
class Statement {
 public:
  Statement(sqlite3* db, sqlite3_stmt* statement);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, std::string_view text);
  Statement& BindBlob(int index, std::string_view bytes);
  // Steps once: true while a row is available, false when done.
  bool Step();
  // Steps to the end (statements that return no rows).
  void Run();
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  std::string Blob(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_;
};

struct Connection;

// Raised inside a transaction's body when SQLite reports an error; Run handles it.
struct Failure {
  int code;
};

class Transaction {
 public:
  explicit Transaction(Connection* connection) : connection_(connection) {}
  // The statement for `sql`, prepared once per connection.
  Statement Prepare(const std::string& sql);

 private:
  Connection* connection_;
};

// Runs `body` as one transaction of the current environment's store (a write transaction
// takes the write lock at its start, so it never has to upgrade and fail). Waits out other
// processes that hold the database. Returns false, with nothing changed, when the store
// cannot be opened, read or written.
bool Run(bool write, const std::function<void(Transaction&)>& body);

}  // namespace platform::registry::store
