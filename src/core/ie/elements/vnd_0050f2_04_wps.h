// WPS element (vendor 00-50-F2, subtype 4): Wi-Fi Protected Setup attributes of an access point.
//
// After OUI and subtype the body is a sequence of attributes, each a 16-bit type and a 16-bit length, both
// big-endian, and that many value bytes. The walk ends at the first attribute whose header or value does not
// fit in the body; the attributes before it stay decoded and shown.
#pragma once

#include <string>

#include "core/ie/vendor.h"

namespace skimlet {

class TWPSElement : public TVendorSpecificInformationElement {
 public:
  bool APSetupLocked = false;  // attribute 0x1057 with a non-zero value
  uint8_t WPSState = 0;        // 0x1044: 1 not configured, 2 configured
  std::string DeviceName;      // 0x1011, UTF-8 (one character per byte when the bytes are no UTF-8)
  std::string ModelNumber;     // 0x1024, one character per byte
  uint8_t Version = 0;         // 0x104A, high nibble major, low nibble minor
  std::string Manufacturer;    // 0x1021, one character per byte
  std::string ModelName;       // 0x1023, one character per byte
  uint8_t Version2 = 0;        // Version2 in the Wi-Fi Alliance vendor extension (0x1049)

  // Version as "major.minor": 0x10 gives "1.0".
  std::string GetVersionText() const;
  // Version2 the same way; empty when there is none.
  std::string GetVersion2Text() const;

  bool Parse() override;
  void AddDetailNodes(TIETree& tree, TIETreeLine element) const override;
};

}  // namespace skimlet
