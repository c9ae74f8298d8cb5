// Test helpers for the vendor database: a scratch folder and small mac_addresses tables made with plain SQL.
#pragma once

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace skimlet::test {

// A fresh folder under the temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "skimlet-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Runs SQL on a database file that it creates when missing, in one transaction; throws with SQLite's message
// on failure.
inline void ExecSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + path);
  }
  char* error = nullptr;
  const std::string all = "PRAGMA synchronous=OFF; BEGIN; " + sql + " COMMIT;";
  if (sqlite3_exec(db, all.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "?";
    sqlite3_free(error);
    sqlite3_close(db);
    throw std::runtime_error(message + " in: " + sql.substr(0, 200));
  }
  sqlite3_close(db);
}

inline const char* VendorTableSql =
    "CREATE TABLE mac_addresses (id INTEGER PRIMARY KEY, organization_name TEXT, range_begin INTEGER, "
    "range_end INTEGER, bits INTEGER);";

}  // namespace skimlet::test
