#include "core/vendor/vendor_index.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <queue>
#include <string_view>
#include <tuple>
#include <unordered_map>

namespace skimlet {

namespace {

// The query's order: bits DESC then id DESC, a null below every number.
using Priority = std::tuple<bool, int64_t, bool, int64_t>;

Priority PriorityOf(const TVendorBlock& row) {
  return {row.Bits.has_value(), row.Bits.value_or(0), row.Id.has_value(), row.Id.value_or(0)};
}

// Reads an integer or null column; false for any other storage class.
bool ReadOptionalInteger(sqlite3_stmt* stmt, int column, std::optional<int64_t>& value) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER: value = sqlite3_column_int64(stmt, column); return true;
    case SQLITE_NULL: value.reset(); return true;
    default: return false;
  }
}

}  // namespace

std::optional<TVendorIndex> TVendorIndex::Build(const std::vector<TVendorBlock>& rows) {
  std::vector<Priority> priorities;
  priorities.reserve(rows.size());
  for (const TVendorBlock& row : rows) priorities.push_back(PriorityOf(row));
  {
    std::vector<Priority> sorted = priorities;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return std::nullopt;
  }

  // Events: a block enters at its first address and leaves after its last, clamped to the address line.
  struct Event {
    int64_t Position;
    int32_t Row;
    bool Enter;
  };
  std::vector<Event> events;
  events.reserve(rows.size() * 2);
  for (size_t i = 0; i < rows.size(); ++i) {
    const int64_t begin = std::max<int64_t>(rows[i].RangeBegin, 0);
    const int64_t end = std::min<int64_t>(rows[i].RangeEnd, KeyLimit - 1);
    if (begin > end) continue;
    events.push_back({begin, static_cast<int32_t>(i), true});
    if (end + 1 < KeyLimit) events.push_back({end + 1, static_cast<int32_t>(i), false});
  }
  std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.Position < b.Position; });

  TVendorIndex index;
  index.starts_.push_back(0);
  index.winners_.push_back(-1);
  std::vector<int32_t> nameOfRow(rows.size(), -1);
  std::unordered_map<std::string_view, int32_t> nameIndex;
  std::vector<bool> inside(rows.size(), false);
  auto lower = [&](int32_t a, int32_t b) { return priorities[a] < priorities[b]; };
  std::priority_queue<int32_t, std::vector<int32_t>, decltype(lower)> covering(lower);

  for (size_t e = 0; e < events.size();) {
    const int64_t position = events[e].Position;
    for (; e < events.size() && events[e].Position == position; ++e) {
      inside[events[e].Row] = events[e].Enter;
      if (events[e].Enter) covering.push(events[e].Row);
    }
    while (!covering.empty() && !inside[covering.top()]) covering.pop();
    int32_t winner = -1;
    if (!covering.empty()) {
      const int32_t row = covering.top();
      if (nameOfRow[row] < 0) {
        // One entry per distinct name: neighbouring blocks of one organisation become one segment.
        auto [it, added] = nameIndex.try_emplace(rows[row].OrganizationName, static_cast<int32_t>(index.names_.size()));
        if (added) index.names_.push_back(rows[row].OrganizationName);
        nameOfRow[row] = it->second;
      }
      winner = nameOfRow[row];
    }
    if (position == index.starts_.back()) {
      index.winners_.back() = winner;
    } else if (winner != index.winners_.back()) {
      index.starts_.push_back(position);
      index.winners_.push_back(winner);
    }
  }
  return index;
}

namespace {

constexpr char kMagic[8] = {'S', 'K', 'V', 'I', 'D', 'X', 0, 1};
constexpr const char* kTriggerNames[] = {"vendor_index_on_insert", "vendor_index_on_update", "vendor_index_on_delete"};

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

Statement Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    stmt = nullptr;
  }
  return Statement(stmt, sqlite3_finalize);
}

// Row count and highest id of mac_addresses; false when the table cannot be read.
bool TableStamp(sqlite3* db, int64_t& rows, int64_t& maxId) {
  Statement stmt = Prepare(db, "SELECT count(*), coalesce(max(id), -1) FROM mac_addresses");
  if (!stmt || sqlite3_step(stmt.get()) != SQLITE_ROW) return false;
  rows = sqlite3_column_int64(stmt.get(), 0);
  maxId = sqlite3_column_int64(stmt.get(), 1);
  return true;
}

