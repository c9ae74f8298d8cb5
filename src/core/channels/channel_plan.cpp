#include "core/channels/channel_plan.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "core/graph/spectrum.h"
#include "core/radio/values.h"

namespace skimlet {

namespace {

constexpr int kWidths24[] = {20, 40};
constexpr int kWidths5[] = {20, 40, 80, 160};
constexpr int kWidths6[] = {20, 40, 80, 160, 320};

// First channels of the 5 GHz blocks per width.
constexpr uint32_t k5GHz20[] = {36,  40,  44,  48,  52,  56,  60,  64,  100, 104, 108, 112, 116,
                                120, 124, 128, 132, 136, 140, 144, 149, 153, 157, 161, 165};
constexpr uint32_t k5GHz40[] = {36, 44, 52, 60, 100, 108, 116, 124, 132, 140, 149, 157};
constexpr uint32_t k5GHz80[] = {36, 52, 100, 116, 132, 149};
constexpr uint32_t k5GHz160[] = {36, 100};

void AddBlock(std::vector<TChannelCandidate>& out, int band, int width, uint32_t first) {
  const int members = width / 20;
  for (int k = 0; k < members; ++k) {
    TChannelCandidate c;
    c.Band = band;
    c.WidthMHz = width;
    c.FirstChannel = first;
    c.Members = members;
    c.Channel = c.MemberChannel(k);
    for (int m = 0; m < members; ++m) c.Dfs |= IsDfsChannel(band, c.MemberChannel(m));
    c.Preferred = IsPreferredScanningChannel(band, c.Channel);
    out.push_back(c);
  }
}

}  // namespace

std::span<const int> BandWidths(int band) {
  switch (band) {
    case 0: return kWidths24;
    case 1: return kWidths5;
    case 2: return kWidths6;
    default: return {};
  }
}

uint32_t RasterFrequency(int band, uint32_t channel) {
  switch (band) {
    case 0: return channel == 14 ? 2484 : 2407 + 5 * channel;
    case 1: return 5000 + 5 * channel;
    case 2: return 5950 + 5 * channel;
    default: return 0;
  }
}

int BandOfMHz(uint32_t mhz) {
  if (mhz >= 2400 && mhz < 2500) return 0;
  if (mhz >= 5150 && mhz < 5925) return 1;
  if (mhz >= 5925 && mhz <= 7125) return 2;
  return -1;
}

bool IsDfsChannel(int band, uint32_t channel) { return band == 1 && channel >= 52 && channel <= 144; }

bool IsPreferredScanningChannel(int band, uint32_t channel) {
  return band == kBand6GHz && IsPreferredScanningChannel(channel);
}

bool AllowsChannel13(std::string_view country) {
  if (country.size() < 2) return false;
  const std::string code{static_cast<char>(std::toupper(static_cast<unsigned char>(country[0]))),
                         static_cast<char>(std::toupper(static_cast<unsigned char>(country[1])))};
  static constexpr std::string_view kElevenChannels[] = {"US", "CA", "TW", "PR", "GU", "AS", "VI", "MP", "UM"};
  return std::find(std::begin(kElevenChannels), std::end(kElevenChannels), code) == std::end(kElevenChannels);
}

std::vector<TChannelCandidate> CandidateChannels(int band, int widthMHz, bool channel13) {
  std::vector<TChannelCandidate> out;
  const auto widths = BandWidths(band);
  if (std::find(widths.begin(), widths.end(), widthMHz) == widths.end()) return out;
  if (band == 0) {
    std::vector<uint32_t> primaries = {1, 6, 11};
    if (channel13) primaries = {1, 5, 6, 9, 11, 13};
    const uint32_t last = channel13 ? 13 : 11;
    for (uint32_t p : primaries) {
      TChannelCandidate c;
      c.Band = 0;
      c.WidthMHz = widthMHz;
      c.Channel = p;
      if (widthMHz == 20) {
        c.FirstChannel = p;
        out.push_back(c);
        continue;
      }
      c.Members = 2;
      // Secondary below, then above: block order.
      if (p >= 5) {
        c.FirstChannel = p - 4;
        out.push_back(c);
      }
      if (p + 4 <= last) {
        c.FirstChannel = p;
        out.push_back(c);
      }
    }
    std::stable_sort(out.begin(), out.end(), [](const TChannelCandidate& a, const TChannelCandidate& b) {
      return a.FirstChannel != b.FirstChannel ? a.FirstChannel < b.FirstChannel : a.Channel < b.Channel;
    });
    return out;
  }
  if (band == 1) {
    std::span<const uint32_t> firsts;
    switch (widthMHz) {
      case 20: firsts = k5GHz20; break;
      case 40: firsts = k5GHz40; break;
      case 80: firsts = k5GHz80; break;
      default: firsts = k5GHz160; break;
    }
    for (uint32_t first : firsts) AddBlock(out, band, widthMHz, first);
    return out;
  }
  // 6 GHz: blocks from channel 1 up to 233; the 320 MHz blocks of both plans start 32 channels (160 MHz)
  // apart.
  const uint32_t step = widthMHz == 320 ? 32 : static_cast<uint32_t>(widthMHz / 5);
  const uint32_t span = static_cast<uint32_t>(widthMHz / 5) - 4;  // last member minus first
  for (uint32_t first = 1; first + span <= 233; first += step) AddBlock(out, band, widthMHz, first);
  return out;
}

}  // namespace skimlet
