// Captured frames into BSS entries, capture files into network lists, and what bad input does.
#include "core/capture/capture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "core/capture/survey_file.h"
#include "core/ie/builder.h"
#include "core/settings/options.h"
#include "support/capture_writer.h"

namespace skimlet {
namespace {

namespace fs = std::filesystem;
using test::Concat;
using test::ManagementFrame;
using test::RadiotapHeader;

const std::array<uint8_t, 6> kA = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
const std::array<uint8_t, 6> kB = {0x02, 0x00, 0x00, 0x00, 0x00, 0x0B};

std::vector<uint8_t> Blob(const std::string& ssid, uint8_t channel) {
  return ElementBuilder()
      .AddText(0, ssid)
      .Add(1, {0x82, 0x84, 0x0B, 0x16, 0x0C})
      .Add(3, {channel})
      .Add(50, {0x30, 0x48, 0x60, 0x6C})
      .Blob();
}

TEST(CaptureFrame, RadiotapBeaconBecomesAnEntryAsTheServiceWouldReportIt) {
  std::vector<uint8_t> blob = Blob("Lab", 6);
  std::vector<uint8_t> fcs = {0xDE, 0xAD, 0xBE, 0xEF};
  std::vector<uint8_t> packet = Concat(Concat(RadiotapHeader(2437, -62, 0x10), ManagementFrame(kA, blob)), fcs);
  TCapturedFrame f = ParseCaptureFrame(kLinkRadiotap, packet);
  ASSERT_EQ(f.Kind, TFrameKind::Beacon) << f.Problem;
  const WLAN_BSS_ENTRY& e = f.Entry;
  EXPECT_EQ(std::vector<uint8_t>(f.Blob.begin(), f.Blob.end()), blob);  // without the FCS
  EXPECT_EQ(e.ulIeOffset, 360u);
  EXPECT_EQ(e.ulIeSize, blob.size());
  EXPECT_EQ(e.dot11Ssid.uSSIDLength, 3u);
  EXPECT_EQ(std::string(e.dot11Ssid.ucSSID.begin(), e.dot11Ssid.ucSSID.begin() + 3), "Lab");
  EXPECT_EQ(e.dot11Bssid, kA);
  EXPECT_EQ(e.dot11BssType, 1u);
  EXPECT_EQ(e.lRssi, -62);
  EXPECT_EQ(e.uLinkQuality, 76u);
  EXPECT_EQ(e.ulChCenterFrequency, 2437000u);
  EXPECT_EQ(e.usCapabilityInformation, 0x0411);
  EXPECT_EQ(e.usBeaconPeriod, 100);
  EXPECT_EQ(e.ullTimestamp, 0x0102030405060708ull);
  EXPECT_EQ(e.dot11BssPhyType, 6u);  // ERP: OFDM rates on 2.4 GHz
  // Rates in 500 kbit/s with bit 15 for the basic ones, supported and extended rates in order.
  ASSERT_EQ(e.wlanRateSet.uRateSetLength, 18u);
  EXPECT_EQ(e.wlanRateSet.usRateSet[0], 0x8002);
  EXPECT_EQ(e.wlanRateSet.usRateSet[2], 0x000B);
  EXPECT_EQ(e.wlanRateSet.usRateSet[8], 0x006C);

  // The same frame marked as failing its check is skipped.
  packet[8] |= 0x40;
  EXPECT_EQ(ParseCaptureFrame(kLinkRadiotap, packet).Kind, TFrameKind::BadFCS);
}

TEST(CaptureFrame, ValuesFromTheFrameWhenTheHeaderHasNone) {
  // No radio header: the DSSS channel gives the frequency, the HT operation's primary channel when there is
  // no DSSS element; the signal is the stated default with quality 0. IBSS capability: independent.
  std::vector<uint8_t> ht = ElementBuilder().AddText(0, "X").Add(61, {40, 0x07, 0, 0, 0, 0}).Blob();
  TCapturedFrame f = ParseCaptureFrame(kLinkIEEE80211, ManagementFrame(kA, ht, 0x0002, 5));
  ASSERT_EQ(f.Kind, TFrameKind::ProbeResponse);
  EXPECT_EQ(f.Entry.ulChCenterFrequency, 5200000u);
  EXPECT_EQ(f.Entry.lRssi, kCaptureDefaultRssi);
  EXPECT_EQ(f.Entry.uLinkQuality, 0u);
  EXPECT_EQ(f.Entry.dot11BssType, 2u);
  EXPECT_EQ(f.Entry.dot11BssPhyType, 7u);
  f = ParseCaptureFrame(kLinkIEEE80211, ManagementFrame(kA, Blob("Y", 11)));
  EXPECT_EQ(f.Entry.ulChCenterFrequency, 2462000u);

  // An SSID element longer than 32 bytes fills the entry's 32.
  f = ParseCaptureFrame(kLinkIEEE80211, ManagementFrame(kA, ElementBuilder().AddText(0, std::string(40, 'n')).Blob()));
  EXPECT_EQ(f.Entry.dot11Ssid.uSSIDLength, 32u);

  // Other frames are skipped without complaint: a probe request, a data frame.
  std::vector<uint8_t> request = ManagementFrame(kA, {}, 0, 4);
  EXPECT_EQ(ParseCaptureFrame(kLinkIEEE80211, request).Kind, TFrameKind::Other);
  std::vector<uint8_t> data(30, 0);
  data[0] = 0x08;
  EXPECT_EQ(ParseCaptureFrame(kLinkIEEE80211, data).Kind, TFrameKind::Other);
}

TEST(CaptureFrame, PrismAndPPIHeaders) {
  std::vector<uint8_t> frame = ManagementFrame(kB, Blob("P", 1));
  // Prism: 144 bytes, items of DID, status, length, value; channel is the third item, signal the sixth.
  std::vector<uint8_t> prism(144, 0);
  prism[0] = 0x41;
  prism[4] = 144;
  auto item = [&](size_t index, int32_t value, uint16_t status = 0) {
    size_t at = 24 + index * 12;
    prism[at + 4] = static_cast<uint8_t>(status);
    for (int k = 0; k < 4; ++k) prism[at + 8 + k] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * k));
  };
  item(2, 7);
  item(5, -48);
  TCapturedFrame f = ParseCaptureFrame(kLinkPrism, Concat(prism, frame));
  ASSERT_EQ(f.Kind, TFrameKind::Beacon) << f.Problem;
  EXPECT_EQ(f.Entry.ulChCenterFrequency, 2442000u);  // the header's channel wins over the DSSS channel 1
  EXPECT_EQ(f.Entry.lRssi, -48);
  // A driver's own scale is no dBm value: the default stands.
  item(5, 57);
  EXPECT_EQ(ParseCaptureFrame(kLinkPrism, Concat(prism, frame)).Entry.lRssi, kCaptureDefaultRssi);

