#include "ui/statistics/statistics_part.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/statistics/statistics_pages.h"

namespace skimlet::ui {

TStatisticsPart::TStatisticsPart(QTabWidget* pages, TProgramOptions& options,
                                 std::function<const TWLANStatistics*()> statistics) {
  auto* page = new QWidget();
  page->setObjectName(QStringLiteral("tsWirelessStatistics"));
  auto* layout = new QVBoxLayout(page);
  tabs_ = new QTabWidget(page);
  tabs_->setObjectName(QStringLiteral("pcStatistics"));
  for (auto [name, caption] : {std::pair{"tsPHYLayer", "PHY layer"}, {"tsMACLayer", "MAC layer"}}) {
    auto* tab = new QWidget();
    tab->setObjectName(QString::fromUtf8(name));
    tabs_->addTab(tab, QString::fromUtf8(caption));
  }
  layout->addWidget(tabs_);
  pages->addTab(page, QStringLiteral("Wireless statistics"));
  statistics_ = new TStatisticsPages(tabs_, options, std::move(statistics), this);
  tabs_->setCurrentIndex(0);
}

void TStatisticsPart::ApplyLanguage() { statistics_->ApplyLanguage(); }

void TStatisticsPart::ApplyOptions(bool) { statistics_->ApplyGraphOptions(); }

void TStatisticsPart::Tick() { statistics_->Tick(); }

void TStatisticsPart::StoreLayout() { statistics_->Store(); }

}  // namespace skimlet::ui
