// The sample beacon followed by the elements of a Wi-Fi 7 access point: Mobility Domain, HE operation with
// 6 GHz information, EHT capabilities and operation (320 MHz), Basic Multi-Link and a Reduced Neighbor Report
// naming two links.
#pragma once

#include <vector>

#include "core/ie/builder.h"
#include "core/ie/encode.h"
#include "support/sample_beacon.h"

namespace skimlet::test {

inline std::vector<uint8_t> Wifi7BeaconBlob() {
  ElementBuilder b;
  b.Add(kEidMobilityDomain, EncodeMobilityDomainBody({0x1234, true, false}));
  HEOperationValues he;
  he.SixGHzOperationInfo = HE6GHzOperationInfo{37, 3, false, 1, 39, 47, 6};
  b.AddExtension(kExtHEOperation, EncodeHEOperationBody(he));
  EHTCapabilitiesValues caps;
  caps.Map160 = std::array<uint8_t, 3>{EHTNSSByte(2), EHTNSSByte(2), EHTNSSByte(2)};
  caps.Map320 = std::array<uint8_t, 3>{EHTNSSByte(2), EHTNSSByte(2), EHTNSSByte(2)};
  b.AddExtension(kExtEHTCapabilities, EncodeEHTCapabilitiesBody(caps));
  EHTOperationValues op;
  op.OperationInfo = EHTOperationInfo{4, 47, 31, std::nullopt};
  b.AddExtension(kExtEHTOperation, EncodeEHTOperationBody(op));
  BasicMultiLinkValues ml;
  ml.MLDMACAddress = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE};
  ml.LinkID = 2;
  ml.BSSParametersChangeCount = 1;
  ml.MLDCapabilities = 0x0002;
  b.AddExtension(kExtMultiLink, EncodeBasicMultiLinkBody(ml));
  RNRTBTTInfo a, c;
  a.BSSID = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEF};
  c.BSSID = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xF0};
  b.Add(kEidReducedNeighborReport, EncodeReducedNeighborReportBody({RNRNeighborAPInfo{false, 16, 131, 37, {a}},
                                                                    RNRNeighborAPInfo{false, 16, 128, 36, {c}}}));
  std::vector<uint8_t> blob = SampleBeaconBlob();
  blob.insert(blob.end(), b.Blob().begin(), b.Blob().end());
  return blob;
}

}  // namespace skimlet::test
