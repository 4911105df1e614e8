#pragma once
// Real kernel input devices made from user space, for tests that run as root in the guest:
// - UinputDevice: any ids, name and keys through /dev/uinput; its events enter the input core
//   as a driver's would.
// - GadgetPedal: a three-switch USB HID pedal made with configfs on the virtual USB bus
//   (dummy_hcd): the guest's own USB host side enumerates it, udev applies its rules, and the
//   HID driver makes its input device, exactly as for a pedal plugged into a socket.
// Both find their /dev/input/event* node once udev has handled it.

#include <linux/input.h>

#include <cstdint>
#include <string>
#include <vector>

namespace guest {

// Waits until udev has handled every device event so far (udevadm settle).
void SettleDevices();

class UinputDevice {
 public:
  UinputDevice(std::uint16_t vendor, std::uint16_t product, const std::string& name,
               const std::vector<int>& keys, const std::string& phys = "");
  ~UinputDevice();
  UinputDevice(const UinputDevice&) = delete;
  UinputDevice& operator=(const UinputDevice&) = delete;

  // A key going down or up, followed by its report.
  void Key(int code, bool down);
  // Events as given, in one write: the kernel takes them all before the writer returns.
  void Write(const std::vector<input_event>& events);
  static input_event Event(int type, int code, int value);

  const std::string& Node() const { return node_; }

 private:
  int fd_ = -1;
  std::string node_;
};

class GadgetPedal {
 public:
  // Makes the gadget and plugs it in; `product` is the USB product string.
  GadgetPedal(std::uint16_t vendor, std::uint16_t product, const std::string& manufacturer,
              const std::string& productName);
  // Unplugs it and removes the gadget, unless Keep() was called.
  ~GadgetPedal();
  GadgetPedal(const GadgetPedal&) = delete;
  GadgetPedal& operator=(const GadgetPedal&) = delete;

  // The switches held, bit 0 the left one: one HID report to the host side.
  void Switches(unsigned bits);
  void Unplug();
  void Plug();
  // Leaves the gadget plugged in after this object is gone (for a test program's later steps).
  void Keep() { keep_ = true; }

  // The input device's node while plugged in, empty while not.
  const std::string& Node() const { return node_; }

  // Sends a report to the gadget made by an earlier process (see Keep()).
  static void SendReport(unsigned bits);

 private:
  void findNode();

  std::string dir_;
  std::uint16_t vendor_;
  std::uint16_t product_;
  std::string node_;
  bool keep_ = false;
};

// The event node of the input device whose sysfs name and ids are these, once udev handled it;
// empty when none appears.
std::string WaitForEventNode(std::uint16_t vendor, std::uint16_t product, const std::string& name,
                             bool present = true);

}  // namespace guest
