#include "scripted_input_devices.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace testing_support {
namespace {

ScriptedInputDevices* active = nullptr;

// Writes `keys` into an ioctl's buffer as the kernel does: an array of longs, bit n for code n.
void FillBits(const std::bitset<KEY_CNT>& keys, void* argument, std::size_t size) {
  constexpr std::size_t kBitsPerLong = sizeof(unsigned long) * CHAR_BIT;
  std::memset(argument, 0, size);
  auto* longs = static_cast<unsigned long*>(argument);
  for (std::size_t code = 0; code < KEY_CNT && code / kBitsPerLong < size / sizeof(long); ++code) {
    if (keys.test(code)) longs[code / kBitsPerLong] |= 1UL << (code % kBitsPerLong);
  }
}

}  // namespace

ScriptedInputDevices::ScriptedInputDevices() { active = this; }

ScriptedInputDevices::~ScriptedInputDevices() {
  active = nullptr;
  const auto closeAll = [](Device& device) {
    for (int& end : device.pipe) {
      if (end >= 0) ::close(end);
      end = -1;
    }
  };
  for (auto& [node, device] : nodes_) closeAll(*device);
  for (auto& device : retired_) closeAll(*device);
}

platform::InputDeviceCalls ScriptedInputDevices::Calls() {
  platform::InputDeviceCalls calls;
  calls.open = &Open;
  calls.ioctl = &Ioctl;
  calls.read = &Read;
  return calls;
}

input_event ScriptedInputDevices::Event(int type, int code, int value) {
  input_event event{};
  event.type = static_cast<__u16>(type);
  event.code = static_cast<__u16>(code);
  event.value = value;
  return event;
}

void ScriptedInputDevices::plug(const std::string& node, const std::vector<int>& keys) {
  auto device = std::make_shared<Device>();
  for (const int code : keys) device->keys.set(code);
  if (::pipe2(device->pipe, O_CLOEXEC | O_NONBLOCK) != 0) std::abort();
  std::lock_guard lock(mutex_);
  if (auto old = nodes_.find(node); old != nodes_.end()) retired_.push_back(old->second);
  nodes_[node] = device;
}

void ScriptedInputDevices::unplug(const std::string& node) {
  std::lock_guard lock(mutex_);
  const auto found = nodes_.find(node);
  if (found == nodes_.end()) return;
  Device& device = *found->second;
  device.gone = true;
  device.grabbed = false;
  // Closing the writing end wakes a reader that waits on the pipe; its read then fails.
  ::close(device.pipe[1]);
  device.pipe[1] = -1;
  retired_.push_back(found->second);
  nodes_.erase(found);
}

void ScriptedInputDevices::deny(const std::string& node, bool denied) {
  std::lock_guard lock(mutex_);
  if (auto found = nodes_.find(node); found != nodes_.end()) found->second->denied = denied;
}

void ScriptedInputDevices::grabbedElsewhere(const std::string& node) {
  std::lock_guard lock(mutex_);
  if (auto found = nodes_.find(node); found != nodes_.end()) found->second->busy = true;
}

std::shared_ptr<ScriptedInputDevices::Device> ScriptedInputDevices::device(
    const std::string& node) const {
  std::lock_guard lock(mutex_);
  const auto found = nodes_.find(node);
  if (found == nodes_.end()) std::abort();  // a test writes to a node it never plugged
  return found->second;
}

void ScriptedInputDevices::write(const std::string& node, const void* bytes, std::size_t size) {
  const auto target = device(node);
  if (::write(target->pipe[1], bytes, size) != static_cast<ssize_t>(size)) std::abort();
}

void ScriptedInputDevices::key(const std::string& node, int code, int value) {
  hold(node, code, value != 0);
  const input_event events[] = {Event(EV_KEY, code, value), Event(EV_SYN, SYN_REPORT, 0)};
  write(node, events, sizeof events);
}

void ScriptedInputDevices::send(const std::string& node, const std::vector<input_event>& events) {
  write(node, events.data(), events.size() * sizeof(input_event));
}

void ScriptedInputDevices::sendBytes(const std::string& node, const void* bytes,
                                     std::size_t size) {
  write(node, bytes, size);
}

void ScriptedInputDevices::hold(const std::string& node, int code, bool down) {
  const auto target = device(node);
  std::lock_guard lock(mutex_);
  target->held.set(code, down);
}

ScriptedInputDevices::Grabs ScriptedInputDevices::grabs(const std::string& node) const {
  const auto target = device(node);
  std::lock_guard lock(mutex_);
  return {target->grabbed, target->grabs, target->releases};
}

int ScriptedInputDevices::unread(const std::string& node) const {
  const auto target = device(node);
  int bytes = 0;
  ::ioctl(target->pipe[0], FIONREAD, &bytes);
  return bytes;
}

int ScriptedInputDevices::Open(const char* path, int flags) {
  std::lock_guard lock(active->mutex_);
  const auto found = active->nodes_.find(path);
  if (found == active->nodes_.end()) {
    errno = ENOENT;
    return -1;
  }
  Device& device = *found->second;
  if (device.denied) {
    errno = EACCES;
    return -1;
  }
  const int fd = ::fcntl(device.pipe[0], (flags & O_CLOEXEC) ? F_DUPFD_CLOEXEC : F_DUPFD, 0);
  if (fd < 0) return -1;
  active->fds_[fd] = found->second;
  return fd;
}

int ScriptedInputDevices::Ioctl(int fd, unsigned long request, void* argument) {
  std::lock_guard lock(active->mutex_);
  const auto found = active->fds_.find(fd);
  if (found == active->fds_.end()) {
    errno = ENOTTY;
    return -1;
  }
  Device& device = *found->second;
  if (device.gone) {
    errno = ENODEV;
    return -1;
  }
  if (request == EVIOCGRAB) {
    const bool grab = argument != nullptr;
    if (grab && device.busy) {
      errno = EBUSY;
      return -1;
    }
    ++(grab ? device.grabs : device.releases);
    device.grabbed = grab;
    return 0;
  }
  if (_IOC_TYPE(request) == 'E' && _IOC_DIR(request) == _IOC_READ) {
    const std::size_t size = _IOC_SIZE(request);
    if (_IOC_NR(request) == _IOC_NR(EVIOCGBIT(EV_KEY, 0))) {
      FillBits(device.keys, argument, size);
      return static_cast<int>(size);
    }
    if (_IOC_NR(request) == _IOC_NR(EVIOCGKEY(0))) {
      FillBits(device.held, argument, size);
      return static_cast<int>(size);
    }
  }
  errno = ENOTTY;
  return -1;
}

ssize_t ScriptedInputDevices::Read(int fd, void* buffer, size_t size) {
  {
    std::lock_guard lock(active->mutex_);
    const auto found = active->fds_.find(fd);
    if (found != active->fds_.end() && found->second->gone) {
      errno = ENODEV;
      return -1;
    }
  }
  return ::read(fd, buffer, size);
}

}  // namespace testing_support
