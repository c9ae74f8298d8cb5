// Every list column of one network, live: a table of (column title, cell text) repainted every second, with a
// swatch of the network's colour in the first row, "Change color..." and "Close". The dialog holds the
// network's BSSID only and looks the record up at each repaint: a network that went meanwhile is said to be
// gone, and its rows are left empty.
#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>
#include <string>

#include "core/settings/options.h"

class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace skimlet {

class TWLANNetwork;

namespace dialogs {

class TfrmNetworkProperties : public QDialog {
  Q_OBJECT

 public:
  // The network of that BSSID text now, or nullptr when it has gone.
  using TLookup = std::function<const TWLANNetwork*(const std::string& bssidText)>;
  // Opens the colour dialog for the network of that BSSID text.
  using TChangeColor = std::function<void(const std::string& bssidText)>;

  // Titles: the list's column titles, one row each. Layout: the table's stored layout, applied now and read
  // back when the dialog closes.
  TfrmNetworkProperties(std::string bssidText, TLookup lookup, TChangeColor changeColor, QStringList titles,
                        TColumnLayout& layout, QWidget* parent = nullptr);
  ~TfrmNetworkProperties() override;

  // Looks the network up and fills the values (the timer does it every second).
  void Refresh();
  bool NetworkGone() const { return gone_; }

  QTreeWidget* Table() const { return table_; }
  QLabel* GoneLabel() const { return lblGone_; }
  QPushButton* ChangeColorButton() const { return btnChangeColor_; }
  QTimer* Timer() const { return timer_; }

 private:
  std::string bssid_;
  TLookup lookup_;
  TChangeColor changeColor_;
  TColumnLayout& layout_;
  bool gone_ = false;
  QTreeWidget* table_ = nullptr;
  QLabel* lblGone_ = nullptr;
  QPushButton* btnChangeColor_ = nullptr;
  QTimer* timer_ = nullptr;
};

// Runs the dialog over Parent; nothing opens when Lookup finds no network for BssidText.
void ExecuteNetworkProperties(QWidget* parent, const std::string& bssidText, TfrmNetworkProperties::TLookup lookup,
                              TfrmNetworkProperties::TChangeColor changeColor, const QStringList& titles,
                              TColumnLayout& layout);

}  // namespace dialogs
}  // namespace skimlet
