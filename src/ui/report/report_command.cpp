#include "ui/report/report_command.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLocale>
#include <QUrl>

#include <system_error>

#include "core/base/datetime.h"
#include "core/base/translate.h"
#include "core/report/element_dump.h"
#include "core/settings/options.h"
#include "render/wifi_graphs.h"
#include "ui/list/network_view.h"
#include "ui/base/dialog_service.h"
#include "ui/report/file_dialogs.h"

namespace skimlet::ui {

namespace {

TColumnAlignment AlignmentOf(Qt::Alignment a) {
  if (a & Qt::AlignRight) return TColumnAlignment::Right;
  if (a & Qt::AlignHCenter) return TColumnAlignment::Center;
  return TColumnAlignment::Left;
}

// Draws one image into the image folder; the time graph is put back to the value it showed.
report::TReportImageResult DrawImage(const TReportSources& sources, const std::filesystem::path& file,
                                     const report::TReportImageInfo& image) {
  TGraph* graph = nullptr;
  if (image.TimeGraph) {
    graph = sources.TimeGraph;
  } else {
    const int band = image.Id == report::TReportImage::Spectrum2   ? 0
                     : image.Id == report::TReportImage::Spectrum5 ? 1
                                                                   : 2;
    if (band < 2 || sources.Hears6GHz) graph = sources.Spectrum[static_cast<size_t>(band)];
  }
  if (!graph) return {};

  const std::filesystem::path folder = report::ReportImageFolder(file);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return {{}, folder.string() + ": " + ec.message()};

  const int kept = graph->ValueType;
  if (image.TimeGraph) graph->ValueType = image.TimeGraphValue;
  const std::filesystem::path path = folder / std::string(image.FileName);
  const std::string error =
      graph->ExportToFile(QString::fromStdString(path.string()), QSize(kReportImageWidth, kReportImageHeight), "PNG");
  graph->ValueType = kept;
  if (!error.empty()) return {{}, path.string() + ": " + error};
  return {report::ReportImageRelativePath(file, image), {}};
}

}  // namespace

report::TReportInput ReportInputOf(const TReportSources& sources, const report::TReportSections& sections,
                                   const std::filesystem::path& file) {
  report::TReportInput input;
  input.TemplateFolder = sources.TemplateFolder;
  input.Sections = sections;
  const QDateTime now = QDateTime::currentDateTime();
  const QLocale locale;
  input.ReportDate = (locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                      locale.toString(now.time(), QLocale::LongFormat))
                         .toStdString();
  input.InterfaceKnown = sources.Networks != nullptr;
  if (sources.Networks) {
    // Counted from the networks as they are now, so that a loaded snapshot or a deletion agrees with the table.
    sources.Networks->Recount();
    input.Counters = sources.Networks->Counters;
  }
  if (const TNetworkListView* view = sources.List; view && input.InterfaceKnown) {
    const TNetworkListModel* model = view->Model();
    const QHeaderView* header = view->header();
    std::vector<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
      const int c = header->logicalIndex(visual);
      if (c <= static_cast<int>(TNetworkColumn::Marker) || c >= model->columnCount() || header->isSectionHidden(c))
        continue;
      columns.push_back(c);
      input.Columns.push_back({static_cast<TNetworkColumn>(c),
                               model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
                               AlignmentOf(model->ColumnAlignment(c))});
    }
    // The shown rows in the order shown, with the networks' own texts (escaped by the report, as on the
    // command line).
    for (int row = 0; row < model->rowCount(); ++row)
      if (const TWLANNetwork* n = model->NetworkOfRow(row)) input.Rows.push_back(report::ReportRowOf(*n));
  }
  // The sources are copied: the image source is only asked while the report is built, before any dialog.
  input.Images = [sources, file](const report::TReportImageInfo& image) { return DrawImage(sources, file, image); };
  return input;
}

QString ProposedReportName() {
  return QString::fromStdString(
      report::FileNameSafe(report::FillPattern(Translate("Report %s"), {report::FileNameTimestamp(LocalNow())})));
}

void RunReport(const std::function<TReportSources()>& sources) {
  TReportSources s = sources();
  if (!s.Options) return;
  report::TReportSections sections = report::ReportSectionsOf(*s.Options);
  TDialogService& dialogs = DialogsFor(s.Parent);
  if (dialogs.ReportSections ? !dialogs.ReportSections(s.Parent, sections) : !AskReportSections(s.Parent, sections))
    return;
  s = sources();
  if (!s.Options) return;
  s.Options->bAddSummaryToReport = sections.Summary;
  s.Options->bAddNetworksToReport = sections.Networks;
  s.Options->bAddGraphsToReport = sections.Graphs;
  s.Options->bAddNetworkDetailsToReport = sections.Details;

  int filter = 0;
  const QString file = dialogs.SaveFile(s.Parent, Tr("Save report"), ProposedReportName(),
                                        {Tr("HTML file") + QStringLiteral(" (*.htm)")}, filter);
  if (file.isEmpty()) return;

  s = sources();
  if (!s.Options) return;
  const std::filesystem::path path(file.toStdString());
  const std::string error = report::WriteReport(ReportInputOf(s, sections, path), path);
  if (!error.empty()) {
    if (s.Ask)
      s.Ask(file + QLatin1Char('\n') + QString::fromStdString(error), Tr("sError"), QMessageBox::Critical,
            QMessageBox::Ok);
    return;
  }
  if (s.Ask && s.Ask(Tr("sReportGenerated"), Tr("sInformation"), QMessageBox::Question,
                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
    dialogs.OpenUrl(QUrl::fromLocalFile(file));
}

}  // namespace skimlet::ui