  // The AVS header some drivers give under the Prism link type: big-endian, channel and a dBm signal.
  std::vector<uint8_t> avs(64, 0);
  auto be32 = [&](size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) avs[at + k] = static_cast<uint8_t>(v >> (24 - 8 * k));
  };
  be32(0, 0x80211001);
  be32(4, 64);
  be32(28, 36);
  be32(44, 2);
  be32(48, static_cast<uint32_t>(-61));
  f = ParseCaptureFrame(kLinkPrism, Concat(avs, frame));
  ASSERT_EQ(f.Kind, TFrameKind::Beacon) << f.Problem;
  EXPECT_EQ(f.Entry.ulChCenterFrequency, 5180000u);
  EXPECT_EQ(f.Entry.lRssi, -61);

  // PPI with an 802.11-common field: frequency, FCS flag, signal.
  std::vector<uint8_t> ppi = {0, 0, 32, 0, 105, 0, 0, 0, 2, 0, 20, 0};
  std::vector<uint8_t> common(20, 0);
  common[8] = 0x01;  // FCS at the end
  common[12] = 0x85;
  common[13] = 0x09;  // 2437 MHz
  common[18] = static_cast<uint8_t>(-70);
  ppi.insert(ppi.end(), common.begin(), common.end());
  f = ParseCaptureFrame(kLinkPPI, Concat(Concat(ppi, frame), {1, 2, 3, 4}));
  ASSERT_EQ(f.Kind, TFrameKind::Beacon) << f.Problem;
  EXPECT_EQ(f.Entry.ulChCenterFrequency, 2437000u);
  EXPECT_EQ(f.Entry.lRssi, -70);
  EXPECT_EQ(f.Blob.size(), Blob("P", 1).size());
}

