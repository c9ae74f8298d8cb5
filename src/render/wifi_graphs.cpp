#include "render/wifi_graphs.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/base/safe_text.h"
#include "core/base/translate.h"
#include "core/graph/spectrum.h"
#include "core/model/columns.h"
#include "core/model/network.h"
#include "core/wlan/wlan_statistics.h"

namespace skimlet {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

QString Tr(std::string_view key) { return QString::fromStdString(Translate(key)); }
// A name from the air as a picture shows it: controls as visible codes, its direction kept to itself.
QString ShownName(const std::string& name) { return QString::fromStdString(SafeText(name, SafeTextStyle::Window)); }

// "0.##": at most two decimals, no trailing zeros.
QString TwoDecimals(double value, const std::string& separator) {
  QString text = QString::number(value, 'f', 2);
  while (text.endsWith(QLatin1Char('0'))) text.chop(1);
  if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  if (text == QLatin1String("-0")) text = QStringLiteral("0");
  return text.replace(QLatin1Char('.'), QString::fromStdString(separator));
}

TTextWidth WidthIn(const QFontMetrics& fm) {
  return [&fm](std::string_view text) {
    return fm.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  };
}

}  // namespace

// ---- TGraphWiFiProto

TWLANNetwork* TGraphWiFiProto::GetRowNetwork(int row) const { return Tree ? Tree->GraphRowNetwork(row) : nullptr; }

QString TGraphWiFiProto::GetColumnCaption(int column) const {
  if (column < 0) return {};
  const QString title = ColumnTitle
                            ? ColumnTitle(column)
                            : QString::fromStdString(NetworkColumnTitle(NetworkColumnAt(static_cast<size_t>(column))));
  std::string_view unit;
  switch (column) {
    case 5: unit = "dBm"; break;
    case 6:
    case 14: unit = "%"; break;
    case 26: unit = "Mbps"; break;
    default: break;
  }
  return QString::fromStdString(CaptionWithUnit(title.toStdString(), unit));
}

QString TGraphWiFiProto::GetYCaption() { return GetColumnCaption(QuantityColumn(ValueType)); }

bool TGraphWiFiProto::GetLegendEntry(int row, TLegendEntry& entry) {
  const TWLANNetwork* network = GetRowNetwork(row);
  entry.Text = network ? ShownName(network->GetDisplayName()) : QString();
  entry.TextColor = LegendFontColor;
  entry.LineColor = GetRowColor(row);
  return true;
}

TSampleAt TGraphWiFiProto::SampleReader(const TTimeMultiDataSeries& series) {
  const auto* wifi = dynamic_cast<const TWiFiSeries*>(&series);
  if (!wifi) return TGraphTime::SampleReader(series);
  const int selector = ValueType;
  return [wifi, selector](size_t i) {
    const TWiFiSeriesData& s = (*wifi)[i];
    const double v = s.GetValue(selector);
    return TSeriesSample{s.Time, v, s.Active && std::isfinite(v)};
  };
}

double GetNetworkValue(const TWLANNetwork* n, int valueType) {
  if (!n || !n->Active) return -kInf;
  switch (valueType) {
    case kQuantityQuality: return n->LinkQuality;
    case kQuantityRate: return n->AchievableRate < 0 ? -kInf : n->AchievableRate;
    case kQuantityUtilization: return n->ChannelUtilization < 0 ? -kInf : n->ChannelUtilization;
    case kQuantityClients: return n->StationCount < 0 ? -kInf : n->StationCount;
    default: return n->RSSI;
  }
}

// ---- TGraphWiFiTime

void TGraphWiFiTime::UpdateScales() {
  // Signal, quality and utilisation have fixed ranges: the data need not be walked for them.
  const bool fixed = ValueType == kQuantityRSSI || ValueType == kQuantityQuality || ValueType == kQuantityUtilization;
  UpdateTimeWindow(AutoScale && !fixed);
  const TValueRange range = NetworkQuantityRange(ValueType, MinY, MaxY);
  MinY = range.MinY;
  MaxY = range.MaxY;
}

