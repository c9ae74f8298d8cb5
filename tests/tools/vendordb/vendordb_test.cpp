#include "tools/vendordb/vendordb.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/base/atomic_file.h"
#include "core/vendor/vendor.h"
#include "core/vendor/vendor_index.h"
#include "support/vendor_db_fixture.h"

namespace skimlet::vendordb {
namespace {

using test::TempDir;

std::vector<std::vector<std::string>> Fields(const std::vector<TCsvRecord>& records) {
  std::vector<std::vector<std::string>> out;
  for (const TCsvRecord& r : records) out.push_back(r.Fields);
  return out;
}

TEST(ParseCsv, QuotedFieldsCommasQuotesAndLineBreaks) {
  std::vector<TCsvRecord> records;
  std::string error;
  ASSERT_TRUE(
      ParseCsv("\xEF\xBB\xBFRegistry,Assignment,Organization Name,Organization Address\r\n"
               "MA-L,F4BD9E,\"Cisco Systems, Inc\",80 West Tasman Drive\r\n"
               "IAB,0050C2EDA,\"Joint Stock Company \"\"Svyaz\"\"\",\"42, Varshavskoye\r\nMoscow \"\r\n"
               "\r\n"
               "MA-M,741AE09,Private,\n"
               "MA-S,70B3D5F2F,,",
               records, &error))
      << error;
  const std::vector<std::vector<std::string>> expected = {
      {"Registry", "Assignment", "Organization Name", "Organization Address"},
      {"MA-L", "F4BD9E", "Cisco Systems, Inc", "80 West Tasman Drive"},
      {"IAB", "0050C2EDA", "Joint Stock Company \"Svyaz\"", "42, Varshavskoye\r\nMoscow "},
      {"MA-M", "741AE09", "Private", ""},
      {"MA-S", "70B3D5F2F", "", ""},
  };
  EXPECT_EQ(Fields(records), expected);
  ASSERT_EQ(records.size(), 5u);
  EXPECT_EQ(records[3].Line, 6u);  // the quoted line break and the blank line count

  for (const char* bad : {"a,\"open\nb,c", "a,\"closed\"x,b\n"}) {
    records.clear();
    EXPECT_FALSE(ParseCsv(bad, records, &error)) << bad;
    EXPECT_NE(error.find("line"), std::string::npos) << error;
  }
}

TEST(ParseRegistryCsv, BlocksPerRegistryAndClearErrors) {
  std::vector<TRegistryBlock> blocks;
  std::string error;
  ASSERT_TRUE(
      ParseRegistryCsv("Registry,Assignment,Organization Name,Organization Address\n"
                       "MA-L,0050F2,MICROSOFT CORP.,ONE MICROSOFT WAY\n"
                       "MA-M,741AE09, Padded Name \t,\n"
                       "MA-S,70B3D5F2F,TELEPLATFORMS,\"Polbina st., 3/1\"\n"
                       "IAB,0050c27d5,DEUTA-WERKE GmbH,x\n",
                       "test.csv", blocks, &error))
      << error;
  ASSERT_EQ(blocks.size(), 4u);
  EXPECT_EQ(blocks[0].Bits, 24);
  EXPECT_EQ(blocks[0].RangeBegin, 0x0050F2000000);
  EXPECT_EQ(blocks[0].RangeEnd, 0x0050F2FFFFFF);
  EXPECT_EQ(blocks[1].Bits, 28);
  EXPECT_EQ(blocks[1].RangeBegin, 0x741AE0900000);
  EXPECT_EQ(blocks[1].RangeEnd, 0x741AE09FFFFF);
  EXPECT_EQ(blocks[1].Organization, "Padded Name");
  EXPECT_EQ(blocks[2].RangeBegin, 0x70B3D5F2F000);
  EXPECT_EQ(blocks[2].RangeEnd, 0x70B3D5F2FFFF);
  EXPECT_EQ(blocks[3].Registry, "IAB");
  EXPECT_EQ(blocks[3].RangeBegin, 0x0050C27D5000);

  struct Bad {
    const char* text;
    const char* message;
  };
  for (const Bad& bad : {
           Bad{"Registry,Assignment,Organization Name\nMA-X,0050F2,A\n", "test.csv:2: unknown registry \"MA-X\""},
           Bad{"Registry,Assignment,Organization Name\nMA-L,0050F2,A\nMA-L,0050F,B\n",
               "test.csv:3: assignment \"0050F\" should have 6 hex digits for MA-L"},
           Bad{"Registry,Assignment,Organization Name\nMA-L,0050G2,A\n",
               "test.csv:2: assignment \"0050G2\" is not hexadecimal"},
           Bad{"Registry,Assignment,Organization Name\nMA-L,0050F2\n", "test.csv:2: 2 fields, expected at least 3"},
           Bad{"Registry,Organization Name\n",
               "test.csv:1: the header lacks Registry, Assignment or Organization Name"},
           Bad{"", "test.csv: empty file"},
       }) {
    std::vector<TRegistryBlock> none;
    EXPECT_FALSE(ParseRegistryCsv(bad.text, "test.csv", none, &error));
    EXPECT_EQ(error, bad.message);
    EXPECT_TRUE(none.empty());
  }
}

class VendorDatabaseFromFiles : public ::testing::Test {
 protected:
  void TearDown() override { SetVendorDatabasePath(""); }

