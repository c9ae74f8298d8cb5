#include "ui/channels/channels_page.h"

#include <QTabWidget>
#include <QWidget>

namespace skimlet::ui {

TChannelsPage::TChannelsPage(QTabWidget* pages) {
  page_ = new QWidget();
  page_->setObjectName(QStringLiteral("tsChannels"));
  pages->addTab(page_, QStringLiteral("Channels"));
}

}  // namespace skimlet::ui