TRangeStats TGraphWiFiTime::GetNetworkValueStats() {
  TRangeStats stats;
  double sum = 0;
  int n = 0;
  const int count = Tree ? Tree->GraphRowCount() : 0;
  for (int row = 0; row < count; ++row) {
    if (!IsRowShown(row)) continue;
    const double v = GetNetworkValue(GetRowNetwork(row), ValueType);
    if (!std::isfinite(v)) continue;
    stats.Minimum = std::min(stats.Minimum, v);
    stats.Maximum = std::max(stats.Maximum, v);
    sum += v;
    ++n;
  }
  stats.Mean = n > 0 ? sum / n : 0;
  return stats;
}

// ---- TGraphWiFiTimeSingle

bool TGraphWiFiTimeSingle::IsRowShown(int row) {
  return Tree && row >= 0 && row < Tree->GraphRowCount() && Tree->GraphRowSelected(row) && !Tree->GraphRowHidden(row);
}

QColor TGraphWiFiTimeSingle::GetRowColor(int) { return QColor(6, 194, 231); }

TRangeStats TGraphWiFiTimeSingle::GetSelectedSeriesStats() {
  TRangeStats stats{-kInf, -kInf, -kInf};
  const int count = Tree ? Tree->GraphRowCount() : 0;
  for (int row = 0; row < count; ++row) {
    if (!Tree->GraphRowSelected(row)) continue;
    if (const TTimeMultiDataSeries* series = GetRowSeries(row)) stats = series->GetRangeStats(ValueType, MinX, MaxX);
    break;
  }
  return stats;
}

// ---- TGraphCurrentConnection

TGraphCurrentConnection::TGraphCurrentConnection() { SelectedPenWidth = SeriesPenWidth; }

const TTimeMultiDataSeries* TGraphCurrentConnection::GetRowSeries(int) {
  return ConnectionSeries ? ConnectionSeries() : nullptr;
}

QColor TGraphCurrentConnection::GetRowColor(int) { return ValueType == 0 ? QColor(0, 194, 0) : QColor(6, 194, 231); }

int TGraphCurrentConnection::GetLegendWidth(QPainter& p) {
  QFont bold = LegendFont();
  bold.setBold(true);
  return 2 * QFontMetrics(bold, p.device()).horizontalAdvance(GetColumnCaption(5));
}

void TGraphCurrentConnection::DrawSeries(const TGraphRect& s, QPainter& p) { DrawOneSeries(s, p, -1); }

void TGraphCurrentConnection::UpdateScales() {
  window_ = TimeWindowAt(Clock ? Clock() : LocalNow(), WindowMinutes);
  MinX = window_.MinX;
  MaxX = window_.MaxX;
  const TValueRange range = ConnectionRange(ValueType);
  MinY = range.MinY;
  MaxY = range.MaxY;
}

TSampleAt TGraphCurrentConnection::SampleReader(const TTimeMultiDataSeries& series) {
  const auto* connection = dynamic_cast<const TCurrentConnectionSeries*>(&series);
  if (!connection) return TGraphTime::SampleReader(series);
  const int selector = ValueType;
  return [connection, selector](size_t i) {
    const TCurrentConnectioSeriesData& s = (*connection)[i];
    return TSeriesSample{s.Time, s.GetValue(selector), s.Connected};
  };
}

void TGraphCurrentConnection::DrawLegendEntries(const TGraphRect& legend, QPainter& p, int) {
  const int lf = LegendFontHeight, ls = LegendLineSpacing;
  int y = legend.Top + ls / 2;
  auto clipped = [&](int x, const QString& text) {
    p.save();
    p.setClipRect(QRect(legend.Left, y, legend.Width(), lf));
    DrawTextAt(p, x, y, text);
    p.restore();
  };
  QFont font = LegendFont();
  font.setBold(true);
  p.setFont(font);
  p.setPen(LegendFontColor);
  clipped(legend.Left, GetYCaption());
  y += 2 * ls + lf;
  font.setBold(false);
  p.setFont(font);
  const auto* series = ConnectionSeries ? ConnectionSeries() : nullptr;
  if (!series) return;
  const int vx = p.fontMetrics().horizontalAdvance(Tr("sCurrent")) + 10;
  const std::pair<const char*, double> rows[] = {
      {"sCurrent", SeriesLast(*series, ValueType)},
      {"sMinimum", SeriesMinimum(*series, ValueType)},
      {"sMAximum", SeriesMaximum(*series, ValueType)},
      {"sAverage", SeriesAverage(*series, ValueType)},
  };
  for (const auto& [key, value] : rows) {
    clipped(legend.Left, Tr(key));
    if (std::isfinite(value)) clipped(legend.Left + vx, TwoDecimals(value, DecimalSeparator));
    y += lf + ls;
  }
}

