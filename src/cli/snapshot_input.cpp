#include "cli/snapshot_input.h"

#include <cstdio>

#include "core/ie/vendor.h"
#include "core/capture/survey_file.h"
#include "core/model/snapshot.h"
#include "core/vendor/vendor.h"

namespace skimlet::cli {

namespace {
void WarnOnce(const std::string& message) {
  static bool warned = false;
  if (warned) return;
  warned = true;
  std::fprintf(stderr, "skimlet-cli: warning: vendor names unavailable: %s\n", message.c_str());
}
void WarnAboutSkipped(const std::string& file, const TSurveyLoadResult& r) {
  if (r.SkippedRecords > 0)
    std::fprintf(stderr, "skimlet-cli: warning: %s: %zu record(s) that made no sense were skipped\n", file.c_str(),
                 r.SkippedRecords);
  const TCaptureStats& c = r.Capture;
  if (c.Malformed > 0)
    std::fprintf(stderr, "skimlet-cli: warning: %s: %llu malformed frame(s) skipped (first: %s)\n", file.c_str(),
                 static_cast<unsigned long long>(c.Malformed), c.FirstProblem.c_str());
  if (c.BadFCS > 0)
    std::fprintf(stderr, "skimlet-cli: warning: %s: %llu frame(s) with a bad frame check sequence skipped\n",
                 file.c_str(), static_cast<unsigned long long>(c.BadFCS));
  if (c.Truncated)
    std::fprintf(stderr, "skimlet-cli: warning: %s: reading stopped after %llu frame(s): %s\n", file.c_str(),
                 static_cast<unsigned long long>(c.Frames), c.TruncationText.c_str());
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
  // A vendor database that cannot be read is not tried again for every network.
  loaded->List->OnVendorError = [list = loaded->List.get()](const std::string& message) {
    WarnOnce(message);
    list->VendorLookup = nullptr;
  };
  // A snapshot or a capture, told apart by content.
  TSurveyLoadResult r = LoadSurveyFile(*loaded->List, file);
  if (!r.Ok) {
    error = r.Message;
    return nullptr;
  }
  if (r.Kind == TSurveyFileKind::Snapshot && r.Snapshot == SnapshotStatus::NoHeader) {
    error = file + ": neither a snapshot nor a capture (too short)";
    return nullptr;
  }
  if (r.Kind == TSurveyFileKind::Snapshot && r.Snapshot == SnapshotStatus::UnknownFormat) {
    error = file + ": " + r.Message + " Neither a snapshot nor a pcap or pcapng capture.";
    return nullptr;
  }
  loaded->SavedTime = r.SavedTime;
  loaded->Capture = r.Kind == TSurveyFileKind::Capture;
  WarnAboutSkipped(file, r);
  return loaded;
}

}  // namespace skimlet::cli
