// The element tree: lines of text, each tied to the blob bytes it describes.
//
// Lines live in one vector and link to each other by index, so filling a tree costs one allocation per
// text at most. A line handle stays valid until Clear.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skimlet {

struct TIETreeData {
  std::string Text;
  int32_t Offset = 0;  // first blob byte the line describes
  int32_t Length = 0;  // number of blob bytes (0: none)
};

using TIETreeLine = int32_t;
inline constexpr TIETreeLine kNoLine = -1;

class TIETree {
 public:
  void Clear() {
    lines_.clear();
    firstRoot_ = lastRoot_ = kNoLine;
    rootCount_ = 0;
  }

  // Adds a line as the last child of Parent, or as the last top-level line when Parent is kNoLine.
  TIETreeLine Add(TIETreeLine parent, TIETreeData data);

  size_t Count() const { return lines_.size(); }
  bool Valid(TIETreeLine line) const { return line >= 0 && static_cast<size_t>(line) < lines_.size(); }

  const TIETreeData& Data(TIETreeLine line) const { return lines_[static_cast<size_t>(line)].data; }
  TIETreeData& Data(TIETreeLine line) { return lines_[static_cast<size_t>(line)].data; }

  TIETreeLine Parent(TIETreeLine line) const { return At(line).parent; }
  TIETreeLine FirstChild(TIETreeLine line) const { return line == kNoLine ? firstRoot_ : At(line).firstChild; }
  TIETreeLine NextSibling(TIETreeLine line) const { return At(line).next; }
  int ChildCount(TIETreeLine line) const { return line == kNoLine ? rootCount_ : At(line).childCount; }
  // Position of the line among its parent's children.
  int Row(TIETreeLine line) const { return At(line).row; }
  // The Row-th child of Parent (kNoLine for the top level), or kNoLine.
  TIETreeLine Child(TIETreeLine parent, int row) const;
  // 0 for a top-level line.
  int Level(TIETreeLine line) const { return At(line).level; }

  void SetExpanded(TIETreeLine line, bool expanded) { lines_[static_cast<size_t>(line)].expanded = expanded; }
  bool Expanded(TIETreeLine line) const { return At(line).expanded; }

  // The deepest line whose range holds Byte, descending only into lines that have children and cover more
  // than one byte; kNoLine when no top-level line holds it.
  TIETreeLine DeepestLineAt(int32_t byte) const;

  // Calls F(line) for every line, parents before children, in display order.
  template <class F>
  void ForEach(F&& f) const {
    for (TIETreeLine l = firstRoot_; l != kNoLine; l = At(l).next) Visit(l, f);
  }

 private:
  struct Node {
    TIETreeData data;
    TIETreeLine parent = kNoLine, firstChild = kNoLine, lastChild = kNoLine, next = kNoLine;
    int childCount = 0, row = 0, level = 0;
    bool expanded = false;
  };
  const Node& At(TIETreeLine line) const { return lines_[static_cast<size_t>(line)]; }
  template <class F>
  void Visit(TIETreeLine line, F& f) const {
    f(line);
    for (TIETreeLine c = At(line).firstChild; c != kNoLine; c = At(c).next) Visit(c, f);
  }

  std::vector<Node> lines_;
  TIETreeLine firstRoot_ = kNoLine, lastRoot_ = kNoLine;
  int rootCount_ = 0;
};

}  // namespace skimlet
