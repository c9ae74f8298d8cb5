#include "ui/window/frame.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/settings/options.h"
#include "ui/filters/filter_tree.h"
#include "ui/list/network_view.h"

namespace skimlet {

TFrame BuildFrame(QMainWindow& window, TProgramOptions& options) {
  TFrame f;
  auto* central = new QWidget(&window);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(4, 4, 4, 0);

  auto* top = new QHBoxLayout();
  auto* lblInterface = new QLabel(QStringLiteral("Interface:"), central);
  lblInterface->setObjectName(QStringLiteral("lblInterface"));
  f.cbInterfaces = new QComboBox(central);
  f.cbInterfaces->setObjectName(QStringLiteral("cbInterfaces"));
  f.cbInterfaces->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  f.cbInterfaces->setMinimumWidth(320);
  top->addWidget(lblInterface);
  top->addWidget(f.cbInterfaces);
  top->addStretch(1);
  outer->addLayout(top);

  f.pcMain = new QTabWidget(central);
  f.pcMain->setObjectName(QStringLiteral("pcMain"));
  outer->addWidget(f.pcMain, 1);

  // Scanner: filter panel | (find box, list, lower pages)
  auto* tsScanner = new QWidget();
  tsScanner->setObjectName(QStringLiteral("tsScanner"));
  auto* scannerLayout = new QHBoxLayout(tsScanner);
  scannerLayout->setContentsMargins(2, 2, 2, 2);
  f.splFilters = new QSplitter(Qt::Horizontal, tsScanner);
  f.splFilters->setObjectName(QStringLiteral("splFilters"));
  scannerLayout->addWidget(f.splFilters);

  f.pnlFilters = new QWidget(f.splFilters);
  f.pnlFilters->setObjectName(QStringLiteral("pnlFilters"));
  auto* filterLayout = new QVBoxLayout(f.pnlFilters);
  filterLayout->setContentsMargins(0, 0, 0, 0);
  auto* titleRow = new QHBoxLayout();
  auto* lblFilters = new QLabel(QStringLiteral("Filters"), f.pnlFilters);
  lblFilters->setObjectName(QStringLiteral("lblFilters"));
  f.btnCloseFilters = new QToolButton(f.pnlFilters);
  f.btnCloseFilters->setObjectName(QStringLiteral("btnCloseFilters"));
  f.btnCloseFilters->setAutoRaise(true);
  f.btnCloseFilters->setIcon(f.pnlFilters->style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  titleRow->addWidget(lblFilters, 1);
  titleRow->addWidget(f.btnCloseFilters);
  filterLayout->addLayout(titleRow);
  f.vstFilter = new ui::TFilterTree(options, f.pnlFilters);
  filterLayout->addWidget(f.vstFilter, 1);

  auto* right = new QWidget(f.splFilters);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  auto* findRow = new QHBoxLayout();
  auto* lblFind = new QLabel(QStringLiteral("Find:"), right);
  lblFind->setObjectName(QStringLiteral("lblFind"));
  f.edFilterText = new QLineEdit(right);
  f.edFilterText->setObjectName(QStringLiteral("edFilterText"));
  f.edFilterText->setClearButtonEnabled(true);
  findRow->addWidget(lblFind);
  findRow->addWidget(f.edFilterText, 1);
  rightLayout->addLayout(findRow);

  f.splLower = new QSplitter(Qt::Vertical, right);
  f.splLower->setObjectName(QStringLiteral("splLower"));
  rightLayout->addWidget(f.splLower, 1);
  f.vstNetworkList = new TNetworkListView(options, new TNetworkListModel(options, &window), f.splLower);
  f.pcInfo = new QTabWidget(f.splLower);
  f.pcInfo->setObjectName(QStringLiteral("pcInfo"));
  f.splLower->setStretchFactor(0, 1);
  f.splLower->setStretchFactor(1, 0);
  f.splFilters->setStretchFactor(0, 0);
  f.splFilters->setStretchFactor(1, 1);
  f.pcMain->addTab(tsScanner, QStringLiteral("Scanner"));
  window.setCentralWidget(central);
  return f;
}

}  // namespace skimlet
