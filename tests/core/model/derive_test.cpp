#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "core/base/format.h"
#include "core/base/numfmt.h"
#include "core/ie/encode.h"
#include "core/radio/rates.h"
#include "core/radio/values.h"
#include "core/model/columns.h"
#include "network_test_support.h"

namespace skimlet {
namespace {

using namespace skimlet::testing;

const std::vector<uint8_t> kOFDMRates = {0x8C, 0x12, 0x98, 0x24, 0xB0, 0x48, 0x60, 0x6C};  // 6..54 Mbps
const std::vector<uint8_t> kDSSSRates = {0x82, 0x84, 0x8B, 0x96};                          // 1, 2, 5.5, 11 Mbps

class Derive : public ::testing::Test {
 protected:
  EnglishUnits units_;
};

struct ChannelCase {
  const char* Name;
  uint32_t Frequency;
  std::function<void(ElementBuilder&)> Elements;
  int Width;
  const char* Channel;
  const char* Frequency_;
  const char* WidthText;
};

TEST_F(Derive, ChannelWidthAndTheirTexts) {
  auto ht40 = [](ElementBuilder& b, uint8_t primary, uint8_t offset) {
    b.Add(45, HTCapabilities(true, true, true, 0xFFFF)).Add(61, HTOperation(primary, offset));
  };
  const ChannelCase cases[] = {
      {"HT 40 above", 5180000, [&](ElementBuilder& b) { ht40(b, 36, 1); }, 1, "36+40", "5.190 GHz", "40 MHz"},
      {"HT 40 below", 5200000, [&](ElementBuilder& b) { ht40(b, 40, 3); }, 1, "40-36", "5.190 GHz", "40 MHz"},
      {"HT wide but no secondary", 5180000, [&](ElementBuilder& b) { ht40(b, 36, 0); }, 0, "36", "5.180 GHz", "20 MHz"},
      {"VHT 80", 5180000,
       [&](ElementBuilder& b) {
         ht40(b, 36, 1), b.Add(192, {1, 42, 0});
       },
       2, "42[36]", "5.210 GHz", "80 MHz"},
      {"VHT 160", 5180000,
       [&](ElementBuilder& b) {
         ht40(b, 36, 1), b.Add(192, {1, 42, 50});
       },
       3, "50[36]", "5.250 GHz", "160 MHz"},
      {"VHT 80+80", 5180000,
       [&](ElementBuilder& b) {
         ht40(b, 36, 1), b.Add(192, {1, 42, 155});
       },
       4, "42[36]+155", "5.210 GHz + 5.775 GHz", "80+80 MHz"},
      {"VHT 80+80 upper segment first", 5745000,
       [&](ElementBuilder& b) {
         ht40(b, 149, 1), b.Add(192, {1, 155, 42});
       },
       4, "155[149]-42", "5.775 GHz - 5.210 GHz", "80+80 MHz"},
      {"deprecated 160 without second segment", 5180000,
       [&](ElementBuilder& b) {
         ht40(b, 36, 1), b.Add(192, {2, 42, 0});
       },
       2, "42[36]", "5.210 GHz", "80 MHz"},
      {"VHT width 0 keeps HT 40", 5180000,
       [&](ElementBuilder& b) {
         ht40(b, 36, 1), b.Add(192, {0, 42, 0});
       },
       1, "38[36]", "5.190 GHz", "40 MHz"},
      {"HE operation gives 80", 5180000,
       [&](ElementBuilder& b) {
         ht40(b, 36, 1);
         b.AddExtension(36, HEOperation(1, 42, 0)).AddExtension(35, HECapabilities(kHE40And80In5G, 0xFFFA));
       },
       2, "42[36]", "5.210 GHz", "80 MHz"},
      {"HE without 160 narrows VHT 160", 5180000,
       [&](ElementBuilder& b) {
         ht40(b, 36, 1);
         b.Add(192, {1, 42, 50}).AddExtension(35, HECapabilities(kHE40And80In5G, 0xFFFA));
       },
       2, "42[36]", "5.210 GHz", "80 MHz"},
      {"HE with 160 keeps VHT 160", 5180000,
       [&](ElementBuilder& b) {
         ht40(b, 36, 1);
         b.Add(192, {1, 42, 50}).AddExtension(35, HECapabilities(kHE40And80In5G | kHE160In5G, 0xFFFA, 0xFFFA));
       },
       3, "50[36]", "5.250 GHz", "160 MHz"},
      {"2.4 GHz HE without 40 MHz", 2437000,
       [&](ElementBuilder& b) {
         b.Add(3, {6});
         ht40(b, 6, 1);
         b.AddExtension(35, HECapabilities(0, 0xFFFA));
       },
       0, "6", "2.437 GHz", "20 MHz"},
      {"2.4 GHz HE with 40 MHz", 2437000,
       [&](ElementBuilder& b) {
         b.Add(3, {6});
         ht40(b, 6, 1);
         b.AddExtension(35, HECapabilities(kHE40In24G, 0xFFFA));
       },
       1, "8[6]", "2.447 GHz", "40 MHz"},
      {"DSSS channel wins over the entry", 2412000, [](ElementBuilder& b) { b.Add(3, {11}); }, 0, "11", "2.462 GHz",
       "20 MHz"},
      {"DS and HT disagree: the channel it was heard on", 2412000,
       [](ElementBuilder& b) { b.Add(3, {6}).Add(61, HTOperation(1, 0)); }, 0, "1", "2.412 GHz", "20 MHz"},
      {"DS and HT disagree, heard on neither: DS", 2462000,
       [](ElementBuilder& b) { b.Add(3, {6}).Add(61, HTOperation(1, 0)); }, 0, "6", "2.437 GHz", "20 MHz"},
      {"DS and HT agree against the frequency", 2432000,
       [](ElementBuilder& b) { b.Add(3, {6}).Add(61, HTOperation(6, 0)); }, 0, "6", "2.437 GHz", "20 MHz"},
      {"6 GHz channel 1", 5955000, [](ElementBuilder&) {}, 0, "1", "5.955 GHz", "20 MHz"},
      {"6 GHz channel 2", 5935000, [](ElementBuilder&) {}, 0, "2", "5.935 GHz", "20 MHz"},
      {"6 GHz channel 93", 6415000, [](ElementBuilder&) {}, 0, "93", "6.415 GHz", "20 MHz"},
  };
  for (const auto& c : cases) {
    ElementBuilder b;
    c.Elements(b);
    auto n = MakeNetwork(b, {.CenterFrequency = c.Frequency});
    EXPECT_EQ(n->ChannelWidth, c.Width) << c.Name;
    EXPECT_EQ(n->ChannelText(), c.Channel) << c.Name;
    EXPECT_EQ(n->FrequencyText(), c.Frequency_) << c.Name;
    EXPECT_EQ(n->WidthText(), c.WidthText) << c.Name;
    EXPECT_EQ(n->GetWidthKHz(), c.Width == 4 ? 160000u : 20000u << std::min(c.Width, 3)) << c.Name;
  }
}

TEST_F(Derive, DerivingAgainGivesTheSameValues) {
  ElementBuilder b;
  b.Add(1, kOFDMRates).Add(45, HTCapabilities(true, true, true, 0xFFFF)).Add(61, HTOperation(36, 1));
  b.Add(192, {1, 42, 155}).Add(191, VHTCapabilities(true, true, 0xFFFA, 0xFFFA));
  auto n = MakeNetwork(b);
  const auto rates = n->Rates;
  const auto width = n->ChannelWidth;
  testing::Derive(*n);
  EXPECT_EQ(n->Rates, rates);
  EXPECT_EQ(n->ChannelWidth, width);
  EXPECT_EQ(n->CenterChannel1, 155u);
}

TEST_F(Derive, NumbersFollowTheDecimalSeparator) {
  ElementBuilder b;
  b.Add(45, HTCapabilities(true, false, false, 0xFF)).Add(61, HTOperation(36, 1));
  auto n = MakeNetwork(b);
  CurrentNumberFormat() = {',', '.'};
  n->Band = 0;
  EXPECT_EQ(n->FrequencyText(), "5,190 GHz");
  EXPECT_EQ(n->BandText(), "2,4 GHz");
  EXPECT_EQ(RateText(5.5), "5,5");
  CurrentNumberFormat() = {};
  EXPECT_EQ(RateText(5.5), "5.5");
  EXPECT_EQ(RateText(144.4), "144.4");
  EXPECT_EQ(RateText(54), "54");
}

TEST_F(Derive, RateTextIsTheShortestGeneralForm) {
  for (int64_t k = 0; k <= 200000; ++k) {
    const double v = static_cast<double>(k) / 10.0;
    ASSERT_EQ(RateText(v), Format("%g", {v})) << k;
  }
  for (double v : {1.0 / 3.0, 0.25, 144.45, -5.5, 1e13, std::nan("")}) EXPECT_EQ(RateText(v), Format("%g", {v})) << v;
  EXPECT_EQ(RateText(0.25), "0.25");
}

TEST_F(Derive, PhyTypesByBand) {
  struct Case {
    const char* Name;
    uint32_t Frequency;
    std::function<void(ElementBuilder&)> Elements;
    const char* Letters;
    int Highest;
  } cases[] = {
      {"a/n/ac", 5180000,
       [](ElementBuilder& b) {
         b.Add(1, kOFDMRates).Add(45, HTCapabilities(true, false, false, 0xFF)).Add(61, HTOperation(36, 1));
         b.Add(191, VHTCapabilities(false, false, 0xFFFE, 0xFFFE)).Add(192, {0, 0, 0});
       },
       "a, n, ac", 8},
      {"no b or g in 5 GHz", 5180000, [](ElementBuilder& b) { b.Add(1, kDSSSRates).Add(50, kOFDMRates); }, "a", 4},
      {"b/g/n", 2437000, [](ElementBuilder& b) { b.Add(1, kDSSSRates).Add(50, kOFDMRates).Add(61, HTOperation(6, 0)); },
       "b, g, n", 7},
      {"no ac in 2.4 GHz", 2437000,
       [](ElementBuilder& b) {
         b.Add(1, kOFDMRates).Add(191, VHTCapabilities(false, false, 0xFFFE, 0xFFFE));
         b.AddExtension(35, HECapabilities(0, 0xFFFE));
       },
       "g, ax", 10},
      {"HE operation alone", 5180000, [](ElementBuilder& b) { b.AddExtension(36, HEOperation(0, 0, 0)); }, "ax", 10},
      {"no a in 6 GHz", 5955000,
       [](ElementBuilder& b) { b.Add(1, kOFDMRates).AddExtension(35, HECapabilities(0, 0xFFFE)); }, "ax", 10},
      {"nothing known", 5180000, [](ElementBuilder&) {}, "", 0},
  };
  for (const auto& c : cases) {
    ElementBuilder b;
    c.Elements(b);
    auto n = MakeNetwork(b, {.CenterFrequency = c.Frequency});
    EXPECT_EQ(n->PhyLettersText(), c.Letters) << c.Name;
    EXPECT_EQ(n->GetHighestPhyType(), c.Highest) << c.Name;
  }
}

TEST_F(Derive, RatesMergeSortedWithoutRepeats) {
  ElementBuilder b;
  b.Add(1, kDSSSRates).Add(50, kOFDMRates).Add(45, HTCapabilities(false, true, false, 0xFFFF));
  auto n = MakeNetwork(b, {.CenterFrequency = 2437000});
  const TDoubleDynamicArray expected = {1,    2,  5.5,  6,  7.2, 9,    11, 12,   14.4, 18,    21.7, 24,
                                        28.9, 36, 43.3, 48, 54,  57.8, 65, 72.2, 86.7, 115.6, 130,  144.4};
  EXPECT_EQ(n->Rates, expected);
  EXPECT_EQ(n->MinRate, 1);
  EXPECT_EQ(n->MaxRate, 144.4);
  EXPECT_EQ(n->TxStreams, 2);
  EXPECT_EQ(n->RxStreams, 2);
  EXPECT_EQ(n->RatesText().substr(0, 20), "1; 2; 5.5; 6; 7.2; 9");

  // The VHT rates of one stream at 20 MHz repeat the HT rates; only MCS 8 adds one.
  ElementBuilder v;
  v.Add(45, HTCapabilities(false, false, false, 0xFF)).Add(191, VHTCapabilities(false, false, 0xFFFD, 0xFFFC));
  n = MakeNetwork(v);
  EXPECT_EQ(n->Rates, (TDoubleDynamicArray{6.5, 13, 19.5, 26, 39, 52, 58.5, 65, 78}));
  EXPECT_EQ(n->RxStreams, 1);
}

TEST_F(Derive, StreamsAndRatesOfVHTAndHE) {
  ElementBuilder v;
  v.Add(61, HTOperation(36, 1)).Add(192, {1, 42, 0});
  v.Add(191, VHTCapabilities(true, false, 0xFFFA, 0xFFFE));  // receive 2 streams, transmit 1
  auto n = MakeNetwork(v);
  EXPECT_EQ(n->TxStreams, 1);
  EXPECT_EQ(n->RxStreams, 2);
  EXPECT_EQ(n->GetColumnText(13), "1x2");
  EXPECT_EQ(n->MaxRate, 866.7);  // MCS 9, 2 streams, 80 MHz, short GI
  EXPECT_EQ(n->MinRate, 32.6);   // MCS 0, 1 stream, short GI

  // At 160 MHz the HE maps of that width count, not those up to 80 MHz.
  ElementBuilder h;
  h.Add(61, HTOperation(36, 1)).Add(192, {1, 42, 50});
  h.AddExtension(35, HECapabilities(kHE40And80In5G | kHE160In5G, 0xFFFE, 0xFFEA));
  n = MakeNetwork(h);
  ASSERT_EQ(n->ChannelWidth, 3);
  EXPECT_EQ(n->TxStreams, 3);
  EXPECT_EQ(n->GIIndex(), 1);
  EXPECT_EQ(n->MaxRate, HERate(11, 3, 3, false, 1));
}

TEST_F(Derive, RecordWithoutRatesHasNoMinimumOrMaximum) {
  auto n = MakeNetwork(ElementBuilder().Add(1, kOFDMRates));
  EXPECT_EQ(n->MaxRate, 54);
  n->Elements.Parse({});
  testing::Derive(*n);
  EXPECT_TRUE(n->Rates.empty());
  EXPECT_EQ(n->MinRate, 0);
  EXPECT_EQ(n->MaxRate, 0);
  EXPECT_EQ(n->TxStreams, 1);
}

TEST_F(Derive, GuardIntervalIndexFollowsTheWidth) {
  TWLANNetwork n;
  n.ShortGI40 = true;
  const std::pair<int, int> cases[] = {{0, 1}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {7, 1}};
  for (auto [width, g] : cases) {
    n.ChannelWidth = static_cast<uint8_t>(width);
    EXPECT_EQ(n.GIIndex(), g) << width;
  }
  n.ShortGI160 = true;
  n.ChannelWidth = 4;
  EXPECT_EQ(n.GIIndex(), 0);
}

TEST_F(Derive, AchievableRate) {
  auto ht40 = [](bool shortGI40) {
    ElementBuilder b;
    b.Add(1, kOFDMRates).Add(45, HTCapabilities(true, false, shortGI40, 0xFFFF)).Add(61, HTOperation(36, 1));
    return b;
  };
  // SNR 25 dB, HT at 40 MHz, two streams: MCS 6 + 8.
  EXPECT_EQ(MakeNetwork(ht40(false), {.RSSI = -55})->AchievableRate, 243);
  EXPECT_EQ(MakeNetwork(ht40(true), {.RSSI = -55})->AchievableRate, 270);
  EXPECT_EQ(MakeNetwork(ht40(true), {.Active = false, .RSSI = -55})->AchievableRate, 0);
  EXPECT_EQ(MakeNetwork(ht40(true), {.RSSI = -79})->AchievableRate, 0);    // 1 dB: no usable MCS
  EXPECT_EQ(MakeNetwork(ht40(false), {.RSSI = 20})->AchievableRate, 270);  // SNR capped at 50: MCS 7 + 8

  EXPECT_EQ(MakeNetwork(ElementBuilder().Add(1, kOFDMRates), {.RSSI = -55})->AchievableRate, 54);
  EXPECT_EQ(MakeNetwork(ElementBuilder().Add(1, kDSSSRates), {.CenterFrequency = 2412000, .RSSI = -70})->AchievableRate,
            2);

  ElementBuilder vht;
  vht.Add(61, HTOperation(36, 1)).Add(192, {1, 42, 0}).Add(191, VHTCapabilities(true, false, 0xFFFA, 0xFFFA));
  EXPECT_EQ(MakeNetwork(vht, {.RSSI = -40})->AchievableRate, 866.7);

  // HE stretches the MCS 0..9 of the table to 0..11.
  ElementBuilder he;
  he.Add(61, HTOperation(36, 1)).AddExtension(36, HEOperation(1, 42, 0));
  he.AddExtension(35, HECapabilities(kHE40And80In5G, 0xFFFA));
  EXPECT_EQ(MakeNetwork(he, {.RSSI = -30})->AchievableRate, HERate(11, 2, 2, false, 1));
  EXPECT_EQ(MakeNetwork(he, {.RSSI = -60})->AchievableRate, HERate(4, 2, 2, false, 1));  // table index 3
  EXPECT_EQ(MakeNetwork(he, {.RSSI = -72})->AchievableRate, HERate(0, 2, 2, false, 1));  // table index 0
}

struct SecurityCase {
  const char* Name;
  bool Privacy;
  std::function<void(ElementBuilder&)> Elements;
  std::vector<int> Kinds;
  const char* Mode;
  const char* Cipher;
  const char* Authentication;
};

TEST_F(Derive, SecurityKindsAndTexts) {
  const SecurityCase cases[] = {
      {"open", false, [](ElementBuilder&) {}, {1}, "Open", "None", "Open"},
      {"open whatever it announces",
       false,
       [](ElementBuilder& b) { b.Add(48, RSN(4, {4}, {2})); },
       {1},
       "Open",
       "None",
       "Open"},
      {"WEP", true, [](ElementBuilder&) {}, {2}, "WEP", "WEP", "WEP Shared Key"},
      {"WPA",
       true,
       [](ElementBuilder& b) { b.AddVendor(0x0050F2, 1, WPA(2, {2}, {2})); },
       {3},
       "WPA",
       "TKIP",
       "WPA-PSK"},
      {"WPA2", true, [](ElementBuilder& b) { b.Add(48, RSN(4, {4}, {2})); }, {4}, "WPA2", "CCMP", "WPA2-PSK"},
      {"WPA/WPA2",
       true,
       [](ElementBuilder& b) {
         b.Add(48, RSN(2, {2, 4}, {2})).AddVendor(0x0050F2, 1, WPA(2, {2}, {2}));
       },
       {3, 4},
       "WPA/WPA2",
       "TKIP/TKIP+CCMP",
       "WPA-PSK/WPA2-PSK"},
      {"fast transition",
       true,
       [](ElementBuilder& b) {
         b.Add(48, RSN(4, {4}, {2, 4}));
       },
       {4},
       "WPA2",
       "CCMP",
       "WPA2-PSK+WPA2-FT-PSK"},
      {"SAE alone is WPA3",
       true,
       [](ElementBuilder& b) { b.Add(48, RSN(4, {4}, {8})); },
       {5},
       "WPA3",
       "CCMP",
       "WPA2-SAE"},
      {"SAE with group-dependent hash",
       true,
       [](ElementBuilder& b) { b.Add(48, RSN(4, {4}, {24})); },
       {5},
       "WPA3",
       "CCMP",
       "WPA2-SAE-EXT-KEY"},
      {"192-bit enterprise",
       true,
       [](ElementBuilder& b) { b.Add(48, RSN(9, {9}, {12})); },
       {5},
       "WPA3",
       "GCMP-256",
       "WPA2-HMAC-SHA384"},
      {"PSK beside SAE is a transition network",
       true,
       [](ElementBuilder& b) {
         b.Add(48, RSN(4, {4}, {2, 8}));
       },
       {4, 5},
       "WPA2/WPA3",
       "CCMP",
       "WPA2-PSK+WPA2-SAE"},
      {"enhanced open is not open",
       true,
       [](ElementBuilder& b) { b.Add(48, RSN(4, {4}, {18})); },
       {6},
       "OWE",
       "CCMP",
       "WPA2-OWE"},
      {"all three generations",
       true,
       [](ElementBuilder& b) {
         b.Add(48, RSN(2, {2, 4}, {2, 24})).AddVendor(0x0050F2, 1, WPA(2, {2}, {2}));
       },
       {3, 4, 5},
       "WPA/WPA2/WPA3",
       "TKIP/TKIP+CCMP",
       "WPA-PSK/WPA2-PSK+WPA2-SAE-EXT-KEY"},
      {"only an unknown suite stays WPA2",
       true,
       [](ElementBuilder& b) { b.Add(48, RSN(4, {4}, {7})); },
       {4},
       "WPA2",
       "CCMP",
       "WPA2-TDLS"},
      {"pairwise 0 uses the group cipher",
       true,
       [](ElementBuilder& b) {
         b.Add(48, RSN(2, {0, 4}, {1}));
       },
       {4},
       "WPA2",
       "TKIP+CCMP",
       "WPA2-EAP"},
      {"ciphers in one order whatever the element's",
       true,
       [](ElementBuilder& b) {
         b.Add(48, RSN(2, {4, 2, 4}, {2})).AddVendor(0x0050F2, 1, WPA(2, {2}, {2}));
       },
       {3, 4},
       "WPA/WPA2",
       "TKIP/TKIP+CCMP",
       "WPA-PSK/WPA2-PSK"},
      {"no pairwise list", true, [](ElementBuilder& b) { b.Add(48, RSN(4, {}, {})); }, {4}, "WPA2", "CCMP", ""},
  };
  for (const auto& c : cases) {
    ElementBuilder b;
    c.Elements(b);
    auto n = MakeNetwork(b, {.Privacy = c.Privacy});
    TSmallSet kinds;
    for (int k : c.Kinds) kinds.Add(k);
    EXPECT_EQ(n->SecurityKinds, kinds) << c.Name;
    EXPECT_EQ(n->SecurityModeText(), c.Mode) << c.Name;
    EXPECT_EQ(n->CipherText(), c.Cipher) << c.Name;
    EXPECT_EQ(n->AuthenticationText(), c.Authentication) << c.Name;
  }
}

// RSN body with the given capabilities after one CCMP pairwise suite and one AKM suite.
std::vector<uint8_t> RSNWithCapabilities(uint8_t akm, uint16_t capabilities) {
  std::vector<uint8_t> body = RSN(4, {4}, {akm});
  body.resize(body.size() - 2);  // the helper's zero capabilities
  body.push_back(static_cast<uint8_t>(capabilities));
  body.push_back(static_cast<uint8_t>(capabilities >> 8));
  return body;
}

TEST_F(Derive, ProtectionAndRoaming) {
  struct Case {
    const char* Name;
    std::function<void(ElementBuilder&)> Elements;
    const char* PMF;
    const char* Roaming;
  } cases[] = {
      {"nothing announced", [](ElementBuilder&) {}, "No", ""},
      {"RSN without capabilities", [](ElementBuilder& b) { b.Add(48, RSN(4, {4}, {2})); }, "No", ""},
      {"PMF capable", [](ElementBuilder& b) { b.Add(48, RSNWithCapabilities(2, 0x0080)); }, "Capable", ""},
      {"PMF required", [](ElementBuilder& b) { b.Add(48, RSNWithCapabilities(8, 0x00C0)); }, "Required", ""},
      {"capabilities cut short",
       [](ElementBuilder& b) {
         auto body = RSNWithCapabilities(8, 0x00C0);
         body.pop_back();
         body.pop_back();
         body.push_back(0xC0);
         b.Add(48, body);
       },
       "No", ""},
      {"foreign group suite",
       [](ElementBuilder& b) {
         b.Add(48, {1, 0, 0x00, 0x11, 0x22, 4, 1, 0, 0x00, 0x0F, 0xAC, 4, 0, 0, 0xC0, 0});
       },
       "Required", ""},
      {"suite count beyond the body",
       [](ElementBuilder& b) {
         b.Add(48, {1, 0, 0x00, 0x0F, 0xAC, 4, 0xFF, 0xFF});
       },
       "No", ""},
      {"neighbour reports",
       [](ElementBuilder& b) {
         b.Add(70, {0x02, 0, 0, 0, 0});
       },
       "No", "k"},
      {"other RM bits only",
       [](ElementBuilder& b) {
         b.Add(70, {0xFD, 0xFF, 0, 0, 0});
       },
       "No", ""},
      {"BSS transition",
       [](ElementBuilder& b) {
         b.Add(127, {0, 0, 0x08});
       },
       "No", "v"},
      {"extended capabilities too short",
       [](ElementBuilder& b) {
         b.Add(127, {0xFF, 0xFF});
       },
       "No", ""},
      {"mobility domain",
       [](ElementBuilder& b) {
         b.Add(54, {0x34, 0x12, 0x01});
       },
       "No", "r"},
      {"all three",
       [](ElementBuilder& b) {
         b.Add(48, RSNWithCapabilities(4, 0x0080)).Add(54, {0x34, 0x12, 0x01});
         b.Add(70, {0x73, 0, 0, 0, 0}).Add(127, {0x04, 0, 0x08, 0, 0, 0, 0, 0x40});
       },
       "Capable", "k, v, r"},
  };
  for (const Case& c : cases) {
    ElementBuilder b;
    c.Elements(b);
    auto n = MakeNetwork(b);
    EXPECT_EQ(n->PMFText(), c.PMF) << c.Name;
    EXPECT_EQ(n->RoamingText(), c.Roaming) << c.Name;
    EXPECT_EQ(n->GetColumnText(ColumnIndex(TNetworkColumn::PMF)), c.PMF) << c.Name;
    EXPECT_EQ(n->GetColumnText(ColumnIndex(TNetworkColumn::Roaming)), c.Roaming) << c.Name;
  }
  // Both sort by what they stand for: required above capable above none, more roaming aids above fewer.
  auto none = MakeNetwork(ElementBuilder());
  auto required = MakeNetwork(ElementBuilder().Add(48, RSNWithCapabilities(8, 0x00C0)));
  auto capable = MakeNetwork(ElementBuilder().Add(48, RSNWithCapabilities(2, 0x0080)).Add(54, {1, 2, 0}));
  EXPECT_LT(CompareNetworks(*none, *capable, ColumnIndex(TNetworkColumn::PMF)), 0);
  EXPECT_LT(CompareNetworks(*capable, *required, ColumnIndex(TNetworkColumn::PMF)), 0);
  EXPECT_GT(CompareNetworks(*capable, *required, ColumnIndex(TNetworkColumn::Roaming)), 0);
}

TEST_F(Derive, WPSValues) {
  auto n = MakeNetwork(ElementBuilder().AddVendor(0x0050F2, 4, WPSAttributes(2, false, 0x10, 0x20, "AP-1", "Maker")));
  EXPECT_EQ(n->WPSState, 2);
  EXPECT_EQ(n->WPSStateText(), "Configured");
  EXPECT_EQ(n->WPSVersion, "2.0");
  EXPECT_EQ(n->DeviceName, "AP-1");
  EXPECT_EQ(n->DeviceManufacturer, "Maker");

  // Locked wins over the state; later elements win field by field; Version2 wins over Version.
  ElementBuilder b;
  b.AddVendor(0x0050F2, 4, WPSAttributes(1, false, 0x10, 0, "First", "Maker"));
  b.AddVendor(0x0050F2, 4, WPSAttributes(0, true, 0x11, 0, "Second"));
  n = MakeNetwork(b);
  EXPECT_EQ(n->WPSState, 3);
  EXPECT_EQ(n->WPSStateText(), "Locked");
  EXPECT_EQ(n->WPSVersion, "1.0");
  EXPECT_EQ(n->DeviceName, "Second");
  EXPECT_EQ(n->DeviceManufacturer, "Maker");

  n = MakeNetwork(ElementBuilder());
  EXPECT_EQ(n->WPSState, 0);
  EXPECT_EQ(n->WPSStateText(), "No");
  EXPECT_EQ(n->WPSVersion, "");
}

}  // namespace
}  // namespace skimlet

