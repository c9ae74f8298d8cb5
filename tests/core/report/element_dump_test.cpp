#include "core/report/element_dump.h"

#include <gtest/gtest.h>

#include "core/base/atomic_file.h"
#include "core/hexdump/hex_layout.h"
#include "support/vendor_db_fixture.h"

namespace skimlet::report {
namespace {

TEST(ElementDump, BinaryIsExactlyTheBytesAndTextIsTheViewersText) {
  test::TempDir dir;
  const std::vector<uint8_t> bytes = {0x00, 0x03, 'a', 0x0D, 0x0A, 0xFF, 0x00};
  ASSERT_EQ(WriteElementDump(bytes, TDumpFormat::Binary, dir.File("d.bin")), "");
  std::string read;
  ASSERT_TRUE(ReadWholeFile(dir.File("d.bin"), read));
  EXPECT_EQ(read, std::string(bytes.begin(), bytes.end()));
  ASSERT_EQ(WriteElementDump({}, TDumpFormat::Binary, dir.File("empty.bin")), "");
  ASSERT_TRUE(ReadWholeFile(dir.File("empty.bin"), read));
  EXPECT_EQ(read, "");
  ASSERT_EQ(WriteElementDump(bytes, TDumpFormat::Text, dir.File("d.txt")), "");
  ASSERT_TRUE(ReadWholeFile(dir.File("d.txt"), read));
  EXPECT_EQ(read, hexdump::DumpText(bytes));
  EXPECT_NE(WriteElementDump(bytes, TDumpFormat::Binary, "/dev/full"), "");
}

TEST(ElementDump, TreeTableKeepsOrderAndLevels) {
  TIETree tree;
  const TIETreeLine ssid = tree.Add(kNoLine, {"SSID: x", 0, 3});
  tree.Add(ssid, {"Length: 1", 1, 1});
  tree.Add(kNoLine, {"Rates", 3, 4});
  const TExportTable t = ElementTreeTable(tree);
  ASSERT_TRUE(t.IsTree());
  ASSERT_EQ(t.Rows.size(), 3u);
  EXPECT_EQ(t.Rows[1].Level, 1);
  EXPECT_EQ(t.Rows[1].Cells, std::vector<std::string>{"Length: 1"});
  EXPECT_EQ(t.Rows[2].Level, 0);
}

TEST(ProposedNames, NeverAPathAndAlwaysTimestamped) {
  const LocalDateTime t = EncodeLocalDateTime(2026, 12, 10, 18, 5, 9);
  EXPECT_EQ(FileNameTimestamp(t), "2026-12-10-18-05-09");
  EXPECT_EQ(ProposedExportName(TExportSource::NetworkList, t), "Wi-Fi networks 2026-12-10-18-05-09");
  EXPECT_EQ(ProposedExportName(TExportSource::MacStatistics, t),
            "Wireless statistics - MAC layer -  2026-12-10-18-05-09");
  const struct {
    std::string ssid;
    std::string expected;
  } cases[] = {
      {"../../etc/passwd", "Dump for AP .._.._etc_passwd [00-11-22-33-44-55] 2026-12-10-18-05-09"},
      {"a\nb\x1B[0m\\c", "Dump for AP a_b_[0m_c [00-11-22-33-44-55] 2026-12-10-18-05-09"},
      {"caf\xC3\xA9 \xF0\x9F\x98\x80 \xFF",
       "Dump for AP caf\xC3\xA9 \xF0\x9F\x98\x80 \xEF\xBF\xBD [00-11-22-33-44-55] "
       "2026-12-10-18-05-09"},
  };
  for (const auto& c : cases) {
    const std::string name = ProposedDumpName(c.ssid, "00-11-22-33-44-55", t);
    EXPECT_EQ(name, c.expected);
    EXPECT_EQ(name.find('/'), std::string::npos);
  }
  EXPECT_EQ(ProposedElementTreeName("%s/x", "00-11-22-33-44-55", t),
            "Information Elements for AP %s_x [00-11-22-33-44-55] 2026-12-10-18-05-09");
}

}  // namespace
}  // namespace skimlet::report
