#include "tools/vendordb/vendordb.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <span>

#include "core/base/atomic_file.h"
#include "core/vendor/vendor_index.h"

namespace skimlet::vendordb {

namespace {

bool Fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

std::string Trim(std::string_view s) {
  const char* blanks = " \t\r\n";
  const size_t first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(blanks) - first + 1));
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool ParseCsv(std::string_view text, std::vector<TCsvRecord>& records, std::string* error) {
  size_t pos = 0, line = 1;
  if (text.starts_with("\xEF\xBB\xBF")) pos = 3;
  const size_t n = text.size();
  while (pos < n) {
    TCsvRecord record;
    record.Line = line;
    for (;;) {
      std::string field;
      if (pos < n && text[pos] == '"') {
        const size_t openLine = line;
        ++pos;
        for (;;) {
          if (pos >= n) return Fail(error, "line " + std::to_string(openLine) + ": quoted field never closed");
          const char c = text[pos];
          if (c == '"') {
            if (pos + 1 < n && text[pos + 1] == '"') {
              field += '"';
              pos += 2;
              continue;
            }
            ++pos;
            break;
          }
          if (c == '\n') ++line;
          field += c;
          ++pos;
        }
        if (pos < n && text[pos] != ',' && text[pos] != '\r' && text[pos] != '\n')
          return Fail(error, "line " + std::to_string(line) + ": text after a closing quote");
      } else {
        const size_t end = text.find_first_of(",\r\n", pos);
        const size_t stop = end == std::string_view::npos ? n : end;
        field.assign(text.substr(pos, stop - pos));
        pos = stop;
      }
      record.Fields.push_back(std::move(field));
      if (pos < n && text[pos] == ',') {
        ++pos;
        continue;
      }
      if (pos < n && text[pos] == '\r') ++pos;
      if (pos < n && text[pos] == '\n') ++pos;
      ++line;
      break;
    }
    const bool blank = record.Fields.size() == 1 && record.Fields[0].empty();
    if (!blank) records.push_back(std::move(record));
  }
  return true;
}

int RegistryBits(std::string_view registry) {
  if (registry == "MA-L") return 24;
  if (registry == "MA-M") return 28;
  if (registry == "MA-S" || registry == "IAB") return 36;
  return 0;
}

bool ParseRegistryCsv(std::string_view text, const std::string& source, std::vector<TRegistryBlock>& blocks,
                      std::string* error) {
  std::vector<TCsvRecord> records;
  std::string reason;
  if (!ParseCsv(text, records, &reason)) return Fail(error, source + ": " + reason);
  if (records.empty()) return Fail(error, source + ": empty file");

  const std::vector<std::string>& header = records[0].Fields;
  auto column = [&](std::string_view name) -> int {
    for (size_t i = 0; i < header.size(); ++i)
      if (Trim(header[i]) == name) return static_cast<int>(i);
    return -1;
  };
  const int registryColumn = column("Registry"), assignmentColumn = column("Assignment"),
            organizationColumn = column("Organization Name");
  if (registryColumn < 0 || assignmentColumn < 0 || organizationColumn < 0)
    return Fail(error, source + ":1: the header lacks Registry, Assignment or Organization Name");
  const size_t needed = static_cast<size_t>(std::max({registryColumn, assignmentColumn, organizationColumn})) + 1;

  std::vector<TRegistryBlock> parsed;
  for (size_t r = 1; r < records.size(); ++r) {
    const TCsvRecord& record = records[r];
    const std::string where = source + ":" + std::to_string(record.Line) + ": ";
    if (record.Fields.size() < needed)
      return Fail(
          error, where + std::to_string(record.Fields.size()) + " fields, expected at least " + std::to_string(needed));
    TRegistryBlock block;
    block.Registry = Trim(record.Fields[static_cast<size_t>(registryColumn)]);
    block.Bits = RegistryBits(block.Registry);
    if (block.Bits == 0) return Fail(error, where + "unknown registry \"" + block.Registry + "\"");
    const std::string assignment = Trim(record.Fields[static_cast<size_t>(assignmentColumn)]);
    if (assignment.size() != static_cast<size_t>(block.Bits / 4))
      return Fail(error, where + "assignment \"" + assignment + "\" should have " + std::to_string(block.Bits / 4) +
                             " hex digits for " + block.Registry);
    int64_t prefix = 0;
    for (char c : assignment) {
      const int v = HexValue(c);
      if (v < 0) return Fail(error, where + "assignment \"" + assignment + "\" is not hexadecimal");
      prefix = prefix << 4 | v;
    }
    const int hostBits = 48 - block.Bits;
    block.RangeBegin = prefix << hostBits;
    block.RangeEnd = block.RangeBegin + ((int64_t{1} << hostBits) - 1);
    block.Organization = Trim(record.Fields[static_cast<size_t>(organizationColumn)]);
    parsed.push_back(std::move(block));
  }
  blocks.insert(blocks.end(), std::make_move_iterator(parsed.begin()), std::make_move_iterator(parsed.end()));
  return true;
}

bool ReadRegistryFile(const std::string& path, std::vector<TRegistryBlock>& blocks, std::string* error) {
  std::string text, reason;
  if (!ReadWholeFile(path, text, &reason)) return Fail(error, path + ": " + reason);
  return ParseRegistryCsv(text, path, blocks, error);
}

bool WriteVendorDatabase(const std::string& path, std::vector<TRegistryBlock> blocks, std::string* error) {
  std::stable_sort(blocks.begin(), blocks.end(), [](const TRegistryBlock& a, const TRegistryBlock& b) {
    return a.Bits != b.Bits ? a.Bits < b.Bits : a.RangeBegin < b.RangeBegin;
  });

  sqlite3* raw = nullptr;
  if (sqlite3_open(":memory:", &raw) != SQLITE_OK) {
    sqlite3_close(raw);
    return Fail(error, "cannot create an in-memory database");
  }
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
  auto sqlError = [&](const std::string& what) { return Fail(error, what + ": " + sqlite3_errmsg(db.get())); };

  if (sqlite3_exec(db.get(),
                   "CREATE TABLE mac_addresses (id INTEGER PRIMARY KEY, organization_name TEXT NOT NULL, "
                   "range_begin INTEGER NOT NULL, range_end INTEGER NOT NULL, bits INTEGER NOT NULL);"
                   "BEGIN;",
                   nullptr, nullptr, nullptr) != SQLITE_OK)
    return sqlError("creating the table");
  sqlite3_stmt* rawStmt = nullptr;
  if (sqlite3_prepare_v2(db.get(), "INSERT INTO mac_addresses VALUES (?, ?, ?, ?, ?)", -1, &rawStmt, nullptr) !=
      SQLITE_OK)
    return sqlError("preparing the insert");
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> insert(rawStmt, sqlite3_finalize);
  int64_t id = 0;
  for (const TRegistryBlock& block : blocks) {
    sqlite3_bind_int64(insert.get(), 1, ++id);
    sqlite3_bind_text(insert.get(), 2, block.Organization.data(), static_cast<int>(block.Organization.size()),
                      SQLITE_STATIC);
    sqlite3_bind_int64(insert.get(), 3, block.RangeBegin);
    sqlite3_bind_int64(insert.get(), 4, block.RangeEnd);
    sqlite3_bind_int64(insert.get(), 5, block.Bits);
    if (sqlite3_step(insert.get()) != SQLITE_DONE) return sqlError("inserting a block");
    sqlite3_reset(insert.get());
  }
  insert.reset();
  if (sqlite3_exec(db.get(), "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK) return sqlError("committing");
  // The lookup index, stored so that a program start reads it instead of building it from every row.
  std::string indexError;
  if (!TVendorIndex::Store(db.get(), indexError) && !indexError.empty())
    return Fail(error, "storing the lookup index: " + indexError);

  sqlite3_int64 size = 0;
  std::unique_ptr<unsigned char, void (*)(void*)> image(sqlite3_serialize(db.get(), "main", &size, 0), sqlite3_free);
  if (!image) return Fail(error, "cannot serialise the database");
  std::string written = WriteFileAtomic(path, std::span<const uint8_t>(image.get(), static_cast<size_t>(size)));
  if (!written.empty()) return Fail(error, path + ": " + written);
  return true;
}

}  // namespace skimlet::vendordb
