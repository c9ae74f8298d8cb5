#include "cli/arguments.h"

#include <algorithm>
#include <cstdio>

namespace skimlet::cli {

std::optional<int> ReadArguments(const CommandLine& line, const std::vector<std::string>& args,
                                 std::vector<std::string>& files, const OptionReader& option) {
  const bool takesFiles = line.Files != FileArguments::None;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (takesFiles && (optionsEnded || a == "-" || !a.starts_with("-"))) {
      if (line.Files == FileArguments::One && !files.empty())
        return UsageError(line.Command, "unexpected argument '" + a + "' (one FILE only)");
      files.push_back(a);
      continue;
    }
    if (takesFiles && a == "--") {
      optionsEnded = true;
      continue;
    }
    if (a == "--help" || a == "-h") {
      std::fputs(line.Help.c_str(), stdout);
      return 0;
    }
    std::string error;
    if (!option(args, i, error))
      return UsageError(line.Command, (a.starts_with("-") ? "unknown option '" : "unexpected argument '") + a + "'");
    if (!error.empty()) return UsageError(line.Command, error);
  }
  if (line.Files == FileArguments::Several || line.Files == FileArguments::Any) {
    if (files.empty() && line.Files == FileArguments::Several)
      return UsageError(line.Command, "give at least one FILE (- for standard input)");
    if (std::count(files.begin(), files.end(), "-") > 1)
      return UsageError(line.Command, "standard input (-) can be read only once");
  }
  return std::nullopt;
}

int UsageError(const char* command, const std::string& message) {
  std::fprintf(stderr, "skimlet-cli %s: %s\nTry 'skimlet-cli %s --help'.\n", command, message.c_str(), command);
  return 2;
}

bool TakeOption(const std::vector<std::string>& args, size_t& i, const std::string& name, std::string& value,
                std::string& error) {
  const std::string& a = args[i];
  if (a == name) {
    if (i + 1 >= args.size()) {
      error = name + " needs a value";
      return true;
    }
    value = args[++i];
    return true;
  }
  if (a.starts_with(name + "=")) {
    value = a.substr(name.size() + 1);
    return true;
  }
  // A one-letter option takes its value joined on too: -oFILE.
  if (name.size() == 2 && name[0] == '-' && name[1] != '-' && a.size() > 2 && a.starts_with(name)) {
    value = a.substr(2);
    return true;
  }
  return false;
}

}  // namespace skimlet::cli
