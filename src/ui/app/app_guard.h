// What guards the process around the main window: one instance per user (a second start activates the
// running window through a local socket and exits), and SIGTERM/SIGINT closing the window as Exit does.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace skimlet {

// The socket name of the single-instance guard for this user.
QString SingleInstanceName();

class TSingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit TSingleInstance(QString name = SingleInstanceName(), QObject* parent = nullptr);
  ~TSingleInstance() override;

  // True when this process is the one instance and now listens; false when another instance answered and was
  // asked to come to the front (this process then exits). A socket left by a crashed instance is replaced.
  bool Acquire(int timeoutMs = 2000);
  // Called in the running instance when a second start asks it to come to the front.
  std::function<void()> OnActivate;
  const QString& Name() const { return name_; }

  // The second start's side alone: asks the instance behind Name to come to the front; true when it answered.
  static bool AskRunningInstance(const QString& name, int timeoutMs = 2000);

 private:
  void Answer();
  QString name_;
  QLocalServer server_;
};

// SIGTERM and SIGINT close Window (as the Exit command does, so the settings are written); a second signal
// while closing ends the process at once. Call once, after the window exists.
void InstallQuitSignals(QWidget* window);

}  // namespace skimlet
