// The rows a graph draws: the network list (or a statistics table) seen through six questions, in the list's
// display order. Row numbers are the list's own rows in that order, hidden rows included - never positions in
// a filtered or proxy view.
#pragma once

#include <vector>

namespace skimlet {

class TWLANNetwork;
class TWLANNetworkList;

class TGraphRows {
 public:
  virtual ~TGraphRows() = default;
  // Number of rows, hidden ones included.
  virtual int GraphRowCount() const = 0;
  virtual bool GraphRowChecked(int row) const = 0;
  // Hidden by the list's filter.
  virtual bool GraphRowHidden(int row) const = 0;
  virtual bool GraphRowSelected(int row) const = 0;
  // The network of a row; nullptr for a row out of range or without network.
  virtual TWLANNetwork* GraphRowNetwork(int row) const = 0;
};

// The networks of a list in list order, all ticked, none hidden; a set of them selected. For drawing without
// a window (command line, report, tests).
class TNetworkListRows : public TGraphRows {
 public:
  explicit TNetworkListRows(const TWLANNetworkList* list = nullptr) : list_(list) {}
  void SetList(const TWLANNetworkList* list) { list_ = list; }
  std::vector<const TWLANNetwork*> Selected;

  int GraphRowCount() const override;
  bool GraphRowChecked(int row) const override { return row >= 0 && row < GraphRowCount(); }
  bool GraphRowHidden(int) const override { return false; }
  bool GraphRowSelected(int row) const override;
  TWLANNetwork* GraphRowNetwork(int row) const override;

 private:
  const TWLANNetworkList* list_;
};

}  // namespace skimlet
