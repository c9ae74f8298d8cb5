// skimlet-cli graph: the picture it writes is the spectrum graph of the snapshot, at the asked size.
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include "core/graph/spectrum.h"
#include "core/model/snapshot_file.h"
#include "core/radio/values.h"
#include "core/settings/options.h"
#include "render/wifi_graphs.h"
#include "support/network_fixture.h"

namespace {

using namespace skimlet;

int Cli(const std::string& args) {
  const int status = std::system((std::string(SKIMLET_CLI) + " " + args + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class CliGraph : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("skimlet-cli-graph-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    snapshot_ = dir_ / "survey.snapshot";
    const double saved = EncodeLocalDateTime(2026, 12, 10, 9, 30, 0);
    // One network per band, and a second one at 5 GHz.
    entries_ = {test::MakeEntry(1, -45, 2412000, "two"), test::MakeEntry(2, -50, 5180000, "thirtysix"),
                test::MakeEntry(3, -60, 5745000, "onefortynine"), test::MakeEntry(4, -55, 6135000, "six")};
    std::vector<SnapshotRecordRef> refs;
    for (const WLAN_BSS_ENTRY& e : entries_) refs.push_back({&e, {}, saved - 0.001, saved});
    ASSERT_EQ(WriteSnapshotFile(snapshot_, saved, refs), "");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_, snapshot_;
  std::vector<WLAN_BSS_ENTRY> entries_;
};

TEST_F(CliGraph, WritesTheSpectrumOfTheBandAtTheAskedSize) {
  const std::filesystem::path out = dir_ / "five.png";
  ASSERT_EQ(Cli("graph spectrum5 " + snapshot_.string() + " -o " + out.string() + " --size 900x360"), 0);
  const QImage image(QString::fromStdString(out.string()));
  ASSERT_EQ(image.size(), QSize(900, 360));
  // The curves stand on the plot above channels 36 and 149, in the colours of the first networks.
  TGraphRSSIChannel5 reference;
  reference.ShowLegend = false;
  reference.RenderImage({900, 360});
  const TGraphRect p = reference.LastPlot();
  const TSpectrumMapper m({p.Left + 1, p.Top + 1, p.Right, p.Bottom}, SpectrumRange(1));
  for (auto [channel, level, palette] : {std::tuple{36u, -50, 1}, {149u, -60, 2}}) {
    const TColor c = PaletteColor(palette);
    EXPECT_EQ(image.pixelColor(m.FrequencyToX(ChannelToFrequency(channel) + 4000), m.LevelToY(level)),
              QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)))
        << channel;
  }
  // 2.4 and 6 GHz pictures, BMP by the name, the default size.
  const std::filesystem::path bmp = dir_ / "six.bmp";
  ASSERT_EQ(Cli("graph spectrum6 " + snapshot_.string() + " -o " + bmp.string()), 0);
  EXPECT_EQ(QImage(QString::fromStdString(bmp.string()), "BMP").size(), QSize(800, 400));
  EXPECT_EQ(Cli("--lang deutsch graph spectrum2 " + snapshot_.string() + " -o " + (dir_ / "two.png").string()), 0);
}

TEST_F(CliGraph, RefusesBadArgumentsAndKeepsAnExistingPicture) {
  const std::string out = (dir_ / "keep.png").string();
  ASSERT_EQ(Cli("graph spectrum2 " + snapshot_.string() + " -o " + out), 0);
  const auto size = std::filesystem::file_size(out);
  EXPECT_EQ(Cli("graph spectrum7 " + snapshot_.string() + " -o " + out), 2);
  EXPECT_EQ(Cli("graph spectrum2 " + snapshot_.string()), 2);
  EXPECT_EQ(Cli("graph spectrum2 " + snapshot_.string() + " -o " + out + " --size 0x10"), 2);
  EXPECT_EQ(Cli("graph spectrum2 " + snapshot_.string() + " -o " + out + " --size 800"), 2);
  EXPECT_EQ(Cli("graph spectrum2 /nonexistent.snapshot -o " + out), 1);
  EXPECT_EQ(Cli("graph spectrum2 " + snapshot_.string() + " -o /nonexistent/dir/x.png"), 1);
  // The drawing program's sample input is checked like any file.
  for (const char* input : {"", "skimlet-samples\t1\nsample\t1\t1\t1\t1\t1\t1\t1\n",
                            "skimlet-samples\t1\nnetwork\tx\t1\tzz\n", "skimlet-samples\t1\nvalue\t9\n"}) {
    const std::string command =
        "printf '%b' '" + std::string(input) + "' | " + SKIMLET_CLI + " graph --samples -o " + out + " 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << input;
  }
  EXPECT_EQ(std::filesystem::file_size(out), size);
}

// Coloured pixels left of the plot's right frame line (the last column that is mostly dark grey): the curves,
// not the legend's line samples beside it.
int CurvePixelsInPlot(const QImage& image) {
  int plotRight = -1;
  for (int x = 0; x < image.width(); ++x) {
    int run = 0;
    for (int y = 0; y < image.height(); ++y) {
      const QColor c = image.pixelColor(x, y);
      run += c.hsvSaturation() < 30 && c.value() < 200;
    }
    if (run > image.height() / 2) plotRight = x;
  }
  int count = 0;
  for (int x = 0; x < plotRight; ++x)
    for (int y = 0; y < image.height(); ++y) count += image.pixelColor(x, y).hsvSaturation() > 80;
  return count;
}

TEST_F(CliGraph, ScanDrawsTheTimeGraphOfItsRefreshes) {
  const std::filesystem::path out = dir_ / "signal.png";
  ASSERT_EQ(Cli("scan --service sim --count 3 --interval 1 --sim-scan-seconds 0.01 --tsv --graph rssi -o " +
                out.string() + " --size 700x300 >/dev/null"),
            0);
  const QImage image(QString::fromStdString(out.string()));
  ASSERT_EQ(image.size(), QSize(700, 300));
  EXPECT_GT(CurvePixelsInPlot(image), 20);
  // One refresh has no line to draw yet; the picture is still made, at the default size, as BMP by the name.
  const std::filesystem::path bmp = dir_ / "clients.bmp";
  ASSERT_EQ(Cli("scan --service sim --count 1 --interval 0 --sim-scan-seconds 0.01 --json --graph clients -o " +
                bmp.string() + " >/dev/null"),
            0);
  EXPECT_EQ(QImage(QString::fromStdString(bmp.string()), "BMP").size(), QSize(800, 400));
}

TEST_F(CliGraph, ScanGraphOptionsAreCheckedBeforeScanning) {
  const std::string scan = "scan --service sim --count 1 --interval 0 --sim-scan-seconds 0.01 ";
  const std::string out = (dir_ / "x.png").string();
  for (const std::string& bad :
       std::vector<std::string>{"--graph signal -o " + out, "--graph rssi", "-o " + out, "--size 800x400",
                                "--graph rate -o " + out + " --size 8x8", "--graph rate -o " + out + " --size x"})
    EXPECT_EQ(Cli(scan + bad), 2) << bad;
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(Cli(scan + "--graph quality -o /nonexistent/dir/x.png >/dev/null"), 1);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

namespace {

// Pixels in a clear colour: the network lines (the paper, axes and texts are grey).
int ColouredPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60) ++count;
    }
  return count;
}

// scan --graph draws the networks the filter options let through, as --report does.
TEST(CliScanGraph, AppliesTheFilterOptions) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("skimlet-cli-scangraph-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string scan = "scan --service sim --count 2 --interval 0 --sim-scan-seconds 0.01 --tsv --graph rssi -o ";
  ASSERT_EQ(Cli(scan + (dir / "all.png").string() + " >/dev/null"), 0);
  ASSERT_EQ(Cli(scan + (dir / "none.png").string() + " --find no-such-network >/dev/null"), 0);
  EXPECT_GT(ColouredPixels(QImage(QString::fromStdString((dir / "all.png").string()))), 100);
  EXPECT_EQ(ColouredPixels(QImage(QString::fromStdString((dir / "none.png").string()))), 0);
  std::filesystem::remove_all(dir);
}

}  // namespace
