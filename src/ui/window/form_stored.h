// The stored main window: options and language loaded before any control exists, the window placement
// restored and stored, the options written when the window goes; column layouts copied between the stored
// records and Qt headers; window translation bound to Qt's property system.
#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QTreeView>
#include <QUrl>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "core/settings/folders.h"
#include "core/settings/lang.h"
#include "core/settings/options.h"
#include "core/settings/translate_forms.h"
#include "core/service/wlan_service.h"
#include "ui/base/dialog_service.h"
#include "ui/list/column_layout.h"

namespace skimlet {

// The caption of the main window: product, version "%.2d.%.2d" (with ".%d" for a release number other than
// 0), and the build kind when there is one.
QString CaptionText(const QString& product, int major, int minor, int release, const QString& buildKind);

// The wireless service the window talks to, and whether it is the simulated radio (the window says so).
struct TWindowService {
  std::unique_ptr<WlanService> Service;
  bool Simulated = false;
};

// What a window start needs from outside: where the files are, which service to talk to, how to ask.
struct TStartEnvironment {
  TProgramFolders Folders;
  // Makes the service; a null Service when none can be made.
  std::function<TWindowService(const TProgramOptions&, const TProgramFolders&)> CreateService;
  // Every dialog the window and its parts open; tests give their own answers here.
  ui::TDialogService Dialogs = ui::StandardDialogs();
};

// A window with named children whose properties the language file may set ("frmSkimlet.actExit.Caption").
// Caption maps to the Qt property that shows a caption (text, title, window title, tab text), Hint to the
// tool tip; other names are Qt properties of that name.
class TQtTranslatable : public TTranslatable {
 public:
  TQtTranslatable(QObject* object, std::string className = {});
  std::string ClassName() const override { return className_; }
  TTranslatable* FindComponent(std::string_view name) override;
  TPropertyKind PropertyKind(std::string_view name) const override;
  TTranslatable* PropertyObject(std::string_view name) override;
  void SetInteger(std::string_view name, int64_t value) override;
  void SetFloat(std::string_view name, double value) override;
  void SetString(std::string_view name, const std::string& value) override;
  void SetStrings(std::string_view name, const std::vector<std::string>& value) override;

 private:
  QObject* object_;
  std::string className_;
  std::deque<TQtTranslatable> children_;
};

class TFormStored : public QMainWindow {
  Q_OBJECT

 public:
  // Resolves nothing itself: Env.Folders says where the settings are. Loads the options and the language
  // (installed as the text source), shows what could not be read, and applies the stored placement.
  explicit TFormStored(TStartEnvironment env, QWidget* parent = nullptr);
  // Stores the window state and bounds, writes options.xml, uninstalls the language.
  ~TFormStored() override;

  // Shows the window in its stored state (normal, minimised or maximised).
  void ShowStored();
  // Window caption and application name.
  void SetCaption();
  QMessageBox::StandardButton Ask(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                  QMessageBox::StandardButtons buttons);

  TProgramOptions Options;
  TLangChanger Lang;
  const TProgramFolders& Folders() const { return env_.Folders; }

 protected:
  void changeEvent(QEvent* event) override;
  // Runs once, on the first activation of the window, after the caption is set.
  virtual void FirstActivation() {}
  TStartEnvironment env_;
  bool firstActivation_ = true;

 private:
  void StorePlacement();
};

}  // namespace skimlet