// ---- TGraphLayerTime

const TCountersSeries* TGraphLayerTime::SeriesAt(int index) const {
  const auto* list = CounterSeries ? CounterSeries() : nullptr;
  if (!list || index < 0 || static_cast<size_t>(index) >= list->size()) return nullptr;
  return (*list)[static_cast<size_t>(index)].get();
}

QColor TGraphLayerTime::GetRowColor(int row) {
  const TColor c = PaletteColor(row);
  return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}

TSampleAt TGraphLayerTime::SampleReader(const TTimeMultiDataSeries& series) {
  const auto* counters = dynamic_cast<const TCountersSeries*>(&series);
  if (!counters) return TGraphTime::SampleReader(series);
  const int selector = ValueType;
  return [counters, selector](size_t i) {
    return TSeriesSample{counters->GetTime(i), counters->GetRate(i, selector), true};
  };
}

bool TGraphLayerTime::GetLegendEntry(int row, TLegendEntry& entry) {
  if (!Tree || row < 0 || row >= Tree->GraphRowCount()) return false;
  entry.Text = RowName ? ShownName(RowName(row).toStdString()) : QString();
  entry.TextColor = LegendFontColor;
  entry.LineColor = GetRowColor(row);
  return true;
}

void TGraphLayerTime::UpdateScales() {
  UpdateTimeWindow();
  const TValueRange range = CounterRange(MinY, MaxY);
  MinY = range.MinY;
  MaxY = range.MaxY;
}

const TTimeMultiDataSeries* TGraphMACLayerTime::GetRowSeries(int row) {
  return row >= 0 && row < MacCounterCount ? SeriesAt(row) : nullptr;
}

const TTimeMultiDataSeries* TGraphPhyLayerTime::GetRowSeries(int row) {
  return row >= 0 && row < PhyCounterCount ? SeriesAt(MacCounterCount + row) : nullptr;
}

// ---- TGraphRSSIChannels

TGraphRSSIChannels::TGraphRSSIChannels(int band) : Band(band) {}

bool TGraphRSSIChannels::IsRowShown(int row) {
  const TWLANNetwork* network = GetRowNetwork(row);
  return network && TGraphTree::IsRowShown(row) && network->Band == Band;
}

QString TGraphRSSIChannels::GetYCaption() { return GetColumnCaption(5); }

void TGraphRSSIChannels::DrawAxisCaptions(TGraphRect& r, QPainter& p) {
  TGraphWiFiProto::DrawAxisCaptions(r, p);
  r.Top += TextGap + AxisFontHeight;
}

void TGraphRSSIChannels::UpdateScales() {
  const TSpectrumRange range = SpectrumRange(Band);
  MinX = static_cast<double>(range.MinX);
  MaxX = static_cast<double>(range.MaxX);
  MinY = range.MinY;
  MaxY = range.MaxY;
}

