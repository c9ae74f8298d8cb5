#include "cli/snapshot_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
  if (!r.Warning.empty()) std::fprintf(stderr, "skimlet-cli: warning: %s: %s\n", file.c_str(), r.Warning.c_str());
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

std::string InputName(const std::string& file) { return file == "-" ? "standard input" : file; }

namespace {

// A named file that cannot seek (a FIFO, /dev/stdin or /dev/fd/N of a pipe, a terminal): read as a stream,
// like standard input. Fd is open on it afterwards, or -1 for a regular file (read by name) or a name that
// cannot be opened (the reader says why).
class StreamInput {
 public:
  explicit StreamInput(const std::string& file) {
    if (file == "-") {
      fd_ = STDIN_FILENO;
      return;
    }
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) return;
    fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    owned_ = fd_ >= 0;
  }
  ~StreamInput() {
    if (owned_) ::close(fd_);
  }
  StreamInput(const StreamInput&) = delete;
  StreamInput& operator=(const StreamInput&) = delete;
  int Fd() const { return fd_; }

 private:
  int fd_ = -1;
  bool owned_ = false;
};

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

}  // namespace

std::unique_ptr<LoadedNetworks> LoadNetworks(const std::string& file, std::string& error) {
  auto loaded = std::make_unique<LoadedNetworks>();
  // No settings folder: nothing is read from or written to the user's comments and colours.
  loaded->List = std::make_unique<TWLANNetworkList>(loaded->Options);
  // A vendor database that cannot be read is not tried again for every network.
  loaded->List->OnVendorError = [list = loaded->List.get()](const std::string& message) {
    WarnOnce(message);
    list->VendorLookup = nullptr;
  };
  const std::string& path = file;
  const std::string name = InputName(file);
  // A snapshot or a capture, told apart by content; a stream is read once, as it comes.
  StreamInput stream(file);
  TSurveyLoadResult r =
      stream.Fd() >= 0 ? LoadSurveyStream(*loaded->List, stream.Fd(), name) : LoadSurveyFile(*loaded->List, path);
  if (!r.Ok) {
    error = r.Message;
    ReplaceAll(error, path, name);
    if (error.find(name) == std::string::npos) error = name + ": " + error;
    return nullptr;
  }
  if (r.Kind == TSurveyFileKind::Snapshot && r.Snapshot == SnapshotStatus::NoHeader) {
    error = name + ": neither a snapshot nor a capture (too short)";
    return nullptr;
  }
  if (r.Kind == TSurveyFileKind::Snapshot && r.Snapshot == SnapshotStatus::UnknownFormat) {
    error = name + ": " + r.Message + " Neither a snapshot nor a pcap or pcapng capture.";
    return nullptr;
  }
  loaded->SavedTime = r.SavedTime;
  loaded->Capture = r.Kind == TSurveyFileKind::Capture;
  loaded->ZoneKnown = r.ZoneKnown;
  WarnAboutSkipped(name, r);
  return loaded;
}

std::unique_ptr<LoadedNetworks> LoadNetworks(const std::vector<std::string>& files, std::string& error) {
  if (std::count(files.begin(), files.end(), "-") > 1) {
    error = "standard input can be read only once";
    return nullptr;
  }
  std::unique_ptr<LoadedNetworks> merged;
  for (const std::string& file : files) {
    auto next = LoadNetworks(file, error);
    if (!next) return nullptr;
    if (!merged) {
      merged = std::move(next);
      continue;
    }
    TWLANNetworkList& list = *merged->List;
    for (auto& n : next->List->Items) {
      TWLANNetwork* known = list.FindByBSSID(n->Entry);
      if (!known) {
        list.Append(std::move(n));
        continue;
      }
      const LocalDateTime first = std::min(known->FirstSeen, n->FirstSeen);
      if (n->LastSeen >= known->LastSeen) {
        known->UpdateFromEntry(n->Entry, n->Elements.Data);
        known->LastSeen = n->LastSeen;
        known->SetActive(n->Active);
      }
      known->FirstSeen = first;
    }
    merged->SavedTime = std::max(merged->SavedTime, next->SavedTime);
    merged->Capture = merged->Capture || next->Capture;
    merged->ZoneKnown = merged->ZoneKnown && next->ZoneKnown;
  }
  if (!merged) {
    error = "no file given";
    return nullptr;
  }
  // Heard recently is judged against the latest file: a network of an older survey is no longer active.
  const TProgramOptions& options = merged->Options;
  for (auto& n : merged->List->Items)
    if (n->Active && SecondsBetween(merged->SavedTime, n->LastSeen) > options.DeltaTimeInactive) n->SetActive(false);
  return merged;
}

}  // namespace skimlet::cli
