// The window's report command: the section dialog, the save dialog, the page with its graph images built from
// the list as shown, and the offer to open it.
#pragma once

#include <QMessageBox>
#include <QString>

#include <array>
#include <filesystem>
#include <functional>

#include "core/report/report.h"

class QWidget;

namespace skimlet {
class TGraph;
class TGraphWiFiTime;
class TNetworkListView;
class TWLANNetworkList;
struct TProgramOptions;
}  // namespace skimlet

namespace skimlet::ui {

// What a report is made of, taken from the window anew after every dialog (a dialog runs the event loop, which
// may change or free any of it).
struct TReportSources {
  QWidget* Parent = nullptr;
  TProgramOptions* Options = nullptr;
  // The list as shown: its visible columns, sort order and filter.
  const TNetworkListView* List = nullptr;
  // The selected interface's networks; nullptr without an interface.
  TWLANNetworkList* Networks = nullptr;
  // The "Report" folder of the templates.
  std::filesystem::path TemplateFolder;
  // The graphs drawn into the images; a missing graph leaves its image out.
  TGraphWiFiTime* TimeGraph = nullptr;
  std::array<TGraph*, 3> Spectrum{};
  // The 6 GHz spectrum is drawn only while the interface hears that band.
  bool Hears6GHz = false;
  // The window's message box.
  std::function<QMessageBox::StandardButton(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                            QMessageBox::StandardButtons buttons)>
      Ask;
};

// The size of the report's images, whatever the screen's scaling.
inline constexpr int kReportImageWidth = 800;
inline constexpr int kReportImageHeight = 400;

// The report's input from the sources: the list's visible columns in display order, its shown rows in the order
// shown, the counters of the networks as they are now, and an image source that draws the graphs into the
// image folder beside File.
report::TReportInput ReportInputOf(const TReportSources& sources, const report::TReportSections& sections,
                                   const std::filesystem::path& file);

// The proposed name of a report ("Report 2026-12-10-18-05-09").
QString ProposedReportName();

// The whole command. Sources is asked before the first dialog and again after each one.
void RunReport(const std::function<TReportSources()>& sources);

}  // namespace skimlet::ui
