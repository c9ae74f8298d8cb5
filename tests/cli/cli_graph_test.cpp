// skimlet-cli graph: the picture it writes is the spectrum graph of the snapshot, at the asked size.
#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
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
  EXPECT_EQ(std::filesystem::file_size(out), size);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
