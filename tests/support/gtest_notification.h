// GoogleTest's Notification for a standard library without std::mutex (MinGW's win32 thread
// model, which the i686 build uses). GoogleTest needs the class only for its own threading
// helpers, which our single-threaded tests never call; it is still a working one.
#pragma once
#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
