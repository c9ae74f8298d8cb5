// The filter tree of the side panel: five groups (quality, network mode, security, band, channel width), one
// check box per member bound to the filter sets of the options, and next to each member the number of
// networks of the list that belong to it.
#pragma once

#include <QTreeWidget>

#include <array>

#include "core/model/network_list.h"
#include "core/settings/options.h"

namespace skimlet::ui {

class TFilterTree : public QTreeWidget {
  Q_OBJECT
 public:
  enum TGroup { kQuality = 1, kNetworkMode = 2, kSecurity = 3, kBand = 4, kChannelWidth = 5 };

  // Options: the sets the check boxes change (kept by reference).
  explicit TFilterTree(TProgramOptions& options, QWidget* parent = nullptr);

  // Empties the tree and adds the groups and their members with the captions of the current language.
  void Build();
  // Member captions followed by " (count)" when the count is positive; Counters of a list, or none.
  void UpdateCounts(const std::array<int32_t, kNetworkCounterCount>* counters);
  void CheckAll();
  void UncheckAll();

  QTreeWidgetItem* MemberItem(TGroup group, int member) const;
  static int Count(const std::array<int32_t, kNetworkCounterCount>& counters, TGroup group, int member);

 signals:
  // A member's check box changed its set.
  void FilterChanged();

 private:
  TFilterSet& SetOf(TGroup group) const;
  void SetAllChecked(bool on);

  TProgramOptions& options_;
  bool building_ = false;
};

}  // namespace skimlet::ui
