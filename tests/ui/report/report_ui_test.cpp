// The window's exports through injected dialogs: each table kind to a file with its proposed name, the
// clipboard lines of the table menu, the element tree and hex dump exports of the element page (the dump as
// the viewer holds it, not as the network has since been heard), and a failed report leaving the old page.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/base/atomic_file.h"
#include "core/ie/builder.h"
#include "core/report/element_dump.h"
#include "core/settings/options.h"
#include "support/network_fixture.h"
#include "ui/base/dialog_service.h"
#include "ui/connection/current_connection.h"
#include "ui/details/advanced_details.h"
#include "ui/details/element_tree_model.h"
#include "ui/hexview/hex_dump_viewer.h"
#include "ui/report/file_dialogs.h"
#include "ui/report/report_command.h"
#include "ui/report/view_export.h"
#include "ui/statistics/statistics_pages.h"

namespace skimlet::ui {
namespace {

std::string ReadAll(const QString& file) {
  std::string out;
  ReadWholeFile(file.toStdString(), out);
  return out;
}

// Dialogs that answer with a fixed file and filter and note what they were asked.
struct TAnswers {
  QString File;
  int Filter = 0;
  QString Title, Proposed;
  QStringList Filters, Messages;
  report::TReportSections Sections;

  TDialogService Dialogs() {
    TDialogService d;
    d.SaveFile = [this](QWidget*, const QString& title, const QString& proposed, const QStringList& filters,
                        int& filter) {
      Title = title;
      Proposed = proposed;
      Filters = filters;
      filter = Filter;
      return File;
    };
    d.ReportSections = [this](QWidget*, report::TReportSections& s) {
      s = Sections;
      return true;
    };
    d.Message = [this](QWidget*, const QString& text, const QString&, QMessageBox::Icon, QMessageBox::StandardButtons) {
      Messages << text;
      return QMessageBox::Ok;
    };
    d.OpenUrl = [](const QUrl&) { return true; };
    return d;
  }
};

QAction* Entry(QMenu& menu, const char* name) {
  for (QAction* a : menu.actions())
    if (a->objectName() == QLatin1String(name)) return a;
  ADD_FAILURE() << "no entry " << name;
  return nullptr;
}

QTreeWidget* Table(QStringList titles, const std::vector<QStringList>& rows) {
  auto* t = new QTreeWidget();
  t->setColumnCount(static_cast<int>(titles.size()));
  t->setHeaderLabels(titles);
  t->setSelectionMode(QAbstractItemView::ExtendedSelection);
  for (const QStringList& r : rows) new QTreeWidgetItem(t, r);
  return t;
}

// The menu's entries follow the table; Copy line takes the selected rows in table order, quoting cells that
// would break the lines; the columns come in display order and hidden ones stay out.
TEST(TableMenu, EnablingAndClipboardLines) {
  std::unique_ptr<QTreeWidget> empty(Table({"A"}, {}));
  {
    QMenu menu;
    FillTableMenu(menu, empty.get(), [] { return QString(); });
    for (const char* name : {"actVTCopyRowToClipboard", "actVTCopyAllToClipboard", "actVTExportToFile"})
      EXPECT_FALSE(Entry(menu, name)->isEnabled()) << name;
  }

  std::unique_ptr<QTreeWidget> t(
      Table({"Name", "Value", "Hidden"},
            {{"plain", "1", "x"}, {"tab\there", "say \"hi\"", "x"}, {"two\r\nlines", "=1+1", "x"}}));
  t->header()->moveSection(1, 0);  // Value first
  t->setColumnHidden(2, true);
  QMenu menu;
  FillTableMenu(menu, t.get(), [] { return QString(); });
  EXPECT_FALSE(Entry(menu, "actVTCopyRowToClipboard")->isEnabled());
  EXPECT_TRUE(Entry(menu, "actVTCopyAllToClipboard")->isEnabled());
  EXPECT_TRUE(Entry(menu, "actVTExportToFile")->isEnabled());

  Entry(menu, "actVTCopyAllToClipboard")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(),
            "1\tplain\r\n\"say \"\"hi\"\"\"\t\"tab\there\"\r\n=1+1\t\"two\r\nlines\"");

