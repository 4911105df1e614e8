#pragma once
// A kernel input device (/dev/input/event*) read for its keys and buttons, as a USB foot pedal
// uses it: opened, optionally grabbed (EVIOCGRAB) so its presses reach no other program, and read
// by a worker thread that reports every real change of a key: a press of a key that is up, a
// release of a key that is down. Key repeat (value 2) is no change. After the kernel dropped
// events (SYN_DROPPED) the held keys are read again and only the differences are reported.
//
// The worker reads whole struct input_event records from the fd itself rather than through
// libevdev: libevdev's reading and resync call ioctls on the fd that a caller cannot redirect,
// while every request this reader makes goes through InputDeviceCalls, so the same code runs on a
// pipe in tests. No Qt here.

#include <linux/input.h>

#include <atomic>
#include <bitset>
#include <functional>
#include <string>
#include <sys/types.h>
#include <thread>

namespace platform {

// How the reader reaches the kernel. Tests open a pipe for a node, feed the records through it
// and answer the ioctls from a script; a null member means the system call itself.
struct InputDeviceCalls {
  int (*open)(const char* path, int flags) = nullptr;
  int (*ioctl)(int fd, unsigned long request, void* argument) = nullptr;
  ssize_t (*read)(int fd, void* buffer, size_t size) = nullptr;
};

using KeyState = std::bitset<KEY_CNT>;

class InputKeyDevice {
 public:
  struct Handlers {
    // A key or button went down or up. Runs on the worker thread, in the order of the changes.
    std::function<void(int code, bool down)> key;
    // The device stopped answering (ENODEV once it is unplugged); the worker has ended.
    std::function<void(int error)> gone;
  };

  explicit InputKeyDevice(InputDeviceCalls calls = {});
  ~InputKeyDevice();
  InputKeyDevice(const InputKeyDevice&) = delete;
  InputKeyDevice& operator=(const InputKeyDevice&) = delete;

  // Opens the node, checks that it has keys or buttons, reads which are held, grabs the device
  // when asked and starts the worker. Returns 0 or an errno value: the one open(2) met, ENOTTY
  // for a node that sends no keys, EBUSY when another program holds the grab.
  int open(const std::string& node, bool grab, Handlers handlers);

  // Stops the worker, releases the grab and closes the device.
  void close();

  bool isOpen() const { return fd_ >= 0; }
  bool grabbed() const { return grabbed_; }
  // The keys held when the device was opened (the worker keeps its own state from then on).
  const KeyState& heldAtOpen() const { return heldAtOpen_; }

 private:
  int control(unsigned long request, void* argument) const;
  bool readHeldKeys(KeyState& keys) const;
  void work();
  // Handles one record; false when the device is gone.
  bool handle(const input_event& event);
  bool resync();
  void report(int code, bool down);

  InputDeviceCalls calls_;
  int fd_ = -1;
  int wake_[2] = {-1, -1};
  bool grabbed_ = false;
  KeyState heldAtOpen_;
  KeyState held_;  // the worker's
  bool dropping_ = false;
  Handlers handlers_;
  std::thread worker_;
};

}  // namespace platform
