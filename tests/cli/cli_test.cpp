// skimlet-cli as a user runs it: output, errors and exit status.
#include <gtest/gtest.h>

#include "cli_run.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/base/safe_text.h"
#include "core/base/text.h"
#include "core/model/snapshot_file.h"
#include "support/network_fixture.h"
#include <unistd.h>

namespace {

using skimlet::test::CliRun;

CliRun Cli(const std::string& args) {
  return skimlet::test::RunCommandLine(std::string(SKIMLET_CLI) + " " + args + " 2>/dev/null");
}

TEST(CliElements, PrintsTheTreeIndentedOrAsTSV) {
  CliRun r = Cli("elements --hex \"00 03 41 42 43 01 08\"");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "Information Elements: 1 (7 bytes)\t@0+0\n"
            "  SSID: ABC\t@0+5\n"
            "    Element ID: 0 (SSID)\t@0+1\n"
            "    Length: 3 octets\t@1+1\n"
            "    SSID: ABC\t@2+3\n"
            "  Truncated element: ID 1 announces 8 octets, 0 present\t@5+2\n");
  r = Cli("elements --tsv --hex 0003414243");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "0\t0\t0\tInformation Elements: 1 (5 bytes)\n"
            "1\t0\t5\tSSID: ABC\n"
            "2\t0\t1\tElement ID: 0 (SSID)\n"
            "2\t1\t1\tLength: 3 octets\n"
            "2\t2\t3\tSSID: ABC\n");
}

TEST(CliElements, ControlAndDirectionCharactersStayOnTheirLineAndInert) {
  CliRun r = Cli("elements --tsv --hex 0002410A");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("1\t0\t4\tSSID: A\\x0A\n"), std::string::npos) << r.out;
  // ESC [ 2 J, C1 CSI (U+009B) and a right-to-left override; then a lone 0x9B byte, which makes the SSID
  // ISO 8859-1 and so the C1 CSI again.
  r = Cli("elements --hex 000A1B5B324AC29BE280AE41");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("  SSID: \\x1B[2J\\u009B\\u202EA\t@0+12\n"), std::string::npos) << r.out;
  r = Cli("elements --hex 0002419B");
  EXPECT_NE(r.out.find("  SSID: A\\u009B\t@0+4\n"), std::string::npos) << r.out;
}

TEST(CliElements, DumpPrintsTheBlobAsHexDump) {
  CliRun r = Cli("elements --dump --hex 000341422001020304050607080910111213");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "00000000:  00 03 41 42 20 01 02 03 04 05 06 07 08 09 10 11  ..AB............\r\n"
            "00000010:  12 13                                            ..\r\n");
  EXPECT_EQ(Cli("elements --dump --tsv --hex 00").status, 2);
}

TEST(CliElements, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Cli("elements --hex \"00 0\"").status, 2);
  EXPECT_EQ(Cli("elements --hex XY").status, 2);
  EXPECT_EQ(Cli("elements").status, 2);
  EXPECT_EQ(Cli("nonsense").status, 2);
  EXPECT_EQ(Cli("elements --help").status, 0);
  EXPECT_EQ(Cli("--version").status, 0);
}

}  // namespace

namespace {

TEST(CliLanguage, TextsFollowTheChosenLanguageFileWhichIsNeverWritten) {
  CliRun r = Cli("--lang deutsch elements --hex \"00 03 41 42 43\"");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "Informationselemente: 1 (5 Bytes)\t@0+0\n"
            "  SSID: ABC\t@0+5\n"
            "    Element-ID: 0 (SSID)\t@0+1\n"
            "    Länge: 3 Oktette\t@1+1\n"
            "    SSID: ABC\t@2+3\n");

  char path[] = "/tmp/skimlet-cli-lang-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  const std::string file = "[Translations]\nSSID: %s=Name: %s\nsYes\n";
  ASSERT_EQ(write(fd, file.data(), file.size()), static_cast<ssize_t>(file.size()));
  close(fd);
  r = Cli(std::string("elements --hex 0003414243 --lang=") + path);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("    Name: ABC\t@2+3\n"), std::string::npos) << r.out;
  std::string after(file.size() + 10, '\0');
  FILE* f = fopen(path, "rb");
  ASSERT_TRUE(f);
  after.resize(fread(after.data(), 1, after.size(), f));
  fclose(f);
  unlink(path);
  EXPECT_EQ(after, file);

  EXPECT_EQ(Cli("--lang /nonexistent/x.lng elements --hex 00").status, 2);
}

}  // namespace

