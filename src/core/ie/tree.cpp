#include "core/ie/tree.h"

namespace skimlet {

TIETreeLine TIETree::Add(TIETreeLine parent, TIETreeData data) {
  auto line = static_cast<TIETreeLine>(lines_.size());
  Node node;
  node.data = std::move(data);
  node.parent = parent;
  if (parent == kNoLine) {
    node.row = rootCount_++;
    if (lastRoot_ != kNoLine) lines_[static_cast<size_t>(lastRoot_)].next = line;
    else firstRoot_ = line;
    lastRoot_ = line;
  } else {
    Node& p = lines_[static_cast<size_t>(parent)];
    node.row = p.childCount++;
    node.level = p.level + 1;
    if (p.lastChild != kNoLine) lines_[static_cast<size_t>(p.lastChild)].next = line;
    else p.firstChild = line;
    p.lastChild = line;
  }
  lines_.push_back(std::move(node));
  return line;
}

TIETreeLine TIETree::Child(TIETreeLine parent, int row) const {
  if (row < 0) return kNoLine;
  TIETreeLine l = FirstChild(parent);
  while (l != kNoLine && row-- > 0) l = At(l).next;
  return l;
}

TIETreeLine TIETree::DeepestLineAt(int32_t byte) const {
  auto holds = [&](TIETreeLine l) {
    const TIETreeData& d = At(l).data;
    return d.Length > 0 && byte >= d.Offset && byte - d.Offset < d.Length;
  };
  TIETreeLine found = kNoLine;
  TIETreeLine level = FirstChild(kNoLine);
  while (level != kNoLine) {
    TIETreeLine hit = kNoLine;
    for (TIETreeLine l = level; l != kNoLine; l = At(l).next) {
      if (holds(l)) {
        hit = l;
        break;
      }
      // The root line covers no bytes but holds every element: look inside it.
      if (At(l).data.Length == 0 && At(l).childCount > 0 && At(l).parent == kNoLine) {
        TIETreeLine inner = kNoLine;
        for (TIETreeLine c = At(l).firstChild; c != kNoLine; c = At(c).next)
          if (holds(c)) {
            inner = c;
            break;
          }
        if (inner != kNoLine) {
          hit = inner;
          break;
        }
      }
    }
    if (hit == kNoLine) break;
    found = hit;
    if (At(hit).childCount == 0 || At(hit).data.Length <= 1) break;
    level = At(hit).firstChild;
  }
  return found;
}

}  // namespace skimlet
