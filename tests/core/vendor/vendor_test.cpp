#include "core/vendor/vendor.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <fstream>
#include <random>
#include <set>

#include "core/vendor/vendor_index.h"
#include "support/vendor_db_fixture.h"

namespace skimlet {
namespace {

using test::ExecSql;
using test::TempDir;
using test::VendorTableSql;

// Every test points the lookups at its own file and leaves the default behind it.
class VendorLookup : public ::testing::Test {
 protected:
  void TearDown() override { SetVendorDatabasePath(""); }

  // Creates vendors.db from Schema and Rows and points the lookups at it.
  std::string MakeDatabase(const std::string& rowsSql, const std::string& schema = VendorTableSql) {
    std::string path = dir_.File("vendors.db");
    ExecSql(path, schema + rowsSql);
    SetVendorDatabasePath(path);
    return path;
  }

  TempDir dir_;
};

// A 24-bit block AA-BB-CC with a 36-bit block AA-BB-CC-12-3 inside it, and DD-EE-FF registered twice with
// the same prefix length (the later id wins).
const char* EdgeRows =
    "INSERT INTO mac_addresses VALUES (1, 'Big Corp', 0xAABBCC000000, 0xAABBCCFFFFFF, 24);"
    "INSERT INTO mac_addresses VALUES (2, 'Small Co', 0xAABBCC123000, 0xAABBCC123FFF, 36);"
    "INSERT INTO mac_addresses VALUES (3, 'Old Owner', 0xDDEEFF000000, 0xDDEEFFFFFFFF, 24);"
    "INSERT INTO mac_addresses VALUES (4, 'New Owner', 0xDDEEFF000000, 0xDDEEFFFFFFFF, 24);"
    "INSERT INTO mac_addresses VALUES (5, 'Microsoft', 0x0050F2000000, 0x0050F2FFFFFF, 24);";

TEST(VendorKeys, AddressTextAndStatement) {
  const std::array<uint8_t, 6> mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  EXPECT_EQ(VendorKeyOfMAC(mac), "001A2B3C4D5E");
  EXPECT_EQ(VendorKeyOfMAC(std::span(mac).first(3)), "001A2B000000");
  EXPECT_EQ(VendorKeyOfOUI(0x0050F2), "0050F2000000");
  EXPECT_EQ(VendorKeyOfOUI(0xFF0050F2), "0050F2000000");
  EXPECT_EQ(VendorStatement("0050F2000000"),
            "Select organization_name from mac_addresses where 0x0050F2000000 BETWEEN range_begin AND range_end "
            "ORDER BY bits DESC, id DESC limit 1;");
  EXPECT_EQ(SQLiteResultText(0), "Successful result");
  EXPECT_EQ(SQLiteResultText(19), "Abort due to contraint violation");
  EXPECT_EQ(SQLiteResultText(26), "File opened that is not a database file");
  EXPECT_EQ(SQLiteResultText(101), "sqlite3_step() has finished executing");
  EXPECT_EQ(SQLiteResultText(27), "");
  EXPECT_EQ(SQLiteResultText(-1), "");
  EXPECT_EQ(VendorDatabasePath(), DefaultVendorDatabasePath());
  EXPECT_TRUE(DefaultVendorDatabasePath().ends_with("/vendors.db"));
}

TEST_F(VendorLookup, MostSpecificBlockWinsAndNoMatchIsEmpty) {
  MakeDatabase(EdgeRows);
  struct Case {
    std::array<uint8_t, 6> mac;
    const char* vendor;
  };
  for (const Case& c : {
           Case{{0xAA, 0xBB, 0xCC, 0x12, 0x34, 0x56}, "Small Co"},  // inside the 36-bit block
           Case{{0xAA, 0xBB, 0xCC, 0x12, 0x30, 0x00}, "Small Co"},  // its first address
           Case{{0xAA, 0xBB, 0xCC, 0x12, 0x3F, 0xFF}, "Small Co"},  // its last address
           Case{{0xAA, 0xBB, 0xCC, 0x12, 0x40, 0x00}, "Big Corp"},  // just past it
           Case{{0xAA, 0xBB, 0xCC, 0x00, 0x00, 0x00}, "Big Corp"},
           Case{{0xDD, 0xEE, 0xFF, 0x01, 0x02, 0x03}, "New Owner"},  // equal bits: larger id
           Case{{0xAA, 0xBB, 0xCD, 0x00, 0x00, 0x00}, ""},           // in no block
           Case{{0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, ""},
           Case{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, ""},
       }) {
    EXPECT_EQ(VendorOfMAC(c.mac), c.vendor) << VendorKeyOfMAC(c.mac);
    EXPECT_EQ(LookupVendor(VendorKeyOfMAC(c.mac), nullptr), c.vendor) << VendorKeyOfMAC(c.mac);
  }
  EXPECT_TRUE(VendorIndexInUse());
  EXPECT_EQ(VendorOfOUI(0x0050F2), "Microsoft");
  EXPECT_EQ(VendorOfOUI("00-50-F2"), "Microsoft");
  EXPECT_EQ(VendorOfOUI("00:50:f2"), "Microsoft");
  EXPECT_EQ(VendorOfOUI(0xAABBCC), "Big Corp");
  EXPECT_EQ(VendorOfOUI(0x123456), "");
  EXPECT_THROW(VendorOfOUI("00-50"), std::invalid_argument);
  EXPECT_THROW(VendorOfOUI("zz-50-f2"), std::invalid_argument);
  EXPECT_THROW(LookupVendor("0 OR 1=1", nullptr), std::invalid_argument);
  EXPECT_THROW(LookupVendor("", nullptr), std::invalid_argument);
  // Longer byte strings are not answered by the index; the query still gives the answer it gives.
  const std::array<uint8_t, 7> seven = {0xAA, 0xBB, 0xCC, 0x12, 0x34, 0x56, 0x78};
  EXPECT_EQ(VendorOfMAC(seven), "");
}

TEST_F(VendorLookup, MissingDatabaseRaisesOnEveryLookupUntilItAppears) {
  const std::string path = dir_.File("vendors.db");
  SetVendorDatabasePath(path);
  const std::array<uint8_t, 6> mac = {0x00, 0x50, 0xF2, 0x01, 0x02, 0x03};
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      VendorOfMAC(mac);
      FAIL() << "no error";
    } catch (const EVendorDatabaseError& e) {
      EXPECT_EQ(e.Code(), SQLITE_CANTOPEN);
      EXPECT_EQ(std::string(e.what()), "Failed to open database \"" + path + "\" : unable to open database file");
    }
  }
  EXPECT_THROW(LookupVendor("0050F2000000", nullptr), EVendorDatabaseError);
  ExecSql(path, std::string(VendorTableSql) + EdgeRows);
  EXPECT_EQ(VendorOfMAC(mac), "Microsoft");  // the failed open was not cached
}

TEST_F(VendorLookup, UnreadableDatabaseRaisesTheSqlError) {
  const std::string statement = VendorStatement("0050F2000000");
  {
    const std::string path = dir_.File("garbage.db");
    std::ofstream(path) << std::string(4096, 'x');
    SetVendorDatabasePath(path);
    try {
      VendorOfOUI(0x0050F2);
      FAIL() << "no error";
    } catch (const EVendorDatabaseError& e) {
      EXPECT_EQ(e.Code(), SQLITE_NOTADB);
      EXPECT_EQ(std::string(e.what()),
                "Error executing SQL.\rError [26]: File opened that is not a database file.\r\"" + statement +
                    "\": file is not a database");
    }
  }
  {
    const std::string path = dir_.File("empty.db");
    ExecSql(path, "CREATE TABLE other (x);");
    SetVendorDatabasePath(path);
    try {
      VendorOfOUI(0x0050F2);
      FAIL() << "no error";
    } catch (const EVendorDatabaseError& e) {
      EXPECT_EQ(e.Code(), SQLITE_ERROR);
      EXPECT_EQ(std::string(e.what()), "Error executing SQL.\rError [1]: SQL error or missing database.\r\"" +
                                           statement + "\": no such table: mac_addresses");
    }
    // The table appears later (the file was replaced): the cached connection finds it on the next lookup.
    ExecSql(path, std::string(VendorTableSql) + EdgeRows);
    EXPECT_EQ(VendorOfOUI(0x0050F2), "Microsoft");
  }
}

// The index must answer exactly as the query, on any table: random nested prefix blocks as the registry
// has them, arbitrary overlapping ranges, equal prefix lengths, nulls, reversed and out-of-range bounds, and
// tables whose values SQLite compares as something other than integers.
struct TableKind {
  const char* name;
  const char* schema;
  bool prefixBlocks;
  enum { Plain, Nulls, RepeatedIds } values;
  bool usesIndex;
};

void PrintTo(const TableKind& kind, std::ostream* os) { *os << kind.name; }

class VendorIndexEquality : public VendorLookup, public ::testing::WithParamInterface<TableKind> {};

TEST_P(VendorIndexEquality, AnswersAsTheQueryForRandomAndBoundaryAddresses) {
  const TableKind kind = GetParam();
  std::mt19937_64 rng(20240310);
  auto pick = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
  const int64_t top = int64_t{1} << 48;
  // Few distinct 24-bit prefixes so that blocks overlap often.
  std::vector<int64_t> prefixes;
  for (int i = 0; i < 12; ++i) prefixes.push_back(pick(0, 0xFFFFFF));
  prefixes.push_back(0);
  prefixes.push_back(0xFFFFFF);

  std::string sql;
  std::vector<int64_t> probes;
  for (int row = 0; row < 400; ++row) {
    int64_t begin, end;
    int bits;
    if (kind.prefixBlocks) {
      static const int lengths[] = {24, 28, 36, 36, 40};
      bits = lengths[pick(0, 4)];
      const int64_t base = prefixes[static_cast<size_t>(pick(0, static_cast<int64_t>(prefixes.size()) - 1))] << 24;
      const int64_t size = int64_t{1} << (48 - bits);
      begin = base + (pick(0, (int64_t{1} << 24) - 1) & ~(size - 1)) % (int64_t{1} << 24);
      if (bits > 24 && pick(0, 3) == 0) begin = base;  // blocks at the start of their parent
      end = begin + size - 1;
    } else {
      bits = static_cast<int>(pick(20, 40));
      begin = pick(-1000, top + 1000);
      end = pick(0, 9) == 0 ? begin - pick(1, 100) : begin + pick(0, top / 8);
    }
    std::string id = std::to_string(kind.values == TableKind::RepeatedIds ? pick(1, 60) : row + 1);
    std::string bitsText = std::to_string(bits);
    std::string name = "'Org " + std::to_string(row) + "'";
    if (kind.values == TableKind::Nulls) {
      switch (pick(0, 11)) {
        case 0: bitsText = "NULL"; break;
        case 1:  // a null id, with a prefix length of its own so that the order stays defined
          id = "NULL";
          bitsText = std::to_string(100 + row);
          break;
        case 2: name = "NULL"; break;
        case 3:
          sql += "INSERT INTO mac_addresses VALUES (" + id + ", " + name + ", NULL, " + std::to_string(end) + ", " +
                 bitsText + ");";
          continue;
        default: break;
      }
    }
    sql += "INSERT INTO mac_addresses VALUES (" + id + ", " + name + ", " + std::to_string(begin) + ", " +
           std::to_string(end) + ", " + bitsText + ");";
    for (int64_t p : {begin - 1, begin, end, end + 1})
      if (p >= 0 && p < top) probes.push_back(p);
  }
  for (int i = 0; i < 3000; ++i) probes.push_back(pick(0, top - 1));
  for (int64_t prefix : prefixes)
    for (int i = 0; i < 50; ++i) probes.push_back(prefix << 24 | pick(0, 0xFFFFFF));
  probes.push_back(0);
  probes.push_back(top - 1);

  const std::string path = MakeDatabase(sql, kind.schema);
  sqlite3* db = OpenVendorDatabase(path, VendorDatabaseOpenFlags);
  std::set<std::string> seen;
  for (int64_t address : probes) {
    std::array<uint8_t, 6> mac;
    for (int b = 0; b < 6; ++b) mac[static_cast<size_t>(b)] = static_cast<uint8_t>(address >> (40 - 8 * b));
    const std::string key = VendorKeyOfMAC(mac);
    const std::string expected = LookupVendor(key, db);
    ASSERT_EQ(VendorOfMAC(mac), expected) << kind.name << " " << key;
    seen.insert(expected);
  }
  EXPECT_EQ(VendorIndexInUse(), kind.usesIndex);
  EXPECT_GT(seen.size(), 20u) << "the probes should meet many different blocks";

  // Stored beside the table, the index is read back instead of built and answers the same.
  sqlite3* writable = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writable), SQLITE_OK);
  std::string error;
  EXPECT_EQ(TVendorIndex::Store(writable, error), kind.usesIndex) << error;
  EXPECT_EQ(error, "");
  sqlite3_close(writable);
  std::optional<TVendorIndex> index;
  EXPECT_EQ(TVendorIndex::Load(db, index),
            kind.usesIndex ? TVendorIndex::LoadResult::Stored : TVendorIndex::LoadResult::Refused);
  CloseVendorDatabase();
  for (int64_t address : probes) {
    const std::string key = VendorKeyOfMAC(std::array<uint8_t, 6>{
        static_cast<uint8_t>(address >> 40), static_cast<uint8_t>(address >> 32), static_cast<uint8_t>(address >> 24),
        static_cast<uint8_t>(address >> 16), static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)});
    if (index) { ASSERT_EQ(index->Find(address) ? *index->Find(address) : "", LookupVendor(key, db)) << key; }
  }
  sqlite3_close(db);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, VendorIndexEquality,
    ::testing::Values(TableKind{"prefix blocks", VendorTableSql, true, TableKind::Plain, true},
                      TableKind{"arbitrary ranges", VendorTableSql, false, TableKind::Plain, true},
                      // Without a key, ids may be null; so may names, bits and bounds.
                      TableKind{"nulls",
                                "CREATE TABLE mac_addresses (id INTEGER, organization_name TEXT, range_begin INTEGER, "
                                "range_end INTEGER, bits INTEGER);",
                                true, TableKind::Nulls, true},
                      // Equal bits and id: the order among those is SQLite's own, so the query answers.
                      TableKind{"repeated ids",
                                "CREATE TABLE mac_addresses (id INTEGER, organization_name TEXT, range_begin INTEGER, "
                                "range_end INTEGER, bits INTEGER);",
                                true, TableKind::RepeatedIds, false},
                      // No column types: values stay as given, some as real numbers.
                      TableKind{"real values",
                                "CREATE TABLE mac_addresses (id, organization_name, range_begin, range_end, bits);"
                                "INSERT INTO mac_addresses VALUES (0, 'Real', 1.5e14, 1.6e14, 30.5);",
                                false, TableKind::Plain, false}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& c : n)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
      return n;
    });

