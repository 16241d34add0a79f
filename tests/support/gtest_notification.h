// GoogleTest's Notification for the build for Windows 95/98/Me, whose standard library (the win32
// thread model before GCC 13) has no std::mutex for GoogleTest's own. Only GoogleTest's thread
// support uses it, which these tests never start; the wait spins.
#ifndef MOJIFIX_TESTS_SUPPORT_GTEST_NOTIFICATION_H
#define MOJIFIX_TESTS_SUPPORT_GTEST_NOTIFICATION_H

#include <atomic>

namespace testing::internal {

class Notification {
 public:
  void Notify() { notified_ = true; }
  void WaitForNotification() {
    while (!notified_) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace testing::internal

#endif
