// The single-instance handshake: a second start activates the first, and a socket a crashed instance left
// behind is replaced.
#include <QDir>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "ui/app/app_guard.h"

namespace skimlet {
namespace {

TEST(SingleInstance, SecondStartActivatesTheFirst) {
  const QString name = QStringLiteral("skimlet-test-%1").arg(QCoreApplication::applicationPid());
  {
    TSingleInstance first(name);
    ASSERT_TRUE(first.Acquire());
    int activations = 0;
    first.OnActivate = [&] { ++activations; };
    std::atomic<bool> answered{false};
    std::thread second([&] { answered = TSingleInstance::AskRunningInstance(name, 3000); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return activations == 1; }, 5000));
    second.join();
    EXPECT_TRUE(answered);
  }
  // The first one has gone: the next start is the instance.
  EXPECT_FALSE(TSingleInstance::AskRunningInstance(name, 200));
  TSingleInstance next(name);
  EXPECT_TRUE(next.Acquire());
}

TEST(SingleInstance, StaleSocketOfACrashedInstanceIsReplaced) {
  const QString name = QStringLiteral("skimlet-stale-%1").arg(QCoreApplication::applicationPid());
  const std::string path = QDir(QDir::tempPath()).filePath(name).toStdString();
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
  ::unlink(path.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::close(fd);  // bound, never listening, never removed: what a crash leaves
  TSingleInstance instance(name);
  EXPECT_TRUE(instance.Acquire(500));
  std::atomic<bool> answered{false};
  std::thread other([&] { answered = TSingleInstance::AskRunningInstance(name, 3000); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return answered.load(); }, 5000));
  other.join();
}

}  // namespace
}  // namespace skimlet