// The stored index, when it is there, complete and still that of the table.
std::optional<TVendorIndex> LoadStored(sqlite3* db) {
  Statement triggers =
      Prepare(db,
              "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND tbl_name = 'mac_addresses' "
              "AND name IN ('vendor_index_on_insert', 'vendor_index_on_update', "
              "'vendor_index_on_delete')");
  if (!triggers || sqlite3_step(triggers.get()) != SQLITE_ROW || sqlite3_column_int64(triggers.get(), 0) != 3)
    return std::nullopt;
  Statement stored = Prepare(db, "SELECT format, row_count, max_id, data FROM vendor_index");
  if (!stored || sqlite3_step(stored.get()) != SQLITE_ROW) return std::nullopt;
  if (sqlite3_column_type(stored.get(), 0) != SQLITE_INTEGER ||
      sqlite3_column_int64(stored.get(), 0) != TVendorIndex::StoredFormat ||
      sqlite3_column_type(stored.get(), 3) != SQLITE_BLOB)
    return std::nullopt;
  int64_t rows = 0, maxId = 0;
  if (!TableStamp(db, rows, maxId) || rows != sqlite3_column_int64(stored.get(), 1) ||
      maxId != sqlite3_column_int64(stored.get(), 2))
    return std::nullopt;
  const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stored.get(), 3));
  const int size = sqlite3_column_bytes(stored.get(), 3);
  if (data == nullptr || size <= 0) return std::nullopt;
  std::optional<TVendorIndex> index = TVendorIndex::Deserialize({data, static_cast<size_t>(size)});
  // More than one row: not what Store writes.
  if (index && sqlite3_step(stored.get()) != SQLITE_DONE) return std::nullopt;
  return index;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}
void PutU64(std::vector<uint8_t>& out, uint64_t v) {
  for (int k = 0; k < 8; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}
uint32_t GetU32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint64_t GetU64(const uint8_t* p) { return uint64_t{GetU32(p)} | uint64_t{GetU32(p + 4)} << 32; }

}  // namespace

TVendorIndex::LoadResult TVendorIndex::Load(sqlite3* db, std::optional<TVendorIndex>& index) {
  index = LoadStored(db);
  if (index) return LoadResult::Stored;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT id, organization_name, range_begin, range_end, bits FROM mac_addresses", -1, &stmt,
                         nullptr) != SQLITE_OK ||
      stmt == nullptr) {
    sqlite3_finalize(stmt);
    return LoadResult::Failed;
  }
  std::vector<TVendorBlock> rows;
  LoadResult result = LoadResult::Built;
  for (;;) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) {
      result = LoadResult::Failed;
      break;
    }
    TVendorBlock row;
    std::optional<int64_t> begin, end;
    if (!ReadOptionalInteger(stmt, 0, row.Id) || !ReadOptionalInteger(stmt, 2, begin) ||
        !ReadOptionalInteger(stmt, 3, end) || !ReadOptionalInteger(stmt, 4, row.Bits)) {
      result = LoadResult::Refused;
      break;
    }
    if (!begin || !end) continue;  // a null bound never compares true
    row.RangeBegin = *begin;
    row.RangeEnd = *end;
    if (const unsigned char* text = sqlite3_column_text(stmt, 1))
      row.OrganizationName = reinterpret_cast<const char*>(text);
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(stmt);
  if (result != LoadResult::Built) return result;
  index = Build(rows);
  return index ? LoadResult::Built : LoadResult::Refused;
}

const std::string* TVendorIndex::Find(int64_t address) const {
  if (address < 0 || address >= KeyLimit || starts_.empty()) return nullptr;
  const size_t segment =
      static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), address) - starts_.begin()) - 1;
  const int32_t winner = winners_[segment];
  return winner < 0 ? nullptr : &names_[static_cast<size_t>(winner)];
}

std::vector<uint8_t> TVendorIndex::Serialize() const {
  size_t nameBytes = 0;
  for (const std::string& name : names_) nameBytes += name.size();
  std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
  out.reserve(sizeof kMagic + 12 + starts_.size() * 12 + names_.size() * 4 + nameBytes);
  PutU32(out, static_cast<uint32_t>(starts_.size()));
  PutU32(out, static_cast<uint32_t>(names_.size()));
  PutU32(out, static_cast<uint32_t>(nameBytes));
  for (int64_t start : starts_) PutU64(out, static_cast<uint64_t>(start));
  for (int32_t winner : winners_) PutU32(out, static_cast<uint32_t>(winner));
  uint32_t end = 0;
  for (const std::string& name : names_) PutU32(out, end += static_cast<uint32_t>(name.size()));
  for (const std::string& name : names_) out.insert(out.end(), name.begin(), name.end());
  return out;
}

