// Interworking (ID 107): the kind of access network, its venue and its homogeneous ESS identifier.
#pragma once

#include <string>

#include "core/ie/element.h"

namespace skimlet {

class TInterworkingElement : public TInformationElement {
 public:
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

// The venue type name of a venue group and type: "Reserved" for a type the group does not list, "Unknown"
// for a group above 11.
std::string_view VenueTypeName(uint8_t group, uint8_t type);

}  // namespace skimlet
