#include "cli/report_output.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/commands.h"
#include "core/base/safe_text.h"
#include "core/base/datetime.h"
#include "core/model/columns.h"
#include "core/model/network.h"
#include "core/model/snapshot_file.h"
#include "core/report/network_table.h"
#include "core/settings/folders.h"

namespace skimlet::cli {

namespace fs = std::filesystem;
using namespace skimlet::report;

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// A scratch folder removed with what it holds.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "skimlet-report-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

// Draws the images of the report in one run of the helper program; returns an empty text or the reason.
std::string DrawImages(const TWLANNetworkList& list, const NetworkKeep& keep, const ReportRequest& request,
                       const TGraphSamplesHeader* history, const std::vector<const TReportImageInfo*>& images) {
  if (std::string error = CreateReportImageFolder(request.Output); !error.empty()) return error;
  const fs::path folder = ReportImageFolder(request.Output);

  // The helper reads the shown networks from a snapshot of their own and the history from standard input.
  ScratchFolder scratch;
  if (scratch.Path().empty())
    return "cannot create a temporary folder: " + std::error_code(errno, std::generic_category()).message();
  const fs::path snapshot = scratch.Path() / "shown.snapshot";
  std::vector<SnapshotRecordRef> records;
  for (const auto& n : list.Items)
    if (!keep || keep(*n)) records.push_back({&n->Entry, n->Elements.Data, n->FirstSeen, n->LastSeen});
  const LocalDateTime saved = request.SurveyTime     ? *request.SurveyTime
                              : list.RefreshTime > 0 ? list.RefreshTime
                                                     : LocalNow();
  if (std::string error = WriteSnapshotFile(snapshot.string(), saved, records); !error.empty())
    return "cannot write a temporary snapshot: " + error;

  std::string names;
  for (const TReportImageInfo* image : images) {
    if (!names.empty()) names += ',';
    names += fs::path(std::string(image->FileName)).stem().string();
  }
  const Args args{"--report-images", folder.string(), "--file", snapshot.string(),
                  "--images",        names,           "--who",  request.Who};
  const std::string samples = history ? WriteGraphSamples(list, *history, keep) : std::string();
  if (RunGraphWithInput(args, request.Lang, samples, request.Who) != 0) return "the graph images were not drawn";
  return {};
}

}  // namespace

bool ParseReportSections(const std::string& text, TReportSections& sections, std::string& bad) {
  sections = {false, false, false, false};
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string word = Lower(text.substr(start, comma - start));
    if (word == "summary") sections.Summary = true;
    else if (word == "networks") sections.Networks = true;
    else if (word == "graphs") sections.Graphs = true;
    else if (word == "details") sections.Details = true;
    else {
      bad = word;
      return false;
    }
    start = comma + 1;
  }
  return true;
}

std::optional<TExportFormat> ParseExportFormat(const std::string& text) {
  const std::string t = Lower(text);
  if (t == "txt" || t == "text") return TExportFormat::Text;
  if (t == "csv") return TExportFormat::Csv;
  if (t == "html" || t == "htm") return TExportFormat::Html;
  if (t == "rtf") return TExportFormat::Rtf;
  return std::nullopt;
}

std::optional<TExportFormat> ExportFormatOfFile(const std::string& file) {
  const std::string extension = fs::path(file).extension().string();
  if (extension.size() < 2) return std::nullopt;
  return ParseExportFormat(extension.substr(1));
}

int WriteNetworkReport(TWLANNetworkList& list, const NetworkKeep& keep, const ReportRequest& request,
                       const TGraphSamplesHeader* history) {
  list.Recount();
  TReportInput input;
  input.TemplateFolder = FindDataFolder(ExecutableFolder()) / "Default" / "Report";
  input.ReportDate = LocalDateTimeToISO(LocalNow());
  input.ReportDate[10] = ' ';
  input.Sections = request.Sections;
  input.Counters = list.Counters;
  for (const TNetworkColumn c : DefaultNetworkColumns())
    input.Columns.push_back({c, NetworkColumnTitle(c), NetworkColumnInfo(c).DefaultAlignment});
  for (const auto& n : list.Items)
    if (!keep || keep(*n)) input.Rows.push_back(ReportRowOf(*n));

  // The images this report has: the time graphs with a history, the 6 GHz spectrum when a shown network is
  // on that band.
  bool any6GHz = false;
  for (const auto& n : list.Items)
    if ((!keep || keep(*n)) && n->Band == 2) any6GHz = true;
  std::vector<const TReportImageInfo*> images;
  for (const TReportImageInfo& image : ReportImages()) {
    if (image.TimeGraph && !history) continue;
    if (image.Id == TReportImage::Spectrum6 && !any6GHz) continue;
    images.push_back(&image);
  }
  // All images are drawn at the first question, in one run.
  bool drawn = false;
  std::string drawError;
  input.Images = [&](const TReportImageInfo& image) -> TReportImageResult {
    if (!drawn) {
      drawError = DrawImages(list, keep, request, history, images);
      drawn = true;
    }
    if (!drawError.empty()) return {{}, drawError};
    if (std::find(images.begin(), images.end(), &image) == images.end()) return {};
    return {ReportImageRelativePath(request.Output, image), {}};
  };
  // A report that fails leaves no image folder it made behind.
  const fs::path folder = ReportImageFolder(request.Output);
  std::error_code ec;
  const bool folderWasThere = fs::exists(folder, ec);
  if (std::string error = WriteReport(input, request.Output); !error.empty()) {
    if (!folderWasThere) fs::remove_all(folder, ec);
    std::fprintf(stderr, "skimlet-cli %s: %s\n", request.Who, SafeText(error, SafeTextStyle::Terminal).c_str());
    return 1;
  }
  return 0;
}

TExportTable NetworkExportTable(const TWLANNetworkList& list, const NetworkKeep& keep) {
  std::vector<const TWLANNetwork*> shown;
  for (const auto& n : list.Items)
    if (!keep || keep(*n)) shown.push_back(n.get());
  return report::NetworkExportTable(shown, DefaultNetworkColumns());
}

}  // namespace skimlet::cli
