// skimlet-cli interfaces: the wireless interfaces of the service with their state, the radio state of each
// PHY and the current connection.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/commands.h"
#include "cli/display_width.h"
#include "cli/standard_output.h"
#include "cli/language.h"
#include "cli/live_session.h"
#include "cli/network_output.h"
#include "core/base/format.h"
#include "core/base/text.h"
#include "core/base/translate.h"
#include "core/base/safe_text.h"
#include "core/radio/values.h"

namespace skimlet::cli {

namespace {

constexpr const char* kUsage =
    "Usage: skimlet-cli interfaces [--service S] [--json]\n"
    "\n"
    "Lists the wireless interfaces with their kernel name, hardware address, state, the radio state of each\n"
    "PHY and the current connection. They are numbered from 0 in the order the service enumerates them; scan\n"
    "--interface takes that number or the kernel name.\n"
    "\n"
    "  --service S  sim (the simulated radio), sim:FILE.scene, replay:FILE.snapshot or linux; by default the\n"
    "               Linux radio when the machine has Wi-Fi hardware (without it: an error)\n"
    "  --json       an array of objects, one per interface\n";

std::string MacText(const WlanInterfaceIdentity& identity) {
  return identity.Mac ? BytesToHex(*identity.Mac, ":") : std::string();
}

// A label or text of the listing in the current language, English where it has none.
std::string L(const char* key, const char* english) { return Translate(key, english); }

std::string RadioText(const TRadioState& r) {
  return Format(L("sItfRadioText", "software %s, hardware %s"),
                {RadioStateText(r.SoftwareState), RadioStateText(r.HardwareState)});
}

std::string Text(const TWLANInterface& i, int index, const WlanInterfaceIdentity& identity) {
  std::vector<std::pair<std::string, std::string>> rows = {
      {L("sItfName", "Name"), identity.Name.empty() ? "-" : identity.Name},
      {L("sItfMac", "MAC address"), identity.Mac ? MacText(identity) : "-"},
      {L("sItfUp", "Up"), identity.Up ? YesNoText(*identity.Up) : "-"},
      {L("sItfGuid", "GUID"), GuidToText(i.GUID)},
      {L("sItfState", "State"), i.StateText()},
      {L("sItfAutoConf", "Auto configuration"), YesNoText(i.AutoConfEnabled)},
      {L("sItfBackgroundScan", "Background scan"), YesNoText(i.BackgroundScanEnabled)},
      {L("sItfMediaStreaming", "Media streaming"), YesNoText(i.MediaStreamingMode)},
  };
  bool anyRadio = false;
  for (int p = 0; p < PhyTypeCount; ++p) {
    const TRadioState& r = i.RadioStates[static_cast<size_t>(p)];
    if (!r.Present) continue;
    rows.push_back({anyRadio ? "" : L("sItfRadio", "Radio"), PhyTypeName(p) + ": " + RadioText(r)});
    anyRadio = true;
  }
  if (!anyRadio) rows.push_back({L("sItfRadio", "Radio"), L("sItfNoPhy", "no PHY reported")});
  const TWLANConnection& c = *i.Connection;
  if (c.BSSIDText.empty()) {
    rows.push_back({L("sItfConnection", "Connection"), L("sItfNone", "none")});
  } else {
    rows.insert(rows.end(), {
                                {L("sItfConnection", "Connection"), c.SSID + " (" + c.BSSIDText + ")"},
                                {L("sItfVendor", "Vendor"), c.Vendor},
                                {L("sItfProfile", "Profile"), c.ProfileName},
                                {L("sItfConnectionMode", "Connection mode"), c.ConnectionModeText()},
                                {L("sItfNetworkType", "Network type"), c.BssTypeText()},
                                {L("sItfPhyType", "PHY type"), c.PhyTypeText()},
                                {L("sItfChannel", "Channel"), std::to_string(c.Channel)},
                                {L("sItfRssi", "RSSI"), std::to_string(c.RSSI) + " dBm"},
                                {L("sItfSignalQuality", "Signal quality"), std::to_string(c.SignalQuality) + " %"},
                                {L("sItfRxRate", "Receive rate"), c.RxRateText() + " Mbit/s"},
                                {L("sItfTxRate", "Transmit rate"), c.TxRateText() + " Mbit/s"},
                                {L("sItfSecurity", "Security"), YesNoText(c.SecurityEnabled)},
                                {L("sItf8021X", "802.1X"), YesNoText(c.OneXEnabled)},
                                {L("sItfAuthentication", "Authentication"), c.AuthAlgorithmText()},
                                {L("sItfCipher", "Cipher"), c.CipherAlgorithmText()},
                            });
  }
  std::string out = L("sItfInterface", "Interface") + " " + std::to_string(index) + ": " +
                    SafeText(i.Description, SafeTextStyle::Terminal) + "\n";
  // The values line up after the widest label of the language.
  size_t width = 0;
  for (const auto& row : rows) width = std::max(width, DisplayWidth(row.first) + 2);
  width = std::max<size_t>(width, 20);
  for (const auto& [name, value] : rows) {
    const std::string label = name.empty() ? "" : name + ":";
    out +=
        "  " + label + std::string(width - DisplayWidth(label), ' ') + SafeText(value, SafeTextStyle::Terminal) + "\n";
  }
  return out;
}

std::string Json(const TWLANInterface& i, int index, const WlanInterfaceIdentity& identity) {
  auto b = [](bool v) { return std::string(v ? "true" : "false"); };
  std::string radios = "[";
  bool first = true;
  for (int p = 0; p < PhyTypeCount; ++p) {
    const TRadioState& r = i.RadioStates[static_cast<size_t>(p)];
    if (!r.Present) continue;
    radios += std::string(first ? "" : ", ") + "{\"phyType\": " + std::to_string(p) +
              ", \"phy\": " + JsonString(PhyTypeName(p)) +
              ", \"software\": " + JsonString(RadioStateText(r.SoftwareState)) +
              ", \"hardware\": " + JsonString(RadioStateText(r.HardwareState)) + "}";
    first = false;
  }
  radios += "]";
  const TWLANConnection& c = *i.Connection;
  std::string connection = "null";
  if (!c.BSSIDText.empty())
    connection = "{\"ssid\": " + JsonString(c.SSID) + ", \"bssid\": " + JsonString(c.BSSIDText) +
                 ", \"vendor\": " + JsonString(c.Vendor) + ", \"profile\": " + JsonString(c.ProfileName) +
                 ", \"connectionMode\": " + JsonString(c.ConnectionModeText()) +
                 ", \"networkType\": " + JsonString(c.BssTypeText()) + ", \"phyType\": " + JsonString(c.PhyTypeText()) +
                 ", \"channel\": " + (c.Channel > 0 ? std::to_string(c.Channel) : "null") +
                 ", \"signalDbm\": " + (c.RSSI < 0 && c.RSSI > -100 ? std::to_string(c.RSSI) : "null") +
                 ", \"signalQualityPercent\": " + std::to_string(c.SignalQuality) +
                 ", \"rxRateKbps\": " + std::to_string(c.RxRate) + ", \"txRateKbps\": " + std::to_string(c.TxRate) +
                 ", \"securityEnabled\": " + b(c.SecurityEnabled) + ", \"oneXEnabled\": " + b(c.OneXEnabled) +
                 ", \"authentication\": " + JsonString(c.AuthAlgorithmText()) +
                 ", \"cipher\": " + JsonString(c.CipherAlgorithmText()) + "}";
  return "  {\"index\": " + std::to_string(index) +
         ", \"name\": " + (identity.Name.empty() ? "null" : JsonString(identity.Name)) +
         ", \"mac\": " + (identity.Mac ? JsonString(MacText(identity)) : "null") +
         ", \"up\": " + (identity.Up ? b(*identity.Up) : "null") + ", \"description\": " + JsonString(i.Description) +
         ", \"guid\": " + JsonString(GuidToText(i.GUID)) + ", \"state\": " + JsonString(i.StateText()) +
         ", \"autoConfiguration\": " + b(i.AutoConfEnabled) + ", \"backgroundScan\": " + b(i.BackgroundScanEnabled) +
         ", \"mediaStreaming\": " + b(i.MediaStreamingMode) + ", \"radio\": " + radios +
         ", \"connection\": " + connection + "}";
}

}  // namespace

std::string InterfacesHelp() { return kUsage; }

int RunInterfaces(const Args& args) {
  LiveSessionRequest request{"interfaces", {}, {}};
  bool json = false;
  std::vector<std::string> none;
  const CommandLine line = CommandLineOf("interfaces");
  if (auto status = ReadArguments(line, args, none, [&](const Args& args, size_t& i, std::string& error) {
        std::string value;
        if (args[i] == "--json") json = true;
        else if (!TakeOption(args, i, "--service", value, error)) return false;
        else if (!error.empty() || value.empty()) error = "--service needs a value";
        else request.Service = value;
        return true;
      }))
    return *status;
  int status = 0;
  auto session = OpenLiveSession(request, status);
  if (!session) return status;
  TWLANInterfaces& set = *session->Interfaces;
  std::string out = json ? "[\n" : "";
  for (int k = 0; k < set.Count(); ++k) {
    TWLANInterface& i = *set.Items[static_cast<size_t>(k)];
    // Properties and connection were queried when the interface was listed.
    i.UpdateRadioState();
    const WlanInterfaceIdentity identity = IdentityOf(*session, i);
    const std::optional<MachineTexts> english = json ? std::optional<MachineTexts>(std::in_place) : std::nullopt;
    if (json) out += Json(i, k, identity) + (k + 1 < set.Count() ? ",\n" : "\n");
    else out += (k ? "\n" : "") + Text(i, k, identity);
  }
  if (json) out += "]\n";
  else if (set.Count() == 0) out = "No wireless interface.\n";
  return WriteOutputStatus(out);
}

}  // namespace skimlet::cli
