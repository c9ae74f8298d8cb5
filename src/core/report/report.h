// The HTML report: a page assembled from the templates of the "Report" folder, filled from plain inputs (the
// rows and columns as a list shows them, the summary counters, the images a caller has drawn), so that the
// window and the command line build the same page.
//
// Every inserted text is HTML-escaped; templates are filled in one pass, so a network named
// "{{network_details_list}}" shows that text and pulls in nothing. All templates a page needs are read before
// any image is asked for, and nothing is written here: the caller writes the finished page (WriteReport does
// it atomically).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/columns.h"
#include "core/model/network_list.h"
#include "core/report/template.h"

namespace skimlet {
class TWLANNetwork;
struct TProgramOptions;
}  // namespace skimlet

namespace skimlet::report {

// The template names (files "<name>.template" in the template folder).
inline constexpr std::string_view kReportTemplate = "report";
inline constexpr std::string_view kSummaryTemplate = "summary";
inline constexpr std::string_view kNetworksTemplate = "networks";
inline constexpr std::string_view kGraphsTemplate = "graphs";
inline constexpr std::string_view kDetailsListTemplate = "network_details_list";
inline constexpr std::string_view kDetailsTemplate = "network_details";
inline constexpr std::array<std::string_view, 6> kTemplateNames = {
    kReportTemplate, kSummaryTemplate, kNetworksTemplate, kGraphsTemplate, kDetailsListTemplate, kDetailsTemplate};

// The report's fixed name.
inline constexpr std::string_view kReportName = "Skimlet Report";

struct TReportSections {
  bool Summary = true;
  bool Networks = true;
  bool Graphs = true;
  bool Details = true;
};
TReportSections ReportSectionsOf(const TProgramOptions& options);

// One visible column of the network list, in display order.
struct TReportColumn {
  TNetworkColumn Id = TNetworkColumn::SSID;
  std::string Title;
  TColumnAlignment Alignment = TColumnAlignment::Left;
};

// One shown network: the text of every column (indexed by TNetworkColumn; missing cells read as empty).
struct TReportRow {
  std::vector<std::string> Cells;
  const std::string& Cell(TNetworkColumn column) const;
};
// The cell texts of a network, every column.
TReportRow ReportRowOf(const TWLANNetwork& network);

// The images of the graph section.
enum class TReportImage { RSSI, Quality, AchievableRate, Utilization, Clients, Spectrum2, Spectrum5, Spectrum6 };
inline constexpr size_t kReportImageCount = 8;

struct TReportImageInfo {
  TReportImage Id;
  std::string_view FileName;     // "RSSI.png"
  std::string_view Placeholder;  // "allnetworks.RSSI": fills name.graph.<it> and graph.<it>.path
  bool TimeGraph;                // drawn from the history (needs more than one refresh)
  int TimeGraphValue;            // the time graph's value 0..4 (RSSI, quality, rate, utilisation, clients); -1
  TNetworkColumn TitleColumn;    // the image's name is this column's title (time graphs)
  std::string_view FixedName;    // the text key of the image's name when it is no column's ("2.4Ghz", ...)
};
const std::array<TReportImageInfo, kReportImageCount>& ReportImages();
const TReportImageInfo& ReportImageInfo(TReportImage image);
// The name of an image in the report: its column's title in the current language, or its fixed name.
std::string ReportImageName(const TReportImageInfo& image);

// "images " + the report's file name without folder and extension.
std::string ReportImageFolderName(const std::filesystem::path& reportFile);
// The image folder beside the report.
std::filesystem::path ReportImageFolder(const std::filesystem::path& reportFile);
// Creates the image folder beside the report, in the report's folder, which must exist (it is never made);
// an empty text or the reason it failed.
std::string CreateReportImageFolder(const std::filesystem::path& reportFile);
// The path of an image relative to the report's folder: "images Site #2/RSSI.png" (not yet URL-encoded).
std::string ReportImageRelativePath(const std::filesystem::path& reportFile, const TReportImageInfo& image);

// What the image source answers for one image: the written image's path relative to the report (plain, the
// builder URL-encodes it), an empty path for an image that is left out (its block is hidden), or an error
// that stops the report.
struct TReportImageResult {
  std::string RelativePath;
  std::string Error;
};
using TReportImageSource = std::function<TReportImageResult(const TReportImageInfo&)>;

struct TReportInput {
  std::filesystem::path TemplateFolder;  // the "Report" folder of the default folder
  std::string ReportName = std::string(kReportName);
  std::string ReportDate;
  TReportSections Sections;
  // Without an interface the summary template stays unfilled.
  bool InterfaceKnown = true;
  // The list's counters, counted from the networks as they are now (TWLANNetworkList::Recount after a load
  // or a deletion), so that the summary agrees with the table.
  std::array<int32_t, kNetworkCounterCount> Counters{};
  // Visible columns in display order; the marker column is skipped.
  std::vector<TReportColumn> Columns;
  // Shown rows in the order shown: only the rows that pass the filter and the find text.
  std::vector<TReportRow> Rows;
  // Asked once per image, in the order of ReportImages(), when the graph section is included; unset: no
  // images.
  TReportImageSource Images;
};

// The templates of one page, read once.
struct TReportTemplates {
  std::array<std::string, kTemplateNames.size()> Text;
  const std::string& Of(std::string_view name) const;
};
// Reads the templates the included sections need (the page template always); an error names the file.
TTextResult LoadReportTemplates(const std::filesystem::path& folder, const TReportSections& sections,
                                TReportTemplates& out);

// The count placeholders of the summary and their values (a zero count as an empty text).
TPlaceholders SummaryPlaceholders(const std::array<int32_t, kNetworkCounterCount>& counters);
// The detail placeholders of one row, escaped.
TPlaceholders DetailPlaceholders(const TReportRow& row);

// The sections from loaded templates.
std::string BuildSummary(const TReportInput& input, const TReportTemplates& templates);
std::string BuildNetworkTable(const TReportInput& input, const TReportTemplates& templates);
std::string BuildNetworkDetails(const TReportInput& input, const TReportTemplates& templates);
// Asks Input.Images for every image; an error of the source is returned as is.
TTextResult BuildGraphs(const TReportInput& input, const TReportTemplates& templates);
// HTML without the images that have no picture (src=""): the figure around one goes with it.
std::string WithoutAbsentImages(std::string html);

// The whole page: reads the templates, builds the included sections and fills the page template.
TTextResult GenerateReport(const TReportInput& input);
// GenerateReport, then the page written atomically to File; an empty text or the reason of the failure (an
// existing file of that name is then left as it was).
std::string WriteReport(const TReportInput& input, const std::filesystem::path& file);

}  // namespace skimlet::report
