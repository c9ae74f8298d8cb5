// skimlet-cli as scripts use it: JSON Lines while scanning, stable TSV columns, fields with one meaning,
// interfaces by name, standard input, several files, usage errors and exit statuses.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "core/ie/builder.h"
#include "core/model/snapshot_file.h"
#include "json_check.h"
#include "support/capture_writer.h"
#include "support/network_fixture.h"

namespace {

namespace fs = std::filesystem;
using skimlet::test::JsonReader;
using skimlet::test::JsonValue;
using skimlet::test::Lines;

struct Outcome {
  std::string out, err;
  int status = -1;
};

const std::string kCli = SKIMLET_CLI;

// Runs a shell command line; "CLI" in it stands for the program.
Outcome Shell(std::string command, const fs::path& errFile) {
  for (size_t at = command.find("CLI"); at != std::string::npos; at = command.find("CLI", at + kCli.size()))
    command.replace(at, 3, kCli);
  Outcome run;
  FILE* pipe = popen(("{ " + command + " ; } 2>" + errFile.string()).c_str(), "r");
  if (!pipe) return run;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(errFile);
  run.err.assign(std::istreambuf_iterator<char>(in), {});
  return run;
}

JsonValue Parse(const std::string& text) {
  auto v = JsonReader::Parse(text);
  EXPECT_TRUE(v) << "not JSON: " << text.substr(0, 300);
  return v.value_or(JsonValue{});
}

const std::regex kIsoTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(Z|[+-]\d\d:\d\d))");

class CliScript : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("skimlet-cli-script-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    // Wide East Asian characters, a combining accent and an emoji in names; one network hides its name.
    Write("lab.scene", R"([interface]
name = "Lab adapter"
ifname = wlan7
mac = 02:11:22:33:44:55

[ap]
bssid = 02:00:00:00:00:01
ssid = "東京カフェ"
channel = 36
width = 80
phy = ac
wps = configured
wps-device = "Box"

[ap]
bssid = 02:00:00:00:00:02
ssid = "Cafe\xCC\x81"
channel = 6

[ap]
bssid = 02:00:00:00:00:03
ssid = "Nobody"
hidden = zeros
channel = 11
)");
    Write("down.scene",
          "[interface]\nname = \"Off\"\nifname = wlan3\nup = no\n\n[ap]\nbssid = 02:00:00:00:00:01\nssid = "
          "\"x\"\nchannel = 1\n");
    Write("refused.scene",
          "[interface]\nname = \"Locked\"\nscans-refused = yes\n\n[ap]\nbssid = 02:00:00:00:00:01\nssid = "
          "\"x\"\nchannel = 1\n");

    // A snapshot: one network heard at the end with -48 dBm, one whose source measured no signal, one heard
    // only long before the snapshot was saved.
    const double saved = skimlet::EncodeLocalDateTime(2026, 7, 1, 9, 30, 0);
    auto a = skimlet::test::MakeEntry(1, -48, 5180000, "Lab");
    auto b = skimlet::test::MakeEntry(2, -100, 2412000, "Quiet");
    auto c = skimlet::test::MakeEntry(3, -70, 2437000, "Gone");
    const auto blobA = skimlet::ElementBuilder().AddText(0, "Lab").Add(3, {36}).Blob();
    const std::vector<uint8_t> none;
    skimlet::SnapshotRecordRef refs[] = {
        {&a, blobA, saved - 0.01, saved}, {&b, none, saved - 0.01, saved}, {&c, none, saved - 0.5, saved - 0.25}};
    snapshot_ = dir_ / "survey.snapshot";
    ASSERT_EQ(skimlet::WriteSnapshotFile(snapshot_, saved, refs), "");
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name, std::ios::binary) << text; }
  std::string Scene(const std::string& name) const { return "--service sim:" + (dir_ / name).string(); }
  Outcome Sh(const std::string& command) const { return Shell(command, dir_ / "stderr"); }
  static const JsonValue* NetworkOf(const JsonValue& networks, const std::string& bssid) {
    for (const JsonValue& n : networks.Array())
      if (n["bssid"].Text() == bssid) return &n;
    return nullptr;
  }

  fs::path dir_, snapshot_;
};

