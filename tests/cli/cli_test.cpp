// skimlet-cli as a user runs it: output, errors and exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct CliRun {
  std::string out;
  int status;
};

CliRun Cli(const std::string& args) {
  std::string command = std::string(SKIMLET_CLI) + " " + args + " 2>/dev/null";
  CliRun run{{}, -1};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(CliElements, PrintsTheTreeIndentedOrAsTSV) {
  CliRun r = Cli("elements --hex \"00 03 41 42 43 01 08\"");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "Information Elements: 1 (7 bytes)\t@0+0\n"
            "  SSID: ABC\t@0+5\n"
            "    Element ID: 0 (SSID)\t@0+1\n"
            "    Length: 3 octets\t@1+1\n"
            "    SSID: ABC\t@2+3\n");
  r = Cli("elements --tsv --hex 0003414243");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "0\t0\t0\tInformation Elements: 1 (5 bytes)\n"
            "1\t0\t5\tSSID: ABC\n"
            "2\t0\t1\tElement ID: 0 (SSID)\n"
            "2\t1\t1\tLength: 3 octets\n"
            "2\t2\t3\tSSID: ABC\n");
}

TEST(CliElements, ControlCharactersStayOnTheirLine) {
  CliRun r = Cli("elements --tsv --hex 0002410A");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("1\t0\t4\tSSID: A\\x0A\n"), std::string::npos) << r.out;
}

TEST(CliElements, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Cli("elements --hex \"00 0\"").status, 2);
  EXPECT_EQ(Cli("elements --hex XY").status, 2);
  EXPECT_EQ(Cli("elements").status, 2);
  EXPECT_EQ(Cli("nonsense").status, 2);
  EXPECT_EQ(Cli("elements --help").status, 0);
  EXPECT_EQ(Cli("--version").status, 0);
}

}  // namespace

namespace {

TEST(CliLanguage, TextsFollowTheChosenLanguageFileWhichIsNeverWritten) {
  CliRun r = Cli("--lang deutsch elements --hex \"00 03 41 42 43\"");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "Informationselemente: 1 (5 Bytes)\t@0+0\n"
            "  SSID: ABC\t@0+5\n"
            "    Element-ID: 0 (SSID)\t@0+1\n"
            "    Länge: 3 Oktette\t@1+1\n"
            "    SSID: ABC\t@2+3\n");

  char path[] = "/tmp/skimlet-cli-lang-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  const std::string file = "[Translations]\nSSID: %s=Name: %s\nsYes\n";
  ASSERT_EQ(write(fd, file.data(), file.size()), static_cast<ssize_t>(file.size()));
  close(fd);
  r = Cli(std::string("elements --hex 0003414243 --lang=") + path);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("    Name: ABC\t@2+3\n"), std::string::npos) << r.out;
  std::string after(file.size() + 10, '\0');
  FILE* f = fopen(path, "rb");
  ASSERT_TRUE(f);
  after.resize(fread(after.data(), 1, after.size(), f));
  fclose(f);
  unlink(path);
  EXPECT_EQ(after, file);

  EXPECT_EQ(Cli("--lang /nonexistent/x.lng elements --hex 00").status, 2);
}

}  // namespace
