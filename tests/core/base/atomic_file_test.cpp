#include "core/base/atomic_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

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
    SetAtomicRenameForTesting(nullptr);
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
  fs::path p = dir_ / "options.xml";
  ASSERT_TRUE(WriteFileAtomically(p, std::string_view("first")));
  EXPECT_EQ(Read(p), "first");
  ASSERT_TRUE(WriteFileAtomically(p, std::string_view("second, longer")));
  EXPECT_EQ(Read(p), "second, longer");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(AtomicFile, AFailedRenameLeavesTheOldFileAndNoTemporary) {
  fs::path p = dir_ / "colors.txt";
  ASSERT_TRUE(WriteFileAtomically(p, std::string_view("old")));
  SetAtomicRenameForTesting([](const std::string&, const std::string&) { return ENOSPC; });
  AtomicWriteResult r = WriteFileAtomically(p, std::string_view("new"));
  EXPECT_FALSE(r);
  EXPECT_NE(r.Error.find("colors.txt"), std::string::npos);
  EXPECT_EQ(Read(p), "old");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(AtomicFile, AMissingFolderIsAnError) {
  AtomicWriteResult r = WriteFileAtomically(dir_ / "missing" / "x", std::string_view("x"));
  EXPECT_FALSE(r);
  EXPECT_FALSE(r.Error.empty());
  std::string s, error;
  EXPECT_FALSE(ReadWholeFile(dir_ / "nothing", s, &error));
  EXPECT_NE(error.find("nothing"), std::string::npos);
}

}  // namespace
}  // namespace skimlet
