#include "core/base/atomic_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
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
  size_t FileCount() { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator())); }
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

}  // namespace
}  // namespace skimlet