  t->topLevelItem(2)->setSelected(true);
  t->topLevelItem(0)->setSelected(true);
  QMenu again;
  FillTableMenu(again, t.get(), [] { return QString(); });
  ASSERT_TRUE(Entry(again, "actVTCopyRowToClipboard")->isEnabled());
  Entry(again, "actVTCopyRowToClipboard")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "1\tplain\r\n=1+1\t\"two\r\nlines\"");
}

// Every plain table of the window exports under its own proposed name in the format chosen; a counter
// column is a number column (no spreadsheet guard), a text column starting with "-" gets one.
TEST(TableExport, EachTableKindWritesTheChosenFormatUnderItsName) {
  QTemporaryDir dir;
  TAnswers answers;
  TScopedDialogs scope(answers.Dialogs());

  TCurrentConnectionPanel connection(nullptr, nullptr, nullptr);
  connection.ConnectionTable()->topLevelItem(0)->setText(1, "-evil");
  TStatisticsTable mac(TStatisticsTable::TKind::Mac, [] { return nullptr; });
  TStatisticsTable phy(TStatisticsTable::TKind::Phy, [] { return nullptr; });
  for (QTreeWidget* t : {mac.Table(), phy.Table()})
    for (int r = 0; r < t->topLevelItemCount(); ++r) t->topLevelItem(r)->setText(1, QString::number(r * 1000));

  struct Case {
    QTreeView* View;
    int Filter;
    const char* Name;   // the proposed name's start
    const char* Start;  // the file's first bytes
    const char* Contains;
  };
  const Case cases[] = {
      {connection.ConnectionTable(), 1, "Current connection 2", "\xEF\xBB\xBF", "'-evil"},
      {mac.Table(), 0, "Wireless statistics - MAC layer -  2", "", "\t1000\t"},
      {phy.Table(), 2, "Wireless statistics - PHY layer - 2", "<meta", ">2000<"},
      {phy.Table(), 3, "Wireless statistics - PHY layer - 2", "{\\rtf1", "3000"},
  };
  for (const Case& c : cases) {
    const QString file = dir.filePath(QString("export%1").arg(c.Filter));
    answers.File = file;
    answers.Filter = c.Filter;
    QMenu menu;
    FillTableMenu(menu, c.View, [&] {
      return c.View == connection.ConnectionTable() ? ProposedName(report::TExportSource::CurrentConnection)
             : c.View == mac.Table()                ? ProposedName(report::TExportSource::MacStatistics)
                                                    : ProposedName(report::TExportSource::PhyStatistics);
    });
    Entry(menu, "actVTExportToFile")->trigger();
    EXPECT_EQ(answers.Title, "Export to file");
    EXPECT_EQ(answers.Filters.size(), 4);
    EXPECT_TRUE(answers.Proposed.startsWith(c.Name)) << answers.Proposed.toStdString();
    const std::string written = ReadAll(file);
    EXPECT_TRUE(QString::fromStdString(written).startsWith(c.Start, Qt::CaseInsensitive)) << c.Name;
    EXPECT_NE(written.find(c.Contains), std::string::npos) << c.Name << "\n" << written.substr(0, 600);
  }
  EXPECT_TRUE(answers.Messages.isEmpty());

  // A file that cannot be written is reported with its cause.
  answers.File = dir.filePath("missing/folder/x.txt");
  answers.Filter = 0;
  EXPECT_FALSE(ExportView(
      nullptr, [&] { return ViewTable(*mac.Table()); }, "x"));
  ASSERT_EQ(answers.Messages.size(), 1);
  EXPECT_TRUE(answers.Messages[0].startsWith(answers.File));
}

