// skimlet-cli on capture files: networks, elements and convert.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/ie/builder.h"
#include "core/model/snapshot_file.h"
#include "support/capture_writer.h"

namespace {

namespace fs = std::filesystem;
using skimlet::test::Concat;

struct CliResult {
  std::string out, err;
  int status;
};

// A shell command line, its standard error kept apart.
CliResult Shell(const std::string& line) {
  fs::path err = fs::temp_directory_path() / ("skimlet-cli-err-" + std::to_string(::getpid()));
  std::string command = "{ " + line + "; } 2>" + err.string();
  CliResult run{{}, {}, -1};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(err);
  run.err.assign(std::istreambuf_iterator<char>(in), {});
  fs::remove(err);
  return run;
}

CliResult Cli(const std::string& args) { return Shell(std::string(SKIMLET_CLI) + " " + args); }

class CliCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("skimlet-cli-capture-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    skimlet::test::PcapWriter w(127);
    std::vector<uint8_t> blob = skimlet::ElementBuilder().AddText(0, "Capture Lab").Add(3, {11}).Blob();
    w.Add(1700000000, 0,
          Concat(skimlet::test::RadiotapHeader(2462, -58), skimlet::test::ManagementFrame(kBSSID, blob)));
    w.Add(1700000001, 0, {0, 0, 0x40, 0, 0, 0, 0, 0});  // a radiotap header longer than its packet
    // Named .txt: captures are recognised by their content.
    capture_ = dir_ / "survey.txt";
    std::ofstream(capture_, std::ios::binary) << w.Text();
  }
  void TearDown() override { fs::remove_all(dir_); }
  static constexpr std::array<uint8_t, 6> kBSSID = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  fs::path dir_, capture_;
};

TEST_F(CliCapture, NetworksAndElementsOfACapture) {
  CliResult r = Cli("networks --json " + capture_.string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"ssid\": \"Capture Lab\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"bssid\": \"00-11-22-33-44-55\""), std::string::npos);
  EXPECT_NE(r.out.find("\"signalDbm\": -58"), std::string::npos);
  EXPECT_NE(r.out.find("\"linkQualityPercent\": 84"), std::string::npos);
  EXPECT_NE(r.out.find("\"channel\": 11"), std::string::npos);
  EXPECT_NE(r.out.find("\"active\": true"), std::string::npos);
  // The skipped frame is told on stderr, with its reason.
  EXPECT_NE(r.err.find("1 malformed frame(s) skipped (first: frame 2: radiotap header runs past the packet)"),
            std::string::npos)
      << r.err;

  r = Cli("elements " + capture_.string() + " --bssid 00:11:22:33:44:55 --tsv");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("SSID: Capture Lab"), std::string::npos) << r.out;
}

TEST_F(CliCapture, ConvertWritesASnapshot) {
  fs::path out = dir_ / "survey.snapshot";
  CliResult r = Cli("convert " + capture_.string() + " -o " + out.string());
  ASSERT_EQ(r.status, 0) << r.err;
  skimlet::SnapshotContents c = skimlet::ReadSnapshotFile(out);
  ASSERT_EQ(c.Status, skimlet::SnapshotStatus::Ok);
  ASSERT_EQ(c.Records.size(), 1u);
  EXPECT_EQ(c.Records[0].Entry.dot11Bssid, kBSSID);
  EXPECT_EQ(c.Records[0].Entry.lRssi, -58);
  EXPECT_GT(c.SavedTime, c.Records[0].LastSeen);  // the last frame of the capture
  // The snapshot lists what the capture lists.
  EXPECT_EQ(Cli("networks --tsv " + out.string()).out, Cli("networks --tsv " + capture_.string()).out);
}

