#include "cli/live_session.h"

#include <algorithm>
#include <cstdio>

#include "cli/network_output.h"
#include "core/base/safe_text.h"

#include "cli/snapshot_input.h"
#include "core/settings/folders.h"

namespace skimlet::cli {

namespace {
int IndexOf(const LiveSession& session, const TWLANInterface& i) {
  const auto& items = session.Interfaces->Items;
  for (size_t k = 0; k < items.size(); ++k)
    if (items[k].get() == &i) return static_cast<int>(k);
  return -1;
}
}  // namespace

WlanInterfaceIdentity IdentityOf(const LiveSession& session, const TWLANInterface& i) {
  WlanInterfaceIdentity identity;
  if (session.Selection.Service->QueryInterfaceIdentity(i.GUID, identity) != WlanError::kSuccess) return {};
  return identity;
}

std::string InterfaceLabel(const LiveSession& session, const TWLANInterface& i) {
  WlanInterfaceIdentity identity = IdentityOf(session, i);
  return SafeText(identity.Name.empty() ? i.Description : identity.Name, SafeTextStyle::Terminal);
}

int ChooseInterface(LiveSession& session, const std::optional<std::string>& choice, int& exitStatus) {
  const TWLANInterfaces& set = *session.Interfaces;
  const std::string prefix = "skimlet-cli " + session.Command + ": ";
  exitStatus = 1;
  if (set.Count() == 0) {
    std::fprintf(stderr, "%sthe service has no wireless interface\n", prefix.c_str());
    return -1;
  }
  int index = -1;
  if (!choice) {
    index = std::max(set.FirstConnectedIndex(), 0);
  } else if (!choice->empty() && choice->find_first_not_of("0123456789") == std::string::npos && choice->size() < 7) {
    index = std::stoi(*choice);
    if (index >= set.Count()) {
      std::fprintf(stderr, "%sthere is no interface %d (the service has %d, numbered from 0)\n", prefix.c_str(), index,
                   set.Count());
      return -1;
    }
  } else {
    std::string names;
    for (int k = 0; k < set.Count(); ++k) {
      const std::string name = IdentityOf(session, *set.Items[static_cast<size_t>(k)]).Name;
      if (name == *choice) index = k;
      if (!name.empty()) names += (names.empty() ? "" : ", ") + SafeText(name, SafeTextStyle::Terminal);
    }
    if (index < 0) {
      std::fprintf(stderr, "%sthere is no interface named '%s' (%s)\n", prefix.c_str(),
                   SafeText(*choice, SafeTextStyle::Terminal).c_str(),
                   names.empty() ? "the service names none" : ("the interfaces: " + names).c_str());
      return -1;
    }
  }
  exitStatus = 0;
  return index;
}

std::string LiveInterfaceProblem(const LiveSession& session, const TWLANInterface& i) {
  WlanInterfaceIdentity identity;
  const WlanResult r = session.Selection.Service->QueryInterfaceIdentity(i.GUID, identity);
  const std::string label = SafeText(identity.Name.empty() ? i.Description : identity.Name, SafeTextStyle::Terminal);
  if (r == WlanError::kNotFound) return "the interface " + label + " has disappeared";
  if (r == WlanError::kSuccess && identity.Up == false)
    return "the interface " + label + " is down; no scan results can come (bring it up, e.g. 'ip link set " + label +
           " up')";
  return {};
}

std::string InterfaceJsonSummary(const LiveSession& session, const TWLANInterface& i) {
  const WlanInterfaceIdentity identity = IdentityOf(session, i);
  return "{\"index\": " + std::to_string(IndexOf(session, i)) +
         ", \"name\": " + (identity.Name.empty() ? "null" : JsonString(identity.Name)) +
         ", \"description\": " + JsonString(i.Description) + "}";
}

std::unique_ptr<LiveSession> OpenLiveSession(const LiveSessionRequest& request, int& exitStatus) {
  const std::string prefix = "skimlet-cli " + request.Command + ": ";
  auto session = std::make_unique<LiveSession>();
  session->Command = request.Command;
  sim::SimOptions simOptions;  // no settings folder: the simulated radio keeps its profiles in memory
  if (request.SimScanSeconds) simOptions.MinScanSeconds = simOptions.MaxScanSeconds = *request.SimScanSeconds;
  // Invented networks are never passed off as real: the simulated radio only when asked for by name.
  session->Selection =
      SelectWlanService(request.Service, ExecutableFolder().string(), simOptions, "/sys", WithoutWifiHardware::Fail);
  if (!session->Selection.Service) {
    std::fprintf(stderr, "%s%s\n", prefix.c_str(), session->Selection.Error.c_str());
    exitStatus = session->Selection.UsageError ? 2 : 1;
    return nullptr;
  }

  InstallVendorNames();
  session->Interfaces = std::make_unique<TWLANInterfaces>(*session->Selection.Service, session->Options);
  session->Interfaces->OnVendorError = [](const std::string& message) {
    static bool warned = false;
    if (!warned) std::fprintf(stderr, "skimlet-cli: warning: vendor names unavailable: %s\n", message.c_str());
    warned = true;
  };
  TScanResultsQueue* queue = &session->Queue;
  session->Cycle = std::make_unique<TUpdateCycle>(*session->Interfaces, session->Options, [queue] { queue->Post(); });
  if (!session->Interfaces->Open()) {
    std::fprintf(stderr, "%sthe wireless service could not be opened\n", prefix.c_str());
    exitStatus = 1;
    return nullptr;
  }
  if (!session->Interfaces->Enumerate()) {
    std::fprintf(stderr, "%sthe wireless interfaces could not be listed\n", prefix.c_str());
    exitStatus = 1;
    return nullptr;
  }
  return session;
}

}  // namespace skimlet::cli
