#include "core/ie/tree_text.h"

#include "core/base/safe_text.h"

namespace skimlet {

namespace {
std::string Escaped(const std::string& text) { return SafeText(text, SafeTextStyle::Terminal); }
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
