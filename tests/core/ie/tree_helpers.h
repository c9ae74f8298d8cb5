// Decoding a blob for tests: the tree as text lines, or the lines below one element.
#pragma once

#include <string>
#include <vector>

#include "core/base/hex.h"
#include "core/ie/elements.h"
#include "core/ie/tree_text.h"

namespace skimlet::test {

inline std::vector<uint8_t> Hex(const char* text) { return ParseHexBytes(text).value(); }

inline std::string TreeTextOf(const std::vector<uint8_t>& blob) {
  TInformationElements elements;
  elements.Parse(blob);
  TIETree tree;
  elements.FillTree(tree);
  return TreeToText(tree);
}

// The texts of the lines of the tree, in display order, without ranges or indent.
inline std::vector<std::string> TextsOf(const TIETree& tree) {
  std::vector<std::string> texts;
  tree.ForEach([&](TIETreeLine l) { texts.push_back(tree.Data(l).Text); });
  return texts;
}

// The texts of the lines below the ID and length lines of the first element (its detail lines, depth first).
inline std::vector<std::string> DetailTextsOf(const std::vector<uint8_t>& blob) {
  TInformationElements elements;
  elements.Parse(blob);
  TIETree tree;
  elements.FillTree(tree);
  std::vector<std::string> texts = TextsOf(tree);
  return texts.size() > 4 ? std::vector<std::string>(texts.begin() + 4, texts.end()) : std::vector<std::string>{};
}

// The element line of the first element.
inline std::string ElementLineOf(const std::vector<uint8_t>& blob) {
  TInformationElements elements;
  elements.Parse(blob);
  TIETree tree;
  elements.FillTree(tree);
  TIETreeLine first = tree.FirstChild(tree.FirstChild(kNoLine));
  return first == kNoLine ? std::string() : tree.Data(first).Text;
}

}  // namespace skimlet::test
