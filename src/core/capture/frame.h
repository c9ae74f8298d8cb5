// One captured frame as the radio heard it: the link-layer header of the capture (radiotap, Prism, PPI or
// none) in front of an 802.11 frame. Beacons and probe responses become a BSS entry with its element blob,
// as the wireless service would have reported them. Pure functions over bytes: no file, no allocation
// beyond the result.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/beacon/beacon_reader.h"
#include "core/service/bss_entry.h"

namespace skimlet {

// Link types of capture files that carry 802.11 frames.
enum TLinkType : uint32_t {
  kLinkIEEE80211 = 105,
  kLinkPrism = 119,
  kLinkRadiotap = 127,
  kLinkPPI = 192,
};
bool IsSupportedLinkType(uint32_t linkType);

// The signal a frame gets when its capture header gives none (and the link quality it maps to, 0).
inline constexpr int32_t kCaptureDefaultRssi = kUnknownRssi;

// What the radio header says about a frame.
struct TRadioInfo {
  std::optional<int32_t> SignalDbm;
  uint32_t FrequencyMHz = 0;  // 0 when unknown
  bool HasFCS = false;        // the 802.11 frame ends with its 4-byte frame check sequence
  bool BadFCS = false;        // the frame failed its check
};

// Outcome of one frame.
enum class TFrameKind {
  Beacon,  // a beacon or probe response: Entry and Blob are set
  ProbeResponse,
  Other,  // some other 802.11 frame, or one that failed its check: skipped, nothing wrong
  BadFCS,
  Malformed,  // the bytes make no sense (Problem says why): skipped and counted
};

struct TCapturedFrame {
  TFrameKind Kind = TFrameKind::Other;
  std::string_view Problem;  // static text, for malformed frames
  TRadioInfo Radio;
  WLAN_BSS_ENTRY Entry;           // ulIeOffset 360, ulIeSize = Blob size
  std::span<const uint8_t> Blob;  // the element blob, inside the packet bytes
};

// Radio headers. Each returns the length of the header (where the 802.11 frame starts) and fills Info, or
// nullopt with Problem set when the header does not fit the packet or contradicts itself.
std::optional<size_t> ParseRadiotap(std::span<const uint8_t> packet, TRadioInfo& info, std::string_view& problem);
std::optional<size_t> ParsePrism(std::span<const uint8_t> packet, TRadioInfo& info, std::string_view& problem);
std::optional<size_t> ParsePPI(std::span<const uint8_t> packet, TRadioInfo& info, std::string_view& problem);

// An 802.11 frame (FCS removed). Beacons and probe responses fill Entry from the header, the fixed fields
// and the elements (ReadBeacon), with Radio supplying signal and frequency.
void ParseManagementFrame(std::span<const uint8_t> frame, TCapturedFrame& out);

// One packet of a capture of the given link type. WholeFrame: the packet was captured whole (its captured
// length equals its length on air), so a trailing FCS can be trusted to be there.
TCapturedFrame ParseCaptureFrame(uint32_t linkType, std::span<const uint8_t> packet, bool wholeFrame = true);

}  // namespace skimlet
