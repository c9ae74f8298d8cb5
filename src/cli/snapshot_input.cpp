#include "cli/snapshot_input.h"

#include <cstdio>

#include "core/ie/vendor.h"
#include "core/model/snapshot.h"
#include "core/model/vendor/vendor.h"

namespace skimlet::cli {

namespace {
void WarnOnce(const std::string& message) {
  static bool warned = false;
  if (warned) return;
  warned = true;
  std::fprintf(stderr, "skimlet-cli: warning: vendor names unavailable: %s\n", message.c_str());
}
}  // namespace

void InstallVendorNames() {
  SetOUIVendorLookup([](uint32_t oui) {
    try {
      return VendorOfOUI(oui);
    } catch (const std::exception& e) {
      WarnOnce(e.what());
      return std::string();
    }
  });
}

std::unique_ptr<LoadedNetworks> LoadNetworks(const std::string& file, std::string& error) {
  auto loaded = std::make_unique<LoadedNetworks>();
  // No settings folder: nothing is read from or written to the user's comments and colours.
  loaded->List = std::make_unique<TWLANNetworkList>(loaded->Options);
  loaded->List->OnVendorError = WarnOnce;
  TSnapshotLoadResult r = LoadSnapshot(*loaded->List, file);
  switch (r.Status) {
    case SnapshotStatus::Ok: break;
    case SnapshotStatus::NoHeader: error = file + ": not a snapshot (too short)"; return nullptr;
    case SnapshotStatus::UnknownFormat: error = file + ": " + r.Message; return nullptr;
    case SnapshotStatus::ReadError: error = r.Message; return nullptr;
  }
  if (r.Skipped > 0)
    std::fprintf(stderr, "skimlet-cli: warning: %s: %zu record(s) that made no sense were skipped\n", file.c_str(),
                 r.Skipped);
  return loaded;
}

}  // namespace skimlet::cli
