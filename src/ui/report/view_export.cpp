#include "ui/report/view_export.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QTreeView>

#include <filesystem>

#include "core/base/datetime.h"
#include "core/model/copy_text.h"
#include "ui/hexview/hex_dump_viewer.h"
#include "ui/list/network_view.h"
#include "ui/base/dialog_service.h"
#include "ui/report/file_dialogs.h"

namespace skimlet::ui {

namespace {

using report::TCellKind;
using report::TExportColumn;
using report::TExportRow;
using report::TExportTable;

TColumnAlignment AlignmentOf(const QVariant& alignment) {
  if (!alignment.isValid()) return TColumnAlignment::Left;
  const auto a = Qt::Alignment(alignment.toInt());
  if (a & Qt::AlignRight) return TColumnAlignment::Right;
  if (a & Qt::AlignHCenter) return TColumnAlignment::Center;
  return TColumnAlignment::Left;
}

// The logical columns a header shows, in display order.
std::vector<int> VisibleColumns(const QHeaderView& header, int count) {
  std::vector<int> columns;
  for (int visual = 0; visual < header.count(); ++visual) {
    const int logical = header.logicalIndex(visual);
    if (logical >= 0 && logical < count && !header.isSectionHidden(logical)) columns.push_back(logical);
  }
  return columns;
}

bool PlainNumber(const std::string& cell) {
  static const QRegularExpression number(QStringLiteral("^-?[0-9][0-9.,' ]*$"));
  return number.match(QString::fromStdString(cell)).hasMatch();
}

// A column all of whose non-empty cells are plain numbers holds numbers (at least one cell).
void DecideKinds(TExportTable& table) {
  for (size_t c = 0; c < table.Columns.size(); ++c) {
    bool any = false, numbers = true;
    for (const TExportRow& r : table.Rows) {
      if (c >= r.Cells.size() || r.Cells[c].empty()) continue;
      any = true;
      if (!PlainNumber(r.Cells[c])) {
        numbers = false;
        break;
      }
    }
    table.Columns[c].Kind = any && numbers ? TCellKind::Number : TCellKind::Text;
  }
}

void AddRows(const QAbstractItemModel& model, const QModelIndex& parent, int level, const std::vector<int>& columns,
             TExportTable& table, const std::vector<int>* only) {
  const int count = model.rowCount(parent);
  const auto add = [&](int row) {
    TExportRow r;
    r.Level = level;
    for (const int c : columns) r.Cells.push_back(model.index(row, c, parent).data().toString().toStdString());
    table.Rows.push_back(std::move(r));
    const QModelIndex child = model.index(row, 0, parent);
    if (model.hasChildren(child)) AddRows(model, child, level + 1, columns, table, nullptr);
  };
  if (only) {
    for (const int row : *only)
      if (row >= 0 && row < count) add(row);
  } else {
    for (int row = 0; row < count; ++row) add(row);
  }
}

TExportTable MakeViewTable(const QTreeView& view, const std::vector<int>* only) {
  TExportTable table;
  const QAbstractItemModel* model = view.model();
  if (!model) return table;
  const std::vector<int> columns = VisibleColumns(*view.header(), model->columnCount());
  for (const int c : columns) {
    TExportColumn col;
    col.Title = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
    col.Alignment = AlignmentOf(model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole));
    col.Width = view.header()->sectionSize(c);
    table.Columns.push_back(std::move(col));
  }
  AddRows(*model, QModelIndex(), 0, columns, table, only);
  // The cells' own alignment, where the header has none (the tables align their values per item).
  for (size_t i = 0; i < columns.size(); ++i)
    if (model->rowCount() > 0 && !model->headerData(columns[i], Qt::Horizontal, Qt::TextAlignmentRole).isValid())
      table.Columns[i].Alignment = AlignmentOf(model->index(0, columns[i]).data(Qt::TextAlignmentRole));
  DecideKinds(table);
  return table;
}

void ShowFailure(QWidget* parent, const QString& file, const std::string& error) {
  DialogsFor(parent).Message(parent, file + QLatin1Char('\n') + QString::fromStdString(error), Tr("sError"),
                             QMessageBox::Critical, QMessageBox::Ok);
}

}  // namespace

TExportTable ViewTable(const QTreeView& view) { return MakeViewTable(view, nullptr); }

TExportTable ViewTable(const QTreeView& view, const std::vector<int>& topRows) { return MakeViewTable(view, &topRows); }

TExportTable NetworkListTable(const TNetworkListView& view) {
  TExportTable table;
  const TNetworkListModel* model = view.Model();
  std::vector<int> columns = VisibleColumns(*view.header(), model->columnCount());
  std::erase(columns, static_cast<int>(TNetworkColumn::Marker));
  for (const int c : columns) {
    TExportColumn col;
    col.Title = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
    col.Alignment = AlignmentOf(static_cast<int>(model->ColumnAlignment(c)));
    col.Width = view.header()->sectionSize(c);
    col.Kind = report::NetworkColumnKind(static_cast<TNetworkColumn>(c));
    table.Columns.push_back(std::move(col));
  }
  // Every row in the list's order, the hidden ones too (the graphs' view of the rows).
  for (int i = 0; i < model->TotalRows(); ++i) {
    const TWLANNetwork* n = model->GraphRowNetwork(i);
    if (!n) continue;
    TExportRow r;
    // The network's own texts, as the command line writes them; the renderers make them safe for each format
    // (the list's direction isolates and visible control marks are for the screen only).
    for (const int c : columns) r.Cells.push_back(NetworkCellText(*n, c));
    table.Rows.push_back(std::move(r));
  }
  return table;
}