namespace {

// A snapshot of two networks, one with a hidden SSID, in a temporary file.
class CliSnapshot : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() / ("skimlet-cli-" + std::to_string(::getpid()) + ".snapshot");
    a_ = skimlet::test::MakeEntry(1, -48, 5180000, "Lab \"5G\"");
    b_ = skimlet::test::MakeEntry(2, -80, 2412000, "");
    blob_ = skimlet::ElementBuilder().AddText(0, "Lab \"5G\"").Add(3, {36}).Blob();
    const double saved = skimlet::EncodeLocalDateTime(2026, 12, 10, 9, 30, 0);
    skimlet::SnapshotRecordRef refs[] = {{&a_, blob_, saved - 0.01, saved}, {&b_, {}, saved - 0.01, saved - 0.001}};
    ASSERT_EQ(skimlet::WriteSnapshotFile(path_, saved, refs), "");
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::filesystem::path path_;
  skimlet::WLAN_BSS_ENTRY a_, b_;
  std::vector<uint8_t> blob_;
};

TEST_F(CliSnapshot, NetworksAsTSVAndJSON) {
  CliRun r = Cli("networks " + path_.string());
  EXPECT_EQ(r.status, 0);
  size_t lines = 0;
  for (char c : r.out) lines += c == '\n';
  EXPECT_EQ(lines, 3u);  // header and two networks
  EXPECT_NE(r.out.find("00-11-22-33-00-01"), std::string::npos);
  EXPECT_EQ(std::count(r.out.begin(), r.out.begin() + static_cast<long>(r.out.find('\n')), '\t'), 32);

  r = Cli("networks --json " + path_.string());
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\"ssid\": \"Lab \\\"5G\\\"\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"signalDbm\": -48"), std::string::npos);
  EXPECT_NE(r.out.find("\"channel\": 36"), std::string::npos);
  EXPECT_NE(r.out.find("\"lastSeen\": \"2026-12-10T09:30:00"), std::string::npos);
  EXPECT_NE(r.out.find("\"elementsHex\": \"00084C61622022354722030124\""), std::string::npos);
}

// A 6 GHz WPA3 network with protection required and fast transition, as JSON and as the TSV's last columns.
TEST(CliNetworks, TodaysRadioValues) {
  const auto path =
      std::filesystem::temp_directory_path() / ("skimlet-cli6-" + std::to_string(::getpid()) + ".snapshot");
  skimlet::WLAN_BSS_ENTRY e = skimlet::test::MakeEntry(3, -50, 6415000, "Six");
  const std::vector<uint8_t> blob = skimlet::ElementBuilder()
                                        .AddText(0, "Six")
                                        .Add(48, {1, 0, 0x00, 0x0F, 0xAC, 4, 1,    0,    0x00, 0x0F, 0xAC, 4,
                                                  2, 0, 0x00, 0x0F, 0xAC, 2, 0x00, 0x0F, 0xAC, 8,    0xC0, 0x00})
                                        .Add(54, {0x34, 0x12, 0x01})
                                        .Blob();
  const double saved = skimlet::EncodeLocalDateTime(2026, 12, 10, 9, 30, 0);
  skimlet::SnapshotRecordRef refs[] = {{&e, blob, saved - 0.01, saved}};
  ASSERT_EQ(skimlet::WriteSnapshotFile(path, saved, refs), "");
  CliRun r = Cli("networks --json " + path.string());
  EXPECT_EQ(r.status, 0);
  for (const char* field :
       {"\"channel\": 93", "\"bandGHz\": 6", "\"primaryFrequencyMHz\": 6415", "\"security\": [\"WPA2\", \"WPA3\"]",
        "\"securityMode\": \"WPA2/WPA3\"", "\"pmf\": \"required\"", "\"roaming\": [\"802.11r\"]"})
    EXPECT_NE(r.out.find(field), std::string::npos) << field << "\n" << r.out;
  r = Cli("networks --tsv " + path.string());
  EXPECT_EQ(r.status, 0);
  const std::string header = r.out.substr(0, r.out.find('\n'));
  EXPECT_EQ(header.substr(header.size() - 11), "pmf\troaming") << header;
  EXPECT_NE(r.out.find("\trequired\t802.11r\n"), std::string::npos) << r.out;
  std::filesystem::remove(path);
}

