// Report and export text handling on arbitrary bytes: the template filling, the HTML escape and the four table
// renderers. Besides memory errors it checks what the formats promise: escaped HTML holds no markup
// character, every output is UTF-8, RTF is ASCII with balanced groups.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/report/table_export.h"
#include "core/report/template.h"

namespace {

using namespace skimlet::report;
using skimlet::TColumnAlignment;

bool WellFormed(std::string_view s) { return ValidUTF8(s) == s; }

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The input as template and, cut at its first 0x00 bytes, as placeholder names and values and as cells.
  std::string_view parts[6];
  std::string_view rest = input;
  for (int i = 0; i < 6; ++i) {
    const size_t cut = rest.find('\0');
    parts[i] = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  }
  const TPlaceholders values = {{std::string(parts[1]), std::string(parts[2])}, {"name", std::string(parts[3])}};
  (void)FillPlaceholders(parts[0], values);
  // A value made of placeholders stays as it is.
  Check(FillPlaceholders("{{name}}", {{"name", std::string(input)}}) == input);

  const std::string escaped = HtmlEscape(input);
  Check(escaped.find_first_of("<>\"'") == std::string::npos);
  Check(WellFormed(escaped));

  TExportTable table;
  table.Columns = {{std::string(parts[1]), TColumnAlignment::Left, 100, TCellKind::Text},
                   {std::string(parts[2]), TColumnAlignment::Right, 80, TCellKind::Number}};
  table.Rows = {{0, {std::string(parts[3]), std::string(parts[4])}},
                {size > 0 ? data[0] % 4 : 0, {std::string(parts[5]), std::string(input)}}};
  TExportTable tree;
  tree.Rows = {{0, {std::string(parts[0])}}, {size > 1 ? data[1] % 5 : 1, {std::string(input)}}};
  for (const TExportTable* t : {&table, &tree}) {
    Check(WellFormed(RenderText(*t)));
    Check(WellFormed(RenderCsv(*t)));
    Check(WellFormed(RenderHtml(*t)));
    const std::string rtf = RenderRtf(*t);
    int depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
      Check(static_cast<unsigned char>(rtf[i]) < 0x80);
      if (rtf[i] == '\\') ++i;  // an escaped character or the first letter of a control word
      else if (rtf[i] == '{') ++depth;
      else if (rtf[i] == '}') Check(--depth >= 0);
    }
    Check(depth == 0);
  }
  return 0;
}