TEST_F(CliScript, ScanWritesOneJsonDocumentPerRefreshLine) {
  Outcome r = Sh("CLI scan " + Scene("lab.scene") + " --count 3 --interval 0 --sim-scan-seconds 0.01 --json");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  for (size_t k = 0; k < lines.size(); ++k) {
    JsonValue line = Parse(lines[k]);
    EXPECT_EQ(line["refresh"].Number(), k + 1.0);
    EXPECT_TRUE(std::regex_match(line["time"].Text(), kIsoTime)) << line["time"].Text();
    EXPECT_EQ(line["interface"]["name"].Text(), "wlan7");
    EXPECT_EQ(line["networks"].Array().size(), 3u);
  }
}

// Until interrupted: a signal or a reader that closes the pipe ends the scan after a whole line, status 0.
TEST_F(CliScript, EndlessScanStopsCleanlyOnSignalsAndClosedPipes) {
  const std::string scan = "CLI scan " + Scene("lab.scene") + " --count 0 --interval 0 --sim-scan-seconds 0.02 --json";
  for (const char* signal : {"INT", "TERM"}) {
    Outcome r = Sh(scan + " & p=$!; sleep 0.6; kill -" + signal + " $p; wait $p; echo status=$?");
    auto lines = Lines(r.out);
    ASSERT_GE(lines.size(), 2u) << signal << r.out << r.err;
    EXPECT_EQ(lines.back(), "status=0") << signal << r.err;
    lines.pop_back();
    for (const std::string& line : lines) EXPECT_TRUE(JsonReader::Parse(line)) << signal << ": " << line;
  }
  Outcome r = Sh("{ " + scan + "; echo status=$? >&2; } | head -n 2");
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;
  for (const std::string& line : lines) EXPECT_TRUE(JsonReader::Parse(line));
  EXPECT_EQ(r.err, "status=0\n");  // quietly: no message about the pipe
}

// Every command that writes to standard output ends quietly with status 0 when the reader is already gone.
TEST_F(CliScript, EveryCommandTakesAClosedPipeQuietly) {
  const std::string file = " " + snapshot_.string();
  const std::string commands[] = {
      "networks --tsv" + file,
      "elements --hex 0003414243",
      "elements --dump --hex 0003414243",
      "elements --export txt -o - --hex 0003414243",
      "interfaces --service sim",
      "convert -o -" + file,
      "export --format csv -o -" + file,
  };
  for (const std::string& command : commands) {
    // The reader has left before the command writes.
    const Outcome r = Sh("{ sleep 0.2; CLI " + command + "; echo status=$? >&2; } | true");
    EXPECT_EQ(r.err, "status=0\n") << command;
  }
}