class ElementPage : public ::testing::Test {
 protected:
  void SetUp() override {
    test::Refresh(
        list, EncodeLocalDateTime(2026, 12, 10, 18, 0, 0),
        {{test::MakeEntry(1, -50, 2437000, "a/b\nc"), ElementBuilder().AddText(0, "a/b\nc").Add(3, {6}).Blob()}});
    ASSERT_EQ(list.Count(), 1);
    page.ShowNetwork(list.Items[0].get());
  }
  TProgramOptions options;
  TWLANNetworkList list{options};
  TAdvancedDetails page;
  QTemporaryDir dir;
  TAnswers answers;
  TScopedDialogs scope{answers.Dialogs()};
};

// Binary, text and picture exports of the dump hold what the viewer shows, also after the network was heard
// with other bytes; the proposed name never makes a path of an SSID with "/".
TEST_F(ElementPage, DumpExportsTheViewersBytes) {
  const std::vector<uint8_t> shown(page.Viewer()->Bytes().begin(), page.Viewer()->Bytes().end());
  list.Items[0]->Elements.Data = ElementBuilder().AddText(0, "newer").Blob();  // heard again, not shown yet

  struct Case {
    int Filter;
    const char* Name;
  };
  for (const Case c : {Case{3, "d.bin"}, Case{0, "d.txt"}, Case{1, "d.png"}, Case{2, "d.bmp"}}) {
    answers.File = dir.filePath(c.Name);
    answers.Filter = c.Filter;
    QMenu menu;
    page.Viewer()->FillContextMenu(menu);
    Entry(menu, "actHexDumpViewerExport")->trigger();
    EXPECT_EQ(answers.Title, "Export Information Elements Dump to file");
    EXPECT_TRUE(answers.Proposed.startsWith("Dump for AP a_b_c [00-11-22-33-00-01] 2"))
        << answers.Proposed.toStdString();
    const std::string written = ReadAll(answers.File);
    if (c.Filter == 3) {
      EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.end()), shown);
    } else if (c.Filter == 0) {
      EXPECT_EQ(written, report::ElementDumpText(shown));
    } else {
      EXPECT_EQ(QImage(answers.File).size(), page.Viewer()->DumpBitmap().size()) << c.Name;
    }
  }
  EXPECT_TRUE(answers.Messages.isEmpty());
}

// The tree menu: enabling, Copy and Copy all with one TAB per level, Expand and Collapse all, the export's
// proposed name and content, Refresh asking the window.
TEST_F(ElementPage, TreeMenu) {
  QMenu menu;
  page.FillTreeMenu(menu);
  EXPECT_FALSE(Entry(menu, "actIETreeCopy")->isEnabled());
  for (const char* name :
       {"actIETreeCopyAll", "actIETreeExport", "actIETreeExpandAll", "actIETreeCollapseAll", "actIETreeRefresh"})
    EXPECT_TRUE(Entry(menu, name)->isEnabled()) << name;

  Entry(menu, "actIETreeCopyAll")->trigger();
  const QStringList lines = QApplication::clipboard()->text().split("\r\n");
  ASSERT_EQ(static_cast<size_t>(lines.size()), page.Model()->Tree().Count());
  EXPECT_FALSE(lines[0].startsWith('\t'));
  EXPECT_TRUE(lines[1].startsWith('\t') && !lines[1].startsWith("\t\t"));

  Entry(menu, "actIETreeExpandAll")->trigger();
  const TIETreeLine deep = page.Model()->Tree().FirstChild(page.Model()->Tree().FirstChild(kNoLine));
  EXPECT_TRUE(page.TreeView()->isExpanded(page.Model()->IndexOfLine(deep)));
  Entry(menu, "actIETreeCollapseAll")->trigger();
  EXPECT_FALSE(page.TreeView()->isExpanded(page.Model()->index(0, 0)));

  page.TreeView()->setCurrentIndex(page.Model()->IndexOfLine(deep));
  QMenu selected;
  page.FillTreeMenu(selected);
  Entry(selected, "actIETreeCopy")->trigger();
  // The SSID line holds a line break: quoted, so that it stays one line of the copy.
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "\"" + page.Model()->Tree().Data(deep).Text + "\"");

  answers.File = dir.filePath("tree.txt");
  Entry(selected, "actIETreeExport")->trigger();
  EXPECT_TRUE(answers.Proposed.startsWith("Information Elements for AP a_b_c [00-11-22-33-00-01] 2"));
  EXPECT_EQ(ReadAll(answers.File), report::RenderText(report::ElementTreeTable(page.Model()->Tree())));

  int refreshed = 0;
  QObject::connect(&page, &TAdvancedDetails::RefreshRequested, [&] { ++refreshed; });
  Entry(selected, "actIETreeRefresh")->trigger();
  EXPECT_EQ(refreshed, 1);

  page.Clear();
  QMenu none;
  page.FillTreeMenu(none);
  for (QAction* a : none.actions()) EXPECT_TRUE(a->isSeparator() || !a->isEnabled()) << a->objectName().toStdString();
  QMenu viewer;
  page.Viewer()->FillContextMenu(viewer);
  for (QAction* a : viewer.actions()) EXPECT_TRUE(a->isSeparator() || !a->isEnabled()) << a->objectName().toStdString();
}

