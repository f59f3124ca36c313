#pragma once
// What SQLite's own check says of an environment's registry store: "ok" when every page and
// index of the database file is whole.
#include <sqlite3.h>

#include <filesystem>
#include <string>

namespace tavo::test {

inline std::string StoreIntegrity(const std::filesystem::path& root) {
  sqlite3* db = nullptr;
  std::string verdict = "cannot open";
  const std::string path = (root / "registry.db").string();
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
      verdict = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return verdict;
}

}  // namespace tavo::test
