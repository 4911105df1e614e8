#pragma once
// The input devices a test has plugged in; adding or removing one tells the listeners, as udev's
// notices do.

#include <algorithm>

#include "platform/input_device_directory.h"

class FakeInputDirectory : public InputDeviceDirectory {
 public:
  std::vector<platform::InputDeviceInfo> KeyDevices() const override { return devices; }

  void Add(const platform::InputDeviceInfo& device) {
    devices.push_back(device);
    emit Changed();
  }
  void Remove(const std::string& node) {
    std::erase_if(devices, [&](const auto& device) { return device.node == node; });
    emit Changed();
  }

  std::vector<platform::InputDeviceInfo> devices;
};

// A device as the directory describes it.
inline platform::InputDeviceInfo InputDevice(const std::string& node, std::uint16_t vendor,
                                             std::uint16_t product, const std::string& name,
                                             const std::string& label = {}) {
  platform::InputDeviceInfo device;
  device.node = node;
  device.vendor = vendor;
  device.product = product;
  device.name = name;
  device.phys = "usb-0000:00:14.0-2/input0";
  device.label = label.empty() ? name : label;
  return device;
}

inline platform::InputDeviceInfo VecPedal(const std::string& node) {
  return InputDevice(node, 0x05f3, 0x00ff, "VEC  VEC USB Footpedal", "VEC USB Footpedal");
}
