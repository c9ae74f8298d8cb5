// skimlet-cli: the headless front end of Skimlet. The commands are the rows of the command table.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/command_table.h"
#include "cli/language.h"
#include "cli/standard_output.h"
#include "core/base/memory_policy.h"

namespace {

using namespace skimlet::cli;

int TopLevelError(const std::string& message) {
  std::fprintf(stderr, "skimlet-cli: %s\nTry 'skimlet-cli --help'.\n", message.c_str());
  return 2;
}

// --lang LANGUAGE may stand anywhere on the command line; takes it out of All. An error when its value is
// missing.
std::optional<std::string> TakeLanguage(Args& all, std::optional<std::string>& lang) {
  for (size_t i = 0; i < all.size();) {
    if (all[i] == "--lang" && i + 1 < all.size()) {
      lang = all[i + 1];
      all.erase(all.begin() + static_cast<long>(i), all.begin() + static_cast<long>(i) + 2);
    } else if (all[i] == "--lang") {
      return "--lang needs a language name or file";
    } else if (all[i].starts_with("--lang=")) {
      lang = all[i].substr(7);
      all.erase(all.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
  return std::nullopt;
}

// help [COMMAND]
int RunHelp(const Args& args) {
  if (args.empty()) {
    std::fputs(TopLevelUsage().c_str(), stdout);
    return 0;
  }
  const Command* command = FindCommand(args[0]);
  if (!command) return TopLevelError("unknown command '" + args[0] + "'");
  if (args.size() > 1) return TopLevelError("help takes one command, not '" + args[1] + "'");
  std::fputs(CommandHelp(*command).c_str(), stdout);
  return 0;
}

int Run(int argc, char** argv) {
  Args all(argv + 1, argv + argc);
  CommandContext context;
  if (auto error = TakeLanguage(all, context.Lang)) return TopLevelError(*error);
  if (all.empty()) return TopLevelError("give a command");
  std::string error;
  if (!SetUpLanguage(context.Lang, error)) return TopLevelError(error);
  const std::string& name = all[0];
  const Args args(all.begin() + 1, all.end());
  if (name == "--help" || name == "-h") return RunHelp({});
  if (name == "help") return RunHelp(args);
  if (name == "--version") {
    std::printf("skimlet-cli %s\n", SKIMLET_VERSION);
    return 0;
  }
  if (const Command* command = FindCommand(name)) return command->Run(args, context);
  if (name.starts_with("-")) return TopLevelError("unknown option '" + name + "'");
  return TopLevelError("unknown command '" + name + "'");
}

}  // namespace

int main(int argc, char** argv) {
  skimlet::SetLongRunMemoryPolicy();
  GuardStandardDescriptors();
  IgnoreBrokenPipe();
  // Every command's output is checked here: a write that failed makes the exit status 1.
  return FinishStandardOutput(Run(argc, argv));
}
