// One beacon, three ways in: the same real beacons and probe responses (copied from published captures) fed
// through the kernel's scan results (nl80211 attributes), a capture (ParseCaptureFrame) and the simulated
// radio (a scene access point carrying the frame's element blob) give the same BSS entry, field by field.
//
// Fields a path cannot know are left out of the comparison: the simulated access point's timer (ullTimestamp:
// the simulated radio counts its own), whether the channel is in the regulatory domain (bInRegDomain: a
// capture does not say), and the host's reception time and the receiving PHY's index, which belong to the
// receiver, not to the beacon (ullHostTimestamp, uPhyId: 0 here on every path).
#include <gtest/gtest.h>

#include <linux/nl80211.h>

#include <cstdio>
#include <optional>
#include <string>

#include "backends/linux/nl80211_parse.h"
#include "backends/sim/scene.h"
#include "core/base/hex.h"
#include "core/base/text.h"
#include "core/beacon/beacon_reader.h"
#include "core/capture/frame.h"
#include "core/radio/values.h"
#include "support/netlink_message.h"

namespace skimlet {
namespace {

using Packet = std::vector<uint8_t>;
using test::netlink::Attr;
using test::netlink::Cat;
using test::netlink::Message;
using test::netlink::U16;
using test::netlink::U32;
using test::netlink::U64;

struct TSample {
  const char* Name;
  uint32_t LinkType;
  uint32_t MHz;                      // the frequency the receiver was on
  bool FCS;                          // the radiotap header says the frame ends with its FCS
  std::optional<int32_t> SignalDbm;  // as the capture's header gives it
  uint32_t Phy, Auth;                // what the beacon announces: PHY type, key management
  const char* Hex;                   // the whole packet: radio header and frame
};

// Each sample is the last beacon or probe response of one BSS in its capture.
const TSample kSamples[] = {
    {"LegacyWpaPrism", kLinkPrism, 2442, false, std::nullopt, kPhyERP, kAuthWPAPSK,  // aircrack-wpa.cap frame 1
     "4400000090000000617468300000000000000000000000004400010000000400d5366400440002000000040088e1967944000300"
     "00000400070000004400040000000400000000000000000000000000000000004400060000000400390000000000000000000000"
     "0000000044000800000004000200000044000900000004000000000044000a00000004007600000080000000ffffffffffff000d"
     "93ebb08c000d93ebb08c500f8be1f6000000000064001100000474657374010482848b960301070504020300002a01072f010732"
     "080c1218243048606cdd0700039301030000dd06001018010000dd160050f20101000050f20201000050f20201000050f2023689"
     "0d86"},
    {"HtPlainGbkSsid", kLinkIEEE80211, 2437, false, std::nullopt, kPhyHT,
     kAuthOpen,  // aircrack-Chinese-SSID-Name.pcap frame 1
     "80000000ffffffffffff0024018dc0840024018dc08420a149b1bd0f00000000640031040004b2e2cad4010882848b960c121824"
     "03010632043048606c3308200102030405060733082105060708090a0b0504000300002a01002d1aee1117ff0000000100000000"
     "00000000000000000c00000000003d16060700000000000000000000000000000000000000007f0101dd180050f2020101000003"
     "a4000027a4000042435e0062322f000b05000010127add1e00904c33ee1117ff000000010000000000000000000000000c000000"
     "0000dd1a00904c3406070000000000000000000000000000000000000000dd07000c4307000000"},
    {"Vht5GHz", kLinkRadiotap, 5745, true, -70, kPhyVHT, kAuthRSNAPSK,  // bob-ehn1225-sample.pcap frame 1
     "00002000ae4000a0200800a020080000100c71164001ba0030000000ba00b40180000000ffffffffffff883c1c4115bd883c1c41"
     "15bd30ec44907e450100000064001100000f4b545f476947415f35475f3135424101088c129824b048606c030195050401030000"
     "07104b522024041434041464071e95041e0020010023023f00c304021e1e1edd1a0050f20101000050f20202000050f2040050f2"
     "0201000050f20230180100000fac020200000fac04000fac020100000fac020c00dd1d0050f204104a0001101044000102103c00"
     "01031049000600372a0001200b05010000127add1d0017c31100010164010000032400000019000000000a000000000000012d1a"
     "af0117ffff0000000000000000000000000000000c18048709003d1695050400000000000000000000000000000000000000bf0c"
     "b179c133faff0c03faff0c03c005019b00faff7f080000000000000040dd180050f2020101800003a4000027a4000042435e0061"
     "322f00dd07000c4307000000dd21000ce700000000bf0cb101c0332aff92042aff9204c0050000002affc303010202912efddd"},
    {"VhtElementsOn24GHz", kLinkRadiotap, 2427, true, -60, kPhyHT, kAuthRSNAPSK,  // bob-ehn1225-sample.pcap frame 9
     "00002000ae4000a0200800a02008000010027b09a000c40036000000b200b20180000000ffffffffffff883c1c4115be883c1c41"
     "15bee0008e6180460100000064001104000f4b545f476947415f32475f31354241010882848b961224486c030102050400030000"
     "07064b5220010d143308200102030405060733082105060708090a0b2a010432040c183060dd1a0050f20101000050f202020000"
     "50f2040050f20201000050f20230180100000fac020200000fac04000fac020100000fac020c00dd1d0050f204104a0001101044"
     "000102103c0001031049000600372a0001200b05000000127add1d0017c311000000640100000326000000190000000000000000"
     "000001012d1aad0117ffff0000000000000000000000000000000c00000000003d16020000000000000000000000000000000000"
     "00000000bf0c3100c033faff0c03faff0c03c005000000faffdd180050f2020101800003a4000027a4000042435e0061322f00dd"
     "07000c430f000000dd21000ce708000000bf0cb101c0332aff92042aff9204c0050000002affc303010202b753c648"},
    {"He24GHz", kLinkRadiotap, 2412, false, -67, kPhyHE, kAuthRSNAPSK,  // heigvd-swi23-labo1-ex_1_2.pcapng frame 2087
     "000012002e48000000026c09a000bd01000080000000ffffffffffffb0f208bbd254b0f208bbd254a01310c062bdc30100006400"
     "31140006636974653131010882848b968c9298a40301010504000200000706434820010d142a01003204b0c8e0ec30140100000f"
     "ac040100000fac040100000fac020c000b0502003c00004605730a0000003b0251002d1aee1803ffff0000010000000000000001"
     "000000000000000000003d16010804000000000000000000000000000000010000004a0e14000a002c01c8001400050019007f0a"
     "01000800000000400040bf0c9238a913faff0000faff0000c005000000fcffff1d23050080124010023002806f49840c000000fa"
     "fffaff791cc7711cc7f1ff0824f4810139fcff04ff0e262003ff0d27ff0d42ff0d62ff0dff022700dd1a00904c0408bf0c9238a9"
     "13faff0000faff0000c005000000fcffdd180050f2020101800003a4000027a4000042435e0062322f00dd1d0050f204104a0001"
     "101044000102103c0001031049000600372a000120dd0c00040e010102010000000000"},
    {"NoRates", kLinkRadiotap, 2442, false, std::nullopt, kPhyAny,
     kAuthRSNAPSK,  // heigvd-swi23-labo1-ex_1_2.pcapng frame 2082
     "00000d0004800200020000000080000000ffffffffffff506f0cec2fb9506f0cec2fb90000000000000000000064001100001553"
     "756e726973655f322e3447487a5f454332464230030107301c0100000fc2ac020200000fc2ac04000fc2ac020100000fc2ac0200"
     "00"},
    {"Sae", kLinkRadiotap, 2412, false, std::nullopt, kPhyERP, kAuthWPA3SAE,  // aircrack-ng_wpa3-psk.pcap frame 1
     "000016000f0000007c50b182ae86050000026c09a00080000000ffffffffffff02000000000002000000000000003a51b182ae86"
     "050064001104000c575041332d4e6574776f726b010882848b960c1218240301010504000200002a010432043048606c30140100"
     "000fac040100000fac040100000fac08c0003b0251007f080400000000000040"},
    {"PskSaeTransition", kLinkRadiotap, 2412, false, -47, kPhyHRDSSS,
     kAuthWPA3SAE,  // vanhoefm_wpa3_transition_wpa3client_24ghz.pcapng frame 109
     "000012002e48000000026c09a000d101000080000000ffffffffffff00a0573b411800a0573b4118d07580217789750000006400"
     "11100012575041332d41502d5472616e736974696f6e010482840b16030101050c000100000000000000000000200100851e3800"
     "4c00000000000000000000000000000000000000000000000000000030180100000fac040100000fac040200000fac02000fac08"
     "8000460502000000007f03000008dd1600a0570401004f48073903493dfaaaa6bfdb6a6448ec800600601d004100"},
    {"FtSaeProbeResponse", kLinkRadiotap, 2412, false, std::nullopt, kPhyERP,
     kAuthWPA3SAE,  // vanhoefm_wpa3-with-ft-support.pcapng frame 22
     "000016000f0000002b615a562295050000026c09a00050003a01d2c6b4ab5888e220aecb0304e220aecb0304f001eb615a562295"
     "050064001104000c575041332d4e6574776f726b010882848b960c1218240301012a010432043048606c30140100000fac040100"
     "000fac040100000fac09cc003b0251007f080400400000000040dd180050f2020101010003a4000027a4000042435e0062322f00"},
    {"HiddenEmpty", kLinkRadiotap, 2427, false, -55, kPhyERP, kAuthWPAPSK,  // bob-80211-sample1.pcap frame 384
     "000018002e4000a02008000000027b09a000c9000000c90080000000ffffffffffff000788e69977000788e69977a0c7fef04ebc"
     "f1080000640031040000010482848b9603010532080c1218243048606c07064b5220010d14330820010203040506073308210506"
     "0708090a0b0504010300002a0100dd160050f20101000050f20201000050f20201000050f202dd180050f2020101034003a40000"
     "27a4000042435e0062322f000b05000027127add07000c4307000000"},
    {"HiddenZeros", kLinkRadiotap, 2467, false, -73, kPhyERP, kAuthWPAPSK,  // bob-80211-sample1.pcap frame 301
     "000018002e4000a0200800000002a309a000b7000000b70080000000ffffffffffff64eeb70ded8764eeb70ded87e00c7eb12195"
     "2a0f000064001104000a00000000000000000000010882848b960c12182403010b0504020300002a010432043048606cdd160050"
     "f20101000050f20201000050f20201000050f202dd180050f2020101000003a4000027a4000042435e0062322f007f0500000004"
     "81dd0600e04c020160dd0d3336305f524f555445525f5031"},
    {"EapFt", kLinkRadiotap, 2467, false, -100, kPhyHT, kAuthRSNA,  // ssid-logger-beacons.pcap frame 12
     "00001a002f480000866da31e000000000002a309a0009c00000080000000ffffffffffff22180a6f5aea22180a6f5aea50d0ae1b"
     "6fe8a319000064003114000844454d4f57494649010882848b960c12182403010b0504000100000706465220010d142a0100301c"
     "0100000fac020200000fac04000fac020200000fac01000fac03000032043048606c0b0500002e000033050c01060b0d460573c0"
     "01000036035768002d1aad1103ffff0000000000000000000080000000000000000000003d160b08040000000000000000000000"
     "00000000000000007f0804000f0000000000dd1a0050f20101000050f20202000050f2040050f20201000050f201dd180050f202"
     "0101800003a4000027a4000042435e0062322f00dd0900037f01010000ff7fdd0d00180a070000000001000cc43edd0500409603"
     "05dd050040961400dd050040960b20"},
    {"Open", kLinkRadiotap, 2452, false, -104, kPhyHT, kAuthOpen,  // ssid-logger-beacons.pcap frame 1
     "00001a002f480000ae803e010000000000029409a0009800000080000000ffffffffffffe49e1289853be49e1289853b70695f01"
     "3e01b60400006000010400084672656557696669010882848b962c0c12180301090504000200002a01043205243048606c2d1aec"
     "0003ffffff00010000000000000001000000000000000000003d16090004000000000000000000000000000000000000007f0800"
     "00000000000040dd180050f2020101000003a4000027a4000042435e0062322f00dd0c0007cb010202000000000000"},
    {"Vht5GHzPlainProbeResponse", kLinkIEEE80211, 5320, false, std::nullopt, kPhyVHT,
     kAuthRSNAPSK,  // aircrack-n-02.cap frame 201
     "50003c0064bc0c5013a9b0b98a568deab0b98a568deac004ff4b460b000000006400110100054e6568656201088c129824b04860"
     "6c030140070c555320240817640c1795051e20010330140100000fac040100000fac040100000fac06cc003b0280002d1aef091b"
     "ffffffff000000000000000001000000000000000000003d16400704000000000000000000000000000000000000007f08040000"
     "0000000040bf0cfa198833aaff0000aaff0000c005013a00fcffc30402282828dd180050f2020101800003a4000027a400004243"
     "5e0062322f00"},
};

Packet PacketOf(const TSample& s) {
  std::string error;
  auto bytes = ParseHexBytes(s.Hex, &error);
  EXPECT_TRUE(bytes) << error;
  return bytes.value_or(Packet{});
}

uint16_t LE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t LE32(const uint8_t* p) { return LE16(p) | uint32_t{LE16(p + 2)} << 16; }

// The frame's parts as the kernel keeps them, cut from the packet by the header lengths alone.
struct TFrameParts {
  Packet Bssid, Blob;
  uint64_t Tsf = 0;
  uint16_t Interval = 0, Capability = 0;
};
TFrameParts Split(const TSample& s, const Packet& packet) {
  size_t header = s.LinkType == kLinkRadiotap ? LE16(packet.data() + 2)
                  : s.LinkType == kLinkPrism  ? LE32(packet.data() + 4)
                                              : 0;
  const uint8_t* f = packet.data() + header;
  const size_t size = packet.size() - header - (s.FCS ? 4 : 0);
  TFrameParts p;
  p.Bssid.assign(f + 16, f + 22);
  p.Tsf = LE32(f + 24) | uint64_t{LE32(f + 28)} << 32;
  p.Interval = LE16(f + 32);
  p.Capability = LE16(f + 34);
  p.Blob.assign(f + 36, f + size);
  return p;
}

std::optional<WLAN_BSS_ENTRY> ThroughCapture(const TSample& s, const Packet& packet) {
  TCapturedFrame f = ParseCaptureFrame(s.LinkType, packet);
  if (f.Kind != TFrameKind::Beacon && f.Kind != TFrameKind::ProbeResponse) return std::nullopt;
  return f.Entry;
}

std::optional<WLAN_BSS_ENTRY> ThroughKernel(const TSample& s, const TFrameParts& p) {
  Packet bss = Cat({Attr(NL80211_BSS_BSSID, p.Bssid), U32(NL80211_BSS_FREQUENCY, s.MHz), U64(NL80211_BSS_TSF, p.Tsf),
                    U16(NL80211_BSS_BEACON_INTERVAL, p.Interval), U16(NL80211_BSS_CAPABILITY, p.Capability),
                    Attr(NL80211_BSS_INFORMATION_ELEMENTS, p.Blob)});
  if (s.SignalDbm) bss = Cat({bss, U32(NL80211_BSS_SIGNAL_MBM, static_cast<uint32_t>(*s.SignalDbm * 100))});
  auto r =
      linuxwifi::ParseBss(Message(NL80211_CMD_NEW_SCAN_RESULTS, Attr(NL80211_ATTR_BSS | NLA_F_NESTED, bss)), {}, 0);
  if (!r) return std::nullopt;
  EXPECT_EQ(r->Item.Blob, p.Blob);
  return r->Item.Entry;
}

std::optional<WLAN_BSS_ENTRY> ThroughSimulatedRadio(const TSample& s, const TFrameParts& p) {
  char capability[8];
  std::snprintf(capability, sizeof capability, "%04X", p.Capability);
  std::string scene = "[ap]\nbssid = " + BytesToHex(p.Bssid, ":") +
                      "\nchannel = " + std::to_string(FrequencyToChannel(s.MHz * 1000)) +
                      "\nbeacon = " + std::to_string(p.Interval) + "\ncapability = " + capability +
                      "\nelements = " + BytesToHex(p.Blob, " ") + "\n";
  sim::SceneResult r = sim::ParseScene(scene, "sample.scene");
  if (!r.Value) {
    ADD_FAILURE() << r.Error;
    return std::nullopt;
  }
  sim::Beacon b = sim::BuildBeacon(r.Value->AccessPoints.at(0), s.SignalDbm.value_or(kUnknownRssi), 0);
  EXPECT_EQ(b.Blob, p.Blob);
  return b.Entry;
}

// Field by field, so that a difference names its field; the fields a path cannot know are not compared.
void ExpectSameEntry(const WLAN_BSS_ENTRY& a, const WLAN_BSS_ENTRY& b, bool sameTimer) {
  EXPECT_EQ(a.dot11Ssid, b.dot11Ssid);
  EXPECT_EQ(a.uPhyId, b.uPhyId);
  EXPECT_EQ(a.dot11Bssid, b.dot11Bssid);
  EXPECT_EQ(a.dot11BssType, b.dot11BssType);
  EXPECT_EQ(a.dot11BssPhyType, b.dot11BssPhyType);
  EXPECT_EQ(a.lRssi, b.lRssi);
  EXPECT_EQ(a.uLinkQuality, b.uLinkQuality);
  EXPECT_EQ(a.usBeaconPeriod, b.usBeaconPeriod);
  if (sameTimer) { EXPECT_EQ(a.ullTimestamp, b.ullTimestamp); }
  EXPECT_EQ(a.ullHostTimestamp, b.ullHostTimestamp);
  EXPECT_EQ(a.usCapabilityInformation, b.usCapabilityInformation);
  EXPECT_EQ(a.ulChCenterFrequency, b.ulChCenterFrequency);
  EXPECT_EQ(a.wlanRateSet, b.wlanRateSet);
  EXPECT_EQ(a.ulIeOffset, b.ulIeOffset);
  EXPECT_EQ(a.ulIeSize, b.ulIeSize);
}

void ExpectSameOnEveryPath(const TSample& s, const Packet& packet) {
  TFrameParts parts = Split(s, packet);
  auto capture = ThroughCapture(s, packet);
  auto kernel = ThroughKernel(s, parts);
  auto sim = ThroughSimulatedRadio(s, parts);
  ASSERT_TRUE(capture && kernel && sim);
  {
    SCOPED_TRACE("kernel against capture");
    ExpectSameEntry(*kernel, *capture, true);
  }
  {
    SCOPED_TRACE("simulated radio against capture");
    ExpectSameEntry(*sim, *capture, false);
  }
  EXPECT_EQ(kernel->bInRegDomain, 1);
  EXPECT_EQ(sim->bInRegDomain, 1);
}

TEST(BeaconPaths, RealBeaconsGiveOneEntryOnEveryPath) {
  for (const TSample& s : kSamples) {
    SCOPED_TRACE(s.Name);
    Packet packet = PacketOf(s);
    ExpectSameOnEveryPath(s, packet);
    // What the beacon itself announces, read once for all paths.
    TFrameParts parts = Split(s, packet);
    WLAN_BSS_ENTRY e = *ThroughCapture(s, packet);
    EXPECT_EQ(e.dot11BssPhyType, s.Phy);
    EXPECT_EQ(e.ulChCenterFrequency, s.MHz * 1000);  // from the DSSS or HT channel when the header has none
    EXPECT_EQ(BeaconSecurity(parts.Blob, parts.Capability).Auth, s.Auth);
  }
}

TEST(BeaconPaths, HiddenSsidsAndBssTypesAgree) {
  // The hidden SSIDs: an empty element, and ten zero bytes that stay ten bytes.
  for (const TSample& s : kSamples) {
    std::string name = s.Name;
    if (name == "HiddenEmpty" || name == "HiddenZeros") {
      EXPECT_EQ(ThroughCapture(s, PacketOf(s))->dot11Ssid.uSSIDLength, name == "HiddenEmpty" ? 0u : 10u);
    }
  }
  // No capture here holds an IBSS or mesh beacon: one real beacon with its ESS bit changed stands in, an
  // independent BSS (IBSS bit) and a mesh BSS (neither bit).
  const TSample& s = kSamples[0];
  for (auto [bits, type] : {std::pair{0x0002, 2u}, {0x0000, 3u}, {0x0003, 1u}}) {
    SCOPED_TRACE(bits);
    Packet packet = PacketOf(s);
    const size_t capabilityAt = LE32(packet.data() + 4) + 34;  // behind the Prism header
    packet[capabilityAt] = static_cast<uint8_t>((packet[capabilityAt] & ~0x03) | bits);
    ExpectSameOnEveryPath(s, packet);
    EXPECT_EQ(ThroughCapture(s, packet)->dot11BssType, type);
  }
}

}  // namespace
}  // namespace skimlet
