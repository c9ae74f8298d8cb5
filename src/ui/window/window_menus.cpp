// The main window's menus: the menu bar and tool bar from the command table, the language menu, and the list
// header's menu of columns.
#include <QActionGroup>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "ui/window/main_window.h"

namespace skimlet {

void TfrmSkimlet::CreateMenus() {
  auto menu = [this](const char* name, const char* caption) {
    QMenu* m = menuBar()->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QString::fromUtf8(name));
    return m;
  };
  QMenu* file = menu("mnuFile", "&File");
  commands_->Place(file, kFileMenuBeforeLanguage);
  mnuLanguage_ = file->addMenu(QStringLiteral("Language"));
  mnuLanguage_->setObjectName(QStringLiteral("mnuLanguage"));
  commands_->Place(file, kFileMenuAfterLanguage);

  mnuCopy_ = new QMenu(this);
  mnuCopy_->setObjectName(QStringLiteral("mnuCopy"));
  Action(TCommand::Copy)->setMenu(mnuCopy_);

  commands_->Place(menu("mnuNetwork", "&Network"), kNetworkMenu);
  commands_->Place(menu("mnuTools", "&Tools"), kToolsMenu);
  commands_->Place(menu("mnuView", "&View"), kViewMenu);
  commands_->Place(menu("mnuHelp", "&Help"), kHelpMenu);

  QToolBar* bar = addToolBar(QStringLiteral("Tools"));
  bar->setObjectName(QStringLiteral("tbMain"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  commands_->Place(bar, kToolBar);
}

void TfrmSkimlet::BuildLanguageMenu() {
  mnuLanguage_->clear();
  auto* group = new QActionGroup(mnuLanguage_);
  for (const std::string& name : ListLanguages(Folders().LanguagesFolder)) {
    QAction* a = mnuLanguage_->addAction(QString::fromStdString(name));
    a->setCheckable(true);
    a->setActionGroup(group);
    a->setChecked(name == Options.DefaultLang);
    connect(a, &QAction::triggered, this, [this, a] { SwitchLanguage(a->text().remove('&')); });
  }
}

void TfrmSkimlet::ShowHeaderMenu(const QPoint& pos) {
  QMenu menu(this);
  QHeaderView* header = vstNetworkList_->header();
  for (int i = 0; i < NetworkColumnCount; ++i) {
    QAction* a = menu.addAction(model_->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString());
    a->setCheckable(true);
    a->setChecked(!header->isSectionHidden(i));
    a->setEnabled(!NetworkColumnLocked(i));  // the list always shows its marker and its networks' names
    connect(a, &QAction::toggled, this, [this, header, i](bool shown) {
      if (!shown) ReadLayout(*vstNetworkList_, Options.Layouts.ListColumns);  // keeps its width
      header->setSectionHidden(i, !shown);
      if (shown) header->resizeSection(i, std::max(50, Options.Layouts.ListColumns[static_cast<size_t>(i)].Width));
    });
  }
  menu.addSeparator();
  for (TCommand id : {TCommand::ShowHorizontalGrid, TCommand::ShowVerticalGrid, TCommand::ShowStripedGrid})
    menu.addAction(Action(id));
  menu.addSeparator();
  menu.addAction(Action(TCommand::ShowRestoreOrder));
  menu.addAction(Action(TCommand::SelectColumns));
  menu.exec(header->mapToGlobal(pos));
}

void TfrmSkimlet::RestoreColumnsOrder() {
  ReadLayout(*vstNetworkList_, Options.Layouts.ListColumns);
  for (size_t i = 0; i < Options.Layouts.ListColumns.size(); ++i)
    Options.Layouts.ListColumns[i].Position = static_cast<int32_t>(i);
  ApplyNetworkLayout();
}

}  // namespace skimlet