TEST(CaptureFrame, RadiotapNamespacesAndExtendedBitmaps) {
  // Flags, then a vendor namespace with 3 bytes of its own data, then a second radiotap namespace with the
  // antenna signal: the vendor's bytes are skipped, the signal read after them.
  std::vector<uint8_t> h = {0, 0, 28, 0};
  test::PutLE(h, (1u << 1) | (1u << 30) | (1u << 31), 4);
  test::PutLE(h, (1u << 29) | (1u << 31), 4);
  test::PutLE(h, 1u << 5, 4);
  h.push_back(0x00);                                  // 16: flags
  h.push_back(0);                                     // pad
  h.insert(h.end(), {0x00, 0x11, 0x22, 0x01, 3, 0});  // 18: OUI, sub-namespace, skip length 3
  h.insert(h.end(), {0xAA, 0xBB, 0xCC});              // 24: vendor data
  h.push_back(static_cast<uint8_t>(-55));             // 27: antenna signal
  ASSERT_EQ(h.size(), 28u);
  TCapturedFrame f = ParseCaptureFrame(kLinkRadiotap, Concat(h, ManagementFrame(kA, Blob("V", 1))));
  ASSERT_EQ(f.Kind, TFrameKind::Beacon) << f.Problem;
  EXPECT_EQ(f.Entry.lRssi, -55);

  // Per-antenna namespaces after the first: the first (combined) signal is the network's.
  std::vector<uint8_t> a = {0, 0, 16, 0};
  test::PutLE(a, (1u << 5) | (1u << 29) | (1u << 31), 4);
  test::PutLE(a, (1u << 5) | (1u << 11), 4);
  a.insert(a.end(), {static_cast<uint8_t>(-40), static_cast<uint8_t>(-44), 1, 0});
  f = ParseCaptureFrame(kLinkRadiotap, Concat(a, ManagementFrame(kA, Blob("V", 1))));
  ASSERT_EQ(f.Kind, TFrameKind::Beacon) << f.Problem;
  EXPECT_EQ(f.Entry.lRssi, -40);
}

