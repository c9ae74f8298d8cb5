#include "ui/app/app_guard.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QWidget>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace skimlet {

namespace {
constexpr char kBlockName[] = "{1667D833-6D56-4DEA-B4FC-85EF02D7E3F0}";
constexpr char kActivate[] = "activate\n";
constexpr char kAnswer[] = "ok\n";
}  // namespace

QString SingleInstanceName() {
  return QStringLiteral("skimlet-%1-%2").arg(QString::fromLatin1(kBlockName)).arg(static_cast<qulonglong>(getuid()));
}

TSingleInstance::TSingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &TSingleInstance::Answer);
}

TSingleInstance::~TSingleInstance() { server_.close(); }

bool TSingleInstance::AskRunningInstance(const QString& name, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kActivate);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  while (!socket.canReadLine())
    if (!socket.waitForReadyRead(timeoutMs)) return false;
  return socket.readLine() == kAnswer;
}

bool TSingleInstance::Acquire(int timeoutMs) {
  // Two starts at the same moment take turns: the lock is held from the question to the listening socket.
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  QLockFile lock(QDir(runtime.isEmpty() ? QDir::tempPath() : runtime).filePath(name_ + ".lock"));
  lock.setStaleLockTime(0);
  const bool locked = lock.tryLock(timeoutMs);
  if (AskRunningInstance(name_, timeoutMs)) return false;
  // Nobody answered: whatever socket file is there belongs to a process that is gone.
  QLocalServer::removeServer(name_);
  const bool listening = server_.listen(name_);
  if (locked) lock.unlock();
  if (!listening)
    qWarning("skimlet: single-instance socket %s: %s", qPrintable(name_), qPrintable(server_.errorString()));
  return true;
}

void TSingleInstance::Answer() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) return;
      if (socket->readLine() == kActivate) {
        socket->write(kAnswer);
        socket->flush();
        if (OnActivate) OnActivate();
      }
      socket->disconnectFromServer();
    });
  }
}

// ---- signals -----------------------------------------------------------------------------------------------

namespace {

int g_signalPipe[2] = {-1, -1};
std::atomic<int> g_signalCount{0};

extern "C" void OnQuitSignal(int) {
  if (g_signalCount.fetch_add(1) >= 1) _exit(128 + SIGTERM);  // the second signal while closing
  const char byte = 1;
  [[maybe_unused]] ssize_t n = write(g_signalPipe[1], &byte, 1);
}

}  // namespace

void InstallQuitSignals(QWidget* window) {
  if (g_signalPipe[0] >= 0) return;
  if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, window);
  QPointer<QWidget> target(window);
  QObject::connect(notifier, &QSocketNotifier::activated, window, [target] {
    char buffer[16];
    while (read(g_signalPipe[0], buffer, sizeof buffer) > 0) {}
    if (target) target->close();
  });
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace skimlet
