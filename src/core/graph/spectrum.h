// The geometry of the channel spectrum graphs: the fixed ranges of each band, the mapping of frequencies and
// levels to pixels, the transmit-spectrum outline of a network (OFDM, DSSS or two 80 MHz segments) and the
// channel axis with its grid, ticks and labels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/graph/geometry.h"

namespace skimlet {

// The argument range (kHz) and level range (dBm) of a band's spectrum graph; bands 0, 1, 2 as BandOfFrequency.
struct TSpectrumRange {
  int64_t MinX = 0;
  int64_t MaxX = 1;
  double MinY = -100;
  double MaxY = -20;
};
TSpectrumRange SpectrumRange(int band);

// Frequencies (kHz) and levels (dBm) to pixels of a rectangle (l, t, r, b): the scale factor is a double,
// the product rounded to nearest, ties to even.
class TSpectrumMapper {
 public:
  TSpectrumMapper(const TGraphRect& rect, int64_t minX, int64_t maxX, double minY, double maxY);
  TSpectrumMapper(const TGraphRect& rect, const TSpectrumRange& range)
      : TSpectrumMapper(rect, range.MinX, range.MaxX, range.MinY, range.MaxY) {}
  int FrequencyToX(int64_t kHz) const;
  int LevelToY(double level) const;
  const TGraphRect& Rect() const { return rect_; }

 private:
  TGraphRect rect_;
  int64_t minX_;
  double minY_;
  double xs_ = 0;
  double ys_ = 0;
};

// What the spectrum reads of a network record.
struct TSpectrumInput {
  bool Active = false;
  int Band = 0;
  int32_t RSSI = 0;
  int PhyType = 0;       // the highest PHY type of the network
  int ChannelWidth = 0;  // 0 = 20, 1 = 40, 2 = 80, 3 = 160, 4 = 80+80, 5 = 320 MHz
  uint32_t Channel = 0;
  uint32_t SecondaryChannel = 0;
  uint32_t CenterChannel0 = 0;
  uint32_t CenterChannel1 = 0;
};

enum class TSpectrumShape { None, OFDM, DSSS, Dual };

struct TFrequencyLevel {
  int64_t KHz = 0;
  double Level = 0;
  bool operator==(const TFrequencyLevel&) const = default;
};

// The outline of one network: the mask points from left to right without the two closing points, the level
// the closing points take when the background spectrum is drawn, and where the name is written (once, or
// once per segment).
struct TSpectrumOutline {
  TSpectrumShape Shape = TSpectrumShape::None;
  std::vector<TFrequencyLevel> Points;
  double EdgeLevel = 0;
  std::vector<int64_t> LabelCentres;
};

// The outline of a network in the graph of Band. Nothing (Shape None) for an inactive network, another band,
// or a centre frequency that is 0 or lies outside the band. Each segment of an 80+80 MHz channel is 80 MHz
// wide.
TSpectrumOutline SpectrumOutline(const TSpectrumInput& network, int band);

// The pixel polyline of an outline in the series rectangle S of the mapper: the closing points run out to the
// plot's sides at the edge level when Background is set, else straight down to S's bottom.
std::vector<TGraphPoint> SpectrumPoints(const TSpectrumOutline& outline, const TSpectrumMapper& mapper,
                                        bool background);

// The frequency label of a channel: GHz with three decimals ("2.412", "5.180").
std::string FrequencyLabel(int64_t kHz, std::string_view decimalSeparator = ".");

// The channel axis of a band on the plot P: dotted grid columns (Preferred marks a 6 GHz preferred scanning
// channel), ticks above and below the plot, frequency labels above and channel labels below. Labels keep at
// least 6 pixels apart (every k-th channel) and stay clear of the two titles at the plot's left end, whose
// widths are given.
struct TChannelGridLine {
  int X = 0;
  bool Preferred = false;
};
struct TChannelAxis {
  std::vector<TChannelGridLine> Grid;
  std::vector<int> TopTicks;
  std::vector<int> BottomTicks;
  std::vector<TAxisLabel> FrequencyLabels;
  std::vector<TAxisLabel> ChannelLabels;
};
TChannelAxis ComputeChannelAxis(int band, const TGraphRect& plot, const TTextWidth& textWidth, int channelsTitleWidth,
                                int frequencyTitleWidth, std::string_view decimalSeparator = ".");

// 6 GHz preferred scanning channels: 5, 21, 37 ... every 16th channel from 5.
bool IsPreferredScanningChannel(uint32_t channel);

}  // namespace skimlet