// A stored index is used only while it describes the table: any change to the rows, or a table made again,
// sends the lookups back to the rows themselves.
TEST_F(VendorLookup, StoredIndexIsDroppedWhenTheTableChanges) {
  const std::string path = MakeDatabase(EdgeRows);
  auto store = [&] {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string error;
    EXPECT_TRUE(TVendorIndex::Store(db, error)) << error;
    sqlite3_close(db);
    CloseVendorDatabase();
  };
  auto source = [&] {
    sqlite3* db = OpenVendorDatabase(path, VendorDatabaseOpenFlags);
    std::optional<TVendorIndex> index;
    TVendorIndex::LoadResult r = TVendorIndex::Load(db, index);
    sqlite3_close(db);
    return r;
  };
  const std::array<uint8_t, 6> small = {0xAA, 0xBB, 0xCC, 0x12, 0x34, 0x56};
  struct Change {
    const char* sql;
    const char* answer;  // for AA-BB-CC-12-34-56 afterwards
  };
  const Change changes[] = {
      {"UPDATE mac_addresses SET organization_name = 'Renamed' WHERE id = 2;", "Renamed"},
      {"DELETE FROM mac_addresses WHERE id = 2;", "Big Corp"},
      {"INSERT INTO mac_addresses VALUES (9, 'Tiny', 0xAABBCC123450, 0xAABBCC12345F, 44);", "Tiny"},
      // Made again with the same count and ids: the triggers went with the old table.
      {"CREATE TABLE copy AS SELECT * FROM mac_addresses; DROP TABLE mac_addresses; "
       "ALTER TABLE copy RENAME TO mac_addresses; UPDATE mac_addresses SET organization_name = 'Copied' WHERE id = 9;",
       "Copied"},
  };
  for (const Change& c : changes) {
    store();
    EXPECT_EQ(source(), TVendorIndex::LoadResult::Stored) << c.sql;
    ExecSql(path, c.sql);
    EXPECT_EQ(source(), TVendorIndex::LoadResult::Built) << c.sql;
    EXPECT_EQ(VendorOfMAC(small), c.answer) << c.sql;
    EXPECT_TRUE(VendorIndexInUse());
    CloseVendorDatabase();
  }
}