TEST(CaptureFrame, MalformedFramesAreSkippedWithAReason) {
  std::vector<uint8_t> beacon = ManagementFrame(kA, Blob("M", 1));
  auto radiotap = [&](std::vector<uint8_t> header) { return Concat(header, beacon); };
  std::vector<uint8_t> longHeader = RadiotapHeader(2412, -50);
  longHeader[2] = 0xF0;  // runs past the packet
  std::vector<uint8_t> twoNamespaces = {0, 0, 16, 0};
  test::PutLE(twoNamespaces, (1u << 29) | (1u << 30) | (1u << 31), 4);
  test::PutLE(twoNamespaces, 0, 4);
  twoNamespaces.resize(16, 0);
  std::vector<uint8_t> endlessBitmaps = {0, 0, 12, 0, 0, 0, 0, 0x80, 0, 0, 0, 0x80};
  std::vector<uint8_t> vendorPastHeader = {0, 0, 20, 0};
  test::PutLE(vendorPastHeader, (1u << 30) | (1u << 31), 4);
  test::PutLE(vendorPastHeader, 0, 4);
  vendorPastHeader.insert(vendorPastHeader.end(), {0x00, 0x11, 0x22, 0x01, 0xFF, 0x00, 0, 0});
  std::vector<uint8_t> fieldPastHeader = {0, 0, 9, 0};
  test::PutLE(fieldPastHeader, 1u << 0, 4);  // an 8-byte TSFT in a 9-byte header
  fieldPastHeader.push_back(0);
  std::vector<uint8_t> fcsOnly = Concat(RadiotapHeader(2412, -50, 0x10), {1, 2, 3});
  std::vector<uint8_t> shortBeacon(beacon.begin(), beacon.begin() + 30);

  struct Case {
    const char* name;
    uint32_t link;
    std::vector<uint8_t> packet;
  } cases[] = {
      {"radiotap longer than the packet", kLinkRadiotap, radiotap(longHeader)},
      {"two namespaces at once", kLinkRadiotap, radiotap(twoNamespaces)},
      {"bitmaps without end", kLinkRadiotap, radiotap(endlessBitmaps)},
      {"vendor data past the header", kLinkRadiotap, radiotap(vendorPastHeader)},
      {"field past the header", kLinkRadiotap, radiotap(fieldPastHeader)},
      {"tiny radiotap", kLinkRadiotap, {0, 0, 4}},
      {"FCS but no frame", kLinkRadiotap, fcsOnly},
      {"beacon without its fixed fields", kLinkIEEE80211, shortBeacon},
      {"one byte", kLinkIEEE80211, {0x80}},
      {"Prism longer than the packet", kLinkPrism, Concat({0x41, 0, 0, 0, 0xFF, 0x0F, 0, 0}, beacon)},
      {"PPI of another link type", kLinkPPI, Concat({0, 0, 8, 0, 1, 0, 0, 0}, beacon)},
  };
  for (const Case& c : cases) {
    TCapturedFrame f = ParseCaptureFrame(c.link, c.packet);
    EXPECT_EQ(f.Kind, TFrameKind::Malformed) << c.name;
    EXPECT_FALSE(f.Problem.empty()) << c.name;
  }
}

class CaptureFile : public ::testing::Test {
 protected:
  fs::path Write(const std::string& name, const std::string& bytes) {
    fs::path p = fs::temp_directory_path() / ("skimlet-capture-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(p, std::ios::binary) << bytes;
    files_.push_back(p);
    return p;
  }
  void TearDown() override {
    for (const auto& f : files_) fs::remove(f);
  }
  std::vector<fs::path> files_;
};

// Three beacons of two BSSIDs and a data frame 20 s after the last beacon of A.
test::PcapWriter TwoNetworks() {
  test::PcapWriter w(kLinkRadiotap);
  w.Add(1700000000, 0, Concat(RadiotapHeader(2412, -70), ManagementFrame(kA, Blob("Old", 1))));
  w.Add(1700000005, 0, Concat(RadiotapHeader(2462, -80), ManagementFrame(kB, Blob("Bee", 11))));
  w.Add(1700000010, 500000, Concat(RadiotapHeader(2437, -60), ManagementFrame(kA, Blob("New", 6), 0x0411, 5)));
  std::vector<uint8_t> data(40, 0);
  data[0] = 0x08;
  w.Add(1700000025, 0, Concat(RadiotapHeader(2437, -60), data));
  return w;
}

TEST_F(CaptureFile, LastFrameOfEachBSSIDWinsAndActivityIsJudgedAtTheLastFrame) {
  TCaptureContents c = ReadCaptureFile(Write("two.pcap", TwoNetworks().Text()));
  ASSERT_EQ(c.Status, TCaptureStatus::Ok) << c.Error;
  EXPECT_EQ(c.LinkType, 127u);
  EXPECT_EQ(c.Stats.Frames, 4u);
  EXPECT_EQ(c.Stats.Beacons, 2u);
  EXPECT_EQ(c.Stats.ProbeResponses, 1u);
  EXPECT_EQ(c.Stats.Other, 1u);
  ASSERT_EQ(c.Networks.Records.size(), 2u);
  const SnapshotRecord& a = c.Networks.Records[0];
  EXPECT_EQ(a.Entry.dot11Bssid, kA);
  EXPECT_EQ(a.Blob, Blob("New", 6));
  EXPECT_EQ(a.Entry.lRssi, -60);
  EXPECT_EQ(a.FirstSeen, LocalDateTimeOfUnix(1700000000, 0));
  EXPECT_EQ(a.LastSeen, LocalDateTimeOfUnix(1700000010, 500000));
  EXPECT_EQ(c.Networks.SavedTime, LocalDateTimeOfUnix(1700000025, 0));
  EXPECT_EQ(a.Entry.ullHostTimestamp, 116444736000000000ull + 17000000105000000ull);
  EXPECT_EQ(SecondsBetween(a.FirstSeen, a.LastSeen), 10);

  // Loaded: A was heard 14.5 s before the last frame, B 20 s before.
  TProgramOptions options;
  options.DeltaTimeInactive = 15;
  TWLANNetworkList list(options);
  list.VendorLookup = nullptr;
  TSurveyLoadResult r = LoadCapture(list, c);
  EXPECT_TRUE(r.Ok);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items[0]->SSID, "New");
  EXPECT_EQ(list.Items[0]->Channel, 6u);
  EXPECT_TRUE(list.Items[0]->Active);
  EXPECT_EQ(list.Items[1]->SSID, "Bee");
  EXPECT_FALSE(list.Items[1]->Active);
}