TEST_F(CliScript, JsonFieldsSayWhatTheyHoldAndUnknownIsNull) {
  Outcome r = Sh("CLI scan " + Scene("lab.scene") + " --count 1 --sim-scan-seconds 0.01 --json");
  ASSERT_EQ(r.status, 0) << r.err;
  const JsonValue networks = Parse(r.out)["networks"];
  const JsonValue* wide = NetworkOf(networks, "02-00-00-00-00-01");
  ASSERT_TRUE(wide) << r.out;
  EXPECT_EQ((*wide)["channel"].Number(), 36);
  EXPECT_EQ((*wide)["primaryFrequencyMHz"].Number(), 5180);
  EXPECT_EQ((*wide)["centerChannel"].Number(), 42);
  EXPECT_EQ((*wide)["centerFrequencyMHz"].Number(), 5210);
  EXPECT_EQ((*wide)["channelWidthMHz"].Number(), 80);
  EXPECT_EQ((*wide)["bandGHz"].Number(), 5);
  EXPECT_EQ((*wide)["wps"]["state"].Text(), "configured");
  EXPECT_EQ((*wide)["wps"]["deviceName"].Text(), "Box");
  EXPECT_TRUE((*wide)["wps"]["modelNumber"].IsNull());
  EXPECT_TRUE((*wide)["comment"].IsNull());
  EXPECT_EQ((*wide)["ssidHex"].Text(), "E69DB1E4BAACE382ABE38395E382A7");
  const JsonValue* hidden = NetworkOf(networks, "02-00-00-00-00-03");
  ASSERT_TRUE(hidden);
  EXPECT_TRUE((*hidden)["hidden"].Bool());
  EXPECT_TRUE((*hidden)["ssid"].IsNull());
  EXPECT_EQ((*hidden)["ssidHex"].Text(), "000000000000");
  EXPECT_TRUE((*hidden)["wps"].IsNull());
  EXPECT_EQ(r.out.find("Hidden"), std::string::npos);

  // From a snapshot: no signal measured, and a network no longer heard.
  r = Sh("CLI networks --json " + snapshot_.string());
  ASSERT_EQ(r.status, 0) << r.err;
  const JsonValue doc = Parse(r.out);
  EXPECT_TRUE(std::regex_match(doc["time"].Text(), kIsoTime)) << doc["time"].Text();
  const JsonValue* quiet = NetworkOf(doc["networks"], "00-11-22-33-00-02");
  const JsonValue* gone = NetworkOf(doc["networks"], "00-11-22-33-00-03");
  ASSERT_TRUE(quiet && gone) << r.out;
  EXPECT_TRUE((*quiet)["active"].Bool());
  EXPECT_TRUE((*quiet)["signalDbm"].IsNull());
  EXPECT_TRUE((*quiet)["lastSignalDbm"].IsNull());
  EXPECT_FALSE((*gone)["active"].Bool());
  EXPECT_TRUE((*gone)["signalDbm"].IsNull());
  EXPECT_EQ((*gone)["lastSignalDbm"].Number(), -70);
  EXPECT_TRUE((*gone)["linkQualityPercent"].IsNull());
  EXPECT_TRUE(std::regex_match((*gone)["firstSeen"].Text(), kIsoTime));
  EXPECT_EQ((*gone)["lastSeen"].Text().substr(0, 19), "2026-07-01T03:30:00");
}

// Machine formats read the same in every language; the table is for people and follows --lang.
TEST_F(CliScript, MachineFormatsDoNotChangeWithTheLanguage) {
  for (const char* format : {"--json", "--tsv", "--tsv --raw"}) {
    const std::string args = std::string(" networks ") + format + " " + snapshot_.string();
    Outcome english = Sh("CLI" + args), german = Sh("CLI --lang deutsch" + args);
    EXPECT_EQ(english.status, 0);
    EXPECT_EQ(german.out, english.out) << format;
  }
  Outcome table = Sh("CLI --lang deutsch networks --table --columns ssid,vendor " + snapshot_.string());
  EXPECT_EQ(Lines(table.out).at(0), "SSID   Hersteller") << table.out;
  // The element tree too: its TSV is English, its text follows the language.
  const std::string hex = " elements --hex \"00 03 61 62 63 01 02 82 84\"";
  Outcome english = Sh("CLI" + hex + " --tsv"), german = Sh("CLI --lang deutsch" + hex + " --tsv");
  EXPECT_EQ(german.out, english.out);
  EXPECT_NE(Sh("CLI --lang deutsch" + hex).out, Sh("CLI" + hex).out);
  // The interfaces listing is for people: its labels follow the language with its values.
  const std::string listing = Sh("CLI --lang deutsch interfaces --service sim").out;
  EXPECT_NE(listing.find("MAC-Adresse:"), std::string::npos) << listing;
  EXPECT_NE(listing.find("Schnittstelle 0:"), std::string::npos) << listing;
  EXPECT_EQ(listing.find("Auto configuration"), std::string::npos) << listing;
}