TEST(VendorIndex, StoredBytesReadBackAndDamagedOnesAreRefused) {
  const std::vector<TVendorBlock> rows = {
      {1, "A", 0x100, 0x1FF, 24}, {2, "B", 0x140, 0x17F, 28}, {3, "", 0x300, 0x3FF, 24}, {4, "Dé", 0x500, 0x5FF, 24}};
  std::optional<TVendorIndex> index = TVendorIndex::Build(rows);
  ASSERT_TRUE(index);
  const std::vector<uint8_t> bytes = index->Serialize();
  std::optional<TVendorIndex> again = TVendorIndex::Deserialize(bytes);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->SegmentCount(), index->SegmentCount());
  for (int64_t a : std::initializer_list<int64_t>{0x0, 0xFF, 0x100, 0x140, 0x17F, 0x180, 0x300, 0x3FF, 0x550, 0x600,
                                                  TVendorIndex::KeyLimit - 1}) {
    const std::string* x = index->Find(a);
    const std::string* y = again->Find(a);
    ASSERT_EQ(x == nullptr, y == nullptr) << a;
    if (x) { EXPECT_EQ(*x, *y) << a; }
  }
  EXPECT_EQ(again->Serialize(), bytes);

  // Layout: magic 8, counts 12, then starts (8 each), winners (4 each), name ends (4 each), names.
  const size_t segments = index->SegmentCount();
  const size_t winners = 20 + 8 * segments, ends = winners + 4 * segments;
  auto with = [&](size_t at, std::vector<uint8_t> patch) {
    std::vector<uint8_t> b = bytes;
    std::copy(patch.begin(), patch.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  };
  const std::vector<std::vector<uint8_t>> damaged = {
      with(0, {'X'}),                           // magic
      with(8, {0, 0, 0, 0}),                    // no segments
      with(12, {0xFF, 0xFF, 0xFF, 0xFF}),       // more names than bytes
      with(20, {1}),                            // first segment not at 0
      with(28, {0, 0, 0, 0, 0, 0, 0, 0}),       // starts not ascending
      with(28, {0, 0, 0, 0, 0, 0, 1, 0}),       // start past the address line
      with(winners, {9, 0, 0, 0}),              // winner without a name
      with(winners, {0xFE, 0xFF, 0xFF, 0xFF}),  // winner below -1
      with(ends, {0xFF, 0, 0, 0}),              // name ends past the name bytes
  };
  for (size_t i = 0; i < damaged.size(); ++i) EXPECT_FALSE(TVendorIndex::Deserialize(damaged[i])) << i;
  for (size_t cut = 0; cut < bytes.size(); ++cut)
    EXPECT_FALSE(TVendorIndex::Deserialize(std::span(bytes).first(cut))) << cut;
}

TEST(VendorIndex, MergesSegmentsAndRefusesAmbiguousOrder) {
  std::vector<TVendorBlock> rows = {
      {1, "A", 0x100, 0x1FF, 24},
      {2, "B", 0x140, 0x17F, 28},
      {3, "A2", 0x200, 0x2FF, 24},
  };
  std::optional<TVendorIndex> index = TVendorIndex::Build(rows);
  ASSERT_TRUE(index);
  EXPECT_EQ(index->Find(0xFF), nullptr);
  EXPECT_EQ(*index->Find(0x100), "A");
  EXPECT_EQ(*index->Find(0x140), "B");
  EXPECT_EQ(*index->Find(0x180), "A");
  EXPECT_EQ(*index->Find(0x2FF), "A2");
  EXPECT_EQ(index->Find(0x300), nullptr);
  EXPECT_EQ(index->Find(-1), nullptr);
  EXPECT_EQ(index->Find(TVendorIndex::KeyLimit), nullptr);
  EXPECT_EQ(index->SegmentCount(), 6u);  // none, A, B, A, A2, none
  rows.push_back({2, "B again", 0x150, 0x15F, 28});
  EXPECT_FALSE(TVendorIndex::Build(rows));
}

}  // namespace
}  // namespace skimlet
