#include "core/graph/spectrum.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/radio/values.h"

namespace skimlet {

namespace {

constexpr double kPixelLimit = 4194304.0;

int64_t Centre(uint32_t channel, int band) { return ChannelToFrequency(channel, band); }

// The OFDM mask of a channel W kHz wide around C: flat top to +-(W/2 - 1 MHz), -20 dB at +-(W/2 + 1 MHz),
// -28 dB at +-W, -40 dB at +-1.5 W.
void AddOfdm(std::vector<TFrequencyLevel>& p, int64_t c, int64_t w, double l) {
  const int64_t h = w / 2;
  p.insert(p.end(), {{c - (w + h), l - 40},
                     {c - w, l - 28},
                     {c - (h + 1000), l - 20},
                     {c - (h - 1000), l},
                     {c + (h - 1000), l},
                     {c + (h + 1000), l - 20},
                     {c + w, l - 28},
                     {c + (w + h), l - 40}});
}

int NonNegativeMod(int a, int m) {
  const int r = a % m;
  return r < 0 ? r + m : r;
}

}  // namespace

TSpectrumRange SpectrumRange(int band) {
  switch (band) {
    case kBand24GHz: return {2392000, 2504000, -100, -20};
    case kBand6GHz: return {5925000, 7125000, -100, -20};
    default: return {5110000, 5860000, -100, -20};
  }
}

TSpectrumMapper::TSpectrumMapper(const TGraphRect& rect, int64_t minX, int64_t maxX, double minY, double maxY)
    : rect_(rect), minX_(minX), minY_(minY) {
  if (maxX != minX) xs_ = static_cast<double>(rect.Right - rect.Left) / static_cast<double>(maxX - minX);
  if (maxY != minY && std::isfinite(maxY - minY)) ys_ = static_cast<double>(rect.Top - rect.Bottom) / (maxY - minY);
}

int TSpectrumMapper::FrequencyToX(int64_t kHz) const {
  return rect_.Left + RoundPixel(std::clamp(static_cast<double>(kHz - minX_) * xs_, -kPixelLimit, kPixelLimit));
}

int TSpectrumMapper::LevelToY(double level) const {
  return rect_.Bottom + RoundPixel(std::clamp((level - minY_) * ys_, -kPixelLimit, kPixelLimit));
}

TSpectrumOutline SpectrumOutline(const TSpectrumInput& n, int band) {
  TSpectrumOutline o;
  if (!n.Active || n.Band != band) return o;
  const double l = n.RSSI;
  int64_t w = WidthKHz(n.ChannelWidth);
  int64_t c = Centre(n.Channel, band), c2 = 0;
  TSpectrumShape shape = TSpectrumShape::OFDM;
  // The centre of a 40 MHz channel: between primary and secondary where the secondary is known (HT operation),
  // else the announced centre (the 6 GHz operation gives it directly).
  auto centre40 = [&] {
    if (n.ChannelWidth != 1) return Centre(n.Channel, band);
    if (n.SecondaryChannel != 0) return Centre((n.Channel + n.SecondaryChannel) / 2, band);
    return Centre(n.CenterChannel0 != 0 ? n.CenterChannel0 : n.Channel, band);
  };
  switch (n.PhyType) {
    case kPhyHRDSSS: shape = TSpectrumShape::DSSS; break;
    case kPhyHT: c = centre40(); break;
    case kPhyVHT:
    case kPhyHE:
    case kPhyEHT:
      switch (n.ChannelWidth) {
        case 0:
        case 1: c = centre40(); break;
        case 2: c = Centre(n.CenterChannel0, band); break;
        case 3:
        case kWidth320: c = Centre(n.CenterChannel1 != 0 ? n.CenterChannel1 : n.CenterChannel0, band); break;
        case 4:
          shape = TSpectrumShape::Dual;
          c = Centre(n.CenterChannel0, band);
          c2 = Centre(n.CenterChannel1, band);
          break;
        default: break;
      }
      break;
    default: break;
  }
  auto inBand = [&](int64_t f) { return f > 0 && BandOfFrequency(static_cast<uint32_t>(f)) == band; };
  if (!inBand(c) || (shape == TSpectrumShape::Dual && !inBand(c2))) return o;

  o.Shape = shape;
  switch (shape) {
    case TSpectrumShape::DSSS: {
      const int64_t k = w / 2 + 1000;
      o.Points = {{c - 2 * k, l - 50}, {c - 2 * k, l - 30}, {c - k, l - 30},     {c - k, l},
                  {c + k, l},          {c + k, l - 30},     {c + 2 * k, l - 30}, {c + 2 * k, l - 50}};
      o.EdgeLevel = l - 50;
      o.LabelCentres = {c};
      break;
    }
    case TSpectrumShape::Dual: {
      // Two 80 MHz segments bridged at L - 25 dB half-way between them; the name stands on each.
      w = 80000;
      const int64_t h = w / 2, a = std::min(c, c2), b = std::max(c, c2);
      o.Points = {{a - (w + h), l - 40}, {a - w, l - 28},          {a - (h + 1000), l - 20}, {a - (h - 1000), l},
                  {a + (h - 1000), l},   {a + (h + 1000), l - 20}, {(a + b) / 2, l - 25},    {b - (h + 1000), l - 20},
                  {b - (h - 1000), l},   {b + (h - 1000), l},      {b + (h + 1000), l - 20}, {b + w, l - 28},
                  {b + (w + h), l - 40}};
      o.EdgeLevel = l - 40;
      o.LabelCentres = {c, c2};
      break;
    }
    default:
      AddOfdm(o.Points, c, w, l);
      o.EdgeLevel = l - 40;
      o.LabelCentres = {c};
      break;
  }
  return o;
}

std::vector<TGraphPoint> SpectrumPoints(const TSpectrumOutline& outline, const TSpectrumMapper& m, bool background) {
  std::vector<TGraphPoint> pts;
  if (outline.Shape == TSpectrumShape::None || outline.Points.empty()) return pts;
  pts.reserve(outline.Points.size() + 2);
  const TGraphRect& s = m.Rect();
  const TFrequencyLevel &first = outline.Points.front(), &last = outline.Points.back();
  if (background) pts.push_back({s.Left, m.LevelToY(outline.EdgeLevel)});
  else pts.push_back({m.FrequencyToX(first.KHz), s.Bottom});
  for (const TFrequencyLevel& p : outline.Points) pts.push_back({m.FrequencyToX(p.KHz), m.LevelToY(p.Level)});
  if (background) pts.push_back({s.Right, m.LevelToY(outline.EdgeLevel)});
  else pts.push_back({m.FrequencyToX(last.KHz), s.Bottom});
  return pts;
}

std::string FrequencyLabel(int64_t kHz, std::string_view decimalSeparator) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(kHz) / 1000000.0);
  std::string text = buf;
  if (const size_t dot = text.find('.'); dot != std::string::npos)
    text.replace(dot, 1, decimalSeparator.data(), decimalSeparator.size());
  return text;
}

