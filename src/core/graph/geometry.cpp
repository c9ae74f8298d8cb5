#include "core/graph/geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace skimlet {

namespace {

constexpr double kFlat = 1e-12;
// Pixel coordinates far beyond any plot are held here, so that a value far off the scale still draws (and is
// clipped) without overflowing the painter's fixed-point arithmetic.
constexpr double kPixelLimit = 4194304.0;

int ClampedPixel(double value) { return RoundPixel(std::clamp(value, -kPixelLimit, kPixelLimit)); }

bool IsZero(double v) { return std::fabs(v) <= kFlat; }

// Whole seconds since the epoch of LocalDateTime; 0 for a time that is no date.
int64_t WholeSeconds(LocalDateTime t) {
  if (!std::isfinite(t) || std::fabs(t) > 3.0e6) return 0;
  return static_cast<int64_t>(std::floor(t * SecondsPerDay + 0.0005));
}

int64_t FloorMod(int64_t a, int64_t m) {
  const int64_t r = a % m;
  return r < 0 ? r + m : r;
}

int64_t FloorDiv(int64_t a, int64_t m) { return (a - FloorMod(a, m)) / m; }

// A usable range for the value axis: finite, ascending and not flat.
void SanitizeRange(double& lo, double& hi) {
  constexpr double kLimit = 1e300;
  const bool loOk = std::isfinite(lo), hiOk = std::isfinite(hi);
  if (!loOk && !hiOk) {
    lo = 0;
    hi = 1;
    return;
  }
  if (!loOk) lo = hi;
  if (!hiOk) hi = lo;
  lo = std::clamp(lo, -kLimit, kLimit);
  hi = std::clamp(hi, -kLimit, kLimit);
  if (lo > hi) std::swap(lo, hi);
  const double big = std::max(std::fabs(lo), std::fabs(hi));
  if (hi - lo <= kFlat * big || hi - lo == 0) {
    const double mid = (lo + hi) * 0.5;
    const double pad = std::max(1.0, std::fabs(mid) * 1e-3);
    lo = mid - pad;
    hi = mid + pad;
  }
}

}  // namespace

int RoundPixel(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(std::nearbyint(value));
}

TNiceScale NiceScale(int intervals, double maxOffsetRatio, double minY, double maxY) {
  TNiceScale s;
  const double range = std::fabs(maxY - minY);
  const double big = std::max(std::fabs(minY), std::fabs(maxY));
  if (big == 0 || !std::isfinite(big) || !std::isfinite(range) || range / big < kFlat) return s;
  const double mid = (maxY + minY) * 0.5;
  if (std::fabs(mid) / range >= maxOffsetRatio) {
    // An integer power of -10 for a negative mid-point: its sign follows the exponent.
    s.Offset = mid > 0 ? std::pow(10.0, std::floor(std::log10(mid))) : std::pow(-10.0, std::floor(std::log10(-mid)));
  }
  s.Magnitude = std::pow(10.0, std::floor(std::log10(range / std::max(intervals, 1))));
  return s;
}

TValueAxis ComputeValueAxis(int top, int bottom, double minY, double maxY) {
  SanitizeRange(minY, maxY);
  const double h = static_cast<double>(bottom) - top;
  int n = RoundPixel(std::max(2.0, h / 30));
  const TNiceScale scale = NiceScale(n, 100, minY, maxY);
  const double lo = minY - scale.Offset, hi = maxY - scale.Offset;
  const double ratio = ((hi - lo) / n) / scale.Magnitude;
  double step = 1, start = lo, end = hi;
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m < ratio) continue;
    step = m * scale.Magnitude;
    start = std::floor(lo / step) * step;
    end = start + n * step;
    if (end >= hi) break;
  }
  // Whole surplus intervals at the top are dropped (or added, should no candidate have reached the top).
  n = std::clamp(n - static_cast<int>(std::clamp(std::floor((end - hi) / step), -1000.0, 1000.0)), 1, 1000);

  TValueAxis axis;
  axis.Intervals = n;
  axis.MinY = start + scale.Offset;
  axis.MaxY = start + n * step + scale.Offset;
  const double span = axis.MaxY - axis.MinY;
  for (int i = 0; i <= n; ++i) {
    double value = axis.MinY + span * i / n;
    if (std::fabs(value) < step * 1e-9) value = 0;  // -1e-17 is a zero that lost its way
    axis.Ticks.push_back({value, bottom - RoundPixel(h / n * i)});
  }
  for (int i = 1; i < n; ++i) axis.GridY.push_back(axis.Ticks[static_cast<size_t>(i)].Y);
  return axis;
}

