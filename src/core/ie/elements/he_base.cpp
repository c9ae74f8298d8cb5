#include "core/ie/elements/he_base.h"

#include <string_view>

#include "core/base/translate.h"
#include "core/ie/elements/bit_lines.h"

namespace skimlet {

void AddHEMCSMapLines(const TInformationElement& element, TIETree& tree, TIETreeLine parent, size_t pos) {
  static constexpr std::string_view kMCSPerStream[] = {"HE-MCS 0-7", "HE-MCS 0-9", "HE-MCS 0-11", "Not Supported"};
  TBitLines map(element, tree, parent, pos, 16, 2);
  const std::string maxMCS = Translate("Max HE-MCS For"), ss = Translate("SS");
  for (unsigned n = 1; n <= 8; ++n) {
    uint32_t v = map.Bits(2 * (n - 1), 2);
    map.Add(Format("%s - %s %d %s: %s (%d)",
                   {map.Diagram(2, 2 * (n - 1)), maxMCS, n, ss, IndexToText(v, kMCSPerStream, "Unknown"), v}));
  }
}

}  // namespace skimlet