TEST_F(CaptureFile, PcapngReadsLikePcap) {
  test::PcapngWriter w(kLinkRadiotap);
  w.Add(1700000000, 250000, Concat(RadiotapHeader(5180, -45), ManagementFrame(kB, Blob("Five", 36))));
  TCaptureContents c = ReadCaptureFile(Write("one.pcapng", w.Text()));
  ASSERT_EQ(c.Status, TCaptureStatus::Ok) << c.Error;
  ASSERT_EQ(c.Networks.Records.size(), 1u);
  EXPECT_EQ(c.Networks.Records[0].Entry.ulChCenterFrequency, 5180000u);
  EXPECT_EQ(c.Networks.Records[0].LastSeen, LocalDateTimeOfUnix(1700000000, 250000));
}

TEST_F(CaptureFile, CutFilesKeepWhatWasReadAndUnreadableFilesAreErrors) {
  // Cut inside the last packet: the frames before it stay.
  std::string whole = TwoNetworks().Text();
  TCaptureContents cut = ReadCaptureFile(Write("cut.pcap", whole.substr(0, whole.size() - 10)));
  ASSERT_EQ(cut.Status, TCaptureStatus::Ok);
  EXPECT_TRUE(cut.Stats.Truncated);
  EXPECT_FALSE(cut.Stats.TruncationText.empty());
  EXPECT_EQ(cut.Stats.Frames, 3u);
  EXPECT_EQ(cut.Networks.Records.size(), 2u);

  // A packet cut by the snap length: its FCS flag cannot be trusted, the elements read to where it ends.
  test::PcapWriter snap(kLinkRadiotap);
  std::vector<uint8_t> frame = Concat(RadiotapHeader(2412, -50, 0x10), ManagementFrame(kA, Blob("Snap", 1)));
  snap.Add(1700000000, 0, frame, static_cast<uint32_t>(frame.size() + 4));
  TCaptureContents snapped = ReadCaptureFile(Write("snap.pcap", snap.Text()));
  ASSERT_EQ(snapped.Networks.Records.size(), 1u);
  EXPECT_EQ(snapped.Networks.Records[0].Blob, Blob("Snap", 1));

  // A malformed frame among good ones is counted with its reason.
  test::PcapWriter mixed(kLinkRadiotap);
  mixed.Add(1, 0, Concat(RadiotapHeader(2412, -50), ManagementFrame(kA, Blob("Ok", 1))));
  mixed.Add(2, 0, {0, 0, 0xFF, 0x00, 0, 0, 0, 0});
  TCaptureContents m = ReadCaptureFile(Write("mixed.pcap", mixed.Text()));
  EXPECT_EQ(m.Stats.Malformed, 1u);
  EXPECT_EQ(m.Stats.FirstProblem, "frame 2: radiotap header runs past the packet");
  EXPECT_EQ(m.Networks.Records.size(), 1u);

  EXPECT_EQ(ReadCaptureFile("/nonexistent/x.pcap").Status, TCaptureStatus::ReadError);
  TCaptureContents header = ReadCaptureFile(Write("header.pcap", whole.substr(0, 12)));
  EXPECT_EQ(header.Status, TCaptureStatus::ReadError);
  EXPECT_FALSE(header.Error.empty());
  TCaptureContents ethernet = ReadCaptureFile(Write("eth.pcap", test::PcapWriter(1).Text()));
  EXPECT_EQ(ethernet.Status, TCaptureStatus::UnsupportedLink);
  EXPECT_NE(ethernet.Error.find("link type 1"), std::string::npos) << ethernet.Error;
}

