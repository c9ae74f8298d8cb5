#include "core/base/atomic_file.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace skimlet {

namespace fs = std::filesystem;

namespace {

RenameFunction g_rename = nullptr;

std::string Errno(const char* what, const fs::path& path) {
  return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

// Writes Data to a fresh temporary file beside Path; returns its name in Temp. The file is flushed to disk.
std::string WriteTemporary(const fs::path& path, std::string_view data, mode_t mode, std::string& temp) {
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  // The writer's process id is in the name, so that a later save can tell a file its killed writer left
  // behind from one a running writer still fills (RemoveOrphanedTemporaries).
  std::string pattern =
      (folder / ("." + path.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-XXXXXX")).string();
  int fd = mkstemp(pattern.data());
  if (fd < 0) return Errno("cannot create a temporary file in", folder);
  temp = pattern;
  std::string error;
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0 && error.empty()) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = Errno("cannot write", temp);
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (error.empty() && fchmod(fd, mode) != 0) error = Errno("cannot set the permissions of", temp);
  if (error.empty() && fsync(fd) != 0) error = Errno("cannot flush", temp);
  if (::close(fd) != 0 && error.empty()) error = Errno("cannot close", temp);
  if (!error.empty()) ::unlink(temp.c_str());
  return error;
}

mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Removes the temporary files of earlier saves of Path whose process no longer exists: a save killed between
// creating its temporary file and the rename leaves it behind, and nothing else would ever remove it.
void RemoveOrphanedTemporaries(const fs::path& path) {
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const std::string prefix = "." + path.filename().string() + ".tmp-";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* e = ::readdir(dir)) {
    const std::string_view name = e->d_name;
    if (!name.starts_with(prefix)) continue;
    const std::string_view rest = name.substr(prefix.size());
    const size_t dash = rest.find('-');
    if (dash == std::string_view::npos) continue;
    pid_t pid = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + dash, pid);
    if (ec != std::errc() || end != rest.data() + dash || pid <= 0 || pid == ::getpid()) continue;
    // EPERM: a process of another user is alive with that id.
    if (::kill(pid, 0) != 0 && errno == ESRCH) ::unlinkat(::dirfd(dir), e->d_name, 0);
  }
  ::closedir(dir);
}

void SyncFolder(const fs::path& path) {
  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    ::close(fd);
  }
}

}  // namespace

void SetRenameFunctionForTests(RenameFunction function) { g_rename = function; }

std::string WriteFileAtomic(const fs::path& path, std::string_view data) {
  struct stat st {};
  mode_t mode = NewFileMode();
  if (::stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      errno = EISDIR;
      if (!S_ISDIR(st.st_mode)) errno = EINVAL;
      return Errno("cannot replace", path);
    }
    mode = st.st_mode & 07777;
  }
  std::string temp;
  std::string error = WriteTemporary(path, data, mode, temp);
  if (!error.empty()) return error;
  int rc = g_rename ? g_rename(temp.c_str(), path.c_str()) : std::rename(temp.c_str(), path.c_str());
  if (rc != 0) {
    error = Errno("cannot replace", path);
    ::unlink(temp.c_str());
    return error;
  }
  RemoveOrphanedTemporaries(path);
  SyncFolder(path);
  return {};
}

std::string WriteFileAtomicNoReplace(const fs::path& path, std::string_view data) {
  std::string temp;
  std::string error = WriteTemporary(path, data, NewFileMode(), temp);
  if (!error.empty()) return error;
  // link() fails when the target exists, so a file that appeared meanwhile is never replaced.
  if (::link(temp.c_str(), path.c_str()) != 0) {
    if (errno == EEXIST) {
      error = Errno("cannot create", path);
    } else {
      // Folders without hard links (some removable and network file systems): check, then rename.
      std::error_code ec;
      if (fs::exists(path, ec)) {
        errno = EEXIST;
        error = Errno("cannot create", path);
      } else {
        int rc = g_rename ? g_rename(temp.c_str(), path.c_str()) : std::rename(temp.c_str(), path.c_str());
        if (rc != 0) error = Errno("cannot create", path);
      }
    }
  }
  ::unlink(temp.c_str());
  if (error.empty()) {
    RemoveOrphanedTemporaries(path);
    SyncFolder(path);
  }
  return error;
}

bool ReadWholeFile(const fs::path& path, std::string& out) { return ReadWholeFile(path, out, nullptr); }

bool ReadWholeFile(const fs::path& path, std::string& out, std::string* error) {
  out.clear();
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    if (error) *error = ec ? ec.message() : (fs::exists(path, ec) ? "not a regular file" : "no such file");
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) out.append(buf, static_cast<size_t>(in.gcount()));
  if (in.bad()) {
    if (error) *error = "read error";
    return false;
  }
  return true;
}

std::string WriteFileAtomic(const fs::path& path, std::span<const uint8_t> data) {
  return WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

}  // namespace skimlet
