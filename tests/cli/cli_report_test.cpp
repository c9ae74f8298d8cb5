// skimlet-cli report, export and elements --export: the files they write, read back by real parsers, and what
// a failure leaves behind.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/base/atomic_file.h"
#include "core/base/text.h"
#include "core/model/snapshot_file.h"
#include "core/report/readback.h"
#include "support/network_fixture.h"
#include "support/vendor_db_fixture.h"

namespace {

namespace fs = std::filesystem;
using skimlet::test::ReadBack;
using skimlet::test::TempDir;

struct CliRun {
  std::string out, err;
  int status;
};

// Runs skimlet-cli (or another copy of it) with Args.
CliRun Cli(const std::string& args, const std::string& program = SKIMLET_CLI) {
  TempDir dir;
  const std::string command = "'" + program + "' " + args + " >'" + dir.File("out") + "' 2>'" + dir.File("err") + "'";
  const int status = std::system(command.c_str());
  CliRun r{{}, {}, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
  skimlet::ReadWholeFile(dir.File("out"), r.out);
  skimlet::ReadWholeFile(dir.File("err"), r.err);
  return r;
}

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

std::string Read(const fs::path& p) {
  std::string text;
  skimlet::ReadWholeFile(p, text);
  return text;
}

bool HaveGraphHelper() { return fs::exists(fs::path(SKIMLET_CLI).parent_path() / "skimlet-cli-graph"); }

std::string PercentDecoded(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// Networks whose names an attacker chose: markup, a placeholder, separators and quotes, a line break, RTF
// syntax, a formula, a 4-byte emoji and bytes that are not UTF-8; one on 5 GHz, the rest on 2.4 GHz.
const std::vector<std::string>& HostileSsids() {
  static const std::vector<std::string> ssids = {
      "<script src=//x.yz></script>",
      "{{network_details_list}}",
      "a;b,\"c\"\td",
      "line1\r\nline2",
      "C:\\x {\\rtf1}",
      "=HYPERLINK(\"x\")",
      "caf\xC3\xA9 \xF0\x9F\x98\x80",
      "Caf\xE9 \xFF",
  };
  return ssids;
}

// The SSID as the network list shows it: bytes that are not UTF-8 as ISO 8859-1.
std::string Shown(const std::string& ssid) {
  return skimlet::SSIDBytesToText({reinterpret_cast<const uint8_t*>(ssid.data()), ssid.size()});
}

class CliReport : public ::testing::Test {
 protected:
  void SetUp() override {
    snapshot_ = dir_.Path() / "hostile.snapshot";
    const auto& ssids = HostileSsids();
    entries_.reserve(ssids.size());
    blobs_.reserve(ssids.size());
    const double saved = skimlet::EncodeLocalDateTime(2026, 12, 10, 9, 30, 0);
    std::vector<skimlet::SnapshotRecordRef> refs;
    for (size_t i = 0; i < ssids.size(); ++i) {
      const uint32_t kHz = i == 0 ? 5180000 : 2412000 + 5000 * static_cast<uint32_t>(i % 11);
      entries_.push_back(
          skimlet::test::MakeEntry(static_cast<uint8_t>(i + 1), -40 - static_cast<int>(i), kHz, ssids[i]));
      blobs_.push_back(skimlet::ElementBuilder()
                           .AddText(0, ssids[i])
                           .Add(3, {static_cast<uint8_t>(i == 0 ? 36 : 1 + i % 11)})
                           .Blob());
    }
    for (size_t i = 0; i < ssids.size(); ++i) refs.push_back({&entries_[i], blobs_[i], saved - 0.01, saved});
    ASSERT_EQ(skimlet::WriteSnapshotFile(snapshot_.string(), saved, refs), "");
  }
  TempDir dir_;
  fs::path snapshot_;
  std::vector<skimlet::WLAN_BSS_ENTRY> entries_;
  std::vector<std::vector<uint8_t>> blobs_;
};

TEST_F(CliReport, HostileNamesShowAsTextAndEveryImageResolves) {
  if (!HaveGraphHelper()) GTEST_SKIP() << "no drawing helper in this build";
  const fs::path page = dir_.Path() / "out" / "Site #2 100%?.htm";
  fs::create_directories(page.parent_path());
  const CliRun r = Cli("report -o " + Quoted(page) + " " + Quoted(snapshot_));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const auto read = ReadBack("html", page);
  ASSERT_TRUE(read.Ok);
  EXPECT_EQ(std::count(read.Tags.begin(), read.Tags.end(), "script"), 0);
  // Each network once in the table (its SSID cell links to its details) and once in the details.
  for (const std::string& ssid : HostileSsids()) {
    size_t inTable = 0;
    for (const auto& row : read.Rows) inTable += !row.empty() && row[0] == Shown(ssid);
    EXPECT_EQ(inTable, 1u) << ssid;
  }
  EXPECT_EQ(std::count(read.Ids.begin(), read.Ids.end(), "details"), 1);
  // The spectrum images are there; the time graphs of a single snapshot are left out (no source).
  size_t drawn = 0;
  for (const std::string& src : read.Images) {
    if (src.empty()) continue;
    ++drawn;
    const fs::path image = page.parent_path() / PercentDecoded(src);
    EXPECT_TRUE(fs::exists(image)) << src;
    EXPECT_EQ(Read(image).substr(0, 8), "\x89PNG\r\n\x1A\n") << src;
  }
  EXPECT_EQ(drawn, 2u);
  EXPECT_TRUE(fs::exists(page.parent_path() / "images Site #2 100%?" / "Spectrum5.png"));
}

// A saved survey's graphs show its networks as they were when it was saved, however long ago: the report's
// spectrum is the picture the graph command draws of the same file.
TEST_F(CliReport, SpectrumGraphsOfASavedSurveyShowItsNetworks) {
  if (!HaveGraphHelper()) GTEST_SKIP() << "no drawing helper in this build";
  const fs::path page = dir_.Path() / "old.htm";
  ASSERT_EQ(Cli("report -o " + Quoted(page) + " " + Quoted(snapshot_)).status, 0);
  const fs::path drawn = dir_.Path() / "spectrum2.png";
  const CliRun graph = Cli("graph spectrum2 " + Quoted(snapshot_) + " -o " + Quoted(drawn) + " --size 800x400");
  ASSERT_EQ(graph.status, 0) << graph.err;
  const std::string expected = Read(drawn);
  ASSERT_FALSE(expected.empty());
  EXPECT_TRUE(Read(dir_.Path() / "images old" / "Spectrum2.png") == expected);
}

TEST_F(CliReport, FilterAndSectionsChooseWhatIsWritten) {
  const fs::path page = dir_.Path() / "five.htm";
  const CliRun r = Cli("report --band 5 --sections networks,details -o " + Quoted(page) + " " + Quoted(snapshot_));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto read = ReadBack("html", page);
  ASSERT_TRUE(read.Ok);
  EXPECT_TRUE(read.Images.empty());
  EXPECT_EQ(std::count(read.Ids.begin(), read.Ids.end(), "summary"), 0);
  // Only the 5 GHz network: its anchor in the table (SSID and BSSID cells) and its detail block.
  EXPECT_EQ(read.Hrefs, (std::vector<std::string>{"#00-11-22-33-00-01", "#00-11-22-33-00-01", "#top"}));
  EXPECT_EQ(std::count(read.Ids.begin(), read.Ids.end(), "00-11-22-33-00-01"), 1);

  EXPECT_EQ(Cli("report --sections summary,maps -o x.htm " + Quoted(snapshot_)).status, 2);
  EXPECT_EQ(Cli("report " + Quoted(snapshot_)).status, 2);
}

// A report or export that cannot be made leaves an existing file of that name as it was, says why and exits 1.
TEST_F(CliReport, FailuresKeepTheOldFile) {
  const fs::path old = dir_.Path() / "old.htm";
  ASSERT_EQ(skimlet::WriteFileAtomic(old, std::string_view("old")), "");

  // A copy of the program whose data folder lacks a template.
  const fs::path copy = dir_.Path() / "copy";
  fs::create_directories(copy / "Default" / "Report");
  fs::copy_file(SKIMLET_CLI, copy / "skimlet-cli");
  const fs::path shipped = fs::path(SKIMLET_CLI).parent_path() / "Default" / "Report";
  for (const char* t : {"report", "summary", "networks", "graphs", "network_details_list"})
    fs::copy_file(shipped / (std::string(t) + ".template"),
                  copy / "Default" / "Report" / (std::string(t) + ".template"));
  CliRun r = Cli("report -o " + Quoted(old) + " " + Quoted(snapshot_), (copy / "skimlet-cli").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("network_details.template"), std::string::npos) << r.err;
  EXPECT_EQ(Read(old), "old");
  EXPECT_FALSE(fs::exists(dir_.Path() / "images old"));

  for (const std::string& command :
       {std::string("report --sections summary -o "), std::string("export --format csv -o ")}) {
    r = Cli(command + Quoted(dir_.Path() / "missing folder" / "x.htm") + " " + Quoted(snapshot_));
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_NE(r.err.find("missing folder"), std::string::npos) << r.err;
    EXPECT_EQ(Cli(command + "/dev/full " + Quoted(snapshot_)).status, 1) << command;
  }
  // With its pictures: the missing folder is not made either, and a page that cannot be written takes the
  // picture folder it made with it.
  r = Cli("report -o " + Quoted(dir_.Path() / "missing folder" / "x.htm") + " " + Quoted(snapshot_));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing folder"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir_.Path() / "missing folder"));
  fs::create_directory(dir_.Path() / "taken.htm");
  r = Cli("report -o " + Quoted(dir_.Path() / "taken.htm") + " " + Quoted(snapshot_));
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(dir_.Path() / "images taken")) << r.err;
  r = Cli("export -o " + Quoted(old) + " " + Quoted(dir_.Path() / "no.snapshot"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no.snapshot"), std::string::npos) << r.err;
  EXPECT_EQ(Read(old), "old");
}

TEST_F(CliReport, ExportsReadBackWithTheNamesIntact) {
  const struct {
    const char* format;
    const char* mode;
  } cases[] = {{"txt", "txt"}, {"csv", "csv"}, {"html", "html"}, {"rtf", "rtf"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    const fs::path out = dir_.Path() / (std::string("list.") + c.format);
    const CliRun r = Cli(std::string("export -o ") + Quoted(out) + " " + Quoted(snapshot_));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto read = ReadBack(c.mode, out);
    ASSERT_TRUE(read.Ok);
    ASSERT_EQ(read.Rows.size(), HostileSsids().size() + 1);
    for (size_t i = 0; i < HostileSsids().size(); ++i) {
      std::string expected = Shown(HostileSsids()[i]);
      if (expected[0] == '=' && (c.mode == std::string("txt") || c.mode == std::string("csv")))
        expected = "'" + expected;
      std::string cell = read.Rows[i + 1].at(0);
      if (c.mode == std::string("html") || c.mode == std::string("rtf")) {
        // The HTML and RTF readers render line breaks and tabs as white space.
        expected = skimlet::test::FoldedWhiteSpace(expected);
        cell = skimlet::test::FoldedWhiteSpace(cell);
      }
      EXPECT_EQ(cell, expected);
    }
  }
  // Standard output, for a pipe.
  const CliRun piped = Cli("export --format csv --band 5 -o - " + Quoted(snapshot_));
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.out.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_EQ(std::count(piped.out.begin(), piped.out.end(), '\n'), 2);
  EXPECT_EQ(Cli("report -o - " + Quoted(snapshot_)).status, 2);
  EXPECT_EQ(Cli("export -o x.dat " + Quoted(snapshot_)).status, 2);
  EXPECT_EQ(Cli("export --format xls -o x.csv " + Quoted(snapshot_)).status, 2);
}

TEST_F(CliReport, ElementExportsTreeDumpAndBytes) {
  const std::string of = " --bssid 00:11:22:33:00:02 " + Quoted(snapshot_);
  ASSERT_EQ(Cli("elements --export bin -o " + Quoted(dir_.Path() / "e.bin") + of).status, 0);
  EXPECT_EQ(Read(dir_.Path() / "e.bin"), std::string(blobs_[1].begin(), blobs_[1].end()));
  ASSERT_EQ(Cli("elements --export dump -o " + Quoted(dir_.Path() / "e.txt") + of).status, 0);
  EXPECT_EQ(Read(dir_.Path() / "e.txt").substr(0, 16), "00000000:  00 18");
  ASSERT_EQ(Cli("elements --export csv -o " + Quoted(dir_.Path() / "e.csv") + of).status, 0);
  const auto read = ReadBack("csv", dir_.Path() / "e.csv");
  ASSERT_TRUE(read.Ok);
  ASSERT_GE(read.Rows.size(), 3u);
  EXPECT_EQ(read.Rows[1], (std::vector<std::string>{"", "SSID: {{network_details_list}}"}));
  EXPECT_EQ(Cli("elements --export bin -o -" + of).out, std::string(blobs_[1].begin(), blobs_[1].end()));
  EXPECT_EQ(Cli("elements --export pdf -o x" + of).status, 2);
  EXPECT_EQ(Cli("elements --export bin" + of).status, 2);
}

TEST(CliScanReport, TimeGraphsFromTheRefreshes) {
  if (!HaveGraphHelper()) GTEST_SKIP() << "no drawing helper in this build";
  TempDir dir;
  const fs::path page = dir.Path() / "scan.htm";
  const CliRun r =
      Cli("scan --service sim --count 2 --interval 0 --sim-scan-seconds 0.01 --tsv --report " + Quoted(page));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto read = ReadBack("html", page);
  ASSERT_TRUE(read.Ok);
  for (const char* image : {"RSSI", "Quality", "AchievableRate", "Utilization", "Clients", "Spectrum2", "Spectrum5"}) {
    const std::string src = std::string("images%20scan/") + image + ".png";
    EXPECT_NE(std::find(read.Images.begin(), read.Images.end(), src), read.Images.end()) << image;
    const std::string png = Read(dir.Path() / "images scan" / (std::string(image) + ".png"));
    ASSERT_GE(png.size(), 24u) << image;
    // 800 x 400, whatever the screen's scaling.
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x03\x20\0\0\x01\x90", 8)) << image;
  }
  EXPECT_EQ(Cli("scan --service sim --sections summary").status, 2);
}

}  // namespace
