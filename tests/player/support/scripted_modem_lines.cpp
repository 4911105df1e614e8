#include "scripted_modem_lines.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace testing_support {
namespace {
ScriptedModemLines* active = nullptr;
}

ScriptedModemLines::ScriptedModemLines(bool driverCanWait) : driverCanWait_(driverCanWait) {
  if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("pipe");
  active = this;
}

ScriptedModemLines::~ScriptedModemLines() {
  active = nullptr;
  ::close(wakePipe_[0]);
  ::close(wakePipe_[1]);
}

void ScriptedModemLines::set(int tiocmBits) {
  callsSinceSet_ = 0;
  bits_ = tiocmBits;
  const char wake = 1;
  [[maybe_unused]] auto written = ::write(wakePipe_[1], &wake, 1);
}

void ScriptedModemLines::failReads(bool fail) {
  failing_ = fail;
  const char wake = 1;
  [[maybe_unused]] auto written = ::write(wakePipe_[1], &wake, 1);
}

int ScriptedModemLines::Ioctl(int fd, unsigned long request, void* argument) {
  ScriptedModemLines& self = *active;
  switch (request) {
    case TIOCMGET:
      ++self.callsSinceSet_;
      if (self.failing_) {
        errno = EIO;
        return -1;
      }
      *static_cast<int*>(argument) = self.bits_.load();
      return 0;
    case TIOCMBIS:
      self.raisedOutputs_ |= *static_cast<int*>(argument);
      return 0;
    case TIOCMIWAIT: {
      if (!self.driverCanWait_) {
        errno = ENOTTY;
        return -1;
      }
      ++self.waitsEntered_;
      ++self.callsSinceSet_;
      pollfd wake{self.wakePipe_[0], POLLIN, 0};
      if (::poll(&wake, 1, -1) < 0) return -1;  // EINTR when the port is closed
      char drained[64];
      while (::read(self.wakePipe_[0], drained, sizeof drained) > 0) {
      }
      if (self.failing_) {
        errno = EIO;
        return -1;
      }
      return 0;
    }
    default:
      return ::ioctl(fd, request, argument);
  }
}

}  // namespace testing_support
