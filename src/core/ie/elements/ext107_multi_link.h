// Multi-Link (extension element 107): the multi-link control with its type and presence bitmap; for the
// basic type the common info (MLD MAC address, link ID, BSS parameters change count, medium synchronisation
// delay, EML and MLD capabilities, AP MLD ID) and the per-STA profile subelements.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/ie/extension.h"

namespace skimlet {

struct TMLPerSTAProfile {
  uint8_t LinkID = 0;
  bool CompleteProfile = false;
  bool HasSTAMACAddress = false;
  std::array<uint8_t, 6> STAMACAddress{};
};

class TMultiLinkExtensionsInformationElement : public TExtensionsInformationElement {
 public:
  uint8_t Type = 0;             // 0 basic
  uint16_t PresenceBitmap = 0;  // bits 4-15 of the control, shifted down

  // Basic type: decoded when the common info lies in the body.
  bool HasCommonInfo = false;
  std::array<uint8_t, 6> MLDMACAddress{};
  bool HasLinkID = false;
  uint8_t LinkID = 0;
  bool HasAPMLDID = false;
  uint8_t APMLDID = 0;
  // The per-STA profiles that lie wholly in the body.
  std::vector<TMLPerSTAProfile> Profiles;

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;

 private:
  // The STA control, STA info and STA profile lines of the per-STA profile whose N data bytes start at body
  // position Pos.
  void AddPerSTAProfileNodes(TIETree& tree, TIETreeLine sub, int32_t pos, int32_t n) const;
};

}  // namespace skimlet
