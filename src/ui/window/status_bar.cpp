#include "ui/window/status_bar.h"

#include <QLabel>
#include <QPainter>
#include <QStatusBar>

#include <algorithm>

#include "core/base/format.h"
#include "core/base/safe_text.h"
#include "core/base/translate.h"
#include "core/radio/values.h"
#include "core/wlan/wlan_interface.h"
#include "ui/base/tr.h"
#include "ui/list/network_view.h"

namespace skimlet {

using ui::Fmt;

// Status panel 0: the signal icon of the connection and the SSID text, drawn by the window.
class TStatusPanel0 : public QWidget {
 public:
  explicit TStatusPanel0(QWidget* parent) : QWidget(parent) {}
  // 150 pixels, or what the icon and the text need when the status bar has room for it.
  QSize sizeHint() const override {
    const int needed = shown_ ? 16 + 6 + fontMetrics().horizontalAdvance(text_) + 4 : 0;
    return {std::max(150, needed), fontMetrics().height() + 4};
  }
  QSize minimumSizeHint() const override { return {40, fontMetrics().height() + 4}; }
  void Set(bool shown, int qualityClass, bool open, const QString& text) {
    shown_ = shown;
    class_ = qualityClass;
    open_ = open;
    text_ = text;
    updateGeometry();
    update();
  }
  const QString& Text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!shown_) return;
    QPainter p(this);
    const int side = std::min(16, height());
    ui::SignalIcon(class_, open_).paint(&p, QRect(3, (height() - side) / 2, side, side));
    const QRect textRect(side + 6, 0, width() - side - 6, height());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
               fontMetrics().elidedText(text_, Qt::ElideRight, textRect.width()));
  }

 private:
  bool shown_ = false;
  int class_ = 0;
  bool open_ = false;
  QString text_;
};

// A status panel of fixed width: a text longer than the panel ends in an ellipsis instead of running into the
// next panel.
class TStatusPanelLabel : public QLabel {
 public:
  // Width: the panel's width, wider when its text needs it and the status bar has room; a narrow window
  // shrinks the panels instead of letting them overlap.
  TStatusPanelLabel(int width, QWidget* parent) : QLabel(parent), width_(width) {}
  QSize sizeHint() const override {
    const QMargins m = contentsMargins();
    const int needed = fontMetrics().horizontalAdvance(text()) + m.left() + m.right() + 6;
    return {std::max(width_, needed), QLabel::sizeHint().height()};
  }
  QSize minimumSizeHint() const override { return {24, QLabel::minimumSizeHint().height()}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect r = contentsRect();
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
  }

 private:
  int width_;
};

TStatusPanels::TStatusPanels(QStatusBar* bar) {
  static constexpr std::array<int, kStatusPanelCount> kWidths = {150, 150, 150, 150, 100, 100, 150, 150, 150, 150};
  panel0_ = new TStatusPanel0(bar);
  panel0_->setObjectName(QStringLiteral("sbPanel%1").arg(0));
  bar->addWidget(panel0_);
  for (int i = 1; i < kStatusPanelCount; ++i) {
    auto* label = new TStatusPanelLabel(kWidths[static_cast<size_t>(i)], bar);
    label->setObjectName(QStringLiteral("sbPanel%1").arg(i));
    label->setTextFormat(Qt::PlainText);
    bar->addWidget(label);
    labels_[static_cast<size_t>(i)] = label;
  }
}

QLabel* TStatusPanels::Label(TStatusPanel panel) const { return labels_[static_cast<size_t>(panel)]; }

QString TStatusPanels::Text(TStatusPanel panel) const {
  if (panel == TStatusPanel::Connection) return panel0_->Text();
  return Label(panel)->text();
}

void TStatusPanels::Show(const TWLANInterface* itf, const TWLANNetworkList* list, int displayed) {
  using P = TStatusPanel;
  if (list) {
    Label(P::NetworksFound)->setText(Fmt("sbNetworksFound", {list->Counters[kCountAll]}));
    Label(P::NetworksActive)->setText(Fmt("sbNetworksActive", {list->Counters[kCountActive]}));
    Label(P::NetworksDisplayed)->setText(Fmt("sbNetworksDisplayed", {displayed}));
  } else {
    for (P p : {P::NetworksFound, P::NetworksActive, P::NetworksDisplayed}) Label(p)->clear();
  }
  if (itf && itf->IsConnected()) {
    const TWLANConnection& c = *itf->Connection;
    panel0_->Set(true, QualityClassOf(c.SignalQuality), !c.SecurityEnabled,
                 Fmt("sbSSID", {SafeText(c.SSID, SafeTextStyle::Window)}));
    Label(P::NetworkMode)->setText(Fmt("sbNetworkMode", {c.PhyTypeText()}));
    Label(P::RSSI)->setText(Fmt("sbRSSI", {c.RSSI}));
    Label(P::SignalQuality)->setText(Fmt("sbSignalQuality", {c.SignalQuality}));
    Label(P::RxRate)->setText(Fmt("Rx: %sMbps", {c.RxRateText()}));
    Label(P::TxRate)->setText(Fmt("Tx: %sMbps", {c.TxRateText()}));
  } else {
    panel0_->Set(false, 0, false, QString());
    for (P p : {P::NetworkMode, P::RSSI, P::SignalQuality, P::RxRate, P::TxRate}) Label(p)->clear();
  }
}

}  // namespace skimlet
