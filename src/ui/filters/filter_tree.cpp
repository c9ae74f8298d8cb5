#include "ui/filters/filter_tree.h"

#include <QAction>
#include <QHeaderView>

#include "core/base/translate.h"
#include "core/radio/values.h"
#include "ui/list/network_view.h"

namespace skimlet::ui {

namespace {

constexpr int kGroupRole = Qt::UserRole + 1;
constexpr int kMemberRole = Qt::UserRole + 2;
constexpr int kCaptionRole = Qt::UserRole + 3;

struct TGroupInfo {
  TFilterTree::TGroup Group;
  const char* CaptionKey;
  std::vector<int> Members;
};

const std::vector<TGroupInfo>& Groups() {
  static const std::vector<TGroupInfo> groups = {
      {TFilterTree::kQuality, "sFilterNameQuality", {5, 4, 3, 2, 1, 0}},
      {TFilterTree::kNetworkMode, "sFilterNameNetworkMode", {4, 5, 6, 7, 8, 10, 11}},
      {TFilterTree::kSecurity, "sFilterNameSecurity", {1, 2, 3, 4, 5, 6}},
      {TFilterTree::kBand, "sFilterNameBand", {0, 1, 2}},
      {TFilterTree::kChannelWidth, "sFilterTypeChannelWidth", {0, 1, 2, 3, 4, 5}},
  };
  return groups;
}

std::string MemberCaption(TFilterTree::TGroup group, int member) {
  switch (group) {
    case TFilterTree::kQuality: return QualityClassName(member);
    case TFilterTree::kNetworkMode: return PhyTypeName(member);
    case TFilterTree::kSecurity: return SecurityKindName(member);
    case TFilterTree::kBand: return BandName(member);
    case TFilterTree::kChannelWidth: return WidthName(member);
  }
  return {};
}

}  // namespace

TFilterTree::TFilterTree(TProgramOptions& options, QWidget* parent) : QTreeWidget(parent), options_(options) {
  setObjectName(QStringLiteral("vstFilter"));
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(true);
  setSelectionMode(QAbstractItemView::NoSelection);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* checkAll = new QAction(QStringLiteral("Check all"), this);
  checkAll->setObjectName(QStringLiteral("actFilterCheckAll"));
  auto* uncheckAll = new QAction(QStringLiteral("Uncheck all"), this);
  uncheckAll->setObjectName(QStringLiteral("actFilterUncheckAll"));
  addAction(checkAll);
  addAction(uncheckAll);
  connect(checkAll, &QAction::triggered, this, [this] { CheckAll(); });
  connect(uncheckAll, &QAction::triggered, this, [this] { UncheckAll(); });
  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
    if (building_) return;
    const int group = item->data(0, kGroupRole).toInt();
    const int member = item->data(0, kMemberRole).toInt();
    if (member < 0) return;
    TFilterSet& set = SetOf(static_cast<TGroup>(group));
    const bool on = item->checkState(0) == Qt::Checked;
    if (on == set.Has(member)) return;  // a text change, not a check
    if (on) set.Add(member);
    else set.Remove(member);
    emit FilterChanged();
  });
  Build();
}

TFilterSet& TFilterTree::SetOf(TGroup group) const {
  switch (group) {
    case kQuality: return options_.FilterLinkQualityIndicatorSet;
    case kNetworkMode: return options_.FilterPhySet;
    case kSecurity: return options_.FilterWLANSecuritySet;
    case kBand: return options_.FilterFrequencyBandSet;
    case kChannelWidth: break;
  }
  return options_.FilterChannelWidthSet;
}

void TFilterTree::Build() {
  building_ = true;
  clear();
  for (const TGroupInfo& g : Groups()) {
    auto* groupItem = new QTreeWidgetItem(this);
    groupItem->setText(0, QString::fromStdString(Translate(g.CaptionKey)));
    groupItem->setData(0, kGroupRole, static_cast<int>(g.Group));
    groupItem->setData(0, kMemberRole, -1);
    groupItem->setFlags(Qt::ItemIsEnabled);
    for (int m : g.Members) {
      auto* item = new QTreeWidgetItem(groupItem);
      const QString caption = QString::fromStdString(MemberCaption(g.Group, m));
      item->setText(0, caption);
      item->setData(0, kCaptionRole, caption);
      item->setData(0, kGroupRole, static_cast<int>(g.Group));
      item->setData(0, kMemberRole, m);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
      item->setCheckState(0, SetOf(g.Group).Has(m) ? Qt::Checked : Qt::Unchecked);
      if (g.Group == kQuality) item->setIcon(0, SignalIcon(m, false));
    }
  }
  expandAll();
  building_ = false;
}

int TFilterTree::Count(const std::array<int32_t, kNetworkCounterCount>& c, TGroup group, int member) {
  auto at = [&c](int i) { return i >= 0 && i < kNetworkCounterCount ? c[static_cast<size_t>(i)] : 0; };
  switch (group) {
    case kQuality: return at(kCountQualityFirst + member);
    case kNetworkMode: return at(kCountPhyFirst + member);
    case kSecurity: return at(kCountSecurityFirst + member);
    case kBand: return at(kCountBandFirst + member);
    case kChannelWidth: return at(kCountWidthFirst + member);
  }
  return 0;
}

void TFilterTree::UpdateCounts(const std::array<int32_t, kNetworkCounterCount>* counters) {
  building_ = true;
  for (int g = 0; g < topLevelItemCount(); ++g) {
    QTreeWidgetItem* groupItem = topLevelItem(g);
    const auto group = static_cast<TGroup>(groupItem->data(0, kGroupRole).toInt());
    for (int i = 0; i < groupItem->childCount(); ++i) {
      QTreeWidgetItem* item = groupItem->child(i);
      const int n = counters ? Count(*counters, group, item->data(0, kMemberRole).toInt()) : 0;
      QString text = item->data(0, kCaptionRole).toString();
      if (n > 0) text += QStringLiteral(" (%1)").arg(n);
      if (item->text(0) != text) item->setText(0, text);
    }
  }
  building_ = false;
}

QTreeWidgetItem* TFilterTree::MemberItem(TGroup group, int member) const {
  for (int g = 0; g < topLevelItemCount(); ++g) {
    QTreeWidgetItem* groupItem = topLevelItem(g);
    if (groupItem->data(0, kGroupRole).toInt() != group) continue;
    for (int i = 0; i < groupItem->childCount(); ++i)
      if (groupItem->child(i)->data(0, kMemberRole).toInt() == member) return groupItem->child(i);
  }
  return nullptr;
}

void TFilterTree::SetAllChecked(bool on) {
  const Qt::CheckState want = on ? Qt::Checked : Qt::Unchecked;
  for (int g = 0; g < topLevelItemCount(); ++g)
    for (int i = 0; i < topLevelItem(g)->childCount(); ++i)
      if (QTreeWidgetItem* item = topLevelItem(g)->child(i); item->checkState(0) != want) item->setCheckState(0, want);
}

void TFilterTree::CheckAll() { SetAllChecked(true); }
void TFilterTree::UncheckAll() { SetAllChecked(false); }

}  // namespace skimlet::ui
