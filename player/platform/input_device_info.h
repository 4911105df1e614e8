#pragma once
// What identifies an input device that sends keys or buttons, as the device list shows it and as
// the settings remember a pedal: vendor and product ids, the kernel's name for the device and its
// physical path (which USB socket). The node /dev/input/eventN changes with every plug-in and is
// never part of the identity. No Qt here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct InputDeviceInfo {
  std::string node;     // /dev/input/eventN, while plugged in
  std::uint16_t vendor = 0;
  std::uint16_t product = 0;
  std::string name;     // the input device's name, e.g. "VEC  VEC USB Footpedal"
  std::string phys;     // its physical path, e.g. "usb-0000:00:14.0-1/input0"; may be empty
  std::string label;    // what the typist reads: the USB product string, else the name

  bool SameModel(const InputDeviceInfo& other) const {
    return vendor == other.vendor && product == other.product && name == other.name;
  }
};

// Whether a sysfs "capabilities/key" text (hexadecimal words separated by blanks) has any key or
// button.
bool KeyCapabilitiesPresent(std::string_view hexWords);

// A vendor or product id as sysfs and the settings write it: one to four hexadecimal digits.
std::optional<std::uint16_t> ParseHexId(std::string_view text);
std::string HexId(std::uint16_t id);

}  // namespace platform
