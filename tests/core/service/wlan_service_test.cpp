#include "core/service/wlan_service.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace skimlet {
namespace {

WlanNotification Note(uint32_t source, uint32_t code) { return {source, code, {}, {}}; }

TEST(ScanNotificationRelay, PostsOnlyScanResultsOfTheAutoConfigurationModule) {
  ScanNotificationRelay relay;
  int posts = 0;
  auto callback = relay.Callback();
  callback(Note(kNotificationSourceACM, kAcmScanComplete));  // not attached yet: nothing
  relay.Attach([&] { ++posts; });
  callback(Note(kNotificationSourceACM, kAcmScanComplete));
  callback(Note(kNotificationSourceACM, kAcmScanListRefresh));
  callback(Note(kNotificationSourceACM, kAcmScanComplete));  // two notifications, two posts
  callback(Note(kNotificationSourceACM, kAcmConnectionComplete));
  callback(Note(16, kAcmScanComplete));  // another source with the same code
  EXPECT_EQ(posts, 3);
  relay.Detach();
  callback(Note(kNotificationSourceACM, kAcmScanComplete));
  EXPECT_EQ(posts, 3);
}

// A relay of connection outcomes passes the end of an attempt or of a connection, nothing else.
TEST(ScanNotificationRelay, ConnectionOutcomeFilterPassesOnlyTheEndOfAnAttemptOrAConnection) {
  ScanNotificationRelay relay(ScanNotificationRelay::IsConnectionOutcomeNotification);
  std::vector<uint32_t> posted;
  uint32_t current = 0;
  relay.Attach([&] { posted.push_back(current); });
  auto callback = relay.Callback();
  for (uint32_t code :
       {kAcmScanComplete, kAcmScanFail, kAcmConnectionStart, kAcmConnectionComplete, kAcmConnectionAttemptFail,
        kAcmProfileChange, kAcmDisconnecting, kAcmDisconnected, kAcmScanListRefresh}) {
    current = code;
    callback(Note(kNotificationSourceACM, code));
  }
  current = 0;
  callback(Note(16, kAcmConnectionComplete));  // another source with the same code
  EXPECT_EQ(posted, (std::vector<uint32_t>{kAcmConnectionComplete, kAcmConnectionAttemptFail, kAcmDisconnected}));
}

TEST(ScanNotificationRelay, SwallowsFailuresAndOutlivesTheRelay) {
  WlanNotificationCallback callback;
  {
    ScanNotificationRelay relay;
    relay.Attach([] { throw std::runtime_error("window gone"); });
    callback = relay.Callback();
    EXPECT_NO_THROW(callback(Note(kNotificationSourceACM, kAcmScanComplete)));
  }
  // The relay is gone; the callback still held by a service thread does nothing.
  EXPECT_NO_THROW(callback(Note(kNotificationSourceACM, kAcmScanComplete)));
}

TEST(ScanNotificationRelay, DetachWaitsForAPostInProgress) {
  ScanNotificationRelay relay;
  std::atomic<bool> inPost{false}, release{false}, done{false};
  relay.Attach([&] {
    inPost = true;
    while (!release) std::this_thread::yield();
    done = true;
  });
  std::thread service([cb = relay.Callback()] { cb(Note(kNotificationSourceACM, kAcmScanComplete)); });
  while (!inPost) std::this_thread::yield();
  std::thread window([&] {
    relay.Detach();
    EXPECT_TRUE(done);
  });
  release = true;
  window.join();
  service.join();
}

}  // namespace
}  // namespace skimlet