bool IsPreferredScanningChannel(uint32_t channel) { return channel >= 5 && channel <= 229 && (channel - 5) % 16 == 0; }

TChannelAxis ComputeChannelAxis(int band, const TGraphRect& plot, const TTextWidth& textWidth, int channelsTitleWidth,
                                int frequencyTitleWidth, std::string_view decimalSeparator) {
  TChannelAxis axis;
  const int l = plot.Left, r = plot.Right;
  if (r < l) return axis;
  const TSpectrumRange range = SpectrumRange(band);
  const double xs = static_cast<double>(r - l) / static_cast<double>(range.MaxX - range.MinX);
  auto freq = [&](int c) { return static_cast<int64_t>(ChannelToFrequency(static_cast<uint32_t>(c), band)); };
  auto x = [&](int c) { return l + RoundPixel(static_cast<double>(freq(c) - range.MinX) * xs); };
  auto width = [&](std::string_view text) { return textWidth ? textWidth(text) : 0; };
  const int wC = channelsTitleWidth + 3, wF = frequencyTitleWidth + 3;
  auto spacing = [&](std::string_view text, int d) { return (width(text) + 6) / d + 1; };
  auto frequencyLabel = [&](int c) {
    std::string text = FrequencyLabel(freq(c), decimalSeparator);
    const int xc = x(c), w = width(text);
    if (xc - l - w / 2 > wF) axis.FrequencyLabels.push_back({xc, std::move(text)});
  };
  auto channelLabel = [&](int c) {
    std::string text = std::to_string(c);
    const int xc = x(c), w = width(text);
    if (xc - l - w / 2 > wC) axis.ChannelLabels.push_back({xc, std::move(text)});
  };
  auto ticksBothSides = [&](int c) {
    axis.TopTicks.push_back(x(c));
    axis.BottomTicks.push_back(x(c));
  };

  if (band == kBand24GHz) {
    for (int c = 1; c <= 14; ++c) axis.Grid.push_back({x(c), false});
    const int d = RoundPixel(static_cast<double>(freq(13) - freq(12)) * xs);
    if (d == 0) return axis;
    const int kF = spacing(FrequencyLabel(freq(13), decimalSeparator), d), kC = spacing("13", d);
    for (int c = 1; c <= 14; ++c) {
      if ((c - 1) % kF == 0) {
        axis.TopTicks.push_back(x(c));
        frequencyLabel(c);
      }
      if ((c - 1) % kC == 0) {
        axis.BottomTicks.push_back(x(c));
        channelLabel(c);
      }
    }
    return axis;
  }

  if (band == kBand6GHz) {
    // Every 20 MHz channel (1, 5 ... 233) has a grid column; labels go on every k-th of them, k a power of two,
    // so that from k = 4 on exactly the preferred scanning channels (5, 21, 37 ...) carry them.
    for (int c = 1; c <= 233; c += 4) axis.Grid.push_back({x(c), IsPreferredScanningChannel(static_cast<uint32_t>(c))});
    const int d = RoundPixel(20000.0 * xs);
    if (d == 0) return axis;
    auto powerOfTwo = [](int k) {
      int p = 1;
      while (p < k && p < 64) p *= 2;
      return p;
    };
    const int kF = powerOfTwo(spacing(FrequencyLabel(freq(5), decimalSeparator), d));
    const int kC = powerOfTwo(spacing("233", d));
    const bool everyTick = d >= 3;
    for (int c = 1; c <= 233; c += 4) {
      const bool f = NonNegativeMod(c - 5, 4 * kF) == 0, ch = NonNegativeMod(c - 5, 4 * kC) == 0;
      if (everyTick || f) axis.TopTicks.push_back(x(c));
      if (everyTick || ch) axis.BottomTicks.push_back(x(c));
      if (f) frequencyLabel(c);
      if (ch) channelLabel(c);
    }
    return axis;
  }

  // 5 GHz: grid on the 20 MHz channels of the three sub-bands; labels per sub-band, each with its own base.
  for (auto [from, to] : {std::pair{36, 64}, {100, 144}, {149, 165}})
    for (int c = from; c <= to; c += 4) axis.Grid.push_back({x(c), false});
  for (int c = 34; c <= 48; c += 2) ticksBothSides(c);
  int d = RoundPixel(static_cast<double>(freq(40) - freq(36)) * xs);
  if (d == 0) return axis;
  int kF = spacing(FrequencyLabel(freq(36), decimalSeparator), d), kC = spacing("36", d);
  for (int c = 36; c <= 64; c += 4) {
    if ((c - 36) % (4 * kF) == 0) frequencyLabel(c);
    if ((c - 36) % (4 * kC) == 0) channelLabel(c);
  }
  for (int c = 52; c <= 64; c += 4) ticksBothSides(c);
  d = RoundPixel(static_cast<double>(freq(104) - freq(100)) * xs);
  if (d == 0) return axis;
  kF = spacing(FrequencyLabel(freq(100), decimalSeparator), d);
  kC = spacing("100", d);
  for (auto [base, to] : {std::pair{100, 144}, {149, 165}}) {
    for (int c = base; c <= to; c += 4) {
      ticksBothSides(c);
      if ((c - base) % (4 * kF) == 0) frequencyLabel(c);
      if ((c - base) % (4 * kC) == 0) channelLabel(c);
    }
  }
  return axis;
}

}  // namespace skimlet
