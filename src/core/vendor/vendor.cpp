#include "core/vendor/vendor.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "core/base/hex.h"
#include "core/vendor/vendor_index.h"

namespace skimlet {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

void AppendHexByte(std::string& s, uint8_t b) {
  s += HexDigits[b >> 4];
  s += HexDigits[b & 0x0F];
}

std::string PadKey(std::string key) {
  if (key.size() < 12) key.append(12 - key.size(), '0');
  return key;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// "Error executing SQL" and its kin, with SQLite's code, its text, the statement and SQLite's message.
[[noreturn]] void RaiseSqlError(sqlite3* db, const std::string& message, const std::string& statement) {
  const int code = sqlite3_errcode(db);
  const char* text = sqlite3_errmsg(db);
  if (code != 0 && text != nullptr) {
    throw EVendorDatabaseError(code, message + ".\rError [" + std::to_string(code) + "]: " + SQLiteResultText(code) +
                                         ".\r\"" + statement + "\": " + text);
  }
  throw EVendorDatabaseError(code, message);
}

struct CloseConnection {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

// The one cached connection of the program and the index read from it.
struct VendorCache {
  std::mutex mutex;
  std::string path;  // empty: the default
  Connection connection;
  enum class IndexState { NotLoaded, Loaded, Refused } indexState = IndexState::NotLoaded;
  std::optional<TVendorIndex> index;

  void Close() {
    index.reset();
    indexState = IndexState::NotLoaded;
    connection.reset();
  }
};

VendorCache& Cache() {
  static VendorCache cache;  // closed when the program ends
  return cache;
}

std::string PathLocked(const VendorCache& cache) {
  return cache.path.empty() ? DefaultVendorDatabasePath() : cache.path;
}

// Looks Key up through the cached connection; Address is Key's value when the index may answer for it.
std::string CachedLookup(const std::string& key, std::optional<int64_t> address) {
  VendorCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  if (!cache.connection) cache.connection.reset(OpenVendorDatabase(PathLocked(cache), VendorDatabaseOpenFlags));
  if (address && cache.indexState == VendorCache::IndexState::NotLoaded) {
    switch (TVendorIndex::Load(cache.connection.get(), cache.index)) {
      case TVendorIndex::LoadResult::Stored:
      case TVendorIndex::LoadResult::Built: cache.indexState = VendorCache::IndexState::Loaded; break;
      case TVendorIndex::LoadResult::Refused: cache.indexState = VendorCache::IndexState::Refused; break;
      case TVendorIndex::LoadResult::Failed: break;  // the query below reports why; the next lookup tries again
    }
  }
  if (address && cache.indexState == VendorCache::IndexState::Loaded) {
    const std::string* name = cache.index->Find(*address);
    return name ? *name : std::string();
  }
  return LookupVendor(key, cache.connection.get());
}

}  // namespace

std::string SQLiteResultText(int code) {
  switch (code) {
    case 0: return "Successful result";
    case 1: return "SQL error or missing database";
    case 2: return "An internal logic error in SQLite";
    case 3: return "Access permission denied";
    case 4: return "Callback routine requested an abort";
    case 5: return "The database file is locked";
    case 6: return "A table in the database is locked";
    case 7: return "A malloc() failed";
    case 8: return "Attempt to write a readonly database";
    case 9: return "Operation terminated by sqlite3_interrupt()";
    case 10: return "Some kind of disk I/O error occurred";
    case 11: return "The database disk image is malformed";
    case 12: return "(Internal Only) Table or record not found";
    case 13: return "Insertion failed because database is full";
    case 14: return "Unable to open the database file";
    case 15: return "Database lock protocol error";
    case 16: return "Database is empty";
    case 17: return "The database schema changed";
    case 18: return "Too much data for one row of a table";
    case 19: return "Abort due to contraint violation";
    case 20: return "Data type mismatch";
    case 21: return "Library used incorrectly";
    case 22: return "Uses OS features not supported on host";
    case 23: return "Authorization denied";
    case 24: return "Auxiliary database format error";
    case 25: return "2nd parameter to sqlite3_bind out of range";
    case 26: return "File opened that is not a database file";
    case 100: return "sqlite3_step() has another row ready";
    case 101: return "sqlite3_step() has finished executing";
    default: return "";
  }
}

std::string VendorKeyOfMAC(std::span<const uint8_t> bytes) {
  std::string key;
  key.reserve(std::max<size_t>(12, bytes.size() * 2));
  for (uint8_t b : bytes) AppendHexByte(key, b);
  return PadKey(std::move(key));
}

std::string VendorKeyOfOUI(uint32_t oui) {
  std::string key;
  AppendHexByte(key, static_cast<uint8_t>(oui >> 16));
  AppendHexByte(key, static_cast<uint8_t>(oui >> 8));
  AppendHexByte(key, static_cast<uint8_t>(oui));
  return PadKey(std::move(key));
}

std::string VendorStatement(std::string_view hexAddress) {
  return "Select organization_name from mac_addresses where 0x" + std::string(hexAddress) +
         " BETWEEN range_begin AND range_end ORDER BY bits DESC, id DESC limit 1;";
}

sqlite3* OpenVendorDatabase(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw EVendorDatabaseError(rc, "Failed to open database \"" + path + "\" : " + message);
  }
  return db;
}

std::string LookupVendor(std::string_view hexAddress, sqlite3* connection) {
  if (hexAddress.empty() || !std::all_of(hexAddress.begin(), hexAddress.end(), IsHexDigit))
    throw std::invalid_argument("Not a hexadecimal address: \"" + std::string(hexAddress) + "\"");
  Connection own;
  if (connection == nullptr) {
    own.reset(OpenVendorDatabase(VendorDatabasePath(), VendorDatabaseOpenFlags));
    connection = own.get();
  }
  const std::string statement = VendorStatement(hexAddress);
  if (connection == nullptr) throw EVendorDatabaseError(0, "Failed to open database. Descriptor is null");

  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(connection, statement.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    RaiseSqlError(connection, "Error executing SQL", statement);
  }
  if (stmt == nullptr) RaiseSqlError(connection, "Could not prepare SQL statement", statement);
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);