TEST_F(CliScript, TsvColumnsByStableNameWithOrWithoutUnits) {
  const std::string file = " " + snapshot_.string();
  Outcome r = Sh("CLI networks --tsv --columns ssid,signal,frequency,band,last_signal --raw" + file);
  EXPECT_EQ(r.out,
            "ssid\tsignal\tfrequency\tband\tlast_signal\n"
            "Lab\t-48\t5180\t5\t-48\n"
            "Quiet\t\t2412\t2.4\t\n"
            "Gone\t\t2437\t2.4\t-70\n")
      << r.err;
  r = Sh("CLI networks --tsv --columns ssid,signal,band,last_seen" + file);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u) << r.out;
  EXPECT_EQ(lines[1].substr(0, 18), "Lab\t-48 dBm\t5 GHz\t");
  EXPECT_TRUE(std::regex_match(lines[1].substr(18), kIsoTime)) << lines[1];
  // The default: every column of the list, by name.
  r = Sh("CLI networks --tsv" + file);
  EXPECT_EQ(Lines(r.out).at(0).substr(0, 26), "ssid\tbssid\tcomment\tvendor\t");
  EXPECT_EQ(Lines(r.out).at(0).substr(Lines(r.out).at(0).size() - 12), "\tpmf\troaming");

  // A scan marks each refresh in its first column under one header.
  r = Sh("CLI scan " + Scene("lab.scene") +
         " --count 2 --interval 0 --sim-scan-seconds 0.01 --tsv --raw --columns bssid,channel");
  EXPECT_EQ(r.out,
            "refresh\tbssid\tchannel\n"
            "1\t02-00-00-00-00-01\t36\n1\t02-00-00-00-00-02\t6\n1\t02-00-00-00-00-03\t11\n"
            "2\t02-00-00-00-00-01\t36\n2\t02-00-00-00-00-02\t6\n2\t02-00-00-00-00-03\t11\n")
      << r.err;
}

// Wide characters take two columns, a combining accent none: the next column starts at the same place.
TEST_F(CliScript, TableLinesUpByDisplayWidth) {
  Outcome r = Sh("CLI scan " + Scene("lab.scene") + " --count 1 --sim-scan-seconds 0.01 --table --columns ssid,bssid");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 5u) << r.out;
  EXPECT_EQ(lines[1], "SSID" + std::string(14, ' ') + "BSSID");
  EXPECT_EQ(lines[2], "東京カフェ" + std::string(8, ' ') + "02-00-00-00-00-01");
  EXPECT_EQ(lines[3], "Cafe\xCC\x81" + std::string(14, ' ') + "02-00-00-00-00-02");
  EXPECT_EQ(lines[4], "<Hidden network>  02-00-00-00-00-03");
}

TEST_F(CliScript, InterfacesByIndexOrKernelName) {
  Outcome r = Sh("CLI interfaces --json " + Scene("lab.scene"));
  ASSERT_EQ(r.status, 0) << r.err;
  const JsonValue first = Parse(r.out).Array().at(0);
  EXPECT_EQ(first["index"].Number(), 0);
  EXPECT_EQ(first["name"].Text(), "wlan7");
  EXPECT_EQ(first["mac"].Text(), "02:11:22:33:44:55");
  EXPECT_TRUE(first["up"].Bool());
  for (const char* choice : {"0", "wlan7"}) {
    r = Sh("CLI scan " + Scene("lab.scene") + " --interface " + choice + " --count 1 --sim-scan-seconds 0.01 --json");
    EXPECT_EQ(r.status, 0) << choice << r.err;
    EXPECT_EQ(Parse(r.out)["interface"]["name"].Text(), "wlan7") << choice;
  }
}

