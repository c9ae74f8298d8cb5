// Arbitrary bytes as one captured packet: the first byte picks the link type (802.11, radiotap, Prism, PPI)
// and whether the packet was captured whole; the rest is the packet. A beacon or probe response found in it
// becomes a network, decoded, derived and written into a snapshot record that must read back the same; the
// security of an association with it is read from its elements. A first byte of FF makes the rest a pcapng
// file, read block by block.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "core/beacon/beacon_reader.h"
#include "core/capture/capture.h"
#include "core/capture/frame.h"
#include "core/model/network.h"
#include "core/model/snapshot_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skimlet;
  if (size < 1) return 0;
  if (data[0] == 0xFF) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    TCaptureCollector collector;
    const std::string stop = ReadPcapngBlocks(in, collector);
    const TCaptureStats& s = collector.Stats();
    if (s.Beacons + s.ProbeResponses + s.Other + s.BadFCS + s.Malformed != s.Frames) std::abort();
    if (collector.Take().Records.size() > s.Frames) std::abort();
    return 0;
  }
  static constexpr uint32_t kLinks[] = {kLinkIEEE80211, kLinkRadiotap, kLinkPrism, kLinkPPI};
  const uint32_t link = kLinks[data[0] & 3];
  const bool whole = (data[0] & 4) == 0;
  std::span<const uint8_t> packet(data + 1, size - 1);
  TCapturedFrame f = ParseCaptureFrame(link, packet, whole);
  if (f.Kind == TFrameKind::Malformed && f.Problem.empty()) std::abort();
  if (f.Kind != TFrameKind::Beacon && f.Kind != TFrameKind::ProbeResponse) return 0;
  // The blob lies inside the packet and the entry describes it.
  if (f.Blob.data() < packet.data() || f.Blob.data() + f.Blob.size() > packet.data() + packet.size()) std::abort();
  if (f.Entry.ulIeSize != f.Blob.size() || f.Entry.dot11Ssid.uSSIDLength > 32 ||
      f.Entry.wlanRateSet.uRateSetLength > 252 || f.Entry.uLinkQuality > 100)
    std::abort();
  // The security of an association with the BSS, from its RSN or WPA element.
  TBeaconSecurity security = BeaconSecurity(f.Blob, f.Entry.usCapabilityInformation);
  if (security.Auth < kAuthOpen || security.Auth > kAuthOWE) std::abort();
  TWLANNetwork network;
  network.UpdateFromEntry(f.Entry, f.Blob);
  for (int c = 0; c < NetworkColumnCount; ++c) network.GetColumnText(c);
  SnapshotRecordRef ref{&f.Entry, f.Blob, 1.0, 2.0};
  SnapshotContents again = ParseSnapshot(EncodeSnapshot(3.0, std::span(&ref, 1)));
  if (again.Records.size() != 1 || again.Records[0].Entry != f.Entry ||
      !std::equal(f.Blob.begin(), f.Blob.end(), again.Records[0].Blob.begin(), again.Records[0].Blob.end()))
    std::abort();
  return 0;
}
