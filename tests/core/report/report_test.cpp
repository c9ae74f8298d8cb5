#include "core/report/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/base/atomic_file.h"
#include "hostile.h"
#include "readback.h"
#include "support/vendor_db_fixture.h"

namespace skimlet::report {
namespace {

namespace fs = std::filesystem;
using C = TNetworkColumn;

const fs::path kTemplates = fs::path(SKIMLET_SOURCE_DIR) / "data" / "Default" / "Report";

std::string BssidOf(size_t i) {
  char b[32];
  std::snprintf(b, sizeof b, "02-00-00-00-00-%02X", static_cast<unsigned>(i));
  return b;
}

// One row per hostile text: as SSID, comment, vendor and device name.
TReportInput HostileInput() {
  TReportInput in;
  in.TemplateFolder = kTemplates;
  in.ReportDate = "10.12.2026 18:00:00";
  for (const C c : {C::Marker, C::SSID, C::BSSID, C::Comment, C::Vendor, C::SignalStrength, C::DeviceName})
    in.Columns.push_back({c, "Title <" + std::to_string(static_cast<int>(c)) + ">", TColumnAlignment::Left});
  const auto& texts = test::HostileTexts();
  for (size_t i = 0; i < texts.size(); ++i) {
    TReportRow row;
    row.Cells.assign(kNetworkColumnCount, std::string());
    row.Cells[static_cast<size_t>(C::SSID)] = texts[i].Text;
    row.Cells[static_cast<size_t>(C::BSSID)] = BssidOf(i);
    row.Cells[static_cast<size_t>(C::Comment)] = texts[i].Text;
    row.Cells[static_cast<size_t>(C::Vendor)] = texts[i].Text;
    row.Cells[static_cast<size_t>(C::SignalStrength)] = "-67 dBm";
    row.Cells[static_cast<size_t>(C::DeviceName)] = texts[i].Text;
    in.Rows.push_back(std::move(row));
  }
  in.Counters[kCountAll] = static_cast<int32_t>(texts.size());
  in.Counters[kCountActive] = 3;
  return in;
}

std::string Normalised(std::string s) {
  // HTML readers may take CR LF as LF; what matters is the text.
  for (size_t p; (p = s.find("\r\n")) != std::string::npos;) s.replace(p, 2, "\n");
  return s;
}

size_t CountOf(const std::vector<std::string>& v, const std::string& x) {
  return static_cast<size_t>(std::count(v.begin(), v.end(), x));
}

TEST(Report, HostileNamesAreShownAsTextAndPullInNothing) {
  test::TempDir dir;
  const fs::path file = dir.Path() / "Site #2.htm";
  TReportInput in = HostileInput();
  std::vector<std::string> asked;
  in.Images = [&](const TReportImageInfo& image) {
    asked.emplace_back(image.FileName);
    return TReportImageResult{ReportImageRelativePath(file, image), {}};
  };
  ASSERT_EQ(WriteReport(in, file), "");
  const test::TReadBack page = test::ReadBack("html", file);
  ASSERT_TRUE(page.Ok);

  // Only the templates' own elements: nothing a network name brought.
  for (const char* tag : {"script", "iframe", "object", "embed", "svg"}) EXPECT_EQ(CountOf(page.Tags, tag), 0u) << tag;
  EXPECT_EQ(CountOf(page.Tags, "img"), kReportImageCount);
  // One detail block per row: a placeholder in a name pulls in no second list.
  EXPECT_EQ(CountOf(page.Ids, "details"), 1u);

  const auto& texts = test::HostileTexts();
  size_t tableRows = 0, detailSsidRows = 0;
  for (const auto& row : page.Rows) {
    // Table rows: SSID, BSSID, comment, vendor, signal, device name.
    if (row.size() == 6 && row[4] == "-67 dBm") {
      ASSERT_LT(tableRows, texts.size());
      const std::string expected = Normalised(texts[tableRows].Text);
      EXPECT_EQ(Normalised(row[0]), expected) << texts[tableRows].What;
      EXPECT_EQ(Normalised(row[2]), expected) << texts[tableRows].What;
      EXPECT_EQ(row[1], BssidOf(tableRows));
      ++tableRows;
    }
    if (row.size() == 2 && row[0] == "Device name") {
      EXPECT_EQ(Normalised(row[1]), Normalised(texts[detailSsidRows].Text)) << texts[detailSsidRows].What;
      ++detailSsidRows;
    }
  }
  EXPECT_EQ(tableRows, texts.size());
  EXPECT_EQ(detailSsidRows, texts.size());

  // Every link of the table leads to a detail block.
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(CountOf(page.Hrefs, "#" + BssidOf(i)), 2u);
    EXPECT_EQ(CountOf(page.Ids, BssidOf(i)), 1u);
  }
  // Images: percent-encoded relative URLs that resolve to the files the source was asked for.
  EXPECT_EQ(asked.size(), kReportImageCount);
  for (const std::string& src : page.Images) { EXPECT_EQ(src.rfind("images%20Site%20%232/", 0), 0u) << src; }
  EXPECT_NE(std::find(page.Images.begin(), page.Images.end(), "images%20Site%20%232/RSSI.png"), page.Images.end());
}

TEST(Report, SummaryCountsWithZeroAsEmpty) {
  std::array<int32_t, kNetworkCounterCount> counters{};
  counters[kCountAll] = 5;
  counters[kCountActive] = 0;
  counters[static_cast<size_t>(kCountSecurityFirst) + kSecurityWPA] = 2;
  counters[static_cast<size_t>(kCountSecurityFirst) + kSecurityWPA2] = 2;
  counters[kCountPhyFirst + 11] = 1;
  counters[kCountBandFirst + 1] = 4;
  const TPlaceholders values = SummaryPlaceholders(counters);
  const struct {
    const char* name;
    const char* value;
  } cases[] = {
      {"networks.all.count", "5"},    {"Networks.Active.count", ""},  {"Networks.InActive.Count", "5"},
      {"Quality.Offline.Count", "5"}, {"Quality.Excelent.Count", ""}, {"Quality.Poor.Count", ""},
      {"security.wpa.Count", "2"},    {"security.wpa2.Count", "2"},   {"Mode.be.Count", "1"},
      {"security.5.Count", "4"},      {"band.5.Count", "4"},          {"WPS.Version2.Count", ""},
  };
  for (const auto& c : cases) {
    const auto it = values.find(c.name);
    ASSERT_NE(it, values.end()) << c.name;
    EXPECT_EQ(it->second, c.value) << c.name;
  }
  // Every count placeholder of the shipped summary template is known.
  const TTextResult summary = LoadTemplate(kTemplates, kSummaryTemplate);
  ASSERT_TRUE(summary.Ok());
  EXPECT_EQ(FillPlaceholders(summary.Text, values).find("{{"), std::string::npos);
}

TEST(Report, SectionsOffLeaveTheBarePageAndNoInterfaceLeavesTheSummaryUnfilled) {
  TReportInput in = HostileInput();
  in.Sections = {false, false, false, false};
  bool asked = false;
  in.Images = [&](const TReportImageInfo&) {
    asked = true;
    return TReportImageResult{};
  };
  const TTextResult bare = GenerateReport(in);
  ASSERT_TRUE(bare.Ok());
  EXPECT_FALSE(asked);
  EXPECT_EQ(bare.Text.find("{{"), std::string::npos);
  EXPECT_EQ(bare.Text.find("<table"), std::string::npos);
  EXPECT_NE(bare.Text.find("Skimlet Report"), std::string::npos);
  EXPECT_NE(bare.Text.find("10.12.2026 18:00:00"), std::string::npos);

  in.Sections = {true, false, false, false};
  in.InterfaceKnown = false;
  const TTextResult unfilled = GenerateReport(in);
  ASSERT_TRUE(unfilled.Ok());
  EXPECT_NE(unfilled.Text.find("{{Networks.All.count}}"), std::string::npos);
}

TEST(Report, TableFollowsColumnOrderAndMarksAlignment) {
  TReportInput in;
  in.Columns = {{C::SignalStrength, "Signal", TColumnAlignment::Right},
                {C::Marker, "", TColumnAlignment::Left},
                {C::BSSID, "BSSID", TColumnAlignment::Left}};
  TReportRow row;
  row.Cells.assign(kNetworkColumnCount, "");
  row.Cells[static_cast<size_t>(C::SignalStrength)] = "-50 dBm";
  row.Cells[static_cast<size_t>(C::BSSID)] = "00-11-22-33-44-55";
  in.Rows = {row};
  TReportTemplates t;
  t.Text[2] = "{{networks_table_header}}|{{networks_table_body}}";  // networks
  EXPECT_EQ(BuildNetworkTable(in, t),
            "<tr><th class=\"right\">Signal</th><th>BSSID</th></tr>|"
            "<tr><td class=\"right\">-50 dBm</td><td><a href=\"#00-11-22-33-44-55\">00-11-22-33-44-55</a></td></tr>\n");
}

TEST(Report, ImageFolderAndPaths) {
  const TReportImageInfo& rssi = ReportImageInfo(TReportImage::RSSI);
  EXPECT_EQ(ReportImageFolder("/tmp/x/Report 2022.htm"), fs::path("/tmp/x/images Report 2022"));
  EXPECT_EQ(ReportImageRelativePath("/tmp/x/Report 2022.htm", rssi), "images Report 2022/RSSI.png");
  EXPECT_EQ(ReportImageName(ReportImageInfo(TReportImage::Spectrum2)), "2.4 GHz");
  EXPECT_EQ(ReportImageName(ReportImageInfo(TReportImage::Spectrum6)), "6 GHz");
  EXPECT_EQ(ReportImageName(rssi), NetworkColumnTitle(C::SignalStrength));

  test::TempDir dir;
  // The report's own folder is never made.
  EXPECT_NE(CreateReportImageFolder(dir.Path() / "a b" / "Site #2.htm").find("does not exist"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.Path() / "a b"));
  fs::create_directory(dir.Path() / "a b");
  EXPECT_EQ(CreateReportImageFolder(dir.Path() / "a b" / "Site #2.htm"), "");
  EXPECT_TRUE(fs::is_directory(dir.Path() / "a b" / "images Site #2"));
  ASSERT_EQ(WriteFileAtomic(dir.Path() / "file", std::string_view("x")), "");
  EXPECT_NE(CreateReportImageFolder(dir.Path() / "file" / "r.htm").find("images r"), std::string::npos);
}

// A graph without a picture leaves no empty frame behind: its figure is left out of the page.
TEST(Report, GraphsWithoutAPictureAreLeftOut) {
  TReportInput in;
  in.TemplateFolder = kTemplates;
  in.Sections = {false, false, true, false};
  in.Images = [](const TReportImageInfo& image) -> TReportImageResult {
    if (image.Id == TReportImage::Spectrum2 || image.Id == TReportImage::Spectrum5)
      return {"images r/" + std::string(image.FileName), {}};
    return {};
  };
  const TTextResult page = GenerateReport(in);
  ASSERT_TRUE(page.Ok()) << page.Error;
  EXPECT_EQ(page.Text.find("src=\"\""), std::string::npos);
  size_t figures = 0;
  for (size_t at = page.Text.find("<figure"); at != std::string::npos; at = page.Text.find("<figure", at + 1))
    ++figures;
  EXPECT_EQ(figures, 2u);
  EXPECT_NE(page.Text.find("<figcaption>2.4 GHz</figcaption>"), std::string::npos);
  EXPECT_EQ(page.Text.find("Spectrum6"), std::string::npos);
  // Outside a figure, the empty image alone goes.
  EXPECT_EQ(WithoutAbsentImages("<p>a <img src=\"\" alt=\"x\"> b <img src=\"y.png\"></p>"),
            "<p>a  b <img src=\"y.png\"></p>");
  // An image at the very start of the text goes with its line.
  EXPECT_EQ(WithoutAbsentImages("<img src=\"\">\nrest"), "rest");
}

// A page that cannot be made or written leaves an existing report as it was.
TEST(Report, FailuresNameTheCauseAndKeepTheOldFile) {
  test::TempDir dir;
  const fs::path file = dir.Path() / "old.htm";
  ASSERT_EQ(WriteFileAtomic(file, std::string_view("old report")), "");
  const auto unchanged = [&] {
    std::string text;
    return ReadWholeFile(file, text) && text == "old report";
  };

  // A missing template: named in the error, and no image is drawn for nothing.
  fs::copy(kTemplates, dir.Path() / "Report");
  fs::remove(dir.Path() / "Report" / "network_details.template");
  TReportInput in = HostileInput();
  in.TemplateFolder = dir.Path() / "Report";
  int images = 0;
  in.Images = [&](const TReportImageInfo&) {
    ++images;
    return TReportImageResult{};
  };
  std::string error = WriteReport(in, file);
  EXPECT_NE(error.find("network_details.template"), std::string::npos) << error;
  EXPECT_EQ(images, 0);
  EXPECT_TRUE(unchanged());

  // An image that cannot be written stops the report with its reason.
  in.TemplateFolder = kTemplates;
  in.Images = [](const TReportImageInfo& image) {
    return TReportImageResult{{}, std::string("cannot write ") + std::string(image.FileName) + ": No space left"};
  };
  error = WriteReport(in, file);
  EXPECT_EQ(error, "cannot write RSSI.png: No space left");
  EXPECT_TRUE(unchanged());

  // The last step of the write fails (a full disk, a read-only folder).
  in.Images = nullptr;
  SetRenameFunctionForTests([](const char*, const char*) {
    errno = EROFS;
    return -1;
  });
  error = WriteReport(in, file);
  SetRenameFunctionForTests(nullptr);
  EXPECT_NE(error.find(file.string()), std::string::npos) << error;
  EXPECT_TRUE(unchanged());
  EXPECT_NE(WriteReport(in, "/dev/full"), "");
  EXPECT_NE(WriteReport(in, dir.Path() / "no such folder" / "r.htm"), "");
}

}  // namespace
}  // namespace skimlet::report