// Command line -> exit status and the message on stderr; nothing on stdout. Usage errors take one line and
// point at --help.
TEST_F(CliScript, ErrorsNameTheProblemAndExitWithTheirStatus) {
  const std::string file = " " + snapshot_.string();
  struct Case {
    std::string args;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {"frobnicate", 2, "unknown command 'frobnicate'"},
      {"networks", 2, "give at least one FILE"},
      {"networks --bogus" + file, 2, "unknown option '--bogus'"},
      {"networks - -", 2, "standard input (-) can be read only once"},
      {"networks --json --raw" + file, 2, "--raw goes with --tsv only"},
      {"networks --tsv --columns ssid,nope" + file, 2, "unknown column 'nope'"},
      {"scan --service sim --count many", 2, "--count wants a whole number"},
      {"--lang klingon networks" + file, 2, "neither a shipped language (deutsch, english"},
      {"--lang " + snapshot_.string() + " networks" + file, 2, "not a language file"},
      {"networks " + (dir_ / "missing.pcap").string(), 1, (dir_ / "missing.pcap").string()},
      {"scan --service sim --interface wlan9 --count 1", 1, "no interface named 'wlan9' (the interfaces: sim0, sim1)"},
      {"scan --service sim --interface 5 --count 1", 1, "there is no interface 5"},
      {"scan " + Scene("down.scene") + " --count 1 --sim-scan-seconds 0.01", 1, "the interface wlan3 is down"},
      {"scan " + Scene("refused.scene") + " --count 1 --sim-scan-seconds 0.01", 3,
       "does not permit this program to scan"},
  };
  for (const Case& c : cases) {
    Outcome r = Sh("CLI " + c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    EXPECT_EQ(r.out, "") << c.args;
    if (c.status == 2) {
      EXPECT_EQ(Lines(r.err).size(), 2u) << r.err;
      EXPECT_NE(r.err.find("--help'"), std::string::npos) << r.err;
    }
  }
}

// The commands share one reading of their arguments: what each takes besides options, "--", and --help
// wherever it stands.
TEST_F(CliScript, CommandsReadTheirArgumentsAlike) {
  const std::string file = " " + snapshot_.string();
  const std::pair<std::string, std::string> errors[] = {
      {"report -o r.htm - -", "skimlet-cli report: standard input (-) can be read only once"},
      {"export -o e.csv", "skimlet-cli export: give at least one FILE (- for standard input)"},
      {"convert -o c.snapshot a b", "skimlet-cli convert: unexpected argument 'b' (one FILE only)"},
      {"elements --bssid 00:11:22:33:44:55 a -- b", "skimlet-cli elements: unexpected argument 'b' (one FILE only)"},
      {"scan --service sim word", "skimlet-cli scan: unexpected argument 'word'"},
      {"interfaces --", "skimlet-cli interfaces: unknown option '--'"},
      {"networks --tsv -- -h", "skimlet-cli networks: -h: "},
      {"export -o e.csv --format" + file, "skimlet-cli export: give at least one FILE"},
  };
  for (const auto& [args, message] : errors) {
    const Outcome r = Sh("CLI " + args);
    EXPECT_EQ(r.err.rfind(message, 0), 0u) << args << "\n" << r.err;
    EXPECT_EQ(r.out, "") << args;
  }
  for (const std::string command : {"networks", "report", "export", "convert", "elements"}) {
    const Outcome r = Sh("CLI " + command + file + " --help");
    EXPECT_EQ(r.status, 0) << command << "\n" << r.err;
    EXPECT_EQ(r.out.rfind("Usage: skimlet-cli " + command, 0), 0u) << command;
  }
}

TEST_F(CliScript, StandardInputIsReadLikeAFile) {
  const std::string snap = snapshot_.string();
  const Outcome expected = Sh("CLI networks --tsv " + snap);
  EXPECT_EQ(Sh("cat " + snap + " | CLI networks --tsv -").out, expected.out);
  EXPECT_EQ(Sh("CLI networks --tsv - < " + snap).out, expected.out);

  // A capture through a pipe: detected by content, converted, its elements shown.
  skimlet::test::PcapWriter w(127);
  w.Add(1700000000, 0,
        skimlet::test::Concat(skimlet::test::RadiotapHeader(2462, -58),
                              skimlet::test::ManagementFrame({0x00, 0x11, 0x22, 0x33, 0x44, 0x55},
                                                             skimlet::ElementBuilder().AddText(0, "Piped").Blob())));
  Write("capture.bin", w.Text());
  const std::string capture = (dir_ / "capture.bin").string();
  Outcome r = Sh("cat " + capture + " | CLI networks --json -");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Parse(r.out)["files"].Array().at(0).Text(), "standard input");
  r = Sh("cat " + capture + " | CLI elements --tsv --bssid 00:11:22:33:44:55 -");
  EXPECT_NE(r.out.find("\tSSID: Piped\n"), std::string::npos) << r.err;
  const std::string out = (dir_ / "piped.snapshot").string();
  EXPECT_EQ(Sh("cat " + capture + " | CLI convert -o " + out + " -").status, 0);
  EXPECT_EQ(Sh("CLI networks --tsv " + out).out, Sh("CLI networks --tsv " + capture).out);

  // "--" ends the options: a file whose name starts with "-".
  fs::copy_file(snapshot_, dir_ / "-odd.snapshot");
  EXPECT_EQ(Sh("cd " + dir_.string() + " && CLI networks --tsv -- -odd.snapshot").out, expected.out);

  // Messages name standard input, not a temporary copy.
  r = Sh("echo nonsense | CLI networks -");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("skimlet-cli networks: standard input: ", 0), 0u) << r.err;
  EXPECT_EQ(r.err.find("skimlet-cli-stdin"), std::string::npos) << r.err;
}