std::optional<TVendorIndex> TVendorIndex::Deserialize(std::span<const uint8_t> bytes) {
  constexpr size_t kHeader = sizeof kMagic + 12;
  if (bytes.size() < kHeader || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
  const uint8_t* p = bytes.data() + sizeof kMagic;
  const uint64_t segments = GetU32(p), names = GetU32(p + 4), nameBytes = GetU32(p + 8);
  // Counts are 32-bit, so these sums cannot overflow 64 bits.
  if (segments == 0 || bytes.size() != kHeader + segments * 12 + names * 4 + nameBytes) return std::nullopt;
  p = bytes.data() + kHeader;
  TVendorIndex index;
  index.starts_.resize(segments);
  index.winners_.resize(segments);
  index.names_.resize(names);
  for (size_t i = 0; i < segments; ++i, p += 8) {
    const uint64_t start = GetU64(p);
    if (start >= static_cast<uint64_t>(KeyLimit) ||
        (i == 0 ? start != 0 : static_cast<int64_t>(start) <= index.starts_[i - 1]))
      return std::nullopt;
    index.starts_[i] = static_cast<int64_t>(start);
  }
  for (size_t i = 0; i < segments; ++i, p += 4) {
    const int32_t winner = static_cast<int32_t>(GetU32(p));
    if (winner < -1 || (winner >= 0 && static_cast<uint64_t>(winner) >= names)) return std::nullopt;
    index.winners_[i] = winner;
  }
  const uint8_t* text = p + names * 4;
  uint32_t begin = 0;
  for (size_t i = 0; i < names; ++i, p += 4) {
    const uint32_t end = GetU32(p);
    if (end < begin || end > nameBytes) return std::nullopt;
    index.names_[i].assign(reinterpret_cast<const char*>(text) + begin, end - begin);
    begin = end;
  }
  if (begin != nameBytes) return std::nullopt;
  return index;
}

bool TVendorIndex::Store(sqlite3* db, std::string& error) {
  error.clear();
  auto exec = [&](const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return true;
    error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
  };
  std::string drop = "DROP TABLE IF EXISTS vendor_index;";
  for (const char* trigger : kTriggerNames) drop += std::string("DROP TRIGGER IF EXISTS ") + trigger + ";";
  if (!exec(drop)) return false;
  std::optional<TVendorIndex> index;
  switch (Load(db, index)) {
    case LoadResult::Stored:
    case LoadResult::Built: break;
    case LoadResult::Refused: return false;
    case LoadResult::Failed: error = sqlite3_errmsg(db); return false;
  }
  int64_t rows = 0, maxId = 0;
  if (!TableStamp(db, rows, maxId)) {
    error = sqlite3_errmsg(db);
    return false;
  }
  if (!exec("CREATE TABLE vendor_index (format INTEGER NOT NULL, row_count INTEGER NOT NULL, "
            "max_id INTEGER NOT NULL, data BLOB NOT NULL);"))
    return false;
  Statement insert = Prepare(db, "INSERT INTO vendor_index VALUES (?, ?, ?, ?)");
  const std::vector<uint8_t> data = index->Serialize();
  if (!insert) {
    error = sqlite3_errmsg(db);
    return false;
  }
  sqlite3_bind_int64(insert.get(), 1, StoredFormat);
  sqlite3_bind_int64(insert.get(), 2, rows);
  sqlite3_bind_int64(insert.get(), 3, maxId);
  sqlite3_bind_blob64(insert.get(), 4, data.data(), data.size(), SQLITE_STATIC);
  if (sqlite3_step(insert.get()) != SQLITE_DONE) {
    error = sqlite3_errmsg(db);
    return false;
  }
  std::string triggers;
  static constexpr const char* kEvents[] = {"INSERT", "UPDATE", "DELETE"};
  for (size_t i = 0; i < 3; ++i)
    triggers += std::string("CREATE TRIGGER ") + kTriggerNames[i] + " AFTER " + kEvents[i] +
                " ON mac_addresses BEGIN DELETE FROM vendor_index; END;";
  return exec(triggers);
}

size_t TVendorIndex::MemoryBytes() const {
  size_t bytes = sizeof(*this) + starts_.capacity() * sizeof(int64_t) + winners_.capacity() * sizeof(int32_t) +
                 names_.capacity() * sizeof(std::string);
  for (const std::string& name : names_)
    if (name.capacity() > 15) bytes += name.capacity() + 1;
  return bytes;
}

}  // namespace skimlet
