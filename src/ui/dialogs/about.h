// The About box: the program icon, the product name, the version with the build kind and the build date, the
// licence, the components the program is built from with their licences, and the home-page link when the
// build has a web address.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <vector>

class QLabel;

namespace skimlet::dialogs {

struct TComponent {
  QString Name;
  QString Licence;
};

struct TAboutInfo {
  QString Product;
  QString Version;        // "00.01", or "00.01.2" with a release number
  QString BuildKind;      // "Beta", "Pre-Release", "Special build" or empty
  int64_t BuildTime = 0;  // Unix time of the build
  QString Licence;
  std::vector<TComponent> Components;
  QString HomePage;  // empty: no link
};

// What this build says about itself.
TAboutInfo ProgramAboutInfo();

// "Version %s" with the version, then " " and the build kind when there is one, then " Built on: %s" with the
// build date in the short date format of the current locale.
QString VersionLine(const TAboutInfo& info);

class TfrmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmAbout(const TAboutInfo& info, QWidget* parent = nullptr);

  QLabel* IconLabel() const { return lblIcon_; }
  // nullptr without a home page.
  QLabel* HomeLink() const { return lblHome_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString home_;
  QLabel* lblIcon_ = nullptr;
  QLabel* lblHome_ = nullptr;
};

void ExecuteAbout(QWidget* parent);

}  // namespace skimlet::dialogs
