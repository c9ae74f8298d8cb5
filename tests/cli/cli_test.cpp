// skimlet-cli as a user runs it: output, errors and exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

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
