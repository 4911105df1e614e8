#pragma once
// The input devices with keys or buttons that are plugged in now, and a notice whenever one is
// added or removed. udev underneath (UdevInputDirectory); tests keep a list of their own.

#include <QObject>
#include <vector>

#include "input_device_info.h"

class InputDeviceDirectory : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  ~InputDeviceDirectory() override = default;

  virtual std::vector<platform::InputDeviceInfo> KeyDevices() const = 0;

 signals:
  // A device came or went; KeyDevices() tells the new set. Raised on this object's thread.
  void Changed();
};
