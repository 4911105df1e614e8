#include "udev_input_directory.h"

#include <libudev.h>

#include <QSocketNotifier>

namespace {

std::string Attribute(udev_device* device, const char* name) {
  const char* value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
  std::string text = value ? value : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// The event node's description, or none when it is no node of a device with keys.
std::optional<platform::InputDeviceInfo> Describe(udev_device* event) {
  const char* node = udev_device_get_devnode(event);
  // The input device itself (inputN) is the event node's parent; it holds the ids and the name.
  udev_device* input = udev_device_get_parent_with_subsystem_devtype(event, "input", nullptr);
  if (!node || !input || !platform::KeyCapabilitiesPresent(Attribute(input, "capabilities/key"))) {
    return {};
  }
  platform::InputDeviceInfo info;
  info.node = node;
  info.vendor = platform::ParseHexId(Attribute(input, "id/vendor")).value_or(0);
  info.product = platform::ParseHexId(Attribute(input, "id/product")).value_or(0);
  info.name = Attribute(input, "name");
  info.phys = Attribute(input, "phys");
  udev_device* usb = udev_device_get_parent_with_subsystem_devtype(event, "usb", "usb_device");
  info.label = Attribute(usb, "product");
  if (info.label.empty()) info.label = info.name;
  return info;
}

}  // namespace

UdevInputDirectory::UdevInputDirectory(QObject* parent) : InputDeviceDirectory(parent) {
  udev_ = udev_new();
  if (!udev_) return;
  // The "udev" source tells of a device once its rules have run, so its access rights are set.
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (!monitor_) return;
  udev_monitor_filter_add_match_subsystem_devtype(monitor_, "input", nullptr);
  if (udev_monitor_enable_receiving(monitor_) < 0) {
    udev_monitor_unref(monitor_);
    monitor_ = nullptr;
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor_),
                                                QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { takeNotices(); });
}

UdevInputDirectory::~UdevInputDirectory() {
  notifier_.reset();
  if (monitor_) udev_monitor_unref(monitor_);
  if (udev_) udev_unref(udev_);
}

void UdevInputDirectory::takeNotices() {
  bool any = false;
  while (udev_device* device = udev_monitor_receive_device(monitor_)) {
    const char* node = udev_device_get_devnode(device);
    any = any || node;  // only event nodes matter; their parent inputN comes and goes with them
    udev_device_unref(device);
  }
  if (any) emit Changed();
}

std::vector<platform::InputDeviceInfo> UdevInputDirectory::KeyDevices() const {
  std::vector<platform::InputDeviceInfo> devices;
  if (!udev_) return devices;
  udev_enumerate* enumeration = udev_enumerate_new(udev_);
  if (!enumeration) return devices;
  udev_enumerate_add_match_subsystem(enumeration, "input");
  udev_enumerate_add_match_sysname(enumeration, "event*");
  udev_enumerate_scan_devices(enumeration);
  udev_list_entry* entry;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration)) {
    udev_device* event = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
    if (!event) continue;
    if (auto info = Describe(event)) devices.push_back(std::move(*info));
    udev_device_unref(event);
  }
  udev_enumerate_unref(enumeration);
  return devices;
}
