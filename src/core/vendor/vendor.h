// Organisation names of MAC addresses and OUIs from the vendor database vendors.db (SQLite, table
// mac_addresses: id, organization_name, range_begin, range_end, bits).
//
// A lookup finds the most specific block (largest bits, then largest id) whose range holds the 48-bit address.
// The connection is opened read-only on the first lookup and kept for the run; a failed open leaves none, so
// the next lookup tries again. Every failure is raised as EVendorDatabaseError and nothing is caught here.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;

namespace skimlet {

// A failure of the vendor database: SQLite's result code (0 when SQLite reported none) and the full text.
class EVendorDatabaseError : public std::runtime_error {
 public:
  EVendorDatabaseError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// Read-only plus full mutex (SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX).
inline constexpr int VendorDatabaseOpenFlags = 65537;

// Organisation of a MAC address (normally 6 bytes), or of a 24-bit OUI (the low three bytes of Oui, or text
// such as "00-50-F2", "0050F2" or "00:50:f2"). Empty when no block holds the address. Malformed OUI text
// raises std::invalid_argument.
std::string VendorOfMAC(std::span<const uint8_t> bytes);
std::string VendorOfOUI(uint32_t oui);
std::string VendorOfOUI(std::string_view ouiText);

// Lookup keys: 12 upper-case hex digits, the address bytes in order padded on the right with "0"
// (00-1A-2B-3C-4D-5E gives "001A2B3C4D5E", the OUI 00-50-F2 gives "0050F2000000").
std::string VendorKeyOfMAC(std::span<const uint8_t> bytes);
std::string VendorKeyOfOUI(uint32_t oui);

// The query for one key (hex digits without "0x").
std::string VendorStatement(std::string_view hexAddress);

// Opens the database at Path (UTF-8) with Flags; raises "Failed to open database ..." on failure.
sqlite3* OpenVendorDatabase(const std::string& path, int flags);

// Runs the query for HexAddress (hex digits only, else std::invalid_argument) on Connection. Without a
// connection it opens one of its own at VendorDatabasePath() for this one query and closes it afterwards.
// This is the plain query; the cached lookups above give the same answers from an in-memory index.
std::string LookupVendor(std::string_view hexAddress, sqlite3* connection);

// SQLite's result code as text; empty for codes it has no text for.
std::string SQLiteResultText(int code);

// Where the database is: vendors.db in the folder of the running program (of an installed program in
// <prefix>/bin or <prefix>/libexec/skimlet: <prefix>/share/skimlet/vendors.db), unless set otherwise.
// Setting the path (empty: back to the default) closes the cached connection so that the next lookup opens
// the new file.
std::string DefaultVendorDatabasePath();
std::string VendorDatabasePath();
void SetVendorDatabasePath(std::string path);
// Closes the cached connection and drops the index; the next lookup opens the database again.
void CloseVendorDatabase();
// Whether lookups through the cached connection are answered by the in-memory index (for tests and
// diagnostics; false before the first lookup and for tables the index cannot answer exactly).
bool VendorIndexInUse();

}  // namespace skimlet
