// A wireless service whose answers a test sets up field by field, and which records what it was asked.
#pragma once

#include <map>
#include <vector>

#include "core/service/wlan_service.h"

namespace skimlet::test {

class FakeWlanService : public WlanService {
 public:
  struct Answer {
    WlanResult Result = WlanError::kNotSupported;
    WlanBlock Block;
  };

  WlanResult OpenResult = 0;
  WlanNotificationCallback Callback;
  Answer Interfaces, BssList, Capability, Profiles;
  WlanResult DisconnectResult = 0;
  int DisconnectCalls = 0;
  std::map<uint32_t, Answer> Queries;  // by opcode
  WlanResult ConnectResult = 0;

  int ScanCalls = 0;
  std::vector<WLAN_GUID> ScannedGuids;
  std::vector<WLAN_PHY_RADIO_STATE> RadioSwitches;
  std::vector<WLAN_CONNECTION_PARAMETERS> Connects;

  void SetQuery(uint32_t opcode, WlanBlock block) { Queries[opcode] = {0, std::move(block)}; }
  void FailQuery(uint32_t opcode) { Queries[opcode] = {WlanError::kInvalidState, {}}; }
  void SetCapability(std::vector<uint32_t> phyTypes) {
    WLAN_INTERFACE_CAPABILITY c;
    c.dot11PhyTypes = std::move(phyTypes);
    Capability = {0, c.Encode()};
  }
  void Notify(uint32_t source, uint32_t code) {
    if (Callback) Callback({source, code, {}, {}});
  }

  WlanResult OpenHandle(uint32_t, uint32_t& negotiated) override {
    negotiated = 2;
    return OpenResult;
  }
  WlanResult CloseHandle() override { return 0; }
  WlanResult RegisterNotification(uint32_t, bool, WlanNotificationCallback callback) override {
    Callback = std::move(callback);
    return 0;
  }
  WlanResult EnumInterfaces(WlanBlock& out) override { return Give(Interfaces, out); }
  WlanResult Scan(const WLAN_GUID& guid) override {
    ++ScanCalls;
    ScannedGuids.push_back(guid);
    return 0;
  }
  WlanResult GetNetworkBssList(const WLAN_GUID&, const DOT11_SSID*, uint32_t, bool, WlanBlock& out) override {
    return Give(BssList, out);
  }
  WlanResult QueryInterface(const WLAN_GUID&, uint32_t opcode, WlanBlock& out) override {
    auto it = Queries.find(opcode);
    if (it == Queries.end()) {
      out.clear();
      return WlanError::kNotSupported;
    }
    return Give(it->second, out);
  }
  WlanResult SetInterface(const WLAN_GUID&, uint32_t opcode, std::span<const uint8_t> data) override {
    if (opcode == kOpcodeRadioState)
      if (auto r = WLAN_PHY_RADIO_STATE::Decode(data)) RadioSwitches.push_back(*r);
    return 0;
  }
  WlanResult GetInterfaceCapability(const WLAN_GUID&, WlanBlock& out) override { return Give(Capability, out); }
  WlanResult Connect(const WLAN_GUID&, const WLAN_CONNECTION_PARAMETERS& p) override {
    Connects.push_back(p);
    return ConnectResult;
  }
  WlanResult Disconnect(const WLAN_GUID&) override {
    ++DisconnectCalls;
    return DisconnectResult;
  }
  WlanResult GetProfileList(const WLAN_GUID&, WlanBlock& out) override { return Give(Profiles, out); }
  WlanResult DeleteProfile(const WLAN_GUID&, std::string_view) override { return 0; }
  WlanResult RenameProfile(const WLAN_GUID&, std::string_view, std::string_view) override { return 0; }
  WlanResult SetProfilePosition(const WLAN_GUID&, std::string_view, uint32_t) override { return 0; }
  WlanResult EditProfile(uint32_t, std::string_view, const WLAN_GUID&, void*, uint32_t, uint32_t&) override {
    return WlanError::kNotSupported;
  }

 private:
  static WlanResult Give(const Answer& a, WlanBlock& out) {
    out = a.Result == 0 ? a.Block : WlanBlock{};
    return a.Result;
  }
};

}  // namespace skimlet::test
