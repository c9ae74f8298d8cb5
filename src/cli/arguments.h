// The command line of a subcommand: its options and FILE arguments, read in one loop that every command
// shares, so that "--", "-", --help and the usage errors mean the same everywhere.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace skimlet::cli {

// What a command takes besides its options.
enum class FileArguments {
  None,     // nothing: every argument is an option
  One,      // one FILE
  Several,  // one FILE or more, standard input (-) at most once
  Any,      // as Several, but none at all is allowed too
};

struct CommandLine {
  const char* Command;  // the command's name in messages, e.g. "networks"
  std::string Help;     // printed on standard output by --help or -h
  FileArguments Files = FileArguments::None;
};

// The command's own options: true when Args[I] was one of them (I then stands on its last word). An Error set
// by it is told as a usage error.
using OptionReader = std::function<bool(const std::vector<std::string>& args, size_t& i, std::string& error)>;

// Reads Args in order. With files, "-" and every argument not starting with '-' is a FILE, and after "--" every
// argument is. Returns the exit status when the command ends here: 0 after the help, 2 after a usage error
// (told on stderr); nullopt when it goes on with Files.
std::optional<int> ReadArguments(const CommandLine& line, const std::vector<std::string>& args,
                                 std::vector<std::string>& files, const OptionReader& option);

// "skimlet-cli COMMAND: MESSAGE" and where to find the help, on stderr; returns 2, the usage error status.
int UsageError(const char* command, const std::string& message);

// Reads "NAME VALUE" / "NAME=VALUE" (and "-nVALUE" for a one-letter NAME "-n") at Args[I], advancing I past a
// separate value. True when it was one; Error set when its value is missing.
bool TakeOption(const std::vector<std::string>& args, size_t& i, const std::string& name, std::string& value,
                std::string& error);

}  // namespace skimlet::cli
