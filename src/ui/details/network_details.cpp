#include "ui/details/network_details.h"

#include <QFrame>
#include <QLabel>

#include "core/model/columns.h"
#include "core/model/network.h"
#include "ui/list/network_view.h"

namespace skimlet::ui {

namespace {

constexpr int kLabelWidth = 120;
constexpr int kRowHeight = 21;
constexpr int kTop = 14;
constexpr int kRatesColumn = ColumnIndex(TNetworkColumn::SupportedRates);
constexpr int kRatesWidth = 621;

int X(int gridColumn) { return 250 * gridColumn + 7; }
int Y(int gridRow) { return kRowHeight * gridRow + kTop; }

}  // namespace

QPoint TNetworkDetails::GridCell(int column) {
  // Three grid columns of registry columns in their order, the three rates side by side under them, the list
  // of rates below; the first and last seen times, PMF and roaming fill the free rows under the first one.
  using C = TNetworkColumn;
  constexpr int kSecond = ColumnIndex(C::SignalQuality), kThird = ColumnIndex(C::Clients);
  constexpr int kRates = ColumnIndex(C::AchievableRate), kSeen = ColumnIndex(C::FirstSeen);
  if (column < kSecond) return {0, column};
  if (column < kThird) return {1, column - kSecond};
  if (column < kRates) return {2, column - kThird};
  if (column < kRatesColumn) return {column - kRates, 11};
  if (column == kRatesColumn) return {0, 12};
  return {0, kSecond + (column - kSeen)};
}

QString TNetworkDetails::WrapText(const QString& text, int width) {
  QString out;
  int lineLength = 0;
  for (const QString& word : text.split(QLatin1Char(' '))) {
    QString w = word;
    while (!w.isEmpty()) {
      const int room = lineLength == 0 ? width : width - lineLength - 1;
      if (w.size() <= room) {
        if (lineLength > 0) out += QLatin1Char(' ');
        out += w;
        lineLength += (lineLength > 0 ? 1 : 0) + static_cast<int>(w.size());
        w.clear();
      } else if (lineLength > 0) {
        out += QLatin1Char('\n');
        lineLength = 0;
      } else {
        out += w.left(width) + QLatin1Char('\n');
        w = w.mid(width);
      }
    }
  }
  return out;
}

TNetworkDetails::TNetworkDetails(QWidget* parent) : QScrollArea(parent) {
  setObjectName(QStringLiteral("NetworkDetailsArea"));
  auto* area = new QWidget();
  area->setObjectName(QStringLiteral("pnlNetworkDetails"));
  const int n = static_cast<int>(kNetworkColumnCount);
  captions_.resize(static_cast<size_t>(n));
  values_.resize(static_cast<size_t>(n));
  int bottom = 0;
  for (int c = 0; c < n; ++c) {
    const QPoint cell = GridCell(c);
    auto* caption = new QLabel(area);
    caption->setTextFormat(Qt::PlainText);
    caption->setGeometry(X(cell.x()), Y(cell.y()), kLabelWidth, kRowHeight - 2);
    auto* value = new QLabel(area);
    value->setTextFormat(Qt::PlainText);
    value->setObjectName(QStringLiteral("lblDetailValue%1").arg(c));
    if (c == kRatesColumn) {
      value->setWordWrap(true);
      value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      value->setGeometry(X(cell.x()) + kLabelWidth + 7, Y(cell.y()), kRatesWidth, 4 * kRowHeight);
    } else {
      value->setGeometry(X(cell.x()) + kLabelWidth + 7, Y(cell.y()), kLabelWidth, kRowHeight - 2);
    }
    if (c == 0) value->setFixedSize(kRowHeight - 4, kRowHeight - 4);  // the colour swatch
    bottom = std::max(bottom, value->geometry().bottom());
    captions_[static_cast<size_t>(c)] = caption;
    values_[static_cast<size_t>(c)] = value;
  }
  auto* line = new QFrame(area);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(8, Y(11) - 4 - 2, (kLabelWidth + kLabelWidth + 7) * 3, 3);
  area->setMinimumSize(X(3) + 7, bottom + kTop);
  setWidget(area);
  setWidgetResizable(true);
}

void TNetworkDetails::SetTitles(const QStringList& titles) {
  for (int c = 0; c < static_cast<int>(captions_.size()) && c < titles.size(); ++c)
    captions_[static_cast<size_t>(c)]->setText(titles[c] + QLatin1Char(':'));
}

void TNetworkDetails::ShowNetwork(const TWLANNetwork* network) {
  if (!network) return;
  const TColor colour = network->GetColor();
  values_[0]->setAutoFillBackground(true);
  values_[0]->setStyleSheet(QStringLiteral("background-color: #%1%2%3")
                                .arg(colour & 0xFF, 2, 16, QLatin1Char('0'))
                                .arg((colour >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
                                .arg((colour >> 16) & 0xFF, 2, 16, QLatin1Char('0')));
  for (int c = 1; c < static_cast<int>(values_.size()); ++c) {
    QLabel* label = values_[static_cast<size_t>(c)];
    const QString text = CellText(network, c);
    if (text.isEmpty()) {
      label->clear();
      label->setToolTip({});
      continue;
    }
    if (c == kRatesColumn) {
      label->setText(text);
    } else {
      label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, label->width()));
    }
    label->setToolTip(PlainToolTip(WrapText(text, 45)));
  }
}

}  // namespace skimlet::ui
