// An in-memory answer table for the vendor query. Built once from the whole table, it gives for any 48-bit
// address the same organisation as the query "address BETWEEN range_begin AND range_end ORDER BY bits DESC,
// id DESC LIMIT 1" over the same rows: the address line is cut into segments at every block start and every
// block end + 1, each segment holds the winning block of the rows that cover it, and a lookup is a binary
// search. Rows whose values SQLite would compare differently than plain integers (real or text ranges, bits
// or ids) or whose order is ambiguous (equal bits and id) make the index refuse, and the query is used
// instead.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct sqlite3;

namespace skimlet {

// One row of mac_addresses. A null bits or id sorts below every number, as SQLite orders NULL in DESC.
struct TVendorBlock {
  std::optional<int64_t> Id;
  std::string OrganizationName;
  int64_t RangeBegin = 0;
  int64_t RangeEnd = 0;
  std::optional<int64_t> Bits;
};

class TVendorIndex {
 public:
  // Addresses the index answers for: 0 ... 2^48 - 1.
  static constexpr int64_t KeyLimit = int64_t{1} << 48;

  // Nullopt when two rows share bits and id.
  static std::optional<TVendorIndex> Build(const std::vector<TVendorBlock>& rows);

  enum class LoadResult { Stored, Built, Refused, Failed };
  // The index stored beside the table (Stored) when it is there and still describes the table, else built
  // from every row of mac_addresses (Built). Failed: the table could not be read (the query will report
  // why); Refused: its values are not all plain integers.
  static LoadResult Load(sqlite3* db, std::optional<TVendorIndex>& index);

  // The stored form: a table vendor_index with one row (format, row_count, max_id, data), the index of
  // mac_addresses as Serialize writes it, and triggers that empty vendor_index whenever mac_addresses changes.
  // A program start reads it in about a millisecond where building it takes tens. Row count and highest id
  // are checked as well, for a table that was dropped and made again (its triggers go with it).
  static constexpr int StoredFormat = 1;
  // Adds the stored form to a database whose mac_addresses table is complete (replacing an older one); false
  // with SQLite's text in Error when that fails, or with an empty Error when the table has no index (Refused).
  static bool Store(sqlite3* db, std::string& error);

  // The index as bytes (little-endian): "SKVIDX\0\1", segment count, name count, total name bytes (u32 each),
  // segment starts (u64 each), segment winners (i32 each), name ends (u32 each), name bytes.
  std::vector<uint8_t> Serialize() const;
  // Nullopt for bytes that are not exactly such an index (sizes, order and references all checked).
  static std::optional<TVendorIndex> Deserialize(std::span<const uint8_t> bytes);

  // The organisation of Address (0 ... KeyLimit - 1); nullptr when no block holds it.
  const std::string* Find(int64_t address) const;

  size_t SegmentCount() const { return starts_.size(); }
  size_t MemoryBytes() const;

 private:
  std::vector<int64_t> starts_;   // ascending, starts_[0] == 0
  std::vector<int32_t> winners_;  // index into names_, -1 for no block
  std::vector<std::string> names_;
};

}  // namespace skimlet
