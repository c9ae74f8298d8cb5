// RSN element (ID 48): the security suites of a WPA2/WPA3 network.
//
// The body is a version, the group data cipher suite, the pairwise cipher suite list, the AKM suite list and
// the capabilities; what follows (PMKIDs, group management cipher) is neither decoded nor shown. Each
// field is read only when all its bytes lie in the body: the first field that does not fit ends decoding
// and display, and what came before stays. The WPA vendor element carries the same layout behind its OUI
// and subtype and shares the suite code below.
#pragma once

#include <optional>

#include "core/ie/element.h"

namespace skimlet {

class TRSNElement : public TInformationElement {
 public:
  uint16_t Version = 0;
  uint8_t GroupCipher = 0;            // suite type; 0 when absent or of a vendor's OUI
  TByteDynamicArray PairwiseCiphers;  // suite types of the 00-0F-AC pairwise suites, in element order
  TByteDynamicArray AKMSuites;        // suite types of the 00-0F-AC and 00-50-F2 AKM suites
  // The RSN capabilities field, when the body holds it whole after both suite lists (bit 6 management frame
  // protection required, bit 7 capable).
  std::optional<uint16_t> Capabilities;

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

// The suite layout shared by the RSN and WPA elements, starting with the version at a body position.
namespace suites {

inline constexpr uint32_t kIEEEOUI = 0x000FAC;
inline constexpr uint32_t kMicrosoftOUI = 0x0050F2;

// Which suite OUIs each list takes in.
struct Rules {
  uint32_t GroupOUI1, GroupOUI2;  // a group suite of another OUI ends decoding
  uint32_t PairwiseOUI;
  uint32_t AKMOUI1, AKMOUI2;
};
inline constexpr Rules kRSNRules{kIEEEOUI, kMicrosoftOUI, kIEEEOUI, kIEEEOUI, kMicrosoftOUI};
inline constexpr Rules kWPARules{kMicrosoftOUI, kMicrosoftOUI, kMicrosoftOUI, kMicrosoftOUI, kMicrosoftOUI};

// Decodes version, group suite and both lists from body position Start, stopping at the first field that
// does not fit (or at a group suite of a foreign OUI). Never reads past Data.
void Parse(Bytes data, size_t start, const Rules& rules, uint16_t& version, uint8_t& groupCipher,
           TByteDynamicArray& pairwiseCiphers, TByteDynamicArray& akmSuites);

// The body position after the AKM list, found by the list counts alone (whatever the suites' OUIs); nothing
// when a count or a list does not fit. The RSN capabilities start there.
std::optional<size_t> ListsEnd(Bytes data, size_t start);

// Adds the lines of version, group suite, both counts and lists under Element; AKM names carry the prefix of
// AKMVersion (2: "WPA2-", else "WPA-"). Returns the body position after the AKM list, or nothing when a field
// did not fit (display ends there).
std::optional<size_t> AddNodes(const TInformationElement& e, TIETree& tree, TIETreeLine element, size_t start,
                               int akmVersion);

// The replay counter text of a 2-bit field value ("Unknown" outside 0..3).
std::string_view ReplayCounterText(uint32_t value);

}  // namespace suites

}  // namespace skimlet