  std::string WriteFixture(const std::string& name, const std::string& text) {
    const std::string path = dir_.File(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  std::vector<std::string> Fixtures() {
    const std::string header = "Registry,Assignment,Organization Name,Organization Address\r\n";
    return {
        WriteFixture("oui.csv", header + "MA-L,AABBCC,\"Big, Corp\",\"1 Road\r\nTown\"\r\n"
                                         "MA-L,0050F2,MICROSOFT CORP.,ONE MICROSOFT WAY\r\n"
                                         "MA-L,080030,First Holder,a\r\nMA-L,080030,Second Holder,b\r\n"),
        WriteFixture("mam.csv", header + "MA-M,AABBCCD,Medium Ltd,x\r\n"),
        WriteFixture("oui36.csv", header + "MA-S,AABBCCD12,Tiny GmbH,x\r\n"),
        WriteFixture("iab.csv", header + "IAB,0050C27D5,DEUTA-WERKE GmbH,x\r\n"),
    };
  }

  TempDir dir_;
};

TEST_F(VendorDatabaseFromFiles, LookupsFindTheMostSpecificRegistryBlock) {
  std::vector<TRegistryBlock> blocks;
  std::string error;
  for (const std::string& file : Fixtures()) ASSERT_TRUE(ReadRegistryFile(file, blocks, &error)) << error;
  const std::string db = dir_.File("vendors.db");
  ASSERT_TRUE(WriteVendorDatabase(db, blocks, &error)) << error;
  SetVendorDatabasePath(db);
  // The lookup index is in the file: a start reads it instead of building it.
  sqlite3* connection = OpenVendorDatabase(db, VendorDatabaseOpenFlags);
  std::optional<TVendorIndex> index;
  EXPECT_EQ(TVendorIndex::Load(connection, index), TVendorIndex::LoadResult::Stored);
  sqlite3_close(connection);

  struct Case {
    std::array<uint8_t, 6> mac;
    const char* vendor;
  };
  for (const Case& c : {
           Case{{0xAA, 0xBB, 0xCC, 0x01, 0x02, 0x03}, "Big, Corp"},
           Case{{0xAA, 0xBB, 0xCC, 0xD0, 0x00, 0x00}, "Medium Ltd"},
           Case{{0xAA, 0xBB, 0xCC, 0xD1, 0x2F, 0xFF}, "Tiny GmbH"},  // 36 inside 28 inside 24
           Case{{0xAA, 0xBB, 0xCC, 0xD1, 0x30, 0x00}, "Medium Ltd"},
           Case{{0x00, 0x50, 0xC2, 0x7D, 0x5A, 0xBC}, "DEUTA-WERKE GmbH"},
           Case{{0x00, 0x50, 0xC2, 0x7D, 0x6A, 0xBC}, ""},
           Case{{0x08, 0x00, 0x30, 0x00, 0x00, 0x01}, "Second Holder"},  // listed twice: the later entry
       }) {
    EXPECT_EQ(VendorOfMAC(c.mac), c.vendor) << VendorKeyOfMAC(c.mac);
    EXPECT_EQ(LookupVendor(VendorKeyOfMAC(c.mac), nullptr), c.vendor);
  }
  EXPECT_EQ(VendorOfOUI(0x0050F2), "MICROSOFT CORP.");
}

TEST_F(VendorDatabaseFromFiles, ProgramReplacesTheDatabaseOnlyWhenComplete) {
  const std::vector<std::string> files = Fixtures();
  const std::string db = dir_.File("vendors.db");
  const std::string program = SKIMLET_VENDORDB_PROGRAM;
  std::string command = program + " " + db;
  for (const std::string& f : files) command += " " + f;
  ASSERT_EQ(std::system((command + " > /dev/null").c_str()), 0) << command;
  std::string before;
  ASSERT_TRUE(ReadWholeFile(db, before));
  EXPECT_TRUE(before.starts_with("SQLite format 3"));

  // A broken registry file: an error, and the database stays as it was with no temporary file beside it.
  const std::string broken = WriteFixture("broken.csv", "Registry,Assignment,Organization Name\nMA-L,00,X\n");
  EXPECT_NE(std::system((program + " " + db + " " + files[0] + " " + broken + " 2> /dev/null").c_str()), 0);
  std::string after;
  ASSERT_TRUE(ReadWholeFile(db, after));
  EXPECT_EQ(after, before);
  EXPECT_NE(std::system((program + " > /dev/null 2>&1").c_str()), 0);  // no arguments
  size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_.Path())) ++entries;
  EXPECT_EQ(entries, files.size() + 2);