// The fields as the network list's copies make them.
QString ClipboardText(const TExportTable& table) {
  std::string out;
  bool first = true;
  for (const TExportRow& row : table.Rows) {
    if (!first) out += kCopyLineBreak;
    first = false;
    if (table.IsTree()) out.append(static_cast<size_t>(std::max(row.Level, 0)), kCopySeparator);
    for (size_t c = 0; c < row.Cells.size(); ++c) {
      if (c > 0) out += kCopySeparator;
      out += CopyField(row.Cells[c]);
    }
  }
  return QString::fromStdString(out);
}

QStringList ExportFilters() {
  return {Tr("Text file") + QStringLiteral(" (*.txt)"), Tr("CSV file") + QStringLiteral(" (*.csv)"),
          Tr("HTML file") + QStringLiteral(" (*.htm)"), Tr("RTF file") + QStringLiteral(" (*.rtf)")};
}

bool ExportView(QWidget* parent, const std::function<TExportTable()>& table, const QString& proposed) {
  const QStringList filters = ExportFilters();
  int filter = 0;
  const QString file = DialogsFor(parent).SaveFile(parent, Tr("Export to file"), proposed, filters, filter);
  if (file.isEmpty()) return false;
  const auto format = static_cast<report::TExportFormat>(std::clamp(filter, 0, 3));
  const std::string error = report::WriteTableExport(table(), format, std::filesystem::path(file.toStdString()));
  if (!error.empty()) {
    ShowFailure(parent, file, error);
    return false;
  }
  return true;
}

bool ExportElementDump(QWidget* parent, const THexDumpViewer& viewer, std::string_view ssid, std::string_view bssid) {
  const QStringList filters = {
      Tr("Text file") + QStringLiteral(" (*.txt)"), Tr("PNG image") + QStringLiteral(" (*.png)"),
      Tr("Bitmap file") + QStringLiteral(" (*.bmp)"), Tr("Binary file") + QStringLiteral(" (*.bin)")};
  const QString proposed = QString::fromStdString(report::ProposedDumpName(ssid, bssid, LocalNow()));
  int filter = 0;
  const QString file =
      DialogsFor(parent).SaveFile(parent, Tr("Export Information Elements Dump to file"), proposed, filters, filter);
  if (file.isEmpty()) return false;
  const std::filesystem::path path(file.toStdString());
  // The viewer's own copy of the bytes: what it shows, whatever the network has heard since.
  std::string error;
  switch (filter) {
    case 1: error = viewer.SaveBitmap(file, "PNG"); break;
    case 2: error = viewer.SaveBitmap(file, "BMP"); break;
    case 3: error = report::WriteElementDump(viewer.Bytes(), report::TDumpFormat::Binary, path); break;
    default: error = report::WriteElementDump(viewer.Bytes(), report::TDumpFormat::Text, path); break;
  }
  if (!error.empty()) {
    ShowFailure(parent, file, error);
    return false;
  }
  return true;
}

QString ProposedName(report::TExportSource source) {
  return QString::fromStdString(report::ProposedExportName(source, LocalNow()));
}

void FillTableMenu(QMenu& menu, QTreeView* view, const std::function<QString()>& proposed) {
  const bool rows = view->model() && view->model()->rowCount() > 0;
  const bool selection = view->selectionModel() && view->selectionModel()->hasSelection();

  QAction* line = menu.addAction(Tr("Copy line"));
  line->setObjectName(QStringLiteral("actVTCopyRowToClipboard"));
  line->setEnabled(selection);
  QObject::connect(line, &QAction::triggered, view, [view] {
    std::vector<int> selected;
    for (const QModelIndex& i : view->selectionModel()->selectedRows())
      if (!i.parent().isValid()) selected.push_back(i.row());
    std::sort(selected.begin(), selected.end());
    QApplication::clipboard()->setText(ClipboardText(ViewTable(*view, selected)));
  });

  QAction* all = menu.addAction(Tr("Copy all to clipboard"));
  all->setObjectName(QStringLiteral("actVTCopyAllToClipboard"));
  all->setEnabled(rows);
  QObject::connect(all, &QAction::triggered, view,
                   [view] { QApplication::clipboard()->setText(ClipboardText(ViewTable(*view))); });

  QAction* exp = menu.addAction(Tr("Export to file"));
  exp->setObjectName(QStringLiteral("actVTExportToFile"));
  exp->setEnabled(rows);
  QObject::connect(exp, &QAction::triggered, view, [view, proposed] {
    // The view may go while the dialog runs; the table is read after it through a guarded pointer.
    QPointer<QTreeView> guard(view);
    ExportView(
        view->window(), [guard] { return guard ? ViewTable(*guard) : TExportTable{}; }, proposed());
  });
}

void InstallTableMenu(QTreeView* view, std::function<QString()> proposed) {
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(view, &QWidget::customContextMenuRequested, view, [view, proposed](const QPoint& pos) {
    QMenu menu(view);
    FillTableMenu(menu, view, proposed);
    menu.exec(view->viewport()->mapToGlobal(pos));
  });
}

}  // namespace skimlet::ui
