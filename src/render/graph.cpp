#include "render/graph.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QPalette>
#include <QPen>

#include <algorithm>
#include <cmath>

#include "core/base/format.h"
#include "core/base/translate.h"
#include "core/model/network_list.h"
#include "render/image_file.h"
#include "render/raster_lines.h"

namespace skimlet {

namespace {

QString Tr(std::string_view key) { return QString::fromStdString(Translate(key)); }
// "…and 12 more": the legend line for the networks that did not fit.
QString MoreText(int more) { return QString::fromStdString(Format(Translate("sLegendMore", "…and %d more"), {more})); }

QFont MakeFont(const QString& face, int pixelHeight) {
  QFont font;
  if (!face.isEmpty()) font.setFamily(face);
  font.setPixelSize(std::max(1, pixelHeight));
  font.setWeight(QFont::Normal);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

void HLine(QPainter& p, int x1, int x2, int y) { p.drawLine(x1, y, x2, y); }
void VLine(QPainter& p, int x, int y1, int y2) { p.drawLine(x, y1, x, y2); }

}  // namespace

TGraph::TGraph() {
  QPalette palette;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) palette = QGuiApplication::palette();
  BackgroundColor = palette.color(QPalette::Active, QPalette::Base);
  AxisColor = palette.color(QPalette::Active, QPalette::Shadow);
  TickColor = AxisColor;
  AxisFontColor = palette.color(QPalette::Active, QPalette::Text);
  LegendFontColor = AxisFontColor;
}

QFont TGraph::AxisFont() const { return MakeFont(AxisFontName, AxisFontHeight); }
QFont TGraph::CaptionFont() const { return MakeFont(CaptionFontName, AxisFontHeight); }
QFont TGraph::LegendFont() const { return MakeFont(LegendFontName, LegendFontHeight); }

int TGraph::TextWidth(const QFontMetrics& fm, const QString& text) { return fm.horizontalAdvance(text); }

void TGraph::DrawTextAt(QPainter& p, int x, int y, const QString& text) {
  p.drawText(QPoint(x, y + p.fontMetrics().ascent()), text);
}

QPen TGraph::DottedPen(const QColor& color) const {
  QPen pen(color, 1, Qt::CustomDashLine, Qt::FlatCap);
  pen.setDashPattern({1.0, 1.0});
  return pen;
}

void TGraph::Render(QPaintDevice& device) {
  QPainter p(&device);
  Render(p, QSize(device.width(), device.height()));
}

QImage TGraph::RenderImage(QSize size) {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.setDevicePixelRatio(1);
  QPainter p(&image);
  Render(p, image.size());
  return image;
}

void TGraph::Render(QPainter& p, QSize size) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.fillRect(QRect(QPoint(0, 0), size), BackgroundColor);
  TGraphRect area{Margin, Margin, size.width() - Margin, size.height() - Margin};
  if (ShowLegend && GetLegendCount() > 0) {
    DrawLegend(p, area);
    area.Right -= LegendWidth + Margin;
  }
  UpdateScales();
  DrawPlot(p, area);
  p.restore();
}

std::string TGraph::ExportToFile(const QString& path, QSize size, const char* format) {
  if (size.width() <= 0 || size.height() <= 0) return "the picture has no size";
  return SaveImageFile(RenderImage(size), path, format);
}

TGraphRect TGraph::GetLegendRect(QPainter& p, const TGraphRect& area) {
  const int w = GetLegendWidth(p);
  LegendWidth = w;
  return {area.Right - w, area.Top, area.Right, area.Bottom};
}

int TGraph::GetLegendWidth(QPainter&) { return 100; }

void TGraph::DrawLegend(QPainter& p, const TGraphRect& area) {
  if (GetLegendCount() == 0) return;
  p.save();
  p.setBrush(Qt::NoBrush);
  p.setFont(LegendFont());
  p.setPen(LegendFontColor);
  const TGraphRect legend = GetLegendRect(p, area);
  const int capacity = std::max(0, legend.Height()) / std::max(1, LegendFontHeight + LegendLineSpacing);
  DrawLegendEntries(legend, p, capacity);
  p.restore();
}

