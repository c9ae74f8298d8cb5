// The subcommands of skimlet-cli. Each returns the process exit status: 0 done, 1 runtime error, 2 usage,
// 3 a scan that was not permitted and found nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skimlet::cli {

using Args = std::vector<std::string>;

// Their help texts, from "Usage: skimlet-cli COMMAND" on.
std::string ScanHelp();
std::string InterfacesHelp();
std::string NetworksHelp();
std::string ElementsHelp();
std::string ConvertHelp();
std::string GraphHelp();
std::string ReportHelp();
std::string ExportHelp();
std::string SurveyHelp();
std::string ChannelsHelp();

int RunElements(const Args& args);
int RunNetworks(const Args& args);
int RunScan(const Args& args, const std::optional<std::string>& lang);
int RunInterfaces(const Args& args);
int RunConvert(const Args& args);
int RunReport(const Args& args, const std::optional<std::string>& lang);
int RunExport(const Args& args);
// Floor-plan surveys: new, record, walk, import, points, map, aps, check.
int RunSurvey(const Args& args);
int RunChannels(const Args& args);
// Runs the drawing helper with the command's arguments (and the language, when one was given).
int RunGraph(const Args& args, const std::optional<std::string>& lang);
// Runs the drawing helper with those arguments and Input on its standard input; its exit status. Who names
// the command in messages.
int RunGraphWithInput(const Args& args, const std::optional<std::string>& lang, std::string_view input,
                      const char* who);

}  // namespace skimlet::cli
