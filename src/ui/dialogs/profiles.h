// The stored wireless profiles of the selected interface, in the service's order, with Properties (the
// service's own editor), Delete, Rename, Move up, Move down and Close as buttons and as the list's context
// menu. Every command acts on the selected line and then reloads the profiles; so does activating the dialog
// again, since the editor runs on its own.
#pragma once

#include <QDialog>
#include <QMessageBox>

#include <functional>
#include <optional>

#include "core/settings/options.h"

class QMenu;
class QPushButton;
class QTreeWidget;

namespace skimlet {

class TWLANInterface;

namespace dialogs {

struct TProfilesHooks {
  // The interface whose profiles are shown, looked up at every use; nullptr shows an empty list.
  std::function<TWLANInterface*()> Interface;
  // A message box: text, caption, icon and buttons; returns the button pressed.
  std::function<QMessageBox::StandardButton(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                            QMessageBox::StandardButtons buttons)>
      Ask;
  // An input query: title, prompt and initial text; nullopt when cancelled.
  std::function<std::optional<QString>(const QString& title, const QString& prompt, const QString& initial)> Input;
};

class TfrmProfiles : public QDialog {
  Q_OBJECT

 public:
  TfrmProfiles(TProfilesHooks hooks, TColumnLayout& layout, QWidget* parent = nullptr);
  ~TfrmProfiles() override;

  // The profiles from the service into the list, keeping the selected name selected where it still is.
  void Reload();
  void Properties();
  void Delete();
  void Rename();
  void MoveUp();
  void MoveDown();

  QTreeWidget* List() const { return lstProfiles_; }
  QPushButton* Button(const char* name) const;

 protected:
  bool event(QEvent* event) override;

 private:
  void UpdateButtons();
  int SelectedRow() const;
  QString SelectedName() const;
  void Select(const QString& name);
  void Move(int delta);

  TProfilesHooks hooks_;
  TColumnLayout& layout_;
  QTreeWidget* lstProfiles_ = nullptr;
  QPushButton* btnProperties_ = nullptr;
  QPushButton* btnDelete_ = nullptr;
  QPushButton* btnRename_ = nullptr;
  QPushButton* btnMoveUp_ = nullptr;
  QPushButton* btnMoveDown_ = nullptr;
  QMenu* menu_ = nullptr;
};

void ExecuteProfiles(QWidget* parent, TProfilesHooks hooks, TColumnLayout& layout);

}  // namespace dialogs
}  // namespace skimlet
