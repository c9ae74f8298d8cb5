#include "core/service/wlan_service.h"

namespace skimlet {

WlanResult WlanService::QueryInterfaceIdentity(const WLAN_GUID&, WlanInterfaceIdentity&) {
  return WlanError::kNotSupported;
}

ScanNotificationRelay::ScanNotificationRelay(Filter accepts) : shared_(std::make_shared<Shared>()) {
  shared_->Accepts = accepts ? accepts : IsScanResultNotification;
}

void ScanNotificationRelay::Attach(PostFunction post) {
  std::lock_guard<std::mutex> lock(shared_->Lock);
  shared_->Post = std::move(post);
}

bool ScanNotificationRelay::IsScanResultNotification(const WlanNotification& n) {
  return n.NotificationSource == kNotificationSourceACM &&
         (n.NotificationCode == kAcmScanComplete || n.NotificationCode == kAcmScanListRefresh);
}

bool ScanNotificationRelay::IsConnectionOutcomeNotification(const WlanNotification& n) {
  return n.NotificationSource == kNotificationSourceACM &&
         (n.NotificationCode == kAcmConnectionComplete || n.NotificationCode == kAcmConnectionAttemptFail ||
          n.NotificationCode == kAcmDisconnected);
}

WlanNotificationCallback ScanNotificationRelay::Callback() const {
  std::shared_ptr<Shared> shared = shared_;
  return [shared](const WlanNotification& n) {
    try {
      if (!shared->Accepts(n)) return;
      std::lock_guard<std::mutex> lock(shared->Lock);
      if (shared->Post) shared->Post();
    } catch (...) {
      // A notification must never take the service's thread down.
    }
  };
}

}  // namespace skimlet