TEST_F(CliSnapshot, ElementsOfOneNetwork) {
  CliRun r = Cli("elements " + path_.string() + " --bssid 00:11:22:33:00:01");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "Information Elements: 2 (13 bytes)\t@0+0");
  EXPECT_EQ(Cli("elements " + path_.string() + " --bssid 00:11:22:33:00:09").status, 1);
  EXPECT_EQ(Cli("elements " + path_.string() + " --bssid nonsense").status, 2);
  EXPECT_EQ(Cli("networks /nonexistent.snapshot").status, 1);
  EXPECT_EQ(Cli("networks").status, 2);
}

TEST_F(CliSnapshot, ScanReplaysASnapshotAsAScene) {
  CliRun r = Cli("scan --service replay:" + path_.string() + " --count 2 --interval 0 --sim-scan-seconds 0.01 --json");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\"refresh\": 2"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"bssid\": \"00-11-22-33-00-01\""), std::string::npos);
}

// The simulated radio's default scene, scanned the way the window does it: a request, the notification from
// the service's thread, the refresh on the command's own thread.
TEST(CliScan, RefreshesTheSimulatedSceneAndPrintsEachRefresh) {
  CliRun r = Cli("scan --service sim --count 3 --interval 0 --sim-scan-seconds 0.01 --json");
  ASSERT_EQ(r.status, 0);
  std::vector<std::string> refreshes;
  for (size_t at = r.out.find("{\"refresh\""); at != std::string::npos; at = r.out.find("{\"refresh\"", at + 1))
    refreshes.push_back(r.out.substr(at, r.out.find("{\"refresh\"", at + 1) - at));
  ASSERT_EQ(refreshes.size(), 3u) << r.out;
  // The signals of the scene wander from scan to scan.
  EXPECT_NE(refreshes[0].substr(refreshes[0].find("\"networks\"")),
            refreshes[2].substr(refreshes[2].find("\"networks\"")));
}

// The filter options narrow every output with the window's rule; each must hold.
TEST(CliScan, FilterOptionsNarrowTheNetworks) {
  const std::string scan =
      "scan --service sim --interval 0 --sim-scan-seconds 0.01 --tsv --columns ssid,band,security ";
  CliRun all = Cli(scan);
  ASSERT_EQ(all.status, 0);
  CliRun r = Cli(scan + "--band 6");
  ASSERT_EQ(r.status, 0);
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);  // header
  int rows = 0;
  while (std::getline(lines, line)) {
    ++rows;
    EXPECT_NE(line.find("\t6 GHz\t"), std::string::npos) << line;
  }
  EXPECT_GT(rows, 0);
  EXPECT_LT(r.out.size(), all.out.size());

  r = Cli(scan + "--security=wpa3,owe --find BRANKWELL");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Brankwell Guest\t"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\tWPA2\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Rakete"), std::string::npos) << r.out;

  r = Cli("scan --service sim --interval 0 --sim-scan-seconds 0.01 --json --find no-such-network");
  EXPECT_NE(r.out.find("\"networks\": []"), std::string::npos) << r.out;

  for (const char* bad : {"--band 7", "--phy ad", "--width 60", "--quality 6", "--security", "--find"})
    EXPECT_EQ(Cli(std::string("scan ") + bad).status, 2) << bad;
  EXPECT_NE(Cli("scan --help").out.find("--width L"), std::string::npos);
  EXPECT_NE(Cli("networks --help").out.find("--security L"), std::string::npos);
}

TEST(CliScan, UsageAndUnavailableServices) {
  EXPECT_EQ(Cli("scan --help").status, 0);
  EXPECT_EQ(Cli("interfaces --help").status, 0);
  EXPECT_EQ(Cli("scan --count -1").status, 2);
  EXPECT_EQ(Cli("scan --interval -1").status, 2);
  EXPECT_EQ(Cli("scan --service").status, 2);
  EXPECT_EQ(Cli("scan --service wifi").status, 2);
  EXPECT_EQ(Cli("scan --service linux").status, 1);
  EXPECT_EQ(Cli("scan --service sim --interface 7").status, 1);
  EXPECT_EQ(Cli("interfaces --service replay:/nonexistent.snapshot").status, 1);
  EXPECT_EQ(Cli("interfaces --bogus").status, 2);
}

