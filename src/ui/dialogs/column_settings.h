// The network list's column choice: a check box per column in display order (checked = visible), the selected
// column's width and alignment. Every change previews on the list at once; OK keeps the working copy, Cancel
// puts the layout of the opening back. The list's main column (the one that names its rows) always stays
// visible.
#pragma once

#include <QDialog>

#include "core/settings/options.h"

class QComboBox;
class QListWidget;
class QSpinBox;
class QTreeView;

namespace skimlet::dialogs {

class TfrmColumnSettings : public QDialog {
  Q_OBJECT

 public:
  inline static constexpr int kMinWidth = 20;
  inline static constexpr int kMaxWidth = 1000;

  // List: the network list, whose layout is read now (over Stored) and previewed while the dialog is open.
  // MainColumn: the column that cannot be hidden.
  TfrmColumnSettings(QTreeView& list, const TColumnLayout& stored, int mainColumn, QWidget* parent = nullptr);

  // OK: the working copy stays on the list and goes into Stored. Cancel: the saved layout goes back.
  void Finish(bool ok, TColumnLayout& stored);

  QListWidget* Columns() const { return lstColumns_; }
  QSpinBox* WidthBox() const { return seWidth_; }
  QComboBox* AlignmentBox() const { return cbAlignment_; }
  const TColumnLayout& Working() const { return working_; }

 private:
  void ShowSelected();
  void Preview();
  // The column of the selected line, or -1.
  int SelectedColumn() const;
  void TakeWidth();

  QTreeView& list_;
  int mainColumn_;
  TColumnLayout saved_;
  TColumnLayout working_;
  bool filling_ = false;
  QListWidget* lstColumns_ = nullptr;
  QSpinBox* seWidth_ = nullptr;
  QComboBox* cbAlignment_ = nullptr;
};

// Runs the dialog over Parent for List; OK stores the layout in Stored.
void ExecuteColumnSettings(QWidget* parent, QTreeView& list, TColumnLayout& stored, int mainColumn);

}  // namespace skimlet::dialogs
