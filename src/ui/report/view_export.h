// Tables and trees of the window as export tables, and what is done with them: the clipboard lines of a table,
// the export to a file in one of four formats (ExportView), the export of a hex dump (ExportElementDump), and
// the context menu shared by the window's plain tables.
#pragma once

#include <QString>

#include <functional>
#include <string_view>
#include <vector>

#include "core/report/element_dump.h"
#include "core/report/table_export.h"

class QMenu;
class QTreeView;
class QWidget;

namespace skimlet {
class TNetworkListView;
}

namespace skimlet::ui {

class THexDumpViewer;

// A view's content: the visible columns in display order with their titles, alignments and widths, and every
// row of the model in the view's order, children after their parent with their level. A column whose every
// cell is a plain number (digits, an optional leading minus, separators) is a Number column.
report::TExportTable ViewTable(const QTreeView& view);
// The rows of ViewTable for the given top-level rows only.
report::TExportTable ViewTable(const QTreeView& view, const std::vector<int>& topRows);

// The network list: the visible columns in display order but the marker column, and every row in the list's
// order, filtered ones included, with the networks' own texts (not the screen's direction isolates).
report::TExportTable NetworkListTable(const TNetworkListView& view);

// Clipboard lines: the cells of each row joined by TAB, a cell holding a TAB, a double quotation mark or a line
// break enclosed in quotation marks with the marks inside doubled; lines joined by CR LF without a final one.
// A tree's lines are its cells indented by one TAB per level.
QString ClipboardText(const report::TExportTable& table);

// The export dialog's filters, in the order of TExportFormat.
QStringList ExportFilters();

// Asks for a file ("Export to file", text/CSV/HTML/RTF, Proposed as the name) and writes Table() there in the
// chosen format. Table is called after the dialog. A failure is shown with its cause; an existing file then
// stays as it was. True when a file was written.
bool ExportView(QWidget* parent, const std::function<report::TExportTable()>& table, const QString& proposed);

// Asks for a file ("Export Information Elements Dump to file": text, PNG or BMP picture, binary) and writes
// the viewer's bytes there: its text rendering, its picture, or exactly the bytes it shows. True when written.
bool ExportElementDump(QWidget* parent, const THexDumpViewer& viewer, std::string_view ssid, std::string_view bssid);

// The proposed name of an export from a source, with the current local time.
QString ProposedName(report::TExportSource source);

// The context menu of a plain table: Copy line (the selected rows), Copy all to clipboard, Export to file,
// enabled by the table's selection and rows. Proposed gives the export's proposed name.
void FillTableMenu(QMenu& menu, QTreeView* view, const std::function<QString()>& proposed);
// Shows that menu on the view's context-menu requests.
void InstallTableMenu(QTreeView* view, std::function<QString()> proposed);

}  // namespace skimlet::ui
