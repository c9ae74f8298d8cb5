// TGraph and the machinery every graph shares: the paint pipeline (background, legend area, captions, plot
// rectangle, clipping), the value axis, the legend, the series of a bound list of rows (TGraphTree), and the
// sliding time window with its time axis and series polylines (TGraphTime). Graphs draw with QPainter into any
// paint device - a widget, an image for a file, the clipboard - so the window and the command line draw the
// same pictures.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPolygon>
#include <QSize>
#include <QString>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/base/datetime.h"
#include "core/graph/geometry.h"
#include "core/graph/series.h"
#include "render/graph_rows.h"

class QPainter;
class QPaintDevice;
class QFontMetrics;
class QPen;
class QRect;

namespace skimlet {

class TGraph {
 public:
  TGraph();
  virtual ~TGraph() = default;
  TGraph(const TGraph&) = delete;
  TGraph& operator=(const TGraph&) = delete;

  // Colours: the desktop palette where a system colour is meant.
  QColor BackgroundColor;
  QColor AxisColor;
  QColor GridColor{220, 220, 220};
  QColor TickColor;
  QColor AxisFontColor;
  QColor LegendFontColor;
  int Margin = 7;
  int LegendWidth = 175;
  int LegendFontHeight = 12;
  int LegendLineSpacing = 3;
  QString LegendFontName;
  int AxisFontHeight = 12;
  int TickLength = 3;
  int TextGap = 3;
  QString AxisFontName;
  QString CaptionFontName;
  int SeriesPenWidth = 1;
  int SelectedPenWidth = 2;
  int FramePenWidth = 1;
  double MinY = std::numeric_limits<double>::infinity();
  double MaxY = -std::numeric_limits<double>::infinity();
  double MinX = 0;
  double MaxX = 0;
  bool AutoScale = false;
  bool HorizontalGrid = true;
  int ValueType = 0;
  bool ShowLegend = true;
  bool FillSelected = true;
  bool ShowYCaption = true;
  bool ShowXCaption = true;
  // The decimal and time separators of labels (the locale's).
  std::string DecimalSeparator = ".";
  std::string TimeSeparator = ":";

  // Draws the whole graph into the device, or into the painter over a W x H area at (0, 0).
  void Render(QPaintDevice& device);
  void Render(QPainter& painter, QSize size);
  // The graph as an opaque picture of the given size (independent of the screen's scaling).
  QImage RenderImage(QSize size);
  // Writes the picture as PNG (default) or BMP (by the file's suffix, or Format when given) through an
  // atomic replacement: an existing file stays as it was until the new picture is complete. Returns an empty
  // text on success, else the reason.
  std::string ExportToFile(const QString& path, QSize size, const char* format = nullptr);
  // The proposed export name.
  QString ExportFileName() { return GetYCaption(); }

  // Fonts of the graph at the current properties.
  QFont AxisFont() const;
  QFont CaptionFont() const;
  QFont LegendFont() const;

  // The last paint's plot rectangle P (frame lines on its edges).
  TGraphRect LastPlot() const { return lastPlot_; }

 protected:
  virtual TGraphRect GetLegendRect(QPainter& p, const TGraphRect& area);
  virtual int GetLegendWidth(QPainter& p);
  virtual void DrawValueAxis(const TGraphRect& plot, QPainter& p);
  virtual void DrawAxisCaptions(TGraphRect& r, QPainter& p);
  virtual void DrawAxes(const TGraphRect& plot, QPainter& p);
  // S: the plot without its left and top frame lines; drawing is clipped to it (right and bottom exclusive).
  virtual void DrawSeries(const TGraphRect& s, QPainter& p) = 0;
  virtual void DrawLegendEntries(const TGraphRect& legend, QPainter& p, int capacity) = 0;
  virtual int GetLegendCount() = 0;
  virtual void DrawArgumentAxis(const TGraphRect& plot, QPainter& p) = 0;
  virtual void UpdateScales() = 0;
  virtual QString FormatValue(double value);
  virtual QString GetXCaption() = 0;
  virtual QString GetYCaption() = 0;

  // Helpers for the family.
  void DrawLegend(QPainter& p, const TGraphRect& area);
  void DrawPlot(QPainter& p, const TGraphRect& area);
  // Text with its top-left corner at (X, Y).
  static void DrawTextAt(QPainter& p, int x, int y, const QString& text);
  // The dotted pen of every grid: a dot every 2 pixels.
  QPen DottedPen(const QColor& color) const;
  // Fills the polygons in Color as one layer blended at 30/255 over the clip rectangle.
  static void FillLayer(QPainter& p, const TGraphRect& s, const std::vector<QPolygon>& polygons, const QColor& color);
  static int TextWidth(const QFontMetrics& fm, const QString& text);

  TGraphRect lastPlot_;
};

// A graph over the rows of a list: one series per shown row, one legend entry per shown row.
class TGraphTree : public TGraph {
 public:
  TGraphRows* Tree = nullptr;

  // A row is shown when it exists, is ticked and is not hidden by the filter.
  virtual bool IsRowShown(int row);
  virtual bool IsRowSelected(int row);
  virtual const TTimeMultiDataSeries* GetRowSeries(int row);
  virtual QColor GetRowColor(int row);
  virtual QString GetRowCaption(int row);
  // How the samples of a series are read: time, the value for ValueType, and whether it is drawn. Every
  // sample is valid by default.
  virtual TSampleAt SampleReader(const TTimeMultiDataSeries& series);

 protected:
  struct TLegendEntry {
    QString Text;
    QColor TextColor;
    QColor LineColor;
  };
  virtual bool GetLegendEntry(int row, TLegendEntry& entry);
  virtual void DrawOneSeries(const TGraphRect& s, QPainter& p, int row) = 0;

  void DrawSeries(const TGraphRect& s, QPainter& p) override;
  void DrawLegendEntries(const TGraphRect& legend, QPainter& p, int capacity) override;
  int GetLegendCount() override;
};

// A graph over time: the window ends at the clock's current second and is WindowMinutes long.
class TGraphTime : public TGraphTree {
 public:
  TGraphTime();
  int GridStepSeconds = 60;
  int WindowMinutes = 5;
  // Where "now" comes from; the system clock by default.
  TClock Clock;

  TTimeWindow Window() const { return window_; }
  // Minimum and maximum of the series' values in the window (active samples of network series).
  virtual TRangeStats GetSeriesRange(const TTimeMultiDataSeries& series);

 protected:
  int GetLegendWidth(QPainter& p) override;
  void DrawArgumentAxis(const TGraphRect& plot, QPainter& p) override;
  void UpdateScales() override;
  QString GetXCaption() override;
  void DrawOneSeries(const TGraphRect& s, QPainter& p, int row) override;
  // The polyline (and the fill when selected) of one series in a colour.
  void DrawTimeSeries(const TGraphRect& s, QPainter& p, const TTimeMultiDataSeries& series, const QColor& color,
                      bool selected);
  // Runs the time window; with Scan, the range of the shown series (AutoScale by default).
  void UpdateTimeWindow();
  void UpdateTimeWindow(bool scan);

  TTimeWindow window_;
};

}  // namespace skimlet