void TGraphRSSIChannels::DrawArgumentAxis(const TGraphRect& plot, QPainter& p) {
  const int l = plot.Left, t = plot.Top, r = plot.Right, b = plot.Bottom;
  p.setPen(QPen(AxisColor, FramePenWidth));
  p.drawLine(l, b, l, t);
  p.drawLine(r, b, r, t);
  if (r < l) return;
  p.setBrush(Qt::NoBrush);
  const QFontMetrics fm = p.fontMetrics();
  const QString channels = Tr("sGraphNameChannels"), frequency = Tr("sGraphNameFrequency");
  const TChannelAxis axis = ComputeChannelAxis(Band, plot, WidthIn(fm), fm.horizontalAdvance(channels),
                                               fm.horizontalAdvance(frequency), DecimalSeparator);
  for (const TChannelGridLine& g : axis.Grid) {
    // Preferred scanning channels stand out in the tick colour.
    p.setPen(DottedPen(g.Preferred ? TickColor : GridColor));
    p.drawLine(g.X, b - 1, g.X, t);
  }
  p.setPen(QPen(TickColor, 1));
  for (int x : axis.TopTicks) p.drawLine(x, t - TickLength, x, t);
  for (int x : axis.BottomTicks) p.drawLine(x, b + TickLength, x, b);
  for (const TChannelGridLine& g : axis.Grid)
    if (g.Preferred) p.drawLine(g.X, b + 2 * TickLength, g.X, b);
  p.setPen(AxisFontColor);
  DrawTextAt(p, l, b + TickLength + TextGap, channels);
  DrawTextAt(p, l, t - TickLength - TextGap - fm.height(), frequency);
  for (const TAxisLabel& label : axis.FrequencyLabels) {
    const QString text = QString::fromStdString(label.Text);
    DrawTextAt(p, label.X - fm.horizontalAdvance(text) / 2, t - TickLength - TextGap - fm.height(), text);
  }
  for (const TAxisLabel& label : axis.ChannelLabels) {
    const QString text = QString::fromStdString(label.Text);
    DrawTextAt(p, label.X - fm.horizontalAdvance(text) / 2, b + TickLength + TextGap, text);
  }
}

void TGraphRSSIChannels::DrawOneSeries(const TGraphRect& s, QPainter& p, int row) {
  const TWLANNetwork* n = GetRowNetwork(row);
  if (!n || !n->Active) return;
  TSpectrumInput in;
  in.Active = n->Active;
  in.Band = n->Band;
  in.RSSI = n->RSSI;
  in.PhyType = n->GetHighestPhyType();
  in.ChannelWidth = n->ChannelWidth;
  in.Channel = n->Channel;
  in.SecondaryChannel = n->SecondaryChannel;
  in.CenterChannel0 = n->CenterChannel0;
  in.CenterChannel1 = n->CenterChannel1;
  const TSpectrumOutline outline = SpectrumOutline(in, Band);
  if (outline.Shape == TSpectrumShape::None) return;

  const QColor color = GetRowColor(row);
  const bool selected = IsRowSelected(row);
  const TSpectrumMapper mapper(s, static_cast<int64_t>(MinX), static_cast<int64_t>(MaxX), MinY, MaxY);
  const std::vector<TGraphPoint> points = SpectrumPoints(outline, mapper, DrawBackgroundSpectrum);
  QPolygon polygon(static_cast<int>(points.size()));
  for (size_t i = 0; i < points.size(); ++i) polygon[static_cast<int>(i)] = QPoint(points[i].X, points[i].Y);
  p.setPen(QPen(color, selected ? SelectedPenWidth : SeriesPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(polygon);
  if (selected && FillSelected) {
    const std::vector<TGraphPoint> down = FillPolygonDown(points, s.Bottom);
    QPolygon fill(static_cast<int>(down.size()));
    for (size_t i = 0; i < down.size(); ++i) fill[static_cast<int>(i)] = QPoint(down[i].X, down[i].Y);
    FillLayer(p, s, {fill}, color);
  }
  // The name stands on the top of the curve, centred on each centre.
  QFont font = AxisFont();
  font.setPixelSize(11);
  font.setBold(selected);
  p.setFont(font);
  p.setPen(color);
  const QFontMetrics fm = p.fontMetrics();
  const QString name = ShownName(n->GetDisplayName());
  const int w = fm.horizontalAdvance(name);
  for (int64_t centre : outline.LabelCentres)
    DrawTextAt(p, mapper.FrequencyToX(centre) - w / 2, mapper.LevelToY(n->RSSI) - fm.height(), name);
}

}  // namespace skimlet