// True when Text holds a control or direction character other than TAB and line feed, or is not UTF-8.
bool HasUnsafeText(const std::string& text) {
  skimlet::Bytes bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  if (!skimlet::IsValidUTF8(bytes)) return true;
  for (size_t i = 0; i < bytes.size();) {
    const uint8_t b = bytes[i];
    const size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = n == 1 ? b : b & (0xFF >> (n + 1));
    for (size_t k = 1; k < n; ++k) c = (c << 6) | (bytes[i + k] & 0x3F);
    if (c != '\t' && c != '\n' && skimlet::IsUnsafeCodePoint(c)) return true;
    i += n;
  }
  return false;
}

// A scene whose names carry terminal escapes (OSC 52 clipboard write, screen clear), BEL, backspace, DEL, C1
// controls, line and paragraph separators and bidirectional overrides and isolates.
class CliHostileNames : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() / ("skimlet-cli-hostile-" + std::to_string(::getpid()) + ".scene");
    FILE* f = std::fopen(path_.c_str(), "w");
    ASSERT_TRUE(f);
    std::fputs(R"([interface]
name = "Lab \x1B[2J\xE2\x80\xAEadapter"
connected = 02:00:00:00:00:01

[ap]
bssid = 02:00:00:00:00:01
ssid = "\x1B]52;c;aGk=\x07\x08\x7F"
channel = 6
wps = configured
wps-device = "dev\xC2\x9B31m\xE2\x80\xA8x\xE2\x81\xA6\xE2\x80\x8F\xE2\x80\xAA\xE2\x80\xAB\xE2\x80\xAC\xE2\x80\xAD"
wps-manufacturer = "maker\x1B[0m\x9B"
wps-model = "m\x9Bodel"

[ap]
bssid = 02:00:00:00:00:02
ssid = "\xE2\x80\xAEtxt.exe\xE2\x80\xA9\xE2\x81\xA7\xE2\x81\xA8\xD8\x9C\xE2\x80\x8E"
channel = 36
phy = ac
)",
               f);
    std::fclose(f);
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::string Service() const { return "--service sim:" + path_.string(); }
  std::filesystem::path path_;
};

TEST_F(CliHostileNames, EveryOutputShowsThemInert) {
  const std::string scan = "scan " + Service() + " --count 1 --sim-scan-seconds 0.01 ";
  for (const std::string& args : {scan + "--tsv", scan + "--table", scan + "--json", "interfaces " + Service(),
                                  "interfaces --json " + Service()}) {
    CliRun r = Cli(args);
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_FALSE(HasUnsafeText(r.out)) << args << "\n" << r.out;
  }
  CliRun r = Cli(scan + "--tsv");
  EXPECT_NE(r.out.find("\\x1B]52;c;aGk=\\x07\\x08\\x7F"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("dev\\u009B31m\\u2028x\\u2066\\u200F\\u202A\\u202B\\u202C\\u202D"), std::string::npos);
  EXPECT_NE(r.out.find("maker\\x1B[0m\\u009B"), std::string::npos);  // read as ISO 8859-1
  EXPECT_NE(r.out.find("m\\u009Bodel"), std::string::npos);          // not UTF-8: read as ISO 8859-1
  EXPECT_NE(r.out.find("\\u202Etxt.exe\\u2029\\u2067\\u2068\\u061C\\u200E"), std::string::npos);
  for (size_t at = 0, next; at < r.out.size(); at = next + 1) {  // one line per network, 34 cells each
    next = r.out.find('\n', at);
    ASSERT_NE(next, std::string::npos);
    EXPECT_EQ(std::count(r.out.begin() + static_cast<long>(at), r.out.begin() + static_cast<long>(next), '\t'), 33);
  }
  r = Cli(scan + "--json");
  EXPECT_NE(r.out.find("\"ssid\": \"\\u001b]52;c;aGk=\\u0007\\u0008\\u007f\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"modelName\": \"m\\u009bodel\""), std::string::npos);
  r = Cli("interfaces " + Service());
  EXPECT_NE(r.out.find("Interface 0: Simulated Lab \\x1B[2J\\u202Eadapter\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Connection:         \\x1B]52;c;aGk=\\x07\\x08\\x7F (02-00-00-00-00-01)"), std::string::npos);
}

TEST(CliInterfaces, ListsStateRadiosAndConnection) {
  CliRun r = Cli("interfaces --service sim");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Interface 0: Simulated"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("802.11ac (VHT): software On, hardware On"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Connection:"), std::string::npos);
  r = Cli("interfaces --service sim --json");
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\"connection\": {\"ssid\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"connection\": null"), std::string::npos) << r.out;
}

}  // namespace
