// The current connection of an interface and its stored wireless profiles.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/graph/wifi_series.h"
#include "core/service/bss_entry.h"
#include "core/wlan/wlan_object.h"

namespace skimlet {

class TWLANNetwork;
struct WLAN_CONNECTION_PARAMETERS;

class TWLANConnection : public TWlanObject {
 public:
  TWLANConnection(TWLANInterface* owner, ChangeHandler onChange) : TWlanObject(owner, std::move(onChange)) {}

  std::string BSSIDText;  // empty when not connected
  std::string SSID;
  uint32_t TxRate = 0;  // kbit/s
  uint32_t RxRate = 0;  // kbit/s
  int32_t SignalQuality = 0;
  std::string Vendor;
  uint32_t BssType = 0;
  uint32_t PhyType = 0;
  uint32_t State = 0;  // interface state; 4 (disconnected) after a failed query
  uint32_t ConnectionMode = 0;
  std::string ProfileName;
  bool SecurityEnabled = false;
  uint32_t AuthAlgorithm = 0;
  uint32_t CipherAlgorithm = 0;
  uint32_t Channel = 0;
  bool OneXEnabled = false;
  int32_t RSSI = 0;  // dBm
  DOT11_SSID RawSSID;
  std::array<uint8_t, 6> BSSID{};
  TCurrentConnectionSeries Series;

  // Connection attributes, channel and RSSI from the service, one sample, then OnChange. Also tells the
  // interface's network list which BSSID is the connected one.
  void Update() override;

  std::string BssTypeText() const;
  std::string PhyTypeText() const;
  std::string RxRateText() const;
  std::string TxRateText() const;
  std::string ConnectionModeText() const;
  std::string AuthAlgorithmText() const;
  std::string CipherAlgorithmText() const;

 private:
  void QueryAttributes();
  void QueryChannel();
  void QueryRssi();
};

// The RSSI in dBm of the value the service reports: values up to 0 are dBm already, 1..100 are a percentage
// (v - 95), larger ones a 0..255 scale (v * 50 / 255 - 100). When the result lies more than 10 dB from the
// estimate of the signal quality (quality / 2 - 100), the estimate is taken.
int32_t ReportedRssiToDbm(int32_t reported, int32_t signalQuality);

// The texts of the connection's values.
std::string ConnectionModeText(uint32_t mode);
std::string AuthAlgorithmText(uint32_t algorithm);
std::string CipherAlgorithmText(uint32_t algorithm);
// kbit/s as Mbit/s with one decimal and thousands separators: 866.7.
std::string RateKbpsText(uint32_t kbps);
std::string YesNoText(bool value);

// What a connect request to Network carries: discovery mode (secure when the network has Privacy), its SSID,
// its BSSID as the one desired BSSID, its BSS type, and "ad hoc only" for an ad hoc network.
WLAN_CONNECTION_PARAMETERS ConnectionParametersFor(const TWLANNetwork& network);

class TWLANProfile {
 public:
  std::string Name;
};

class TWLANProfiles : public TWlanObject {
 public:
  TWLANProfiles(TWLANInterface* owner, ChangeHandler onChange) : TWlanObject(owner, std::move(onChange)) {}

  // In the service's priority order.
  std::vector<std::unique_ptr<TWLANProfile>> Items;

  // Refreshes the names (the objects are reused in place; surplus ones are freed from the end), then OnChange.
  // A failed query leaves Items as they were.
  void Update() override;
  // The service's result code of each operation (0 success).
  uint32_t Delete(const std::string& name);
  uint32_t Rename(const std::string& oldName, const std::string& newName);
  uint32_t SetPosition(const std::string& name, uint32_t position);
  uint32_t Edit(const std::string& name, void* parentWindow);
};

}  // namespace skimlet
