// The channels advice chooses from: per band and width the blocks of 20 MHz channels a BSS may occupy, each
// with every member as a possible primary channel, and the marks a choice carries (DFS, 6 GHz preferred
// scanning channel).
//
// Frequencies are in MHz. Channel numbers lie on a 5 MHz raster from 2407 MHz (2.4 GHz), 5000 MHz (5 GHz)
// and 5950 MHz (6 GHz); the 20 MHz channels of a block are 4 numbers (20 MHz) apart.
//   2.4 GHz  20 MHz: 1, 6, 11, and 5, 9, 13 too where the country allows channels 12 and 13 (the two sets
//                    of channels that do not overlap); 40 MHz: those primaries with the secondary channel 4
//                    above or below, inside the band.
//   5 GHz    36-64, 100-144, 149-165 as 20 MHz; 40, 80 and 160 MHz blocks of the common plan (165 only
//            at 20 MHz, no 160 MHz block above 144); DFS: 52-144.
//   6 GHz    1-233 as 20 MHz; blocks from channel 1 at 40, 80, 160 MHz, and both 320 MHz plans (from 1 and
//            from 33); preferred scanning channels: 5, 21, 37, ..., 229 (channel = 5 mod 16).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace skimlet {

// Widths in MHz a band offers: 2.4 GHz 20 and 40, 5 GHz up to 160, 6 GHz up to 320; nothing for another band.
std::span<const int> BandWidths(int band);

// Centre frequency in MHz of a channel number of Band on its raster; 0 for a band that is none of the three.
uint32_t RasterFrequency(int band, uint32_t channel);
// The band of a frequency in MHz (0 2.4 GHz, 1 5 GHz, 2 6 GHz), -1 outside them.
int BandOfMHz(uint32_t mhz);

bool IsDfsChannel(int band, uint32_t channel);
bool IsPreferredScanningChannel(int band, uint32_t channel);

// Whether a country (two letters, as a Country element gives them) allows 2.4 GHz channels 12 and 13: every
// country but the United States and its territories, Canada and Taiwan; an unknown country (empty) does not.
bool AllowsChannel13(std::string_view country);

struct TChannelCandidate {
  int Band = 0;
  int WidthMHz = 20;
  uint32_t Channel = 0;       // the primary channel
  uint32_t FirstChannel = 0;  // the lowest 20 MHz channel of the block
  int Members = 1;            // number of 20 MHz channels in the block (WidthMHz / 20)
  bool Dfs = false;           // a member is a DFS channel
  bool Preferred = false;     // the primary is a 6 GHz preferred scanning channel

  uint32_t CenterChannel() const { return FirstChannel + 2 * static_cast<uint32_t>(Members - 1); }
  uint32_t MemberChannel(int k) const { return FirstChannel + 4 * static_cast<uint32_t>(k); }
  int PrimaryIndex() const { return static_cast<int>(Channel - FirstChannel) / 4; }
};

// The candidates of Band at WidthMHz in block order, each block's members as primaries from the lowest;
// nothing for a width the band does not offer. Channel13: the 2.4 GHz set 1/5/9/13 is offered besides 1/6/11.
std::vector<TChannelCandidate> CandidateChannels(int band, int widthMHz, bool channel13);

}  // namespace skimlet