  std::string error;
  EXPECT_FALSE(WriteVendorDatabase(dir_.File("missing/vendors.db"), {}, &error));
  EXPECT_NE(error.find("missing/vendors.db"), std::string::npos) << error;
}

// The registries Debian's ieee-data ships, when the machine has them.
TEST(VendorDatabaseFromIeeeData, KnownOrganisations) {
  const std::string dir = "/usr/share/ieee-data/";
  std::vector<TRegistryBlock> blocks;
  std::string error;
  for (const char* name : {"oui.csv", "mam.csv", "oui36.csv", "iab.csv"}) {
    if (!std::filesystem::exists(dir + name)) GTEST_SKIP() << dir << name << " is not installed";
    ASSERT_TRUE(ReadRegistryFile(dir + name, blocks, &error)) << error;
  }
  EXPECT_GT(blocks.size(), 40000u);
  TempDir temp;
  ASSERT_TRUE(WriteVendorDatabase(temp.File("vendors.db"), blocks, &error)) << error;
  SetVendorDatabasePath(temp.File("vendors.db"));
  EXPECT_EQ(VendorOfOUI("00-50-F2"), "MICROSOFT CORP.");
  EXPECT_TRUE(VendorIndexInUse());
  // 00-50-C2 is the IEEE's own 24-bit block; its 36-bit IAB blocks name their holders.
  const std::array<uint8_t, 6> iab = {0x00, 0x50, 0xC2, 0x7D, 0x51, 0x23};
  EXPECT_EQ(VendorOfMAC(iab), "DEUTA-WERKE GmbH");
  SetVendorDatabasePath("");
}

}  // namespace
}  // namespace skimlet::vendordb
