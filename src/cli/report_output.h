// Reports and exports of a network list from the command line: the HTML report with its images (drawn by the
// helper program in one run), and the network list as a text, CSV, HTML or RTF table.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/graph_samples.h"
#include "core/model/network_list.h"
#include "core/report/report.h"
#include "core/report/table_export.h"

namespace skimlet::cli {

using NetworkKeep = std::function<bool(const TWLANNetwork&)>;

// "summary,networks,graphs,details" (any of them, in any order) into Sections; false for another word.
bool ParseReportSections(const std::string& text, report::TReportSections& sections, std::string& bad);
// "txt", "csv", "html" (or "htm"), "rtf"; none for another word.
std::optional<report::TExportFormat> ParseExportFormat(const std::string& text);
// The format an output file's extension names; none for another extension.
std::optional<report::TExportFormat> ExportFormatOfFile(const std::string& file);

struct ReportRequest {
  std::string Output;  // the page, DIR/NAME.htm; the images go to DIR/images NAME/
  report::TReportSections Sections;
  std::optional<std::string> Lang;  // for the helper program's texts
  const char* Who = "report";       // the command, for messages
  // The moment the networks' activity is judged against in the graphs: a saved survey's own time. Unset, the
  // list's last refresh (or now, before the first).
  std::optional<LocalDateTime> SurveyTime;
};

// Writes the report of the networks of List that Keep passes (all when unset). History: the samples of the
// refreshes, which the five time graphs are drawn from; without it they are left out. The summary counts
// every network of the list, as it is now. Messages go to stderr; returns the exit status (0 or 1).
int WriteNetworkReport(TWLANNetworkList& list, const NetworkKeep& keep, const ReportRequest& request,
                       const TGraphSamplesHeader* history);

// The network list as an export table: the columns of the default layout, the networks Keep passes.
report::TExportTable NetworkExportTable(const TWLANNetworkList& list, const NetworkKeep& keep);

}  // namespace skimlet::cli
