// PHY type codes (the wireless service's numbering) and their long names.
#pragma once

#include <cstdint>
#include <string>

namespace skimlet {

// The language text of a PHY type code ("sdot11_phy_type_ht" ...), "sUnknownPHYtype" for codes above 10.
std::string PhyTypeName(uint32_t phyType);

}  // namespace skimlet