// Inputs that cannot seek are read once as a stream, whatever their name: standard input, /dev/stdin of a
// pipe, a FIFO. Nothing is copied to disk, so endless input is refused early and nothing is left behind.
TEST_F(CliCapture, InputsThatCannotSeekAreStreamed) {
  const std::string expected = Cli("networks --tsv " + capture_.string()).out;
  ASSERT_NE(expected.find("Capture Lab"), std::string::npos);
  EXPECT_EQ(Cli("networks --tsv - < " + capture_.string()).out, expected);
  EXPECT_EQ(Cli("networks --tsv /dev/stdin < " + capture_.string()).out, expected);
  EXPECT_EQ(Shell("cat " + capture_.string() + " | " + SKIMLET_CLI + " networks --tsv /dev/stdin").out, expected);
  fs::path fifo = dir_ / "input-fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] {
    std::ofstream out(fifo, std::ios::binary);
    std::ifstream in(capture_, std::ios::binary);
    out << in.rdbuf();
  });
  CliResult r = Cli("networks --tsv " + fifo.string());
  writer.join();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, expected);

  // A snapshot through a pipe, and endless zeros: no capture format, refused at once.
  fs::path snapshot = dir_ / "piped.snapshot";
  ASSERT_EQ(Cli("convert " + capture_.string() + " -o " + snapshot.string()).status, 0);
  EXPECT_EQ(Cli("networks --tsv - < " + snapshot.string()).out, expected);
  const std::string tmp = (dir_ / "tmp").string();
  fs::create_directory(tmp);
  r = Shell("TMPDIR=" + tmp + " " + SKIMLET_CLI + " networks - < /dev/zero");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("standard input: neither a snapshot nor a capture"), std::string::npos) << r.err;
  r = Shell("TMPDIR=" + tmp + " " + SKIMLET_CLI + " networks - < /dev/null");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(fs::is_empty(tmp));
}

// A snapshot cut inside a record loads the records before the cut, and says where it stopped.
TEST_F(CliCapture, ACutSnapshotWarnsWhereReadingStopped) {
  fs::path snapshot = dir_ / "cut.snapshot";
  ASSERT_EQ(Cli("convert " + capture_.string() + " -o " + snapshot.string()).status, 0);
  fs::resize_file(snapshot, fs::file_size(snapshot) - 10);
  CliResult r = Cli("networks --tsv " + snapshot.string());
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("warning: " + snapshot.string() + ": reading stopped at byte 10: the file ends inside a record"),
            std::string::npos)
      << r.err;
}

// Converting standard input over the file it comes from is refused like naming that file.
TEST_F(CliCapture, ConvertRefusesToWriteOverTheFileOnStandardInput) {
  const std::string before = Cli("networks --tsv " + capture_.string()).out;
  CliResult r = Cli("convert -o " + capture_.string() + " - < " + capture_.string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("is the input file standard input"), std::string::npos) << r.err;
  EXPECT_EQ(Cli("networks --tsv " + capture_.string()).out, before);
}

// Convert's output is what the user named: the target of a link, a device, a pipe, every name of a file with
// several names; never the input itself.
TEST_F(CliCapture, ConvertWritesThroughLinksDevicesAndPipesButNotOverItsInput) {
  const std::string convert = "convert " + capture_.string() + " -o ";
  fs::path expected = dir_ / "expected.snapshot";
  ASSERT_EQ(Cli(convert + expected.string()).status, 0);
  const std::string snapshot = Cli("convert " + expected.string() + " -o -").out;
  ASSERT_GT(snapshot.size(), 0u);
  auto read = [](const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(snapshot, read(expected));  // -o - writes the same bytes to standard output

  fs::create_directory(dir_ / "real");
  fs::create_symlink("real/survey.snapshot", dir_ / "link.snapshot");  // dangling until written
  CliResult r = Cli(convert + (dir_ / "link.snapshot").string());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.snapshot"));
  EXPECT_EQ(read(dir_ / "real" / "survey.snapshot"), snapshot);
  r = Cli(convert + (dir_ / "link.snapshot").string());  // now to an existing target
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.snapshot"));

  fs::create_hard_link(dir_ / "real" / "survey.snapshot", dir_ / "second-name.snapshot");
  std::ofstream(dir_ / "second-name.snapshot", std::ios::binary | std::ios::trunc) << "stale";
  EXPECT_EQ(Cli(convert + (dir_ / "second-name.snapshot").string()).status, 0);
  EXPECT_EQ(read(dir_ / "real" / "survey.snapshot"), snapshot);  // both names see the new bytes
  EXPECT_EQ(fs::hard_link_count(dir_ / "second-name.snapshot"), 2u);

  EXPECT_EQ(Cli(convert + "/dev/null").status, 0);
  EXPECT_EQ(Cli(convert + "/dev/stdout").out, snapshot);  // a link to the pipe the test reads
  fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string piped;
  std::thread reader([&] { piped = read(fifo); });
  EXPECT_EQ(Cli(convert + fifo.string()).status, 0);
  reader.join();
  EXPECT_EQ(piped, snapshot);
  EXPECT_TRUE(fs::is_fifo(fifo));

  // The input under its own name, through a link and through a second hard link: refused, left as it was.
  const std::string before = read(capture_);
  fs::create_symlink(capture_, dir_ / "capture-link");
  fs::create_hard_link(capture_, dir_ / "capture-hard");
  for (const fs::path& same : {capture_, dir_ / "capture-link", dir_ / "capture-hard"}) {
    r = Cli(convert + same.string());
    EXPECT_EQ(r.status, 1) << same;
    EXPECT_NE(r.err.find("is the input file"), std::string::npos) << r.err;
  }
  EXPECT_EQ(read(capture_), before);
}

// A full disk or a closed standard output is an error for every command, told on stderr.
TEST_F(CliCapture, FailedStandardOutputIsAnError) {
  const std::string commands[] = {
      "networks " + capture_.string(),
      "elements --hex 00024142",
      "convert " + capture_.string() + " -o -",
      "interfaces --service sim",
      "scan --service sim --count 2 --interval 0 --sim-scan-seconds 0.01",
      "--help",
      "--version",
  };
  for (const std::string& command : commands) {
    for (const char* redirect : {" >/dev/full", " >&-"}) {
      CliResult r = Cli(command + redirect);
      EXPECT_EQ(r.status, 1) << command << redirect;
      EXPECT_NE(r.err.find("cannot write to standard output"), std::string::npos) << command << redirect << r.err;
    }
  }
  // A command that writes nothing to standard output does not mind it closed.
  fs::path out = dir_ / "closed.snapshot";
  CliResult r = Cli("convert " + capture_.string() + " -o " + out.string() + " >&-");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Cli("networks --tsv " + out.string()).out, Cli("networks --tsv " + capture_.string()).out);
}