// A report that cannot be made (no templates) says why and leaves the page of that name as it was.
TEST(ReportCommand, FailureLeavesTheOldPageAndNamesTheCause) {
  QTemporaryDir dir;
  TAnswers answers;
  answers.File = dir.filePath("Report.htm");
  TScopedDialogs scope(answers.Dialogs());
  ASSERT_EQ(WriteFileAtomic(answers.File.toStdString(), std::string_view("old page")), "");
  TProgramOptions options;
  answers.Sections = {false, true, false, true};
  QStringList asked;
  RunReport([&] {
    TReportSources s;
    s.Options = &options;
    s.TemplateFolder = dir.filePath("no templates").toStdString();
    s.Ask = [&](const QString& text, const QString&, QMessageBox::Icon, QMessageBox::StandardButtons) {
      asked << text;
      return QMessageBox::Yes;
    };
    return s;
  });
  EXPECT_EQ(ReadAll(answers.File), "old page");
  ASSERT_EQ(asked.size(), 1);
  EXPECT_TRUE(asked[0].contains("report.template")) << asked[0].toStdString();
  EXPECT_TRUE(answers.Proposed.startsWith("Report 2"));
  EXPECT_EQ(answers.Title, "Save report");
  // The sections chosen are kept in the options.
  EXPECT_FALSE(options.bAddSummaryToReport);
  EXPECT_TRUE(options.bAddNetworksToReport);
  EXPECT_FALSE(options.bAddGraphsToReport);
}

// The summary counts the networks as they are when the report is made (a snapshot loaded or rows deleted since
// the last refresh), not the counters of that refresh.
TEST(ReportCommand, CountsAreTakenFromTheNetworksAsTheyAre) {
  TProgramOptions options;
  TWLANNetworkList list{options};
  test::Refresh(list, EncodeLocalDateTime(2026, 12, 10, 18, 0, 0),
                {{test::MakeEntry(1, -50, 2437000, "a"), {}}, {test::MakeEntry(2, -50, 2437000, ""), {}}});
  ASSERT_EQ(list.Counters[kCountAll], 2);
  list.Counters[kCountAll] = 99;  // stale
  list.Counters[kCountHidden] = 0;
  TReportSources s;
  s.Options = &options;
  s.Networks = &list;
  const report::TReportInput input = ReportInputOf(s, {}, "/nowhere/r.htm");
  EXPECT_TRUE(input.InterfaceKnown);
  EXPECT_EQ(input.Counters[kCountAll], 2);
  EXPECT_EQ(input.Counters[kCountHidden], 1);
  EXPECT_FALSE(ReportInputOf(TReportSources{}, {}, "/nowhere/r.htm").InterfaceKnown);
}

}  // namespace
}  // namespace skimlet::ui
