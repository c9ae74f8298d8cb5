#include "core/report/report.h"

#include <algorithm>
#include <system_error>

#include "core/base/atomic_file.h"
#include "core/base/translate.h"
#include "core/model/network.h"
#include "core/settings/options.h"

namespace skimlet::report {

namespace {

using C = TNetworkColumn;

const std::string kEmpty;

constexpr std::array<TReportImageInfo, kReportImageCount> kImages = {{
    {TReportImage::RSSI, "RSSI.png", "allnetworks.RSSI", true, 0, C::SignalStrength, ""},
    {TReportImage::Quality, "Quality.png", "allnetworks.Quality", true, 1, C::SignalQuality, ""},
    {TReportImage::AchievableRate, "AchievableRate.png", "allnetworks.AchievableRate", true, 2, C::AchievableRate, ""},
    {TReportImage::Utilization, "Utilization.png", "allnetworks.Utilization", true, 3, C::ChannelUtilization, ""},
    {TReportImage::Clients, "Clients.png", "allnetworks.Clients", true, 4, C::Clients, ""},
    {TReportImage::Spectrum2, "Spectrum2.png", "allnetworks.Spectrum2", false, -1, C::Marker, "2.4Ghz"},
    {TReportImage::Spectrum5, "Spectrum5.png", "allnetworks.Spectrum5", false, -1, C::Marker, "5Ghz"},
    {TReportImage::Spectrum6, "Spectrum6.png", "allnetworks.Spectrum6", false, -1, C::Marker, "6Ghz"},
}};

struct TCountPlaceholder {
  std::string_view Name;
  int Index;       // counter index
  int Minus = -1;  // a counter subtracted from it
};

constexpr int kSecurityCounter = kCountSecurityFirst;

// The summary's counts. After the classic names: 6 GHz, Wi-Fi 7, WPA3 and OWE.
constexpr TCountPlaceholder kCounts[] = {
    {"Networks.All.count", kCountAll},
    {"Networks.Active.count", kCountActive},
    {"Networks.InActive.Count", kCountAll, kCountActive},
    {"Networks.Hidden.Count", kCountHidden},
    {"Quality.Excelent.Count", kCountQualityFirst + 5},
    {"Quality.VeryGood.Count", kCountQualityFirst + 4},
    {"Quality.Good.Count", kCountQualityFirst + 3},
    {"Quality.Fair.Count", kCountQualityFirst + 2},
    {"Quality.Poor.Count", kCountQualityFirst + 1},
    {"Quality.Offline.Count", kCountAll, kCountActive},
    {"Mode.a.Count", kCountPhyFirst + 4},
    {"Mode.b.Count", kCountPhyFirst + 5},
    {"Mode.g.Count", kCountPhyFirst + 6},
    {"Mode.n.Count", kCountPhyFirst + 7},
    {"Mode.ac.Count", kCountPhyFirst + 8},
    {"Mode.ax.Count", kCountPhyFirst + 10},
    {"security.open.Count", kSecurityCounter + kSecurityOpen},
    {"security.wep.Count", kSecurityCounter + kSecurityWEP},
    {"security.wpa.Count", kSecurityCounter + kSecurityWPA},
    {"security.wpa2.Count", kSecurityCounter + kSecurityWPA2},
    {"band.2_4.Count", kCountBandFirst + 0},
    {"security.5.Count", kCountBandFirst + 1},
    {"WPS.None.Count", kCountWPSStateFirst + 0},
    {"wps.notconfigured.Count", kCountWPSStateFirst + 1},
    {"wps.configured.Count", kCountWPSStateFirst + 2},
    {"wps.locked.Count", kCountWPSStateFirst + 3},
    {"WPS.Version1.Count", kCountWPSVersion1},
    {"WPS.Version2.Count", kCountWPSVersion2},
    {"Mode.be.Count", kCountPhyFirst + 11},
    {"security.wpa3.Count", kSecurityCounter + kSecurityWPA3},
    {"security.owe.Count", kSecurityCounter + kSecurityOWE},
    {"band.5.Count", kCountBandFirst + 1},
    {"band.6.Count", kCountBandFirst + 2},
};

struct TDetailPlaceholder {
  std::string_view Name;
  C Column;
};

constexpr TDetailPlaceholder kDetails[] = {
    {"network.detail.SSID", C::SSID},
    {"network.detail.BSSID", C::BSSID},
    {"network.detail.Vendor", C::Vendor},
    {"network.detail.Signal_Strength", C::SignalStrength},
    {"network.detail.Signal_Quality", C::SignalQuality},
    {"network.detail.First_seen", C::FirstSeen},
    {"network.detail.Last_seen", C::LastSeen},
    {"network.detail.Network_Type", C::NetworkType},
    {"network.detail.Network_Mode", C::NetworkMode},
    {"network.detail.Channel", C::Channel},
    {"network.detail.Channel_Band", C::Band},
    {"network.detail.Frequency", C::Frequency},
    {"network.detail.Channel_Width", C::ChannelWidth},
    {"network.detail.Spatial_Streams", C::SpatialStreams},
    {"network.detail.Channel_Utilization", C::ChannelUtilization},
    {"network.detail.Clients", C::Clients},
    {"network.detail.Security_Mode", C::SecurityMode},
    {"network.detail.Encryption", C::Encryption},
    {"network.detail.Auth", C::Authentication},
    {"network.detail.Country_Code", C::Country},
    {"network.detail.WPS_support", C::WPS},
    {"network.detail.WPS_Version", C::WPSVersion},
    {"network.detail.Device_Name", C::DeviceName},
    {"network.detail.Device_Model_Name", C::DeviceModelName},
    {"network.detail.Device_Model_Number", C::DeviceModelNumber},
    {"network.detail.Device_Manufacturer", C::DeviceManufacturer},
    {"network.detail.Achievable_Rate", C::AchievableRate},
    {"network.detail.Min_Rate", C::MinimumRate},
    {"network.detail.Max_Rate", C::MaximumRate},
    {"network.detail.Supported_Rates", C::SupportedRates},
    {"network.detail.PMF", C::PMF},
    {"network.detail.Roaming", C::Roaming},
};

size_t TemplateIndex(std::string_view name) {
  return static_cast<size_t>(std::find(kTemplateNames.begin(), kTemplateNames.end(), name) - kTemplateNames.begin());
}

const char* AlignmentClass(TColumnAlignment alignment) {
  switch (alignment) {
    case TColumnAlignment::Right: return " class=\"right\"";
    case TColumnAlignment::Center: return " class=\"center\"";
    default: return "";
  }
}

}  // namespace

TReportSections ReportSectionsOf(const TProgramOptions& options) {
  return {options.bAddSummaryToReport, options.bAddNetworksToReport, options.bAddGraphsToReport,
          options.bAddNetworkDetailsToReport};
}

const std::string& TReportRow::Cell(TNetworkColumn column) const {
  const auto i = static_cast<size_t>(column);
  return i < Cells.size() ? Cells[i] : kEmpty;
}

TReportRow ReportRowOf(const TWLANNetwork& network) {
  TReportRow row;
  row.Cells.reserve(kNetworkColumnCount);
  for (size_t c = 0; c < kNetworkColumnCount; ++c) row.Cells.push_back(NetworkCellText(network, NetworkColumnAt(c)));
  return row;
}

const std::array<TReportImageInfo, kReportImageCount>& ReportImages() { return kImages; }

const TReportImageInfo& ReportImageInfo(TReportImage image) { return kImages[static_cast<size_t>(image)]; }

std::string ReportImageName(const TReportImageInfo& image) {
  if (image.FixedName.empty()) return NetworkColumnTitle(image.TitleColumn);
  // The band's text of the current language; "2.4 GHz" where it has none.
  std::string fallback(image.FixedName);
  if (const size_t unit = fallback.find("Ghz"); unit != std::string::npos) fallback.replace(unit, 3, " GHz");
  return Translate(image.FixedName, fallback);
}

std::string ReportImageFolderName(const std::filesystem::path& reportFile) {
  return "images " + reportFile.stem().string();
}

std::filesystem::path ReportImageFolder(const std::filesystem::path& reportFile) {
  return reportFile.parent_path() / ReportImageFolderName(reportFile);
}

std::string CreateReportImageFolder(const std::filesystem::path& reportFile) {
  const std::filesystem::path folder = ReportImageFolder(reportFile);
  std::error_code ec;
  if (!std::filesystem::is_directory(folder.parent_path().empty() ? "." : folder.parent_path(), ec))
    return "cannot create the image folder " + folder.string() + ": the folder " + folder.parent_path().string() +
           " does not exist";
  std::filesystem::create_directory(folder, ec);
  if (ec) return "cannot create the image folder " + folder.string() + ": " + ec.message();
  return {};
}

std::string ReportImageRelativePath(const std::filesystem::path& reportFile, const TReportImageInfo& image) {
  return ReportImageFolderName(reportFile) + "/" + std::string(image.FileName);
}

const std::string& TReportTemplates::Of(std::string_view name) const {
  const size_t i = TemplateIndex(name);
  return i < Text.size() ? Text[i] : kEmpty;
}

TTextResult LoadReportTemplates(const std::filesystem::path& folder, const TReportSections& sections,
                                TReportTemplates& out) {
  std::vector<std::string_view> names{kReportTemplate};
  if (sections.Summary) names.push_back(kSummaryTemplate);
  if (sections.Networks) names.push_back(kNetworksTemplate);
  if (sections.Graphs) names.push_back(kGraphsTemplate);
  if (sections.Details) {
    names.push_back(kDetailsListTemplate);
    names.push_back(kDetailsTemplate);
  }
  for (const std::string_view name : names) {
    TTextResult t = LoadTemplate(folder, name);
    if (!t.Ok()) return t;
    out.Text[TemplateIndex(name)] = std::move(t.Text);
  }
  return {};
}

TPlaceholders SummaryPlaceholders(const std::array<int32_t, kNetworkCounterCount>& counters) {
  TPlaceholders values;
  for (const TCountPlaceholder& p : kCounts) {
    int64_t n = counters[static_cast<size_t>(p.Index)];
    if (p.Minus >= 0) n -= counters[static_cast<size_t>(p.Minus)];
    values.emplace(std::string(p.Name), n == 0 ? std::string() : std::to_string(n));
  }
  return values;
}

TPlaceholders DetailPlaceholders(const TReportRow& row) {
  TPlaceholders values;
  for (const TDetailPlaceholder& p : kDetails) values.emplace(std::string(p.Name), HtmlEscape(row.Cell(p.Column)));
  return values;
}

std::string BuildSummary(const TReportInput& input, const TReportTemplates& templates) {
  const std::string& text = templates.Of(kSummaryTemplate);
  if (!input.InterfaceKnown) return text;
  return FillPlaceholders(text, SummaryPlaceholders(input.Counters));
}

std::string BuildNetworkTable(const TReportInput& input, const TReportTemplates& templates) {
  std::vector<const TReportColumn*> columns;
  for (const TReportColumn& c : input.Columns)
    if (c.Id != TNetworkColumn::Marker) columns.push_back(&c);

  std::string header = "<tr>";
  for (const TReportColumn* c : columns) {
    header += "<th";
    header += AlignmentClass(c->Alignment);
    header += '>';
    AppendHtmlEscaped(header, c->Title);
    header += "</th>";
  }
  header += "</tr>";

  std::string body;
  body.reserve(input.Rows.size() * columns.size() * 24);
  for (const TReportRow& row : input.Rows) {
    const std::string bssid = HtmlEscape(row.Cell(TNetworkColumn::BSSID));
    body += "<tr>";
    for (const TReportColumn* c : columns) {
      body += "<td";
      body += AlignmentClass(c->Alignment);
      body += '>';
      const bool link = c->Id == TNetworkColumn::SSID || c->Id == TNetworkColumn::BSSID;
      if (link) {
        body += "<a href=\"#";
        body += bssid;
        body += "\">";
      }
      AppendHtmlEscaped(body, row.Cell(c->Id));
      if (link) body += "</a>";
      body += "</td>";
    }
    body += "</tr>\n";
  }
  return FillPlaceholders(templates.Of(kNetworksTemplate),
                          {{"networks_table_header", std::move(header)}, {"networks_table_body", std::move(body)}});
}

std::string BuildNetworkDetails(const TReportInput& input, const TReportTemplates& templates) {
  const std::string& block = templates.Of(kDetailsTemplate);
  std::string all;
  for (const TReportRow& row : input.Rows) all += FillPlaceholders(block, DetailPlaceholders(row));
  return FillPlaceholders(templates.Of(kDetailsListTemplate), {{"network_details", std::move(all)}});
}

std::string WithoutAbsentImages(std::string html) {
  // A graph the report has no picture of leaves no empty frame: its figure goes, or else its image.
  constexpr std::string_view kEmpty = "src=\"\"";
  for (size_t at = html.find(kEmpty); at != std::string::npos; at = html.find(kEmpty, at)) {
    size_t begin = html.rfind("<figure", at), end = html.find("</figure>", at);
    const size_t closedBefore = html.rfind("</figure>", at);
    if (begin != std::string::npos && end != std::string::npos &&
        (closedBefore == std::string::npos || closedBefore < begin)) {
      end += std::string_view("</figure>").size();
    } else {
      begin = html.rfind("<img", at);
      end = html.find('>', at);
      if (begin == std::string::npos || end == std::string::npos) {
        at += kEmpty.size();
        continue;
      }
      ++end;
    }
    // The line the element stood on goes with it when nothing else is on it.
    size_t lineStart = begin;
    while (lineStart > 0 && (html[lineStart - 1] == ' ' || html[lineStart - 1] == '\t')) --lineStart;
    if ((lineStart == 0 || html[lineStart - 1] == '\n') && end < html.size() && html[end] == '\n') {
      begin = lineStart;
      ++end;
    }
    html.erase(begin, end - begin);
    at = begin;
  }
  return html;
}

TTextResult BuildGraphs(const TReportInput& input, const TReportTemplates& templates) {
  TPlaceholders values;
  for (const TReportImageInfo& image : kImages) {
    TReportImageResult r;
    if (input.Images) r = input.Images(image);
    if (!r.Error.empty()) return {{}, r.Error};
    values.emplace("name.graph." + std::string(image.Placeholder), HtmlEscape(ReportImageName(image)));
    values.emplace("graph." + std::string(image.Placeholder) + ".path", HtmlEscape(PercentEncodePath(r.RelativePath)));
  }
  return {WithoutAbsentImages(FillPlaceholders(templates.Of(kGraphsTemplate), values)), {}};
}

TTextResult GenerateReport(const TReportInput& input) {
  TReportTemplates templates;
  if (TTextResult loaded = LoadReportTemplates(input.TemplateFolder, input.Sections, templates); !loaded.Ok())
    return loaded;
  TPlaceholders page;
  page.emplace("ReportName", HtmlEscape(input.ReportName));
  page.emplace("ReportDate", HtmlEscape(input.ReportDate));
  page.emplace("Summary", input.Sections.Summary ? BuildSummary(input, templates) : std::string());
  page.emplace("Networks", input.Sections.Networks ? BuildNetworkTable(input, templates) : std::string());
  std::string graphs;
  if (input.Sections.Graphs) {
    TTextResult g = BuildGraphs(input, templates);
    if (!g.Ok()) return g;
    graphs = std::move(g.Text);
  }
  page.emplace("Graphs", std::move(graphs));
  page.emplace("network_details_list", input.Sections.Details ? BuildNetworkDetails(input, templates) : std::string());
  return {FillPlaceholders(templates.Of(kReportTemplate), page), {}};
}

std::string WriteReport(const TReportInput& input, const std::filesystem::path& file) {
  TTextResult page = GenerateReport(input);
  if (!page.Ok()) return page.Error;
  std::string error = WriteFileAtomic(file, page.Text);
  if (!error.empty()) return "cannot write the report " + file.string() + ": " + error;
  return {};
}

}  // namespace skimlet::report
