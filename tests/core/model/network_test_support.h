// Building network records for tests: element blobs of the common elements, a record derived from a blob the
// way a refresh derives it, and the unit texts of the English language file.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/base/translate.h"
#include "core/ie/builder.h"
#include "core/model/network.h"

namespace skimlet::testing {

// Installs the few English texts the network texts use ("GHz", "MHz", ...) for the lifetime of the object.
class EnglishUnits : public TextSource {
 public:
  EnglishUnits() { SetTextSource(this); }
  ~EnglishUnits() override { SetTextSource(nullptr); }
  std::optional<std::string> Lookup(std::string_view key) const override;
};

// Element bodies.
std::vector<uint8_t> HTCapabilities(bool width40, bool shortGI20, bool shortGI40, uint32_t rxMCSBitmask);
// Primary channel, secondary offset (1 above, 3 below, 0 none) and whether any width beyond 20 MHz is allowed.
std::vector<uint8_t> HTOperation(uint8_t primary, uint8_t secondaryOffset, bool anyWidth = true);
std::vector<uint8_t> VHTCapabilities(bool shortGI80, bool shortGI160, uint16_t rxMap, uint16_t txMap);
// The channel width set of the HE capabilities.
inline constexpr uint8_t kHE40In24G = 0x02, kHE40And80In5G = 0x04, kHE160In5G = 0x08, kHE8080In5G = 0x10;
// HE capabilities with a width set and the same map for receive and transmit at each width it announces.
std::vector<uint8_t> HECapabilities(uint8_t widthSet, uint16_t map80, uint16_t map160 = 0xFFFF,
                                    uint16_t map8080 = 0xFFFF);
// HE operation with the VHT operation information.
std::vector<uint8_t> HEOperation(uint8_t width, uint8_t seg0, uint8_t seg1);
// RSN or WPA suites: the cipher and AKM types under the element's own OUI.
std::vector<uint8_t> SecuritySuites(uint32_t oui, uint8_t group, std::vector<uint8_t> pairwise,
                                    std::vector<uint8_t> akms);
inline std::vector<uint8_t> RSN(uint8_t group, std::vector<uint8_t> pairwise, std::vector<uint8_t> akms) {
  return SecuritySuites(0x000FAC, group, std::move(pairwise), std::move(akms));
}
inline std::vector<uint8_t> WPA(uint8_t group, std::vector<uint8_t> pairwise, std::vector<uint8_t> akms) {
  return SecuritySuites(0x0050F2, group, std::move(pairwise), std::move(akms));
}
// WPS attributes: state (0: none), locked, version byte (0: none), Version2 byte (0: none), device name.
std::vector<uint8_t> WPSAttributes(uint8_t state, bool locked, uint8_t version, uint8_t version2,
                                   const std::string& deviceName = {}, const std::string& manufacturer = {});

struct NetworkSetup {
  uint32_t CenterFrequency = 5180000;  // kHz
  bool Privacy = true;
  bool Active = true;
  int32_t RSSI = -60;
};

// A record heard at Setup's frequency with the elements of Blob, derived in refresh order.
std::unique_ptr<TWLANNetwork> MakeNetwork(const ElementBuilder& blob, const NetworkSetup& setup = {});
// Runs the derivation steps again, in refresh order (the security suites are taken from the elements).
void Derive(TWLANNetwork& n);

}  // namespace skimlet::testing
