// The commands of skimlet-cli as one table: each row has the command's name, the line of the top-level usage,
// what it takes besides options, its help text and the function that runs it. main(), the top-level usage,
// 'help COMMAND' and 'COMMAND --help' all come from here; a new command is one row and its run function.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"

namespace skimlet::cli {

using Args = std::vector<std::string>;

// What every command gets besides its arguments.
struct CommandContext {
  std::optional<std::string> Lang;  // --lang, given before or after the command
};

struct Command {
  std::string_view Name;
  // The command's line in the top-level usage: its short form and what it does.
  std::string_view Synopsis;
  std::string_view Summary;
  FileArguments Files = FileArguments::None;
  // The whole help text, from "Usage: skimlet-cli NAME" on (wrapped at 80 columns when printed).
  std::string (*Help)() = nullptr;
  int (*Run)(const Args& args, const CommandContext& context) = nullptr;
};

std::span<const Command> Commands();
const Command* FindCommand(std::string_view name);

// The help of a command as printed: its text wrapped at 80 columns.
std::string CommandHelp(const Command& command);
// The reading of a command's arguments: its name, help and files from its row.
CommandLine CommandLineOf(std::string_view name);
// The usage of skimlet-cli itself.
std::string TopLevelUsage();

}  // namespace skimlet::cli
