// The element encoders: bodies byte for byte against hand-assembled ones, and back through the decoders.
#include "core/ie/encode.h"

#include <gtest/gtest.h>

#include "core/ie/builder.h"
#include "core/ie/elements.h"
#include "core/ie/elements/eid000_ssid.h"
#include "core/ie/elements/eid001_supported_rates.h"
#include "core/ie/elements/eid003_dsss.h"
#include "core/ie/elements/eid011_bss_load.h"
#include "core/ie/elements/eid048_rsn.h"
#include "core/ie/elements/eid192_vht_operation.h"
#include "core/ie/elements/ext035_he_capabilities.h"
#include "core/ie/elements/ext036_he_operation.h"
#include "core/ie/elements/vnd_0050f2_04_wps.h"
#include "tree_helpers.h"

namespace skimlet {
namespace {

using test::Hex;

TEST(ElementEncoders, BodiesMatchTheirLayouts) {
  struct Case {
    const char* name;
    ElementBody body;
    const char* hex;
  };
  RSNValues wpa3;
  wpa3.AKMSuites = {{kOUIIEEE, kAKMSAE}};
  wpa3.Capabilities = 0x00CC;  // MFP required and capable, 16 replay counters
  wpa3.GroupManagementCipher = SuiteSelector{kOUIIEEE, kCipherSuiteBIP};
  RSNValues noCaps;
  noCaps.Capabilities.reset();
  WPSValues wps;
  wps.APSetupLocked = true;
  wps.ResponseType.reset();
  wps.DeviceName = "AP";
  wps.Version2 = 0x20;
  HTCapabilitiesValues ht;
  ht.SupportedChannelWidth40 = ht.ShortGI20 = ht.ShortGI40 = true;
  ht.RxMCSBitmask = HTRxMCSBitmaskFor(2);
  HECapabilitiesValues he;
  he.Width40And80In5G = he.Width160In5G = true;
  he.RxHEMCSMap160 = he.TxHEMCSMap160 = MCSMapFor(2, 1);
  HEOperationValues heop;
  heop.VHTOperationInfo = HEVHTOperationInfo{1, 155, 0};
  WMMValues wmmInfo;
  wmmInfo.ParameterElement = false;
  Case cases[] = {
      {"tim", EncodeTIMBody({0, 3, 1, {0}}), "00 03 01 00"},
      {"country with pad", EncodeCountryBody({"US", ' ', {{1, 11, 30}, {36, 4, 23}}}), "55 53 20 01 0B 1E 24 04 17 00"},
      {"country odd triplets", EncodeCountryBody({"DE", 'I', {{1, 13, 20}}}), "44 45 49 01 0D 14"},
      {"bss load", EncodeBSSLoadBody({3, ChannelUtilizationByte(50), 16}), "03 00 80 10 00"},
      {"rsn wpa2-psk", EncodeRSNBody({}), "01 00 00 0F AC 04 01 00 00 0F AC 04 01 00 00 0F AC 02 00 00"},
      {"rsn no capabilities", EncodeRSNBody(noCaps), "01 00 00 0F AC 04 01 00 00 0F AC 04 01 00 00 0F AC 02"},
      {"rsn sae with group management", EncodeRSNBody(wpa3),
       "01 00 00 0F AC 04 01 00 00 0F AC 04 01 00 00 0F AC 08 CC 00 00 00 00 0F AC 06"},
      {"wpa", EncodeWPABody({}), "01 00 00 50 F2 02 01 00 00 50 F2 02 01 00 00 50 F2 02"},
      {"wmm information", EncodeWMMBody(wmmInfo), "00 01 00"},
      {"wmm parameter", EncodeWMMBody({}), "01 01 00 00 03 A4 00 00 27 A4 00 00 42 43 5E 00 62 32 2F 00"},
      {"wps", EncodeWPSBody(wps),
       "10 4A 00 01 10 10 44 00 01 02 10 57 00 01 01 10 11 00 02 41 50 10 49 00 06 00 37 2A 00 01 20"},
      {"ht capabilities", EncodeHTCapabilitiesBody(ht),
       "6E 00 17 FF FF 00 00 00 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 00 00 00"},
      {"ht operation", EncodeHTOperationBody({36, 1, true}),
       "24 05 00 00 00 00"
       " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      {"vht operation", EncodeVHTOperationBody({1, 42, 0}), "01 2A 00 FC FF"},
      {"vht capabilities", EncodeVHTCapabilitiesBody({2, 1, true, true, 0, MCSMapFor(2, 2), 0, 0, MCSMapFor(2, 2)}),
       "66 00 00 00 FA FF 00 00 FA FF 00 00"},
      {"he capabilities", EncodeHECapabilitiesBody(he),
       "00 00 00 00 00 00 0C 00 00 00 00 00 00 00 00 00 00 FE FF FE FF F5 FF F5 FF"},
      {"he operation with vht information", EncodeHEOperationBody(heop), "F4 7F 00 01 FC FF 01 9B 00"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.body, Hex(c.hex)) << c.name;
  EXPECT_EQ(RateByte(5.5, true), 0x8B);
  EXPECT_EQ(RateByte(54, false), 0x6C);
  EXPECT_EQ(HTRxMCSBitmaskFor(4), 0xFFFFFFFFu);
}

TEST(ElementEncoders, DecodersReadBackTheBasicElements) {
  const uint8_t ssid[] = {0xC3, 0xA9, 't', 0xC3, 0xA9};
  const uint8_t rates[] = {RateByte(1, true), RateByte(2, true), RateByte(5.5, true), RateByte(11, true),
                           RateByte(6, false)};
  ElementBuilder b;
  b.Add(kEidSSID, EncodeSSIDBody(ssid))
      .Add(kEidSupportedRates, EncodeRatesBody(rates))
      .Add(kEidDSSS, EncodeDSSSBody(11))
      .Add(kEidBSSLoad, EncodeBSSLoadBody({17, ChannelUtilizationByte(63), 0}));
  TInformationElements elements;
  elements.Parse(b.Blob());
  ASSERT_NE(elements.Find<TSSIDElement>(kEidSSID), nullptr);
  EXPECT_EQ(elements.Find<TSSIDElement>(kEidSSID)->SSID, "été");
  ASSERT_NE(elements.Find<TSupportedRatesElement>(kEidSupportedRates), nullptr);
  EXPECT_EQ(elements.Find<TSupportedRatesElement>(kEidSupportedRates)->Rates, (std::vector<double>{1, 2, 5.5, 11, 6}));
  EXPECT_EQ(elements.Find<TDSSSParameterSetElement>(kEidDSSS)->CurrentChannel, 11);
  auto* load = elements.Find<TBSSLoadElement>(kEidBSSLoad);
  ASSERT_NE(load, nullptr);
  EXPECT_EQ(load->StationCount, 17);
  EXPECT_EQ(load->ChannelUtilization, 63);
}

TEST(ElementEncoders, DecodersReadBackTheOptionalParts) {
  RSNValues rsn;
  rsn.PairwiseCiphers = {{kOUIIEEE, kCipherSuiteGCMP256}, {0x001122, 4}, {kOUIIEEE, kCipherSuiteCCMP}};
  rsn.AKMSuites = {{kOUIIEEE, kAKMSAE}, {kOUIIEEE, kAKMFTSAE}};
  rsn.Capabilities.reset();
  WPSValues wps;
  wps.WPSState = 1;
  wps.DeviceName = "Büro-AP";
  wps.Version2.reset();
  HECapabilitiesValues he;
  he.Width40And80In5G = he.Width160In5G = he.Width80p80In5G = true;
  he.RxHEMCSMap160 = 0xFFFA;
  he.RxHEMCSMap80p80 = 0xFFF5;
  he.PPEThresholds = {0x08, 0x1C, 0xC7, 0x71};
  HEOperationValues heop;
  heop.VHTOperationInfo = HEVHTOperationInfo{1, 155, 171};
  heop.MaxCoLocatedBSSIDIndicator = 3;
  ElementBuilder b;
  b.Add(kEidRSN, EncodeRSNBody(rsn))
      .Add(kEidVHTOperation, EncodeVHTOperationBody({1, 42, 50}))
      .AddVendor(kOUIMicrosoft, 4, EncodeWPSBody(wps))
      .AddExtension(kExtHECapabilities, EncodeHECapabilitiesBody(he))
      .AddExtension(kExtHEOperation, EncodeHEOperationBody(heop));
  TInformationElements e;
  e.Parse(b.Blob());
  auto* r = e.Find<TRSNElement>(kEidRSN);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->GroupCipher, kCipherSuiteCCMP);
  EXPECT_EQ(r->PairwiseCiphers, (TByteDynamicArray{kCipherSuiteGCMP256, kCipherSuiteCCMP}));  // 00-0F-AC only
  EXPECT_EQ(r->AKMSuites, (TByteDynamicArray{kAKMSAE, kAKMFTSAE}));
  auto* v = e.Find<TVHTOperationElement>(kEidVHTOperation);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->CenterSegment1, 50);
  auto* w = e.FindVendor<TWPSElement>(kOUIMicrosoft, 4);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->WPSState, 1);
  EXPECT_EQ(w->DeviceName, "Büro-AP");
  EXPECT_EQ(w->Version2, 0);
  auto* hc = e.FindExtension<THECapabilitiesExtensionsInformationElement>(kExtHECapabilities);
  ASSERT_NE(hc, nullptr);
  EXPECT_TRUE(hc->Width80p80In5G);
  EXPECT_EQ(hc->RxHEMCSMap160, 0xFFFA);
  EXPECT_EQ(hc->RxHEMCSMap80p80, 0xFFF5);
  auto* ho = e.FindExtension<THEOperationExtensionsInformationElement>(kExtHEOperation);
  ASSERT_NE(ho, nullptr);
  EXPECT_TRUE(ho->VHTInfoPresent);
  EXPECT_EQ(ho->CenterSegment0, 155);
  EXPECT_EQ(ho->CenterSegment1, 171);
  // The trees of these elements show no corrupted line.
  EXPECT_EQ(test::TreeTextOf(b.Blob()).find("corrupted"), std::string::npos);
}

}  // namespace
}  // namespace skimlet
