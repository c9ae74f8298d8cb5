#include "core/ie/tree_text.h"

#include <cstdio>

namespace skimlet {

namespace {
std::string Escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F || c == '\\') {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}
}  // namespace

std::string TreeToText(const TIETree& tree) {
  std::string out;
  tree.ForEach([&](TIETreeLine l) {
    const TIETreeData& d = tree.Data(l);
    out.append(static_cast<size_t>(tree.Level(l)) * 2, ' ');
    out += Escaped(d.Text);
    out += "\t@" + std::to_string(d.Offset) + "+" + std::to_string(d.Length) + "\n";
  });
  return out;
}

std::string TreeToTSV(const TIETree& tree) {
  std::string out;
  tree.ForEach([&](TIETreeLine l) {
    const TIETreeData& d = tree.Data(l);
    out += std::to_string(tree.Level(l)) + "\t" + std::to_string(d.Offset) + "\t" + std::to_string(d.Length) + "\t" +
           Escaped(d.Text) + "\n";
  });
  return out;
}

}  // namespace skimlet