  const int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(stmt, 0);
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
  }
  // A failed step (a damaged file, say) is an error, not "no vendor".
  if (rc != SQLITE_DONE) RaiseSqlError(connection, "Error executing SQL", statement);
  return {};
}

std::string VendorOfMAC(std::span<const uint8_t> bytes) {
  std::optional<int64_t> address;
  if (bytes.size() <= 6) {
    int64_t value = 0;
    for (size_t i = 0; i < 6; ++i) value = value << 8 | (i < bytes.size() ? bytes[i] : 0);
    address = value;
  }
  return CachedLookup(VendorKeyOfMAC(bytes), address);
}

std::string VendorOfOUI(uint32_t oui) {
  const uint32_t o = oui & 0xFFFFFF;
  return CachedLookup(VendorKeyOfOUI(o), static_cast<int64_t>(o) << 24);
}

std::string VendorOfOUI(std::string_view ouiText) {
  std::string error;
  std::optional<std::vector<uint8_t>> bytes = ParseHexBytes(ouiText, &error);
  if (!bytes || bytes->size() != 3)
    throw std::invalid_argument("Not an OUI (three bytes): \"" + std::string(ouiText) + "\"" +
                                (error.empty() ? "" : ": " + error));
  return VendorOfOUI(static_cast<uint32_t>((*bytes)[0]) << 16 | (*bytes)[1] << 8 | (*bytes)[2]);
}

std::string DefaultVendorDatabasePath() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (n <= 0) return "vendors.db";
  std::string exe(buffer, static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
  const std::string beside = folder + "vendors.db";
  // An installed program (<prefix>/bin, or a helper in <prefix>/libexec/skimlet) has the database in
  // <prefix>/share/skimlet.
  if (access(beside.c_str(), F_OK) == 0) return beside;
  for (std::string_view tail : {std::string_view("/bin/"), std::string_view("/libexec/skimlet/")}) {
    if (!folder.ends_with(tail)) continue;
    std::string shared = folder.substr(0, folder.size() - tail.size() + 1) + "share/skimlet/vendors.db";
    if (access(shared.c_str(), F_OK) == 0) return shared;
  }
  return beside;
}

std::string VendorDatabasePath() {
  VendorCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  return PathLocked(cache);
}

void SetVendorDatabasePath(std::string path) {
  VendorCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  cache.Close();
  cache.path = std::move(path);
}

bool VendorIndexInUse() {
  VendorCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  return cache.indexState == VendorCache::IndexState::Loaded;
}

void CloseVendorDatabase() {
  VendorCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  cache.Close();
}

}  // namespace skimlet
