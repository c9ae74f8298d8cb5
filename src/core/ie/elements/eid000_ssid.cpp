#include "core/ie/elements/eid000_ssid.h"

#include <algorithm>

#include "core/base/format.h"
#include "core/base/translate.h"

namespace skimlet {

namespace {

bool IsValidUTF8(Bytes s) {
  size_t i = 0;
  while (i < s.size()) {
    uint8_t c = s[i];
    size_t n;
    uint32_t cp;
    if (c < 0x80) { ++i; continue; }
    if (c >= 0xC2 && c <= 0xDF) { n = 1; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { n = 2; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 3; cp = c & 0x07; }
    else return false;
    if (s.size() - i <= n) return false;
    for (size_t k = 1; k <= n; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += n + 1;
  }
  return true;
}

}  // namespace

std::string SSIDBytesToText(Bytes bytes) {
  bytes = bytes.first(static_cast<size_t>(std::find(bytes.begin(), bytes.end(), uint8_t{0}) - bytes.begin()));
  if (IsValidUTF8(bytes)) return std::string(bytes.begin(), bytes.end());
  return Latin1ToUTF8(bytes);
}

bool TSSIDElement::Parse() {
  SSID.clear();
  if (Length > 0 && Length <= 32) SSID = SSIDBytesToText(Data);
  return true;
}

void TSSIDElement::AddDetailNodes(TIETree& tree, TIETreeLine element) const {
  if (Length > 32) {
    AddLengthMessage(tree, element, Translate("Length is wrong, must be between 0 and 32"));
    return;
  }
  AppendText(tree, element, Format(": %s", {SSID}));
  AddBodyNode(tree, element, Format(Translate("SSID: %s"), {SSID}), 0, Length);
}

}  // namespace skimlet