namespace skimlet {
namespace {

std::vector<uint8_t> HE6GHz(uint8_t primary, uint8_t width, uint8_t seg0, uint8_t seg1) {
  HEOperationValues v;
  v.SixGHzOperationInfo = HE6GHzOperationInfo{primary, width, false, 0, seg0, seg1, 6};
  return EncodeHEOperationBody(v);
}

std::vector<uint8_t> EHTOperation(uint8_t width, uint8_t seg0, uint8_t seg1) {
  EHTOperationValues v;
  v.OperationInfo = EHTOperationInfo{width, seg0, seg1, std::nullopt};
  return EncodeEHTOperationBody(v);
}

TEST(Derive6GHz, ChannelAndWidthFromTheOperationElements) {
  testing::EnglishUnits units;
  struct Case {
    const char* Name;
    uint32_t Frequency;
    std::function<void(ElementBuilder&)> Elements;
    uint32_t Channel;
    int Width;
    const char* ChannelText;
    const char* FrequencyText;
  } cases[] = {
      {"frequency only", 6415000, [](ElementBuilder&) {}, 93, 0, "93", "6.415 GHz"},
      {"the announced primary wins over the frequency", 6415000,
       [](ElementBuilder& b) { b.AddExtension(36, HE6GHz(37, 0, 37, 0)); }, 37, 0, "37", "6.135 GHz"},
      {"40 MHz", 5955000, [](ElementBuilder& b) { b.AddExtension(36, HE6GHz(1, 1, 3, 0)); }, 1, 1, "3[1]", "5.965 GHz"},
      {"80 MHz", 6135000, [](ElementBuilder& b) { b.AddExtension(36, HE6GHz(37, 2, 39, 0)); }, 37, 2, "39[37]",
       "6.145 GHz"},
      {"160 MHz", 6135000, [](ElementBuilder& b) { b.AddExtension(36, HE6GHz(37, 3, 39, 47)); }, 37, 3, "47[37]",
       "6.185 GHz"},
      {"160 MHz without its centre stays 80", 6135000,
       [](ElementBuilder& b) { b.AddExtension(36, HE6GHz(37, 3, 39, 0)); }, 37, 2, "39[37]", "6.145 GHz"},
      {"320 MHz-1", 6135000,
       [](ElementBuilder& b) { b.AddExtension(36, HE6GHz(37, 3, 39, 47)).AddExtension(106, EHTOperation(4, 47, 31)); },
       37, 5, "31[37]", "6.105 GHz"},
      {"320 MHz-2", 6295000,
       [](ElementBuilder& b) { b.AddExtension(36, HE6GHz(69, 3, 71, 79)).AddExtension(106, EHTOperation(4, 79, 63)); },
       69, 5, "63[69]", "6.265 GHz"},
      {"320 MHz on no 320 MHz channel stays 160", 6135000,
       [](ElementBuilder& b) { b.AddExtension(36, HE6GHz(37, 3, 39, 47)).AddExtension(106, EHTOperation(4, 47, 47)); },
       37, 3, "47[37]", "6.185 GHz"},
      {"EHT widens HE's 80 to 160", 6135000,
       [](ElementBuilder& b) { b.AddExtension(36, HE6GHz(37, 2, 39, 0)).AddExtension(106, EHTOperation(3, 39, 47)); },
       37, 3, "47[37]", "6.185 GHz"},
  };
  for (const Case& c : cases) {
    ElementBuilder b;
    c.Elements(b);
    auto n = testing::MakeNetwork(b, {.CenterFrequency = c.Frequency});
    EXPECT_EQ(n->Band, kBand6GHz) << c.Name;
    EXPECT_EQ(n->Channel, c.Channel) << c.Name;
    EXPECT_EQ(n->ChannelWidth, c.Width) << c.Name;
    EXPECT_EQ(n->ChannelText(), c.ChannelText) << c.Name;
    EXPECT_EQ(n->FrequencyText(), c.FrequencyText) << c.Name;
    EXPECT_EQ(n->BandText(), "6 GHz") << c.Name;
  }
  // The two channelizations of 320 MHz.
  const std::pair<uint32_t, int> positions[] = {{31, 1},  {95, 1}, {159, 1}, {63, 2},  {127, 2},
                                                {191, 2}, {0, 0},  {47, 0},  {223, 0}, {32, 0}};
  for (auto [centre, position] : positions) EXPECT_EQ(Channel320Position(centre), position) << centre;
}

TEST(Derive6GHz, WiFi7RatesStreamsAndPhy) {
  testing::EnglishUnits units;
  EHTCapabilitiesValues caps;
  caps.Map80 = {EHTNSSByte(2), EHTNSSByte(2), EHTNSSByte(2)};
  caps.Map160 = caps.Map80;
  caps.Map320 = {EHTNSSByte(4), EHTNSSByte(4), EHTNSSByte(4)};
  ElementBuilder b;
  b.Add(1, {0x8C, 0x12, 0x98, 0x24, 0xB0, 0x48, 0x60, 0x6C});
  b.AddExtension(35, testing::HECapabilities(testing::kHE40And80In5G | testing::kHE160In5G, 0xFFFA, 0xFFFA));
  b.AddExtension(36, HE6GHz(37, 3, 39, 47)).AddExtension(106, EHTOperation(4, 47, 31));
  b.AddExtension(108, EncodeEHTCapabilitiesBody(caps));
  auto n = testing::MakeNetwork(b, {.CenterFrequency = 6135000, .RSSI = -30});
  EXPECT_EQ(n->ChannelWidth, kWidth320);
  EXPECT_EQ(n->PhyLettersText(), "ax, be");
  EXPECT_EQ(n->GetHighestPhyType(), kPhyEHT);
  EXPECT_EQ(n->GetColumnText(13), "4x4");
  EXPECT_EQ(n->WidthText(), "320 MHz");
  // Four streams of MCS 13 at 320 MHz with the 1.6 us guard interval.
  EXPECT_DOUBLE_EQ(n->MaxRate, EHTRate(13, kWidth320, 4, 1));
  EXPECT_DOUBLE_EQ(n->MaxRate, 10888.9);
  EXPECT_DOUBLE_EQ(n->MinRate, 6);
  // A strong signal reaches the top of the table: MCS 13 with the network's streams.
  EXPECT_DOUBLE_EQ(n->AchievableRate, 10888.9);

  // The same access point at 160 MHz uses the 160 MHz map.
  ElementBuilder narrow;
  narrow.AddExtension(36, HE6GHz(37, 3, 39, 47)).AddExtension(108, EncodeEHTCapabilitiesBody(caps));
  n = testing::MakeNetwork(narrow, {.CenterFrequency = 6135000});
  EXPECT_EQ(n->ChannelWidth, 3);
  EXPECT_EQ(n->TxStreams, 2);
  EXPECT_DOUBLE_EQ(n->MaxRate, EHTRate(13, 3, 2, 1));
}

TEST(Derive6GHz, FrequencyTextFollowsTheBandsChannelPlan) {
  // An HE access point on 6 GHz channel 37 (6,135 MHz), 80 MHz centred on channel 39 (6,145 MHz).
  ElementBuilder b;
  b.Add(3, {37});
  testing::NetworkSetup setup;
  setup.CenterFrequency = 6135000;
  auto n = testing::MakeNetwork(b, setup);
  EXPECT_EQ(n->Channel, 37u);
  EXPECT_EQ(n->FrequencyText().substr(0, 5), "6.135");
  n->ChannelWidth = 2;
  n->CenterChannel0 = 39;
  EXPECT_EQ(n->FrequencyText().substr(0, 5), "6.145");
}

}  // namespace
}  // namespace skimlet