TEST_F(CaptureFile, SurveyFilesAreToldApartByContentAndConvertToSnapshots) {
  TProgramOptions options;
  TWLANNetworkList list(options);
  list.VendorLookup = nullptr;
  // A capture named like a snapshot is read as a capture.
  fs::path capture = Write("looks-like.snapshot", TwoNetworks().Text());
  TSurveyLoadResult r = LoadSurveyFile(list, capture);
  ASSERT_TRUE(r.Ok) << r.Message;
  EXPECT_EQ(r.Kind, TSurveyFileKind::Capture);
  ASSERT_EQ(r.Loaded, 2u);

  // Written as a snapshot with the time of the last frame, it reads back the same networks and activity.
  fs::path snapshot = Write("converted.pcap", "");
  ASSERT_EQ(SaveSnapshot(list, snapshot, r.SavedTime), "");
  TWLANNetworkList again(options);
  again.VendorLookup = nullptr;
  TSurveyLoadResult s = LoadSurveyFile(again, snapshot);
  ASSERT_TRUE(s.Ok) << s.Message;
  EXPECT_EQ(s.Kind, TSurveyFileKind::Snapshot);
  EXPECT_EQ(s.SavedTime, r.SavedTime);
  ASSERT_EQ(again.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(again.Items[i]->Entry, list.Items[i]->Entry);
    EXPECT_EQ(again.Items[i]->Elements.Data, list.Items[i]->Elements.Data);
    EXPECT_EQ(again.Items[i]->LastSeen, list.Items[i]->LastSeen);
    EXPECT_EQ(again.Items[i]->Active, list.Items[i]->Active);
  }

  // Neither: libpcap's verdict, said as what the file is not. Shorter than a snapshot header: nothing.
  fs::path notes = Write("notes.pcap", "hello, world");
  TSurveyLoadResult text = LoadSurveyFile(again, notes);
  EXPECT_FALSE(text.Ok);
  EXPECT_EQ(text.Kind, TSurveyFileKind::Unknown);
  EXPECT_EQ(text.Message,
            notes.string() + ": neither a snapshot nor a capture that libpcap can read: unknown file format");
  TSurveyLoadResult wrongFormat =
      LoadSurveyFile(again, Write("v2.snapshot", std::string("\x01\x02") + std::string(20, '\0')));
  EXPECT_EQ(wrongFormat.Kind, TSurveyFileKind::Unknown);
  TSurveyLoadResult cutHeader = LoadSurveyFile(again, Write("cut.pcap", TwoNetworks().Text().substr(0, 16)));
  EXPECT_FALSE(cutHeader.Ok);
  EXPECT_NE(cutHeader.Message.find("neither a snapshot nor a capture that libpcap can read: truncated"),
            std::string::npos)
      << cutHeader.Message;
  TSurveyLoadResult tiny = LoadSurveyFile(again, Write("tiny.pcap", TwoNetworks().Text().substr(0, 9)));
  EXPECT_TRUE(tiny.Ok);
  EXPECT_EQ(tiny.Kind, TSurveyFileKind::Snapshot);
  EXPECT_EQ(tiny.Snapshot, SnapshotStatus::NoHeader);
  EXPECT_EQ(tiny.Loaded, 0u);
  EXPECT_FALSE(LoadSurveyFile(again, "/nonexistent/file").Ok);
  EXPECT_EQ(again.Count(), 2);
}

// Every variant libpcap reads opens as a capture: the same two networks with the same microsecond times.
TEST_F(CaptureFile, EveryFormatLibpcapReadsOpens) {
  const std::vector<uint8_t> a = Concat(RadiotapHeader(2412, -50), ManagementFrame(kA, Blob("Alpha", 1)));
  const std::vector<uint8_t> b = Concat(RadiotapHeader(5180, -70), ManagementFrame(kB, Blob("Bravo", 36)));
  auto pcap = [&](test::PcapFormat format) {
    return test::PcapWriter(kLinkRadiotap, format).Add(1700000000, 1, a).Add(1700000002, 999999, b).Text();
  };
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"pcap", pcap({})},
      {"pcap swapped", pcap({.BigEndian = true})},
      {"pcap nanoseconds", pcap({.Nanoseconds = true})},
      {"pcap nanoseconds swapped", pcap({.Nanoseconds = true, .BigEndian = true})},
      {"modified pcap", pcap({.Modified = true})},
      {"modified pcap swapped", pcap({.BigEndian = true, .Modified = true})},
      {"pcapng", test::PcapngWriter(kLinkRadiotap).Add(1700000000, 1, a).Add(1700000002, 999999, b).Text()},
      {"pcapng swapped",
       test::PcapngWriter(kLinkRadiotap, true).Add(1700000000, 1, a).Add(1700000002, 999999, b).Text()},
      {"pcapng, two interfaces", test::PcapngWriter(kLinkRadiotap)
                                     .Interface(kLinkRadiotap)
                                     .Add(1700000000, 1, a, 1)
                                     .Add(1700000002, 999999, b, 0)
                                     .Text()},
      {"pcapng, two sections", test::PcapngWriter(kLinkRadiotap)
                                   .Add(1700000000, 1, a)
                                   .Section()
                                   .Interface(kLinkRadiotap)
                                   .Add(1700000002, 999999, b)
                                   .Text()},
  };
  for (const Case& c : cases) {
    TProgramOptions options;
    TWLANNetworkList list(options);
    list.VendorLookup = nullptr;
    TSurveyLoadResult r = LoadSurveyFile(list, Write("variant", c.bytes));
    ASSERT_TRUE(r.Ok) << c.name << ": " << r.Message;
    EXPECT_EQ(r.Kind, TSurveyFileKind::Capture) << c.name;
    EXPECT_FALSE(r.Capture.Truncated) << c.name << ": " << r.Capture.TruncationText;
    ASSERT_EQ(list.Count(), 2) << c.name;
    EXPECT_EQ(list.Items[0]->SSID, "Alpha") << c.name;
    EXPECT_EQ(list.Items[0]->LastSeen, LocalDateTimeOfUnix(1700000000, 1)) << c.name;
    EXPECT_EQ(list.Items[1]->SSID, "Bravo") << c.name;
    EXPECT_EQ(list.Items[1]->Channel, 36u) << c.name;
    EXPECT_EQ(r.SavedTime, LocalDateTimeOfUnix(1700000002, 999999)) << c.name;
  }
}

// libpcap reads a pcapng file in the link type of its first interface only; such a file is read again block by
// block, each packet in the link type and time resolution of its own interface.
test::PcapngWriter MixedInterfaces() {
  test::PcapngWriter w(kLinkRadiotap);
  w.Interface(kLinkIEEE80211, 65535, 9).Interface(1);  // 802.11 with nanosecond stamps, Ethernet
  w.Add(1700000000, 1, Concat(RadiotapHeader(2412, -50), ManagementFrame(kA, Blob("Alpha", 1))), 0);
  w.Add(1700000001, 2, ManagementFrame(kB, Blob("Bravo", 6)), 1);
  w.Add(1700000002, 0, std::vector<uint8_t>(60, 0xEE), 2);
  // A second section, in the other byte order, with interfaces of its own.
  const std::array<uint8_t, 6> c = {0x02, 0, 0, 0, 0, 0x0C};
  w.Section(true).Interface(kLinkIEEE80211).Add(1700000003, 3, ManagementFrame(c, Blob("Charlie", 11)));
  return w;
}

TEST_F(CaptureFile, PcapngInterfacesOfDifferentLinkTypesAreEachReadInTheirOwn) {
  TCaptureContents c = ReadCaptureFile(Write("mixed-links.pcapng", MixedInterfaces().Text()));
  ASSERT_EQ(c.Status, TCaptureStatus::Ok) << c.Error;
  EXPECT_FALSE(c.Stats.Truncated) << c.Stats.TruncationText;
  EXPECT_EQ(c.Stats.Frames, 4u);
  EXPECT_EQ(c.Stats.Other, 1u);  // the Ethernet frame
  ASSERT_EQ(c.Networks.Records.size(), 3u);
  EXPECT_EQ(c.Networks.Records[0].Entry.dot11Bssid, kA);
  EXPECT_EQ(c.Networks.Records[0].Entry.ulChCenterFrequency, 2412000u);
  EXPECT_EQ(c.Networks.Records[1].Entry.dot11Bssid, kB);
  EXPECT_EQ(c.Networks.Records[1].LastSeen, LocalDateTimeOfUnix(1700000001, 2));
  EXPECT_EQ(c.Networks.Records[2].LastSeen, LocalDateTimeOfUnix(1700000003, 3));
  EXPECT_EQ(c.Networks.SavedTime, LocalDateTimeOfUnix(1700000003, 3));
}

TEST_F(CaptureFile, PcapngBlocksAreReadOnlyAsFarAsTheyMakeSense) {
  const std::string whole = MixedInterfaces().Text();
  // Every cut: the packets before it, and a reason unless the cut falls between blocks.
  size_t frames = 0;
  for (size_t cut = 0; cut <= whole.size(); ++cut) {
    std::istringstream in(whole.substr(0, cut));
    TCaptureCollector collector;
    const std::string stop = ReadPcapngBlocks(in, collector);
    EXPECT_GE(collector.Stats().Frames, frames) << cut;
    frames = collector.Stats().Frames;
    if (cut == whole.size()) {
      EXPECT_EQ(stop, "");
      EXPECT_EQ(frames, 4u);
    }
  }
  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;
  };
  std::string undescribed = whole;
  undescribed[undescribed.find("\x06\0\0\0") + 8] = 7;  // the first packet's interface
  std::string longer = whole;
  longer[longer.find("\x06\0\0\0") + 20] = 0x7F;  // the first packet's captured length
  const Case cases[] = {
      {"no section header first", whole.substr(28), "does not start with a section header"},
      {"interface not described", undescribed, "interface 7, which is not described"},
      {"packet longer than its block", longer, "a packet longer than its block"},
      {"cut inside a block", whole.substr(0, whole.size() - 6), "the file ends inside the block"},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.bytes);
    TCaptureCollector collector;
    EXPECT_NE(ReadPcapngBlocks(in, collector).find(c.reason), std::string::npos) << c.name;
  }
}

}  // namespace
}  // namespace skimlet
