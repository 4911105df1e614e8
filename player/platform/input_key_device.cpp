#include "input_key_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace platform {
namespace {

constexpr std::size_t kBitsPerLong = sizeof(unsigned long) * CHAR_BIT;
constexpr std::size_t kKeyLongs = (KEY_CNT + kBitsPerLong - 1) / kBitsPerLong;

int SystemOpen(const char* path, int flags) { return ::open(path, flags); }

int SystemIoctl(int fd, unsigned long request, void* argument) {
  return ::ioctl(fd, request, argument);
}

ssize_t SystemRead(int fd, void* buffer, size_t size) { return ::read(fd, buffer, size); }

KeyState KeysFromBits(const unsigned long (&bits)[kKeyLongs]) {
  KeyState keys;
  for (std::size_t code = 0; code < KEY_CNT; ++code) {
    if ((bits[code / kBitsPerLong] >> (code % kBitsPerLong)) & 1UL) keys.set(code);
  }
  return keys;
}

void CloseQuietly(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

InputKeyDevice::InputKeyDevice(InputDeviceCalls calls) : calls_(calls) {
  if (!calls_.open) calls_.open = &SystemOpen;
  if (!calls_.ioctl) calls_.ioctl = &SystemIoctl;
  if (!calls_.read) calls_.read = &SystemRead;
}

InputKeyDevice::~InputKeyDevice() { close(); }

int InputKeyDevice::control(unsigned long request, void* argument) const {
  return calls_.ioctl(fd_, request, argument);
}

bool InputKeyDevice::readHeldKeys(KeyState& keys) const {
  unsigned long bits[kKeyLongs] = {};
  if (control(EVIOCGKEY(sizeof bits), bits) < 0) return false;
  keys = KeysFromBits(bits);
  return true;
}

int InputKeyDevice::open(const std::string& node, bool grab, Handlers handlers) {
  close();
  int fd;
  do {
    fd = calls_.open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  fd_ = fd;

  unsigned long capabilities[kKeyLongs] = {};
  if (control(EVIOCGBIT(EV_KEY, sizeof capabilities), capabilities) < 0 ||
      KeysFromBits(capabilities).none()) {
    CloseQuietly(fd_);
    return ENOTTY;
  }
  if (grab) {
    if (control(EVIOCGRAB, reinterpret_cast<void*>(1)) < 0) {
      const int error = errno;
      CloseQuietly(fd_);
      return error;
    }
    grabbed_ = true;
  }
  // Read after the grab, so no press between the two is lost to another program.
  heldAtOpen_.reset();
  readHeldKeys(heldAtOpen_);
  held_ = heldAtOpen_;
  dropping_ = false;

  if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
    const int error = errno;
    close();
    return error;
  }
  handlers_ = std::move(handlers);
  worker_ = std::thread([this] { work(); });
  return 0;
}

void InputKeyDevice::close() {
  if (worker_.joinable()) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(wake_[1], &byte, 1);
    worker_.join();
  }
  CloseQuietly(wake_[0]);
  CloseQuietly(wake_[1]);
  if (grabbed_) {
    control(EVIOCGRAB, nullptr);  // a device that is gone has no grab to give back
    grabbed_ = false;
  }
  CloseQuietly(fd_);
  handlers_ = {};
}

void InputKeyDevice::work() {
  // The records as read; a pipe may hand over part of one, which waits for the rest.
  input_event buffer[64];
  std::size_t filled = 0;
  while (true) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      handlers_.gone(errno);
      return;
    }
    if (fds[1].revents) return;  // close() asked us to stop
    if (!fds[0].revents) continue;

    char* bytes = reinterpret_cast<char*>(buffer);
    const ssize_t n = calls_.read(fd_, bytes + filled, sizeof buffer - filled);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      handlers_.gone(errno);
      return;
    }
    if (n == 0) {  // the writing end went away: only a pipe does this, a device says ENODEV
      handlers_.gone(ENODEV);
      return;
    }
    filled += static_cast<std::size_t>(n);
    const std::size_t whole = filled / sizeof(input_event);
    for (std::size_t i = 0; i < whole; ++i) {
      if (!handle(buffer[i])) {
        handlers_.gone(ENODEV);
        return;
      }
    }
    filled -= whole * sizeof(input_event);
    std::memmove(bytes, bytes + whole * sizeof(input_event), filled);
  }
}

bool InputKeyDevice::handle(const input_event& event) {
  if (event.type == EV_SYN && event.code == SYN_DROPPED) {
    // The kernel's buffer overflowed: what follows up to the next report is incomplete.
    dropping_ = true;
    return true;
  }
  if (dropping_) {
    if (event.type == EV_SYN && event.code == SYN_REPORT) {
      dropping_ = false;
      return resync();
    }
    return true;
  }
  if (event.type != EV_KEY || event.code >= KEY_CNT || event.value == 2) return true;
  report(event.code, event.value != 0);
  return true;
}

bool InputKeyDevice::resync() {
  KeyState now;
  if (!readHeldKeys(now)) return errno != ENODEV;
  const KeyState changed = now ^ held_;
  // Releases first: a switch let go during the gap ends its action before another starts.
  for (const bool down : {false, true}) {
    for (std::size_t code = 0; code < KEY_CNT; ++code) {
      if (changed.test(code) && now.test(code) == down) report(static_cast<int>(code), down);
    }
  }
  return true;
}

void InputKeyDevice::report(int code, bool down) {
  if (held_.test(code) == down) return;  // no change: a repeated press or a stray release
  held_.set(code, down);
  handlers_.key(code, down);
}

}  // namespace platform
