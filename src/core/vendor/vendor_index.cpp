#include "core/vendor/vendor_index.h"

#include <sqlite3.h>

#include <algorithm>
#include <queue>
#include <tuple>

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
        nameOfRow[row] = static_cast<int32_t>(index.names_.size());
        index.names_.push_back(rows[row].OrganizationName);
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

TVendorIndex::LoadResult TVendorIndex::Load(sqlite3* db, std::optional<TVendorIndex>& index) {
  index.reset();
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT id, organization_name, range_begin, range_end, bits FROM mac_addresses", -1,
                         &stmt, nullptr) != SQLITE_OK ||
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
    if (const unsigned char* text = sqlite3_column_text(stmt, 1)) row.OrganizationName = reinterpret_cast<const char*>(text);
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(stmt);
  if (result != LoadResult::Built) return result;
  index = Build(rows);
  return index ? LoadResult::Built : LoadResult::Refused;
}

const std::string* TVendorIndex::Find(int64_t address) const {
  if (address < 0 || address >= KeyLimit || starts_.empty()) return nullptr;
  const size_t segment = static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), address) - starts_.begin()) - 1;
  const int32_t winner = winners_[segment];
  return winner < 0 ? nullptr : &names_[static_cast<size_t>(winner)];
}

size_t TVendorIndex::MemoryBytes() const {
  size_t bytes = sizeof(*this) + starts_.capacity() * sizeof(int64_t) + winners_.capacity() * sizeof(int32_t) +
                 names_.capacity() * sizeof(std::string);
  for (const std::string& name : names_)
    if (name.capacity() > 15) bytes += name.capacity() + 1;
  return bytes;
}

}  // namespace skimlet