// Several files make one survey: of each BSSID the record heard last, first and last seen over all files.
TEST_F(CliScript, SeveralFilesMergeIntoOneSurvey) {
  const double later = skimlet::EncodeLocalDateTime(2026, 7, 2, 12, 0, 0);
  auto a = skimlet::test::MakeEntry(1, -40, 5180000, "Lab renamed");
  auto d = skimlet::test::MakeEntry(4, -60, 2462000, "New");
  skimlet::SnapshotRecordRef refs[] = {{&a, {}, later - 0.001, later}, {&d, {}, later - 0.001, later}};
  const fs::path second = dir_ / "later.snapshot";
  ASSERT_EQ(skimlet::WriteSnapshotFile(second, later, refs), "");
  for (const std::string& order :
       {snapshot_.string() + " " + second.string(), second.string() + " " + snapshot_.string()}) {
    Outcome r = Sh("CLI networks --json " + order);
    ASSERT_EQ(r.status, 0) << r.err;
    const JsonValue doc = Parse(r.out);
    EXPECT_EQ(doc["networks"].Array().size(), 4u) << order;
    EXPECT_EQ(doc["time"].Text().substr(0, 19), "2026-07-02T12:00:00");
    const JsonValue* lab = NetworkOf(doc["networks"], "00-11-22-33-00-01");
    ASSERT_TRUE(lab);
    EXPECT_EQ((*lab)["ssid"].Text(), "Lab renamed") << order;
    EXPECT_EQ((*lab)["lastSignalDbm"].Number(), -40);
    EXPECT_EQ((*lab)["firstSeen"].Text().substr(0, 19), "2026-07-01T09:15:36") << order;
    EXPECT_EQ((*lab)["lastSeen"].Text().substr(0, 19), "2026-07-02T12:00:00") << order;
    // Heard only in the older survey: no longer active in the merged one.
    EXPECT_FALSE((*NetworkOf(doc["networks"], "00-11-22-33-00-02"))["active"].Bool());
  }
}

}  // namespace

