// The "Network details" page: a caption and a value label for every list column of the selected network.
// Values are plain text: an SSID that looks like markup shows its characters. A value wider than its label is
// cut with an ellipsis and its hint shows the whole text; the supported rates wrap.
#pragma once

#include <QScrollArea>
#include <QStringList>

#include <vector>

class QLabel;

namespace skimlet {
class TWLANNetwork;
}

namespace skimlet::ui {

class TNetworkDetails : public QScrollArea {
  Q_OBJECT
 public:
  explicit TNetworkDetails(QWidget* parent = nullptr);

  // Column titles, one per list column; the captions get a ":".
  void SetTitles(const QStringList& titles);
  // Fills the values from Network; nullptr leaves what is shown.
  void ShowNetwork(const TWLANNetwork* network);

  QLabel* ValueLabel(int column) const { return values_[static_cast<size_t>(column)]; }
  QLabel* CaptionLabel(int column) const { return captions_[static_cast<size_t>(column)]; }
  // Grid position of a column's pair: grid column and row.
  static QPoint GridCell(int column);

  // Text wrapped at Width characters, at blanks where there are any.
  static QString WrapText(const QString& text, int width);

 private:
  std::vector<QLabel*> captions_;
  std::vector<QLabel*> values_;
};

}  // namespace skimlet::ui
