// Typed readers of option values. Each checks one value and tells what is wrong with it in the words every
// command uses ("--count wants ...", "one of ..."), so that the same kind of value reads the same everywhere.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace skimlet::cli {

// A whole number from Min to Max. What names the value in the message ("a whole number of refreshes").
std::string ReadWhole(std::string_view option, const std::string& text, long min, long max, std::string_view what,
                      long& value);
// A finite number from Min to Max (decimal point, no unit).
std::string ReadNumber(std::string_view option, const std::string& text, double min, double max, std::string_view what,
                       double& value);
// WxH (or WXH), each 16 to 16384 pixels.
std::string ReadSize(std::string_view option, const std::string& text, int& width, int& height);
// One of Names, without regard to letter case; its index.
std::string ReadOneOf(std::string_view option, const std::string& text, std::span<const std::string_view> names,
                      size_t& index);
// Names separated by commas, each one of Names without regard to letter case; their indexes in order given.
std::string ReadNameList(std::string_view option, const std::string& text, std::span<const std::string_view> names,
                         std::vector<size_t>& indexes);
// "a, b, c": the names for messages and help texts.
std::string NamesText(std::span<const std::string_view> names);

// Text with every line longer than Width broken at blanks. A continued line takes the indent of the text it
// continues: an option line ("  --size WxH    its size ...") its description's column, any other line its own
// leading blanks.
std::string WrapLines(std::string_view text, size_t width = 80);

}  // namespace skimlet::cli
