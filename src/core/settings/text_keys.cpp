// The identifier keys of the program's texts. Every key here has a line in languages/english.lng.
#include "core/settings/lang.h"

#include <iterator>

namespace skimlet {

const std::vector<std::string_view>& MacCounterKeys() {
  static const std::vector<std::string_view> keys = {
      "sTransmittedFrameCount", "sReceivedFrameCount", "sWEPExcludedCount",    "sTKIPLocalMICFailures",
      "sTKIPReplays",           "sTKIPICVErrorCount",  "sCCMPReplays",         "sCCMPDecryptErrors",
      "sWEPUndecryptableCount", "sWEPICVErrorCount",   "sDecryptSuccessCount", "sDecryptFailureCount",
  };
  return keys;
}

const std::vector<std::string_view>& PhyCounterKeys() {
  static const std::vector<std::string_view> keys = {
      "sPHYTransmittedFrameCount",
      "sMulticastTransmittedFrameCount",
      "sFailedCount",
      "sRetryCount",
      "sMultipleRetryCount",
      "sMaxTXLifetimeExceededCount",
      "sTransmittedFragmentCount",
      "sRTSSuccessCount",
      "sRTSFailureCount",
      "sACKFailureCount",
      "sPHYReceivedFrameCount",
      "sMulticastReceivedFrameCount",
      "sPromiscuousReceivedFrameCount",
      "sMaxRXLifetimeExceededCount",
      "sFrameDuplicateCount",
      "sReceivedFragmentCount",
      "sPromiscuousReceivedFragmentCount",
      "sFCSErrorCount",
  };
  return keys;
}

namespace {

// The fixed keys that are no statistics counters, in the order of their language texts.
constexpr std::string_view kPlainFixedKeys[] = {
    "sAppLicationStarted",
    "sDiscoveredAP",
    "sHiddenNetwork",
    "sClearNetworkList",
    "sInterfaceListRefresh",
    "sNetworkListUpdated",
    "sDeletedNetwork",
    "sDbm",
    "sDisconnect",
    "sConnect",
    "sTime",
    "sYes",
    "sNo",
    "sWarning",
    "sDisconnectInfo",
    "sConnectInfo",
    "sDeleteNetworkInfo",
    "sClearNetworkListInfo",
    "sDeleteAllInactiveNetworkInfo",
    "sCouldntConnectTo",
    "sError",
    "sbNetworkMode",
    "sbNetworksFound",
    "sbNetworksActive",
    "sbNetworksDisplayed",
    "sAverage",
    "sMinimum",
    "sMAximum",
    "sCurrent",
    "sReportGenerated",
    "sInformation",
    "sWirelessOn",
    "sWirelessOff",
    "sMHz",
    "sGHz",
    "sNA",
    "sWLANInterfaceNotInitialized",
    "sWLANInterfaceInterfaceMissing",
    "sWLANInterfaceCouldNotEnumerate",
    "sSupported",
    "sNotSupported",
    // current-connection rows
    "srowCurrentConnectionSSID",
    "srowCurrentConnectionMAC",
    "srowCurrentConnectionMACVendor",
    "srowCurrentConnectionBssType",
    "srowCurrentConnectionPhyType",
    "srowCurrentConnectionChannel",
    "srowCurrentConnectionRSSI",
    "srowCurrentConnectionSignalQuality",
    "srowCurrentConnectionRxRate",
    "srowCurrentConnectionTxRate",
    "srowCurrentConnectionInterfaceState",
    "srowCurrentConnectionInterfaceMediaStreamingMode",
    "srowCurrentConnectionInterfaceBackgroundScanEnabled",
    "srowCurrentConnectionInterfaceAutoConfEnabled",
    "srowCurrentConnectionConnectionMode",
    "srowCurrentConnectionProfileName",
    "srowCurrentConnectionSecurityEnabled",
    "srowCurrentConnectionAuthAlgorithm",
    "srowCurrentConnectionCipherAlgorithm",
    "srowCurrentConnectionOneXEnabled",
    "srowCurrentConnectionInterface",
    "sGraphNameChannels",
    "sGraphNameFrequency",
    // cipher algorithms
    "sDOT11_CIPHER_ALGO_NONE",
    "sDOT11_CIPHER_ALGO_WEP40",
    "sDOT11_CIPHER_ALGO_TKIP",
    "sDOT11_CIPHER_ALGO_CCMP",
    "sDOT11_CIPHER_ALGO_WEP104",
    "sDOT11_CIPHER_ALGO_BIP",
    "sDOT11_CIPHER_ALGO_GCMP",
    "sDOT11_CIPHER_ALGO_WPA_USE_GROUP",
    "sDOT11_CIPHER_ALGO_WEP",
    "sUnknownAlgorithm",
    "sVendorSpecificAlgorithm",
    // BSS types
    "sdot11_BSS_type_infrastructure",
    "sdot11_BSS_type_independent",
    "sdot11_BSS_type_any",
    "sUnknownBSStype",
    "StrFmtChannel2",
    "sAxisXTime",
    "sWLANProfilesDelete",
    "sWLANProfilesRenameTitle",
    "sWLANProfilesRenameCaption",
    // authentication algorithms
    "sDOT11_AUTH_ALGO_80211_OPEN",
    "sDOT11_AUTH_ALGO_80211_SHARED_KEY",
    "sDOT11_AUTH_ALGO_WPA",
    "sDOT11_AUTH_ALGO_WPA_PSK",
    "sDOT11_AUTH_ALGO_WPA_NONE",
    "sDOT11_AUTH_ALGO_RSNA",
    "sDOT11_AUTH_ALGO_RSNA_PSK",
    // quality classes
    "sDOT11_Quality_Offline",
    "sDOT11_Quality_Poor",
    "sDOT11_Quality_Fair",
    "sDOT11_Quality_Good",
    "sDOT11_Quality_VeryGood",
    "sDOT11_Quality_Excellent",
    "sFilterNameQuality",
    "sFilterTypeChannelWidth",
    "sFilterNameSecurity",
    "sFilterNameNetworkMode",
    "sFilterNameBand",
    "sRefreshWLANInterfaceListWarning",
    "SRadioStateOFF",
    "SRadioStateON",
    "SRadioStateUnknown",
    "sWNICHardOff",
    "sWNICSoftOff",
    // PHY types
    "sdot11_phy_type_any",
    "sdot11_phy_type_fhss",
    "sdot11_phy_type_dsss",
    "sdot11_phy_type_irbaseband",
    "sdot11_phy_type_ofdm",
    "sdot11_phy_type_hrdsss",
    "sdot11_phy_type_erp",
    "sdot11_phy_type_ht",
    "sdot11_phy_type_vht",
    "sdot11_phy_type_dmg",
    "sdot11_phy_type_he",
    "sUnknownPHYtype",
    "sChannels",
    // interface states
    "swlan_interface_state_not_ready",
    "swlan_interface_state_connected",
    "swlan_interface_state_ad_hoc_network_formed",
    "swlan_interface_state_disconnecting",
    "swlan_interface_state_disconnected",
    "swlan_interface_state_associating",
    "swlan_interface_state_discovering",
    "swlan_interface_state_authenticating",
    "swlan_interface_state_unknown_state",
    // connection modes
    "swlan_connection_mode_profile",
    "swlan_connection_mode_temporary_profile",
    "swlan_connection_mode_discovery_secure",
    "swlan_connection_mode_discovery_unsecure",
    "swlan_connection_mode_auto",
    "swlan_connection_mode_invalid",
    "swlan_connection_mode_unknown",
};

std::vector<std::string_view> BuildFixedTextKeys() {
  std::vector<std::string_view> keys(std::begin(kPlainFixedKeys), std::end(kPlainFixedKeys));
  static std::vector<std::string> descriptions;  // owns the "...Desc" keys the views point into
  auto addCounters = [&](const std::vector<std::string_view>& names) {
    for (std::string_view name : names) {
      keys.push_back(name);
      descriptions.push_back(std::string(name) + "Desc");
    }
  };
  descriptions.reserve(MacCounterKeys().size() + PhyCounterKeys().size());
  addCounters(MacCounterKeys());
  for (size_t i = 0; i < MacCounterKeys().size(); ++i) keys.push_back(descriptions[i]);
  for (std::string_view k :
       {"sbSSID", "sbConnectedTo", "sbRSSI", "sbSignalQuality", "Rx: %sMbps", "Tx: %sMbps", "Open"})
    keys.push_back(k);
  size_t first = descriptions.size();
  addCounters(PhyCounterKeys());
  for (size_t i = first; i < descriptions.size(); ++i) keys.push_back(descriptions[i]);
  return keys;
}

}  // namespace

const std::vector<std::string_view>& FixedTextKeys() {
  static const std::vector<std::string_view> keys = BuildFixedTextKeys();
  return keys;
}

const std::vector<std::string_view>& OtherTextKeys() {
  static const std::vector<std::string_view> keys = {"sAllignLeft", "sAllignRight", "sAllignCenter"};
  return keys;
}

}  // namespace skimlet
