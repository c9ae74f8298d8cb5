#include "ui/dialogs/about.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPixmap>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/base/dialog_service.h"
#include "ui/dialogs/dialog_common.h"

// The build defines these; the defaults keep the file compiling on its own.
#ifndef SKIMLET_WEB_ROOT
#define SKIMLET_WEB_ROOT ""
#endif
#ifndef SKIMLET_BUILD_TIME
#define SKIMLET_BUILD_TIME 0
#endif

namespace skimlet::dialogs {

// The program icon as a 48-pixel PNG, built in.
extern const unsigned char kIcon48Png[];
extern const unsigned kIcon48Png_size;

TAboutInfo ProgramAboutInfo() {
  TAboutInfo info;
  info.Product = QStringLiteral(SKIMLET_PRODUCT);
  info.Version = QString::asprintf("%.2d.%.2d", SKIMLET_VERSION_MAJOR, SKIMLET_VERSION_MINOR);
  if (SKIMLET_VERSION_PATCH != 0) info.Version += QString::asprintf(".%d", SKIMLET_VERSION_PATCH);
  info.BuildKind = QStringLiteral(SKIMLET_BUILD_KIND);
  info.BuildTime = SKIMLET_BUILD_TIME;
  info.Licence = QStringLiteral(SKIMLET_LICENCE);
  info.Components = {
      {QStringLiteral("Qt ") + QString::fromLatin1(qVersion()), QStringLiteral("LGPLv3")},
      {QStringLiteral("libnl"), QStringLiteral("LGPL-2.1")},
      {QStringLiteral("pugixml"), QStringLiteral("MIT")},
      {QStringLiteral("SQLite 3"), QStringLiteral("Public domain")},
#ifdef SKIMLET_ABOUT_LIBSYSTEMD
      {QStringLiteral("libsystemd (sd-bus)"), QStringLiteral("LGPL-2.1-or-later")},
#endif
  };
  info.HomePage = QStringLiteral(SKIMLET_WEB_ROOT);
  return info;
}

QString VersionLine(const TAboutInfo& info) {
  QString line = TrFormat("Version %s", info.Version);
  if (!info.BuildKind.isEmpty()) line += ' ' + Tr(info.BuildKind.toStdString());
  const QDate built = QDateTime::fromSecsSinceEpoch(info.BuildTime).date();
  line += ' ' + TrFormat("Built on: %s", QLocale().toString(built, QLocale::ShortFormat));
  return line;
}

TfrmAbout::TfrmAbout(const TAboutInfo& info, QWidget* parent) : QDialog(parent), home_(info.HomePage) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(TrFormat("About %s", info.Product));
  lblIcon_ = new QLabel(this);
  lblIcon_->setObjectName(QStringLiteral("imgIcon"));
  QPixmap icon;
  icon.loadFromData(kIcon48Png, kIcon48Png_size, "PNG");
  lblIcon_->setPixmap(icon);
  lblIcon_->setFixedSize(48, 48);
  auto* product = new QLabel(info.Product, this);
  product->setObjectName(QStringLiteral("lblProduct"));
  QFont big = product->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.4);
  product->setFont(big);
  auto* version = new QLabel(VersionLine(info), this);
  version->setObjectName(QStringLiteral("lblVersion"));
  auto* licence = new QLabel(TrFormat("Licence: %s", info.Licence), this);
  licence->setObjectName(QStringLiteral("lblLicence"));
  QString usedText = Tr("Built with:");
  for (const TComponent& c : info.Components) usedText += "\n    " + c.Name + " (" + c.Licence + ")";
  auto* used = new QLabel(usedText, this);
  used->setObjectName(QStringLiteral("lblComponents"));
  for (QLabel* l : {product, version, licence, used}) l->setTextFormat(Qt::PlainText);

  auto* grid = new QGridLayout;
  grid->addWidget(lblIcon_, 0, 0, 4, 1, Qt::AlignTop);
  grid->addWidget(product, 0, 1);
  grid->addWidget(version, 1, 1);
  grid->addWidget(licence, 2, 1);
  grid->addWidget(used, 3, 1);
  grid->setColumnStretch(1, 1);
  grid->setHorizontalSpacing(16);
  auto* box = new QVBoxLayout(this);
  box->addLayout(grid);

  if (!home_.isEmpty()) {
    const QUrl url(home_);
    lblHome_ = new QLabel(this);
    lblHome_->setObjectName(QStringLiteral("lblHome"));
    lblHome_->setTextFormat(Qt::RichText);
    const QString site = url.host().isEmpty() ? home_ : url.host();
    lblHome_->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                          .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                               TrFormat("Visit %s for updates", site).toHtmlEscaped()));
    lblHome_->setOpenExternalLinks(true);
    box->addWidget(lblHome_);
    lblIcon_->setCursor(Qt::PointingHandCursor);
    lblIcon_->installEventFilter(this);
  }

  QDialogButtonBox* buttons = OkButton(*this);
  box->addWidget(buttons);
  box->setSizeConstraint(QLayout::SetFixedSize);
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblIcon_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (const auto& open = ui::DialogsFor(this).OpenUrl) open(QUrl(home_));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void ExecuteAbout(QWidget* parent) {
  TfrmAbout dialog(ProgramAboutInfo(), parent);
  CentreOn(dialog, parent);
  dialog.exec();
}

}  // namespace skimlet::dialogs
