#include "core/base/atomic_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace skimlet {
namespace {

namespace fs = std::filesystem;

class AtomicFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("skimlet-atomic-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    SetRenameFunctionForTests(nullptr);
    fs::remove_all(dir_);
  }
  std::string Read(const fs::path& p) {
    std::string s;
    EXPECT_TRUE(ReadWholeFile(p, s));
    return s;
  }
  size_t FileCount() {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  fs::path dir_;
};

TEST_F(AtomicFile, CreatesAndReplaces) {
  fs::path p = dir_ / "colors.txt";
  ASSERT_EQ(WriteFileAtomic(p, std::string_view("first")), "");
  EXPECT_EQ(Read(p), "first");
  const uint8_t bytes[] = {1, 0, 2};
  ASSERT_EQ(WriteFileAtomic(p, std::span<const uint8_t>(bytes)), "");
  EXPECT_EQ(Read(p), std::string("\x01\x00\x02", 3));
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(AtomicFile, AFailedRenameLeavesTheOldFileAndNoTemporary) {
  fs::path p = dir_ / "colors.txt";
  ASSERT_EQ(WriteFileAtomic(p, std::string_view("old")), "");
  SetRenameFunctionForTests([](const char*, const char*) {
    errno = ENOSPC;
    return -1;
  });
  std::string error = WriteFileAtomic(p, std::string_view("new"));
  EXPECT_NE(error.find("colors.txt"), std::string::npos) << error;
  EXPECT_EQ(Read(p), "old");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(AtomicFile, MissingFoldersAndFilesAreErrors) {
  EXPECT_NE(WriteFileAtomic(dir_ / "missing" / "x", std::string_view("x")), "");
  std::string s, error;
  EXPECT_FALSE(ReadWholeFile(dir_ / "nothing", s, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ReadWholeFile(dir_, s, &error));
}

TEST_F(AtomicFile, SymbolicLinksAreWrittenThroughToTheirTargets) {
  fs::create_directory(dir_ / "real");
  fs::path target = dir_ / "real" / "options.xml";
  ASSERT_EQ(WriteFileAtomic(target, std::string_view("old")), "");
  fs::permissions(target, fs::perms(0640));
  fs::create_symlink("real/options.xml", dir_ / "link");  // relative to the link's folder
  fs::create_symlink(dir_ / "link", dir_ / "link2");      // a link to a link
  ASSERT_EQ(WriteFileAtomic(dir_ / "link2", std::string_view("new")), "");
  EXPECT_TRUE(fs::is_symlink(dir_ / "link"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "link2"));
  EXPECT_EQ(Read(target), "new");
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
  EXPECT_EQ(FileCount(), 3u);  // no temporary left beside the links
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 1);

  // A dangling link: its target is created.
  fs::create_symlink("real/new.snapshot", dir_ / "dangling");
  ASSERT_EQ(WriteFileAtomic(dir_ / "dangling", std::string_view("created")), "");
  EXPECT_TRUE(fs::is_symlink(dir_ / "dangling"));
  EXPECT_EQ(Read(dir_ / "real" / "new.snapshot"), "created");
  fs::create_symlink("real/shipped.xml", dir_ / "options.xml");
  ASSERT_EQ(WriteFileAtomicNoReplace(dir_ / "options.xml", std::string_view("shipped")), "");
  EXPECT_NE(WriteFileAtomicNoReplace(dir_ / "options.xml", std::string_view("again")), "");
  EXPECT_EQ(Read(dir_ / "real" / "shipped.xml"), "shipped");
  EXPECT_TRUE(fs::is_symlink(dir_ / "options.xml"));

  // A loop of links and a link to a folder are errors that change nothing.
  fs::create_symlink("loop-b", dir_ / "loop-a");
  fs::create_symlink("loop-a", dir_ / "loop-b");
  EXPECT_NE(WriteFileAtomic(dir_ / "loop-a", std::string_view("x")), "");
  fs::create_directory_symlink("real", dir_ / "folder-link");
  EXPECT_NE(WriteFileAtomic(dir_ / "folder-link", std::string_view("x")), "");
  EXPECT_TRUE(fs::is_symlink(dir_ / "loop-a") && fs::is_symlink(dir_ / "folder-link"));
}

TEST_F(AtomicFile, HardLinkedFilesKeepTheirLinks) {
  fs::path a = dir_ / "comments.txt", b = dir_ / "other-name.txt";
  ASSERT_EQ(WriteFileAtomic(a, std::string_view("a long old content")), "");
  fs::create_hard_link(a, b);
  struct stat before {};
  ASSERT_EQ(::stat(a.c_str(), &before), 0);
  ASSERT_EQ(WriteFileAtomic(b, std::string_view("short")), "");
  struct stat after {};
  ASSERT_EQ(::stat(a.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_nlink, 2u);
  EXPECT_EQ(Read(a), "short");  // written in place and cut to the new length
  EXPECT_EQ(FileCount(), 2u);
}

TEST_F(AtomicFile, DevicesFIFOsAndSocketsAreWrittenDirectly) {
  ASSERT_EQ(WriteFileAtomic("/dev/null", std::string_view("discarded")), "");
  EXPECT_NE(WriteFileAtomic("/dev/full", std::string_view("no room")), "");
  struct stat st {};
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] {
    int fd = ::open(fifo.c_str(), O_RDONLY);
    char buf[64];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) received.append(buf, static_cast<size_t>(n));
    ::close(fd);
  });
  EXPECT_EQ(WriteFileAtomic(fifo, std::string_view("through the pipe")), "");
  reader.join();
  EXPECT_EQ(received, "through the pipe");
  EXPECT_TRUE(fs::is_fifo(fifo));

  fs::path socketPath = dir_ / "socket";
  int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 1), 0);
  received.clear();
  std::thread server([&] {
    int fd = ::accept(listener, nullptr, nullptr);
    char buf[64];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) received.append(buf, static_cast<size_t>(n));
    ::close(fd);
  });
  EXPECT_EQ(WriteFileAtomic(socketPath, std::string_view("over the socket")), "");
  server.join();
  ::close(listener);
  EXPECT_EQ(received, "over the socket");
  EXPECT_TRUE(fs::is_socket(socketPath));
  EXPECT_EQ(FileCount(), 2u);  // no temporary files
}

}  // namespace
}  // namespace skimlet