// Without --service the command line uses real hardware only; invented networks need --service sim.
TEST(CliService, WithoutWifiHardwareScanAndInterfacesFailAndNameTheSimulatedRadio) {
  std::error_code ec;
  for (fs::directory_iterator it("/sys/class/net", ec), end; !ec && it != end; it.increment(ec))
    if (fs::exists(it->path() / "wireless") || fs::exists(it->path() / "phy80211"))
      GTEST_SKIP() << "this machine has Wi-Fi hardware";
  if (fs::exists("/sys/class/ieee80211") && !fs::is_empty("/sys/class/ieee80211"))
    GTEST_SKIP() << "this machine has Wi-Fi hardware";
  for (const char* command : {"scan --count 1 --tsv", "interfaces"}) {
    CliResult r = Cli(command);
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_EQ(r.out, "") << command;
    EXPECT_NE(r.err.find("--service sim"), std::string::npos) << r.err;
  }
  EXPECT_EQ(Cli("interfaces --service sim").status, 0);
}

TEST_F(CliCapture, ErrorsAndHelp) {
  EXPECT_EQ(Cli("convert").status, 2);
  EXPECT_EQ(Cli("convert " + capture_.string()).status, 2);
  EXPECT_EQ(Cli("convert " + capture_.string() + " -o").status, 2);
  CliResult help = Cli("convert --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: skimlet-cli convert"), std::string::npos);
  EXPECT_EQ(Cli("networks --help").status, 0);
  EXPECT_EQ(Cli("elements --help").status, 0);
  CliResult version = Cli("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("skimlet-cli ", 0), 0u);

  // A file that cannot be read at all: exit 1 with the reason on stderr, nothing written.
  fs::path cut = dir_ / "cut.pcap";
  std::ofstream(cut, std::ios::binary) << std::string("\xD4\xC3\xB2\xA1\x02\x00", 6);
  CliResult r = Cli("convert " + cut.string() + " -o " + (dir_ / "x.snapshot").string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(cut.string()), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "x.snapshot"));
  fs::path ethernet = dir_ / "eth.pcap";
  std::ofstream(ethernet, std::ios::binary) << skimlet::test::PcapWriter(1).Text();
  r = Cli("networks " + ethernet.string());
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no 802.11 frames"), std::string::npos) << r.err;
  EXPECT_EQ(Cli("convert " + capture_.string() + " -o /nonexistent/dir/x.snapshot").status, 1);
}

}  // namespace
