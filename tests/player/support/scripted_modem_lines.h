#pragma once
// Modem lines for a pty, which has none: an ioctl function that answers TIOCMGET from a
// scripted state and makes TIOCMIWAIT wait, interruptibly, until the script changes a line.
// Everything else goes to the real driver.

#include <atomic>

namespace testing_support {

class ScriptedModemLines {
 public:
  // Only one script is active at a time: the ioctl function is a plain function pointer.
  explicit ScriptedModemLines(bool driverCanWait);
  ~ScriptedModemLines();

  static int Ioctl(int fd, unsigned long request, void* argument);

  void set(int tiocmBits);           // changes the lines and wakes a waiting TIOCMIWAIT
  // From now on TIOCMGET fails (EIO) and a waiting TIOCMIWAIT returns with EIO, as for a USB
  // adapter that was pulled out; or reads work again.
  void failReads(bool fail);
  int waitsEntered() const { return waitsEntered_.load(); }
  // Driver calls (line reads and waits) since the last set(): two mean the watcher has read the
  // change and come round again, so it has reported it.
  int callsSinceSet() const { return callsSinceSet_.load(); }
  int raisedOutputs() const { return raisedOutputs_.load(); }

 private:
  bool driverCanWait_;
  int wakePipe_[2] = {-1, -1};
  std::atomic<int> bits_{0};
  std::atomic<bool> failing_{false};
  std::atomic<int> waitsEntered_{0};
  std::atomic<int> callsSinceSet_{0};
  std::atomic<int> raisedOutputs_{0};
};

}  // namespace testing_support