void TGraph::DrawPlot(QPainter& p, const TGraphRect& area) {
  p.setPen(QPen(AxisColor, FramePenWidth));
  TGraphRect r = area;
  DrawAxisCaptions(r, p);
  const int l = TickLength + 2 * AxisFontHeight + TextGap;
  const int b = AxisFontHeight + TickLength + TextGap;
  const TGraphRect plot{r.Left + l, r.Top + AxisFontHeight / 2 + 1, r.Right - l, r.Bottom - b - 1};
  lastPlot_ = plot;
  DrawAxes(plot, p);
  const TGraphRect s{plot.Left + 1, plot.Top + 1, plot.Right, plot.Bottom};
  if (s.Width() <= 0 || s.Height() <= 0) return;
  p.save();
  p.setClipRect(QRect(s.Left, s.Top, s.Width(), s.Height()));
  DrawSeries(s, p);
  p.restore();
}

void TGraph::DrawAxisCaptions(TGraphRect& r, QPainter& p) {
  p.save();
  p.setFont(CaptionFont());
  p.setPen(AxisFontColor);
  p.setBackgroundMode(Qt::TransparentMode);
  const QFontMetrics fm = p.fontMetrics();
  const QString y = ShowYCaption ? GetYCaption() : QString();
  const QString x = ShowXCaption ? GetXCaption() : QString();
  if (!y.isEmpty()) {
    p.save();
    p.translate(r.Left + TextGap, r.Top + r.Height() / 2 + TextWidth(fm, y) / 2);
    p.rotate(-90);
    DrawTextAt(p, 0, 0, y);
    p.restore();
  }
  if (!x.isEmpty()) DrawTextAt(p, r.Left + r.Width() / 2 - TextWidth(fm, x) / 2, r.Bottom - AxisFontHeight, x);
  p.restore();
  if (!y.isEmpty()) r.Left += TextGap + AxisFontHeight + TextGap;
  if (!x.isEmpty()) r.Bottom -= TextGap + AxisFontHeight;
}

void TGraph::DrawAxes(const TGraphRect& plot, QPainter& p) {
  p.setFont(AxisFont());
  DrawValueAxis(plot, p);
  DrawArgumentAxis(plot, p);
}

QString TGraph::FormatValue(double value) { return QString::fromStdString(FormatAxisValue(value, DecimalSeparator)); }

void TGraph::DrawValueAxis(const TGraphRect& plot, QPainter& p) {
  const int l = plot.Left, t = plot.Top, r = plot.Right, b = plot.Bottom;
  p.setPen(QPen(AxisColor, FramePenWidth));
  HLine(p, l - TickLength, r + TickLength, b);
  HLine(p, l - TickLength, r + TickLength, t);
  const TValueAxis axis = ComputeValueAxis(t, b, MinY, MaxY);
  MinY = axis.MinY;
  MaxY = axis.MaxY;
  const QFontMetrics fm = p.fontMetrics();
  const int th = fm.height() + 1;
  for (const TValueTick& tick : axis.Ticks) {
    p.setPen(QPen(AxisColor, FramePenWidth));
    HLine(p, l - TickLength, l, tick.Y);
    HLine(p, r, r + TickLength, tick.Y);
    const QString text = FormatValue(tick.Value);
    const int tw = TextWidth(fm, text) + 1;
    p.setPen(AxisFontColor);
    DrawTextAt(p, l - TickLength - tw - 1, tick.Y - th / 2, text);
    DrawTextAt(p, r + TickLength + 1, tick.Y - th / 2, text);
  }
  if (HorizontalGrid) {
    p.setPen(DottedPen(GridColor));
    for (int y : axis.GridY) HLine(p, l, r, y);
  }
  p.setPen(QPen(AxisColor, FramePenWidth));
}

void TGraph::FillLayer(QPainter& p, const TGraphRect& s, const std::vector<QPolygon>& polygons, const QColor& color) {
  if (polygons.empty() || s.Width() <= 0 || s.Height() <= 0) return;
  const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
  QImage layer(QSize(s.Width(), s.Height()) * dpr, QImage::Format_ARGB32_Premultiplied);
  layer.setDevicePixelRatio(dpr);
  layer.fill(Qt::transparent);
  {
    QPainter lp(&layer);
    lp.translate(-s.Left, -s.Top);
    lp.setPen(Qt::NoPen);
    lp.setBrush(QColor(color.red(), color.green(), color.blue()));
    for (const QPolygon& polygon : polygons) lp.drawPolygon(polygon);
  }
  p.save();
  p.setOpacity(30.0 / 255.0);
  p.drawImage(QPoint(s.Left, s.Top), layer);
  p.restore();
}

// ---- Rows of a network list

int TNetworkListRows::GraphRowCount() const { return list_ ? list_->Count() : 0; }

