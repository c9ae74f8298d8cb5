// skimlet-cli elements: the element tree of an element blob.
#include <cstdio>

#include "cli/commands.h"
#include "core/base/hex.h"
#include "core/ie/elements.h"
#include "core/ie/tree_text.h"

namespace skimlet::cli {

namespace {
constexpr const char* kUsage =
    "Usage: skimlet-cli elements --hex HEX [--tsv]\n"
    "\n"
    "Decodes an element blob (the information elements of a beacon or probe response) and prints its element\n"
    "tree, one line per tree line: two blanks of indent per level below the root line, the text, a TAB and\n"
    "@OFFSET+LENGTH, the blob bytes the line describes.\n"
    "\n"
    "  --hex HEX   the blob as hex digits; blanks, ':' and '-' between bytes are allowed\n"
    "  --tsv       print LEVEL, OFFSET, LENGTH and TEXT separated by TABs instead\n";
}  // namespace

int RunElements(const Args& args) {
  std::string hex;
  bool haveHex = false;
  bool tsv = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--tsv") {
      tsv = true;
    } else if (a == "--hex" && i + 1 < args.size()) {
      hex = args[++i];
      haveHex = true;
    } else if (a.rfind("--hex=", 0) == 0) {
      hex = a.substr(6);
      haveHex = true;
    } else {
      std::fprintf(stderr, "skimlet-cli elements: unexpected argument '%s'\n\n%s", a.c_str(), kUsage);
      return 2;
    }
  }
  if (!haveHex) {
    std::fprintf(stderr, "skimlet-cli elements: --hex HEX is required\n\n%s", kUsage);
    return 2;
  }
  std::string error;
  auto blob = ParseHexBytes(hex, &error);
  if (!blob) {
    std::fprintf(stderr, "skimlet-cli elements: invalid hex: %s\n", error.c_str());
    return 2;
  }
  TInformationElements elements;
  elements.Parse(*blob);
  TIETree tree;
  elements.FillTree(tree);
  std::string out = tsv ? TreeToTSV(tree) : TreeToText(tree);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace skimlet::cli
