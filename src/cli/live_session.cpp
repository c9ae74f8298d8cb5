#include "cli/live_session.h"

#include <cstdio>

#include "cli/snapshot_input.h"
#include "core/settings/folders.h"

namespace skimlet::cli {

bool TakeOption(const std::vector<std::string>& args, size_t& i, const std::string& name, std::string& value,
                std::string& error) {
  const std::string& a = args[i];
  if (a == name) {
    if (i + 1 >= args.size()) {
      error = name + " needs a value";
      return true;
    }
    value = args[++i];
    return true;
  }
  if (a.starts_with(name + "=")) {
    value = a.substr(name.size() + 1);
    return true;
  }
  return false;
}

std::unique_ptr<LiveSession> OpenLiveSession(const LiveSessionRequest& request, int& exitStatus) {
  const std::string prefix = "skimlet-cli " + request.Command + ": ";
  auto session = std::make_unique<LiveSession>();
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