std::string FormatAxisValue(double value, std::string_view decimalSeparator) {
  if (value == 0) value = 0;  // no "-0"
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  std::string text = buf;
  if (const size_t dot = text.find('.'); dot != std::string::npos)
    text.replace(dot, 1, decimalSeparator.data(), decimalSeparator.size());
  return text;
}

int ClampWindowMinutes(int minutes) { return std::clamp(minutes, MinTimeWindowMinutes, MaxTimeWindowMinutes); }

TTimeWindow TimeWindowAt(LocalDateTime now, int windowMinutes) {
  TTimeWindow w;
  w.Minutes = ClampWindowMinutes(windowMinutes);
  w.MaxX = static_cast<double>(WholeSeconds(now)) / SecondsPerDay;
  w.MinX = AddMinutes(w.MaxX, -w.Minutes);
  return w;
}

TTimeAxis ComputeTimeAxis(int left, int right, LocalDateTime maxX, int windowMinutes, int gridStepSeconds,
                          const TTextWidth& textWidth, std::string_view timeSeparator) {
  TTimeAxis axis;
  const int64_t T = int64_t{ClampWindowMinutes(windowMinutes)} * 60;
  const int64_t step = std::clamp<int64_t>(gridStepSeconds > 0 ? gridStepSeconds : 60, 10, T);
  const double w = static_cast<double>(right) - left;
  const int n = std::max(1, RoundPixel(static_cast<double>(T) / static_cast<double>(step)));
  const int64_t secs = WholeSeconds(maxX);
  const int64_t s = FloorMod(secs, 60);
  const double perStep = w / n, perSecond = w / static_cast<double>(T);
  auto gridX = [&](int k) { return right - RoundPixel(perStep * k + perSecond * static_cast<double>(s)); };
  // The grid step index of column k on the clock, for thinning on whole multiples.
  auto clockStep = [&](int k) { return FloorDiv(secs - s - k * step, step); };

  std::vector<std::string> texts;
  texts.reserve(static_cast<size_t>(n));
  int widest = 0;
  for (int k = 0; k < n; ++k) {
    const int64_t minuteOfDay = FloorMod(FloorDiv(secs - s - k * step, 60), 1440);
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(minuteOfDay / 60));
    std::string text = buf;
    text += timeSeparator;
    std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(minuteOfDay % 60));
    text += buf;
    widest = std::max(widest, textWidth ? textWidth(text) : 0);
    texts.push_back(std::move(text));
  }

  static constexpr std::array<int, 9> kThin{1, 2, 3, 5, 10, 15, 20, 30, 60};
  auto smallestFitting = [&](double room) {
    for (int j : kThin)
      if (perStep * j >= room) return j;
    return 0;
  };
  const int labelEvery = smallestFitting(widest + 6.0);
  const int gridEvery = std::max(smallestFitting(4.0), 1);
  for (int k = 0; k < n; ++k) {
    const int64_t c = clockStep(k);
    if (c % gridEvery == 0) axis.GridX.push_back(gridX(k));
    if (labelEvery > 0 && c % labelEvery == 0) axis.Labels.push_back({gridX(k), texts[static_cast<size_t>(k)]});
  }
  if (perStep / 6 >= 3) {
    for (int k = 0; k < 6 * n; ++k)
      axis.MinorTickX.push_back(right - RoundPixel(perStep * k / 6 + perSecond * static_cast<double>(s % 10)));
  }
  return axis;
}

