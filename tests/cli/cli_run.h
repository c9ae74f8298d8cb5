// Runs a shell command line for the CLI tests: its standard output and exit status.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace skimlet::test {

struct CliRun {
  std::string out;
  int status;
};

inline CliRun RunCommandLine(const std::string& line) {
  CliRun run{{}, -1};
  FILE* pipe = popen(line.c_str(), "r");
  if (!pipe) return run;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace skimlet::test
