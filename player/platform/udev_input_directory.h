#pragma once
// The input devices as udev knows them: /dev/input/event* nodes whose device has keys or buttons,
// described from sysfs (no device is opened, so listing needs no permission), and udev's
// notices of devices added and removed, taken on the thread that owns this object.

#include <memory>

#include "input_device_directory.h"

class QSocketNotifier;
struct udev;
struct udev_monitor;

class UdevInputDirectory : public InputDeviceDirectory {
  Q_OBJECT
 public:
  explicit UdevInputDirectory(QObject* parent = nullptr);
  ~UdevInputDirectory() override;

  std::vector<platform::InputDeviceInfo> KeyDevices() const override;

 private:
  void takeNotices();

  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  std::unique_ptr<QSocketNotifier> notifier_;
};
