#include "core/settings/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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
  std::string pattern = (folder / ("." + path.filename().string() + ".tmp-XXXXXX")).string();
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
  if (error.empty()) SyncFolder(path);
  return error;
}

bool ReadWholeFile(const fs::path& path, std::string& out) {
  out.clear();
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) out.append(buf, static_cast<size_t>(in.gcount()));
  return !in.bad();
}

}  // namespace skimlet