bool TNetworkListRows::GraphRowSelected(int row) const {
  const TWLANNetwork* network = GraphRowNetwork(row);
  return network && std::find(Selected.begin(), Selected.end(), network) != Selected.end();
}

TWLANNetwork* TNetworkListRows::GraphRowNetwork(int row) const {
  if (!list_ || row < 0 || row >= list_->Count()) return nullptr;
  return list_->Items[static_cast<size_t>(row)].get();
}

// ---- TGraphTree

bool TGraphTree::IsRowShown(int row) {
  return Tree && row >= 0 && row < Tree->GraphRowCount() && Tree->GraphRowChecked(row) && !Tree->GraphRowHidden(row);
}

bool TGraphTree::IsRowSelected(int row) {
  return Tree && row >= 0 && row < Tree->GraphRowCount() && Tree->GraphRowSelected(row);
}

const TTimeMultiDataSeries* TGraphTree::GetRowSeries(int row) {
  const TWLANNetwork* network = Tree ? Tree->GraphRowNetwork(row) : nullptr;
  return network ? &network->Series() : nullptr;
}

QColor TGraphTree::GetRowColor(int row) {
  const TTimeMultiDataSeries* series = GetRowSeries(row);
  const TColor c = series ? series->Color : 0;
  return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}

QString TGraphTree::GetRowCaption(int row) {
  const TTimeMultiDataSeries* series = GetRowSeries(row);
  return series ? QString::fromStdString(series->Caption) : QString();
}

TSampleAt TGraphTree::SampleReader(const TTimeMultiDataSeries& series) {
  const int selector = ValueType;
  return [&series, selector](size_t i) { return TSeriesSample{series.GetTime(i), series.GetValue(i, selector), true}; };
}

bool TGraphTree::GetLegendEntry(int row, TLegendEntry& entry) {
  entry.Text = GetRowCaption(row);
  entry.TextColor = Qt::black;
  entry.LineColor = GetRowColor(row);
  return true;
}

void TGraphTree::DrawSeries(const TGraphRect& s, QPainter& p) {
  if (!Tree) return;
  const int count = Tree->GraphRowCount();
  for (int row = 0; row < count; ++row)
    if (IsRowShown(row)) DrawOneSeries(s, p, row);
}

int TGraphTree::GetLegendCount() {
  if (!Tree) return 0;
  int n = 0;
  const int count = Tree->GraphRowCount();
  for (int row = 0; row < count; ++row) n += IsRowShown(row) ? 1 : 0;
  return n;
}

void TGraphTree::DrawLegendEntries(const TGraphRect& legend, QPainter& p, int capacity) {
  if (!Tree) return;
  const int rowHeight = LegendFontHeight + LegendLineSpacing;
  int i = 0;
  const int count = Tree->GraphRowCount();
  // When not every network fits, the last line says how many more there are.
  const int shown = GetLegendCount();
  const int entries = shown > capacity ? capacity - 1 : capacity;
  if (shown > capacity && capacity > 0) {
    const int top = legend.Top + entries * rowHeight;
    p.save();
    p.setClipRect(QRect(legend.Left, top, legend.Width(), LegendFontHeight));
    p.setPen(LegendFontColor);
    DrawTextAt(p, legend.Left, top, MoreText(shown - entries));
    p.restore();
  }
  for (int row = 0; row < count && i < entries; ++row) {
    if (!IsRowShown(row)) continue;
    const int top = legend.Top + i * rowHeight, bottom = top + LegendFontHeight;
    ++i;
    TLegendEntry entry;
    if (!GetLegendEntry(row, entry)) continue;
    const int middle = top + (bottom - top) / 2;
    p.setPen(QPen(entry.LineColor, IsRowSelected(row) ? SelectedPenWidth : SeriesPenWidth));
    HLine(p, legend.Left, legend.Left + LegendFontHeight - 1, middle);
    p.save();
    p.setClipRect(QRect(legend.Left, top, legend.Width(), LegendFontHeight));
    p.setPen(entry.TextColor);
    DrawTextAt(p, legend.Left + LegendFontHeight - 1 + Margin, top, entry.Text);
    p.restore();
  }
}

// ---- TGraphTime

TGraphTime::TGraphTime() : Clock(SystemClock()) {}

TRangeStats TGraphTime::GetSeriesRange(const TTimeMultiDataSeries& series) {
  return series.GetRangeStats(ValueType, MinX, MaxX);
}

