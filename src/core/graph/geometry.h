// The geometry of the graphs, without any drawing: the value axis and its rounded-step scale, the time window
// and time axis, the point lists of a time series with its gaps, the value ranges per network quantity and the
// axis captions. Pure functions over plain inputs; the painters in src/render only draw what these return.
//
// All conversions from values to pixels round to the nearest integer, ties to even.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/datetime.h"

namespace skimlet {

struct TGraphPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TGraphPoint&) const = default;
};

// A rectangle by its edges; Right and Bottom are coordinates of the last column and row, as the frame lines
// are drawn on them.
struct TGraphRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TGraphRect&) const = default;
};

// The width of a text in pixels in the font the painter uses.
using TTextWidth = std::function<int(std::string_view)>;

// Nearest integer, ties to even; NaN gives 0 and values beyond int clamp to its ends.
int RoundPixel(double value);

// ---- Value axis

// Offset and magnitude of the rounded-step scale for Intervals intervals over [MinY, MaxY]. The offset is a
// power of ten taken off values whose mid-point lies at least MaxOffsetRatio ranges away from zero.
struct TNiceScale {
  double Offset = 0;
  double Magnitude = 1;
};
TNiceScale NiceScale(int intervals, double maxOffsetRatio, double minY, double maxY);

struct TValueTick {
  double Value = 0;
  int Y = 0;
};

// The value axis of a plot between Top and Bottom: the range widened outward to whole steps, one tick per
// interval boundary (bottom first) and the rows of the dotted grid between them.
struct TValueAxis {
  double MinY = 0;
  double MaxY = 1;
  int Intervals = 1;
  std::vector<TValueTick> Ticks;  // Intervals + 1, from the bottom up
  std::vector<int> GridY;         // Intervals - 1 inner rows
};
// MinY and MaxY may be empty (+inf, -inf), infinite, swapped or equal: such a range is replaced by a usable
// one around the finite value (or 0 ... 1) before the scale is chosen, so nothing divides by zero.
TValueAxis ComputeValueAxis(int top, int bottom, double minY, double maxY);

// "%g" with up to 15 significant digits and the given decimal separator: -20, 2.5, 0.1.
std::string FormatAxisValue(double value, std::string_view decimalSeparator = ".");

// ---- Time window and time axis

inline constexpr int MinTimeWindowMinutes = 1;
inline constexpr int MaxTimeWindowMinutes = 60;
// The time window option held to 1 ... 60 minutes.
int ClampWindowMinutes(int minutes);

// The argument range of a time graph: MaxX is Now without its milliseconds, MinX one window earlier.
struct TTimeWindow {
  LocalDateTime MinX = 0;
  LocalDateTime MaxX = 0;
  int Minutes = 5;
};
TTimeWindow TimeWindowAt(LocalDateTime now, int windowMinutes);

struct TAxisLabel {
  int X = 0;  // the centre of the text
  std::string Text;
  bool operator==(const TAxisLabel&) const = default;
};

// The time axis of a plot from Left to Right: grid columns on whole grid steps of the clock, minor ticks on
// ten-second marks (a sixth of a grid step), and "HH:MM" labels on the grid columns from right to left.
// Labels are thinned to whole multiples of 1, 2, 3, 5, 10, 15, 20, 30 or 60 steps of the clock until they no
// longer touch; grid columns and minor ticks closer than a few pixels are thinned alike.
struct TTimeAxis {
  std::vector<int> GridX;
  std::vector<int> MinorTickX;
  std::vector<TAxisLabel> Labels;
};
TTimeAxis ComputeTimeAxis(int left, int right, LocalDateTime maxX, int windowMinutes, int gridStepSeconds,
                          const TTextWidth& textWidth, std::string_view timeSeparator = ":");

// ---- One time series

struct TSeriesSample {
  LocalDateTime Time = 0;
  double Value = 0;
  bool Valid = false;
};
// Sample I of a series (0 = oldest).
using TSampleAt = std::function<TSeriesSample(size_t)>;

// The polyline of a series, as runs of connected points from the newest sample (right) to the oldest (left).
// The newest valid sample is extended to the right edge, a valid sample followed by an invalid one to the
// invalid sample's position; invalid samples leave gaps. The walk stops after the first sample left of the
// plot, so old samples cost nothing.
using TPointRun = std::vector<TGraphPoint>;
std::vector<TPointRun> SeriesRuns(const TGraphRect& plot, const TTimeWindow& window, double minY, double maxY,
                                  size_t count, const TSampleAt& sampleAt);

// The closed area under a run, down to Bottom: the run's points, then (last x, Bottom) and (first x, Bottom).
// Empty for fewer than 2 points.
std::vector<TGraphPoint> FillPolygonDown(const std::vector<TGraphPoint>& points, int bottom);

// ---- Value ranges

struct TValueRange {
  double MinY = std::numeric_limits<double>::infinity();
  double MaxY = -std::numeric_limits<double>::infinity();
};

// Network quantities of the time graphs (ValueType).
enum TNetworkQuantity : int {
  kQuantityRSSI = 0,
  kQuantityQuality,
  kQuantityRate,
  kQuantityUtilization,
  kQuantityClients
};
// The range a network time graph shows for a quantity, given the minimum and maximum of the data in the window
// (infinite when there is none): fixed -100 ... -20 dBm and 0 ... 100 %, 0 ... data maximum for rates (100
// without data) and clients (10 without data). Any other value type keeps the data range.
TValueRange NetworkQuantityRange(int valueType, double dataMin, double dataMax);
// The range of a counter-rate graph: 0 ... 1000 when there is no traffic.
TValueRange CounterRange(double dataMin, double dataMax);
// The range of a connection graph: -100 ... -20 dBm for signal strength, else 0 ... 100 %.
TValueRange ConnectionRange(int valueType);

// The network-list column a quantity takes its title from, and the unit a graph appends to it.
int QuantityColumn(int valueType);
std::string_view QuantityUnit(int valueType);
// "Title, unit" - or the title alone when it already carries the unit ("Signal (dBm)") or there is none.
std::string CaptionWithUnit(std::string_view title, std::string_view unit);

}  // namespace skimlet