std::vector<TPointRun> SeriesRuns(const TGraphRect& plot, const TTimeWindow& window, double minY, double maxY,
                                  size_t count, const TSampleAt& sampleAt) {
  std::vector<TPointRun> runs;
  const double span = maxY - minY;
  if (!(span > 0) || !std::isfinite(span) || count == 0) return runs;
  const double xs = static_cast<double>(plot.Width()) / (ClampWindowMinutes(window.Minutes) * 60.0);
  const double ys = static_cast<double>(plot.Height()) / span;
  int prevX = plot.Right;
  bool prevValid = false;
  TPointRun* run = nullptr;
  for (size_t i = count; i-- > 0;) {
    const TSeriesSample sample = sampleAt(i);
    const int x = plot.Left + ClampedPixel(xs * (sample.Time - window.MinX) * SecondsPerDay);
    const bool valid = sample.Valid && std::isfinite(sample.Value);
    if (valid) {
      const int y = plot.Bottom - ClampedPixel((sample.Value - minY) * ys);
      if (!prevValid) {
        runs.emplace_back();
        run = &runs.back();
        run->push_back({prevX, y});
      }
      run->push_back({x, y});
    }
    prevX = x;
    prevValid = valid;
    if (x < plot.Left) break;
  }
  return runs;
}

std::vector<TGraphPoint> FillPolygonDown(const std::vector<TGraphPoint>& points, int bottom) {
  if (points.size() < 2) return {};
  std::vector<TGraphPoint> polygon = points;
  polygon.push_back({points.back().X, bottom});
  polygon.push_back({points.front().X, bottom});
  return polygon;
}

TValueRange NetworkQuantityRange(int valueType, double dataMin, double dataMax) {
  const bool noMax = IsZero(dataMax) || !std::isfinite(dataMax);
  switch (valueType) {
    case kQuantityRSSI: return {-100, -20};
    case kQuantityQuality:
    case kQuantityUtilization: return {0, 100};
    case kQuantityRate: return {0, noMax ? 100 : dataMax};
    case kQuantityClients: return {0, noMax ? 10 : dataMax};
    default: return {dataMin, dataMax};
  }
}

TValueRange CounterRange(double dataMin, double dataMax) {
  TValueRange r{dataMin, dataMax};
  if (IsZero(r.MinY) || !std::isfinite(r.MinY)) r.MinY = 0;
  if (IsZero(r.MaxY) || !std::isfinite(r.MaxY)) r.MaxY = 1000;
  if (IsZero(r.MaxY - r.MinY) || r.MaxY < r.MinY) r = {0, 1000};
  return r;
}

TValueRange ConnectionRange(int valueType) { return valueType == 0 ? TValueRange{-100, -20} : TValueRange{0, 100}; }

int QuantityColumn(int valueType) {
  switch (valueType) {
    case kQuantityRSSI: return 5;
    case kQuantityQuality: return 6;
    case kQuantityRate: return 26;
    case kQuantityUtilization: return 14;
    case kQuantityClients: return 15;
    default: return -1;
  }
}

std::string_view QuantityUnit(int valueType) {
  switch (valueType) {
    case kQuantityRSSI: return "dBm";
    case kQuantityQuality:
    case kQuantityUtilization: return "%";
    case kQuantityRate: return "Mbps";
    default: return {};
  }
}

std::string CaptionWithUnit(std::string_view title, std::string_view unit) {
  std::string caption(title);
  if (caption.empty() || unit.empty() || title.find(unit) != std::string_view::npos) return caption;
  caption += ", ";
  caption += unit;
  return caption;
}

}  // namespace skimlet
