#include "core/model/radio/phy_type.h"

#include <string_view>

#include "core/base/translate.h"

namespace skimlet {

namespace {

struct PhyTypeKey {
  std::string_view Key;
  std::string_view English;  // shown while no language gives the key
};

constexpr PhyTypeKey kPhyTypes[] = {
    {"sdot11_phy_type_any", "Any"},        {"sdot11_phy_type_fhss", "FHSS"},     {"sdot11_phy_type_dsss", "DSSS"},
    {"sdot11_phy_type_irbaseband", "IR baseband"}, {"sdot11_phy_type_ofdm", "OFDM"}, {"sdot11_phy_type_hrdsss", "HR-DSSS"},
    {"sdot11_phy_type_erp", "ERP"},        {"sdot11_phy_type_ht", "HT"},         {"sdot11_phy_type_vht", "VHT"},
    {"sdot11_phy_type_dmg", "DMG"},        {"sdot11_phy_type_he", "HE"},
};
constexpr PhyTypeKey kUnknown = {"sUnknownPHYtype", "Unknown PHY type"};

}  // namespace

std::string PhyTypeName(uint32_t phyType) {
  const PhyTypeKey& k = phyType < std::size(kPhyTypes) ? kPhyTypes[phyType] : kUnknown;
  return Translate(k.Key, k.English);
}

}  // namespace skimlet
