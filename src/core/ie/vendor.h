// TVendorSpecificInformationElement: element ID 221 with at least four body bytes, keyed by the vendor's
// OUI and subtype; the base of every vendor element class.
//
// It names the vendor on the element line and shows the OUI and subtype as header lines; a vendor element
// without a class of its own shows the rest of its body as data and text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/ie/element.h"

namespace skimlet {

// The organisation that owns a 24-bit OUI, from the MAC-vendor database; empty when it has no entry. A lookup
// that cannot reach its database throws. The element layer lies below the database, so the application
// installs the lookup; until then every OUI has no organisation.
using OUIVendorLookup = std::function<std::string(uint32_t oui)>;
// Installs Lookup (an empty function removes it). Call it from the window thread, not while trees are filled.
void SetOUIVendorLookup(OUIVendorLookup lookup);
// The organisation of OUI through the installed lookup; empty without one. Failures of the lookup pass on.
std::string OUIVendorName(uint32_t oui);

class TVendorSpecificInformationElement : public TInformationElement {
 public:
  uint32_t OUI = 0;     // body bytes 0-2, most significant first: 00 50 F2 is 0x0050F2
  uint8_t Subtype = 0;  // body byte 3

  const TVendorSpecificInformationElement* AsVendor() const override { return this; }

  // "00-50-F2".
  std::string GetOUIText() const { return OUIToText(OUI); }
  // The organisation of the OUI from the MAC-vendor database (empty when it has none); throws when the
  // database fails.
  virtual std::string GetOUIVendorName() const;
  // The short vendor name of the OUI, else its organisation, else "Unknown".
  virtual std::string GetVendorName() const;
  // The name of the OUI/subtype pair ("WPS"), empty when it has none.
  virtual std::string GetSubtypeName() const;

  // "Vendor Specific: <vendor>: <subtype name or number>".
  TIETreeLine AddElementNode(TIETree& tree, TIETreeLine parent) const override;
  // The "Organization Identifier" and "Subtype" lines.
  void AddHeaderNodes(TIETree& tree, TIETreeLine element) const override;
  // Data and text of the bytes after the subtype.
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet
