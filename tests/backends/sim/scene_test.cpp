// Reading scene files: values, escapes, and an error with file and line for every kind of mistake.
#include "backends/sim/scene.h"

#include <gtest/gtest.h>

namespace skimlet::sim {
namespace {

TEST(SceneParser, ReadsInterfacesAndAccessPoints) {
  auto r = ParseScene(R"(# a comment
[scene]
name = "Test floor"

[interface]
name = "USB stick"
phys = b g n
bands = 2.4
hardware-radio = off
rssi-offset = -5
connected = 00:11:22:33:44:55

[ap]
bssid = 00:11:22:33:44:55
ssid = "Caf\xE9 \"Zur Post\" \\ 1"
channel = 11
width = 40
phy = n
streams = 2
security = wpa-wpa2
rssi = -70
country = DE O
load = 12 30
wps = configured locked
wps-device = "Box"
vendor = 00:10:18 02 00 01
raw = DD 02 00 50
appear = 60 30

[ap]
bssid = 00-11-22-33-44-66
hidden = zeros
ssid = Secret
channel = 36
width = 80+80
center2 = 106
phy = ac
)",
                      "t.scene");
  ASSERT_TRUE(r.Value) << r.Error;
  const Scene& s = *r.Value;
  EXPECT_EQ(s.Name, "Test floor");
  ASSERT_EQ(s.Interfaces.size(), 1u);
  const auto& i = s.Interfaces[0];
  EXPECT_EQ(i.Description, "USB stick");
  EXPECT_EQ(i.PhyTypes, (std::vector<uint32_t>{5, 6, 7}));
  EXPECT_TRUE(i.Hears24GHz);
  EXPECT_FALSE(i.Hears5GHz);
  EXPECT_FALSE(i.HardwareRadioOn);
  EXPECT_EQ(i.RssiOffset, -5);
  ASSERT_EQ(s.AccessPoints.size(), 2u);
  const auto& a = s.AccessPoints[0];
  EXPECT_EQ(a.Line, 13);
  EXPECT_EQ(std::string(a.SSID.begin(), a.SSID.end()), "Caf\xE9 \"Zur Post\" \\ 1");
  EXPECT_EQ(a.Width, 40);
  EXPECT_EQ(a.Standard, Phy::N);
  EXPECT_EQ(a.Sec, Security::WPAWPA2);
  EXPECT_EQ(a.Country->Code, "DE");
  EXPECT_EQ(a.Country->Environment, 'O');
  EXPECT_EQ(a.Load, std::make_pair(12, 30));
  EXPECT_TRUE(a.WPS->Locked);
  EXPECT_EQ(a.WPS->DeviceName, "Box");
  ASSERT_EQ(a.Vendors.size(), 1u);
  EXPECT_EQ(a.Vendors[0].OUI, 0x001018u);
  EXPECT_EQ(a.Vendors[0].Body, (std::vector<uint8_t>{0x00, 0x01}));
  EXPECT_EQ(a.Raw.size(), 1u);
  EXPECT_EQ(a.AppearOn, 60);
  const auto& b = s.AccessPoints[1];
  EXPECT_EQ(b.Hidden, HiddenSSID::Zeros);
  EXPECT_EQ(b.Width, 8080);
  EXPECT_EQ(b.Center2, 106);
}

TEST(SceneParser, ASceneWithoutInterfacesGetsASimulatedOne) {
  auto r = ParseScene("[ap]\nbssid = 00:11:22:33:44:55\n", "t.scene");
  ASSERT_TRUE(r.Value) << r.Error;
  ASSERT_EQ(r.Value->Interfaces.size(), 1u);
  EXPECT_NE(r.Value->Interfaces[0].Description.find("Simulated"), std::string::npos);
  EXPECT_FALSE(r.Value->Interfaces[0].PhyTypes.empty());
}

TEST(SceneParser, MistakesNameFileAndLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"name = x\n", "t.scene:1: key 'name' before the first section"},
      {"[ap]\nbssid = 00:11:22:33:44:55\n[room]\n",
       "t.scene:3: unknown section [room] (use [scene], [floor], [interface] or [ap])"},
      {"[ap]\nbssid = 00:11:22:33:44:55\ncolour = red\n", "t.scene:3: unknown access point key 'colour'"},
      {"[ap]\nbssid = 00:11:22:33:44\n",
       "t.scene:2: '00:11:22:33:44' is not a MAC address (six bytes like 00:11:22:33:44:55)"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nchannel = 38\n", "t.scene:3: channel 38 is no 20 MHz channel"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nchannel = 240\n",
       "t.scene:3: channel must be a whole number from 1 to 233, not '240'"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nband = 6\nchannel = 36\n", "t.scene:4: channel 36 is no 20 MHz channel"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nchannel = 37\nphy = ax\n",
       "t.scene:1: channel 37 is no 5 GHz channel (band = 6 for the 6 GHz band)"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nband = 6\nchannel = 37\nphy = ac\n",
       "t.scene:1: the 6 GHz band needs ax or be"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nchannel = 36\nwidth = 320\nphy = be\n",
       "t.scene:1: 320 MHz channels are 6 GHz and be only"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nband = 6\nchannel = 229\nwidth = 320\nphy = be\n",
       "t.scene:1: no 320 MHz channel around this one"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nfrequency = 5000\n", "t.scene:3: frequency 5000 MHz is no channel's"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nroaming = k x\n", "t.scene:3: roaming takes the letters k, v and r"},
      {"[ap]\nbssid = 00:11:22:33:44:55\npartner = 00:11:22:33:44:66\n",
       "t.scene:1: the partner is no access point of this scene"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nsecurity = wpa4\n", nullptr},
      {"[ap]\nbssid = 00:11:22:33:44:55\nssid = \"unterminated\n",
       "t.scene:3: a text that starts with \" must end with \""},
      {"[ap]\nbssid = 00:11:22:33:44:55\nssid = \"bad \\q\"\n",
       "t.scene:3: unknown escape \\q (use \\\\, \\\" or \\xNN)"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nssid = \"\\x4\"\n", "t.scene:3: \\x must be followed by two hex digits"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nssid = 0123456789012345678901234567890123\n",
       "t.scene:3: an SSID has at most 32 bytes (use raw for a malformed one)"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nchannel = 6\nwidth = 80\nphy = ax\n",
       "t.scene:1: 2.4 GHz channels are at most 40 MHz wide"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nchannel = 36\nwidth = 80+80\nphy = ac\n",
       "t.scene:1: 80+80 needs center2, the centre channel of the second 80 MHz segment (42, 58, 106, 122, 138, 155)"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nchannel = 36\nphy = g\n", "t.scene:1: 802.11b and g are 2.4 GHz only"},
      {"[ap]\nssid = x\n\n[ap]\nbssid = 00:11:22:33:44:55\n", "t.scene:1: this access point has no bssid"},
      {"[ap]\nbssid = 00:11:22:33:44:55\n[ap]\nbssid = 00:11:22:33:44:55\n",
       "t.scene:3: a second access point with the same bssid"},
      {"[interface]\nconnected = 00:11:22:33:44:55\n",
       "t.scene:1: the connected network is no access point of this scene"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nwps-device = x\n", "t.scene:3: give wps before wps-device"},
      {"[ap]\nbssid = 00:11:22:33:44:55\nraw = 0\n", nullptr},
      {"[ap]\nbssid = 00:11:22:33:44:55\nrssi\n", "t.scene:3: expected key = value"},
      {"[ap]\nbssid = 00:11:22:33:44:55\ncapability = 04\n",
       "t.scene:3: capability is the 16-bit capability field as four hex digits (0431)"},
  };
  for (const auto& c : cases) {
    auto r = ParseScene(c.text, "t.scene");
    EXPECT_FALSE(r.Value) << c.text;
    if (c.error) EXPECT_EQ(r.Error, c.error) << c.text;
    else EXPECT_EQ(r.Error.rfind("t.scene:3: ", 0), 0u) << r.Error;
  }
}

TEST(SceneParser, AnAccessPointGivenByItsElements) {
  // SSID "Lab", one OFDM rate, HT capabilities: on channel 36 an 802.11n access point; the capability field
  // makes it an ad hoc one. The beacon carries the blob as it is.
  auto r = ParseScene(
      "[ap]\nbssid = 00:11:22:33:44:55\nchannel = 36\ncapability = 0002\n"
      "elements = 00 03 4C 61 62 01 01 8C 2D 00\n",
      "t.scene");
  ASSERT_TRUE(r.Value) << r.Error;
  const SceneAccessPoint& ap = r.Value->AccessPoints.at(0);
  EXPECT_EQ(std::string(ap.SSID.begin(), ap.SSID.end()), "Lab");
  EXPECT_EQ(ap.Standard, Phy::N);
  EXPECT_TRUE(ap.AdHoc);
  Beacon b = BuildBeacon(ap, -60, 0);
  EXPECT_EQ(b.Blob, *ap.Elements);
  EXPECT_EQ(b.Entry.dot11BssType, 2u);
  EXPECT_EQ(b.Entry.usCapabilityInformation, 0x0002);
  EXPECT_EQ(b.Entry.dot11BssPhyType, 7u);
  EXPECT_EQ(b.Entry.ulChCenterFrequency, 5180000u);
}

TEST(SceneParser, UnreadableFileSaysWhich) {
  auto r = ReadSceneFile("/nonexistent/x.scene");
  EXPECT_FALSE(r.Value);
  EXPECT_EQ(r.Error.rfind("/nonexistent/x.scene: ", 0), 0u) << r.Error;
  auto s = ReplaySnapshotScene("/nonexistent/x.snapshot");
  EXPECT_FALSE(s.Value);
}

TEST(SceneBeacon, CentreChannels) {
  EXPECT_EQ(CenterChannel5GHz(36, 40), 38);
  EXPECT_EQ(CenterChannel5GHz(40, 40), 38);
  EXPECT_EQ(CenterChannel5GHz(44, 80), 42);
  EXPECT_EQ(CenterChannel5GHz(100, 80), 106);
  EXPECT_EQ(CenterChannel5GHz(116, 160), 114);
  EXPECT_EQ(CenterChannel5GHz(64, 160), 50);
  EXPECT_EQ(CenterChannel5GHz(161, 80), 155);
  EXPECT_EQ(CenterChannel5GHz(6, 40), 6);
  // 6 GHz: blocks counted from channel 1; 320 MHz is the 320 MHz-1 channelization.
  EXPECT_EQ(CenterChannel6GHz(37, 20), 37);
  EXPECT_EQ(CenterChannel6GHz(1, 40), 3);
  EXPECT_EQ(CenterChannel6GHz(37, 80), 39);
  EXPECT_EQ(CenterChannel6GHz(37, 160), 47);
  EXPECT_EQ(CenterChannel6GHz(37, 320), 31);
  EXPECT_EQ(CenterChannel6GHz(133, 320), 159);
  EXPECT_EQ(CenterChannel6GHz(225, 160), 0);  // the band ends before the block does
  EXPECT_EQ(CenterChannel6GHz(193, 320), 0);
}

}  // namespace
}  // namespace skimlet::sim
