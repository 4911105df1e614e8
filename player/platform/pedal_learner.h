#pragma once
// Listens to every input device with keys for the learn step: each press (a key or button going
// down) arrives as Pressed on this object's thread with the device that sent it. Devices are read
// without a grab, so they keep working everywhere else; devices plugged in meanwhile are read
// too. Listening ends with the learner.

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "input_device_directory.h"
#include "input_key_device.h"

class PedalLearner : public QObject {
  Q_OBJECT
 public:
  PedalLearner(InputDeviceDirectory& directory, platform::InputDeviceCalls calls,
               QObject* parent = nullptr);
  ~PedalLearner() override;

  // How many devices are read now.
  int Listening() const { return static_cast<int>(devices_.size()); }
  // Devices this user may not read: their nodes, for the typist.
  const std::vector<std::string>& Refused() const { return refused_; }

 signals:
  void Pressed(const platform::InputDeviceInfo& device, int code);

 private:
  struct Listened {
    platform::InputDeviceInfo info;
    std::unique_ptr<platform::InputKeyDevice> device;
  };
  void listen();
  void forget(const std::string& node);

  InputDeviceDirectory& directory_;
  platform::InputDeviceCalls calls_;
  std::vector<Listened> devices_;
  std::vector<std::string> refused_;
};
