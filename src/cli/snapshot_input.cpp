#include "cli/snapshot_input.h"

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

// Standard input copied to a temporary file, which libpcap and the snapshot reader can open like any other;
// removed again when this goes.
class StdinCopy {
public:
  bool Make(std::string& error) {
    const char* dir = std::getenv("TMPDIR");
    path_ = std::string(dir && *dir ? dir : "/tmp") + "/skimlet-cli-stdin-XXXXXX";
    int fd = ::mkstemp(path_.data());
    if (fd < 0) {
      error = "standard input: cannot make a temporary copy in " + path_.substr(0, path_.rfind('/')) + ": " +
              std::strerror(errno);
      path_.clear();
      return false;
    }
    char buf[65536];
    for (;;) {
      ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
      if (n == 0) break;
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        error = std::string("standard input: cannot be read: ") + std::strerror(errno);
        ::close(fd);
        return false;
      }
      for (ssize_t done = 0; done < n;) {
        ssize_t w = ::write(fd, buf + done, static_cast<size_t>(n - done));
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) {
          error = "standard input: cannot copy it to " + path_ + ": " + std::strerror(errno);
          ::close(fd);
          return false;
        }
        done += w;
      }
    }
    ::close(fd);
    return true;
  }
  ~StdinCopy() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  const std::string& Path() const { return path_; }

private:
  std::string path_;
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
  StdinCopy copy;
  std::string path = file;
  if (file == "-") {
    if (!copy.Make(error)) return nullptr;
    path = copy.Path();
  }
  const std::string name = InputName(file);
  // A snapshot or a capture, told apart by content.
  TSurveyLoadResult r = LoadSurveyFile(*loaded->List, path);
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
