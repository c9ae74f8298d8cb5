// Network texts an access point (or a user's comment) can carry, for the report and export tests.
#pragma once

#include <string>
#include <vector>

namespace skimlet::test {

struct THostileText {
  const char* What;
  std::string Text;
};

inline const std::vector<THostileText>& HostileTexts() {
  static const std::vector<THostileText> texts = {
      {"markup", "<script src=//x.yz></script>"},
      {"attribute break-out", "\"><img src=x onerror=alert(1)>'"},
      {"placeholder", "{{network_details_list}}"},
      {"separators", "a;b,c\td"},
      {"quotes", "say \"hi\" 'there'"},
      {"CR LF", "line1\r\nline2"},
      {"backslash and braces", "C:\\net {\\rtf1 x}"},
      {"4-byte emoji", "caf\xC3\xA9 \xF0\x9F\x98\x80 Wi-Fi"},
      {"not UTF-8, as the list shows it (ISO 8859-1)", "Caf\xC3\xA9 \xC3\xBF"},
      {"formula", "=HYPERLINK(\"http://x.yz\")"},
      {"plus", "+1"},
      {"at", "@SUM(A1)"},
      {"minus", "-2+3"},
      {"ampersand", "Tom & Jerry &amp;"},
  };
  return texts;
}

}  // namespace skimlet::test