namespace {

// Columns a line takes on a terminal: UTF-8 continuation bytes take none.
size_t Columns(const std::string& line) {
  return static_cast<size_t>(std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// The commands the top-level usage lists, which is written from the command table.
std::vector<std::string> TableCommands(const std::string& usage) {
  std::vector<std::string> names;
  bool inCommands = false;
  for (const std::string& line : Lines(usage)) {
    if (line == "Commands:") inCommands = true;
    else if (line.empty()) inCommands = false;
    else if (inCommands && line.size() > 2 && line.starts_with("  ") && line[2] != ' ')
      names.push_back(line.substr(2, line.find(' ', 2) - 2));
  }
  return names;
}

// Every command of the table: 'help NAME' and 'NAME --help' print the same help, within 80 columns, starting
// with its usage; an option it does not know is a usage error that names it. The top level follows the same
// rules.
TEST_F(CliScript, EveryCommandOfTheTableFollowsTheSharedRules) {
  const Outcome usage = Sh("CLI --help");
  ASSERT_EQ(usage.status, 0) << usage.err;
  const std::vector<std::string> names = TableCommands(usage.out);
  ASSERT_GE(names.size(), 8u) << usage.out;
  for (const std::string& line : Lines(usage.out)) EXPECT_LE(Columns(line), 80u) << line;
  EXPECT_EQ(Sh("CLI help").out, usage.out);
  for (const std::string& name : names) {
    const Outcome help = Sh("CLI help " + name);
    EXPECT_EQ(help.status, 0) << name << help.err;
    EXPECT_EQ(help.out.rfind("Usage: skimlet-cli " + name, 0), 0u) << name;
    EXPECT_EQ(Sh("CLI " + name + " --help").out, help.out) << name;
    for (const std::string& line : Lines(help.out)) EXPECT_LE(Columns(line), 80u) << name << ": " << line;
    const Outcome bad = Sh("CLI " + name + " --no-such-option");
    EXPECT_EQ(bad.status, 2) << name;
    EXPECT_EQ(bad.err,
              "skimlet-cli " + name + ": unknown option '--no-such-option'\nTry 'skimlet-cli " + name + " --help'.\n");
    EXPECT_EQ(bad.out, "") << name;
  }
  const std::pair<std::string, std::string> topLevel[] = {
      {"--no-such-option", "skimlet-cli: unknown option '--no-such-option'\n"},
      {"no-such-command", "skimlet-cli: unknown command 'no-such-command'\n"},
      {"help no-such-command", "skimlet-cli: unknown command 'no-such-command'\n"},
  };
  for (const auto& [args, message] : topLevel) {
    const Outcome r = Sh("CLI " + args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err, message + "Try 'skimlet-cli --help'.\n") << args;
  }
}

// The readers every command shares: one output format only, case-insensitive column names, "one of" lists,
// and graph's options in each of their forms.
TEST_F(CliScript, SharedValueReaders) {
  const std::string file = " " + snapshot_.string();
  const std::pair<std::string, std::string> errors[] = {
      {"networks --tsv --json" + file, "skimlet-cli networks: --tsv, --table and --json each choose the output"},
      {"scan --service sim --table --tsv", "skimlet-cli scan: --tsv, --table and --json each choose the output"},
      {"networks --band 7" + file, "skimlet-cli networks: --band: unknown value '7' (one of 2.4, 5, 6)"},
      {"scan --graph loud -o x.png", "skimlet-cli scan: --graph: unknown value 'loud' (one of rssi, quality, rate, "},
      {"graph spectrum9" + file + " -o x.png", "skimlet-cli graph: KIND: unknown value 'spectrum9' (one of "},
      {"graph spectrum5" + file + " -o x.png --size 8x8", "skimlet-cli graph: --size wants WxH, 16 to 16384"},
      {"graph spectrum5" + file + " --bogus", "skimlet-cli graph: unknown option '--bogus'"},
      {"graph spectrum5" + file, "skimlet-cli graph: -o OUTPUT is required"},
  };
  for (const auto& [args, message] : errors) {
    const Outcome r = Sh("CLI " + args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(r.err.rfind(message, 0), 0u) << args << "\n" << r.err;
  }
  EXPECT_EQ(Sh("CLI networks --tsv --tsv --columns SSID,Last_Seen" + file).out,
            Sh("CLI networks --tsv --columns ssid,last_seen" + file).out);
  EXPECT_EQ(Sh("CLI networks --tsv --columns SSID" + file).status, 0);

  if (!fs::exists(fs::path(kCli).parent_path() / "skimlet-cli-graph")) return;  // built without Qt
  const std::string out = (dir_ / "g.png").string();
  for (const std::string& form : {"-o " + out, "--output " + out, "--output=" + out, "-o" + out}) {
    fs::remove(out);
    const Outcome r = Sh("CLI graph spectrum5 " + form + " --" + file);
    EXPECT_EQ(r.status, 0) << form << "\n" << r.err;
    EXPECT_TRUE(fs::exists(out)) << form;
  }
}

}  // namespace