int TGraphTime::GetLegendWidth(QPainter& p) {
  if (!Tree) return 0;
  const QFontMetrics fm(LegendFont(), p.device());
  int widest = -1;
  const int count = Tree->GraphRowCount();
  for (int row = 0; row < count; ++row) {
    if (!Tree->GraphRowChecked(row)) continue;
    TLegendEntry entry;
    GetLegendEntry(row, entry);
    widest = std::max(widest, TextWidth(fm, entry.Text));
  }
  return widest < 0 ? 0 : widest + 2 * LegendFontHeight;
}

QString TGraphTime::GetXCaption() { return Tr("sAxisXTime"); }

void TGraphTime::UpdateTimeWindow() { UpdateTimeWindow(AutoScale); }

void TGraphTime::UpdateTimeWindow(bool scan) {
  window_ = TimeWindowAt(Clock ? Clock() : LocalNow(), WindowMinutes);
  MinX = window_.MinX;
  MaxX = window_.MaxX;
  if (!scan) return;
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  const int count = Tree ? Tree->GraphRowCount() : 0;
  for (int row = 0; row < count; ++row) {
    if (!IsRowShown(row)) continue;
    const TTimeMultiDataSeries* series = GetRowSeries(row);
    if (!series) continue;
    const TRangeStats stats = GetSeriesRange(*series);
    lo = std::min(lo, stats.Minimum);
    hi = std::max(hi, stats.Maximum);
  }
  MinY = lo;
  MaxY = hi;
}

void TGraphTime::UpdateScales() { UpdateTimeWindow(); }

void TGraphTime::DrawArgumentAxis(const TGraphRect& plot, QPainter& p) {
  const int l = plot.Left, t = plot.Top, r = plot.Right, b = plot.Bottom;
  p.setPen(QPen(AxisColor, FramePenWidth));
  VLine(p, l, b, t);
  VLine(p, r, b, t);
  const QFontMetrics fm = p.fontMetrics();
  auto width = [&fm](std::string_view text) {
    return TextWidth(fm, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  };
  const TTimeAxis axis = ComputeTimeAxis(l, r, MaxX, window_.Minutes, GridStepSeconds, width, TimeSeparator);
  p.setPen(DottedPen(GridColor));
  for (int x : axis.GridX) VLine(p, x, b - 1, t);
  p.setPen(QPen(TickColor, 1));
  for (int x : axis.MinorTickX) VLine(p, x, b + TickLength, b);
  p.setPen(AxisFontColor);
  for (const TAxisLabel& label : axis.Labels) {
    const QString text = QString::fromStdString(label.Text);
    DrawTextAt(p, label.X - TextWidth(fm, text) / 2, b + TickLength + TextGap, text);
  }
}

void TGraphTime::DrawOneSeries(const TGraphRect& s, QPainter& p, int row) {
  const TTimeMultiDataSeries* series = GetRowSeries(row);
  if (!series) return;
  DrawTimeSeries(s, p, *series, GetRowColor(row), IsRowSelected(row));
}

void TGraphTime::DrawTimeSeries(const TGraphRect& s, QPainter& p, const TTimeMultiDataSeries& series,
                                const QColor& color, bool selected) {
  const std::vector<TPointRun> runs = SeriesRuns(lastPlot_, window_, MinY, MaxY, series.Count(), SampleReader(series));
  if (runs.empty()) return;
  auto toPolygon = [](const std::vector<TGraphPoint>& points) {
    QPolygon polygon(static_cast<int>(points.size()));
    for (size_t i = 0; i < points.size(); ++i) polygon[static_cast<int>(i)] = QPoint(points[i].X, points[i].Y);
    return polygon;
  };
  if (selected && FillSelected) {
    std::vector<QPolygon> fills;
    for (const TPointRun& run : runs)
      if (run.size() >= 2) fills.push_back(toPolygon(FillPolygonDown(run, lastPlot_.Bottom)));
    FillLayer(p, s, fills, color);
  }
  const int width = selected ? SelectedPenWidth : SeriesPenWidth;
  if (QImage* image = width == 1 ? DirectLineTarget(p) : nullptr) {
    const TGraphRect clip{s.Left, s.Top, s.Right - 1, s.Bottom - 1};
    for (const TPointRun& run : runs) RasterPolyline(*image, clip, run, color.rgb());
    return;
  }
  p.setPen(QPen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  for (const TPointRun& run : runs) p.drawPolyline(toPolygon(run));
}

}  // namespace skimlet
