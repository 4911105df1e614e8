#pragma once
// Input devices without hardware: each node opens as a pipe that carries the struct input_event
// records a test writes, and the device's ioctls (its keys, the held keys, the grab) are answered
// from a script. Unplugging makes reads fail with ENODEV, as the kernel's do.

#include <linux/input.h>

#include <bitset>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/input_key_device.h"

namespace testing_support {

class ScriptedInputDevices {
 public:
  // Only one script is active at a time: the calls are plain function pointers.
  ScriptedInputDevices();
  ~ScriptedInputDevices();
  ScriptedInputDevices(const ScriptedInputDevices&) = delete;
  ScriptedInputDevices& operator=(const ScriptedInputDevices&) = delete;

  static platform::InputDeviceCalls Calls();

  // A device at `node` with these keys or buttons (none: a device without keys). Plugging a
  // node again after unplug makes a new device.
  void plug(const std::string& node, const std::vector<int>& keys);
  // The device is gone: reads of an open one fail with ENODEV, the node no longer opens.
  void unplug(const std::string& node);
  // Opening the node fails with EACCES (or succeeds again).
  void deny(const std::string& node, bool denied = true);
  // Another program holds the grab: grabbing fails with EBUSY.
  void grabbedElsewhere(const std::string& node);

  // One EV_KEY record and a SYN_REPORT, as the kernel sends a change (value 2 is a repeat). The
  // key state EVIOCGKEY tells follows it.
  void key(const std::string& node, int code, int value);
  // Records as given; the key state is left alone.
  void send(const std::string& node, const std::vector<input_event>& events);
  // Writes raw bytes (part of a record, say).
  void sendBytes(const std::string& node, const void* bytes, std::size_t size);
  // The key state EVIOCGKEY tells, without any record.
  void hold(const std::string& node, int code, bool down);

  // What the reader did to the device.
  struct Grabs {
    bool grabbed;
    int grabs;     // EVIOCGRAB with 1
    int releases;  // EVIOCGRAB with 0
  };
  Grabs grabs(const std::string& node) const;
  bool grabbed(const std::string& node) const { return grabs(node).grabbed; }
  // Bytes written and not yet read.
  int unread(const std::string& node) const;

  static input_event Event(int type, int code, int value);

 private:
  struct Device {
    std::bitset<KEY_CNT> keys;
    std::bitset<KEY_CNT> held;
    int pipe[2] = {-1, -1};
    bool gone = false;
    bool denied = false;
    bool busy = false;
    bool grabbed = false;
    int grabs = 0;
    int releases = 0;
  };

  static int Open(const char* path, int flags);
  static int Ioctl(int fd, unsigned long request, void* argument);
  static ssize_t Read(int fd, void* buffer, size_t size);

  std::shared_ptr<Device> device(const std::string& node) const;
  void write(const std::string& node, const void* bytes, std::size_t size);

  mutable std::mutex mutex_;
  std::map<std::string, std::shared_ptr<Device>> nodes_;
  std::map<int, std::shared_ptr<Device>> fds_;  // the fds handed out by Open
  // Devices unplugged or replaced, kept so their open fds stay valid.
  std::vector<std::shared_ptr<Device>> retired_;
};

}  // namespace testing_support
