#pragma once
// USB foot pedals as a serial control: each pedal has a port number from kFirstPort on, and its
// three switches stand for the modem lines, the left for CTS, the middle for DSR, the right for
// CD. While the port is open the pedal's input device is grabbed, so its presses reach no other
// program; each press and release arrives as one OnComm on this object's thread, in order, telling
// the switch's line and whether it is held.
//
// A pedal that is not plugged in when its port opens, or that goes away while open, is read as
// soon as it is plugged in again; OnComm tells each of these turns (kEventUnplugged,
// kEventPluggedIn) and a device this user may not read (kEventNoAccess, with ProblemText()).
// Switches held when the pedal goes away are released first.
//
// Pedals offered: every plugged-in model whose switches are known (pedal_switches.h), the pedal
// remembered in the settings, and any device whose switches the typist has taught (Adopt). A
// pedal keeps its port for the whole run.

#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "input_device_directory.h"
#include "input_key_device.h"
#include "pedal_switches.h"
#include "serial_control.h"

class PedalLearner;

class UsbPedalControl : public SerialControl {
  Q_OBJECT
 public:
  static constexpr int kFirstPort = 101;

  explicit UsbPedalControl(InputDeviceDirectory& directory, platform::InputDeviceCalls calls = {},
                           QObject* parent = nullptr);
  ~UsbPedalControl() override;

  bool PortOpen() const override { return openPort_ != 0; }
  // Opening a pedal's port never fails for its absence: it is read when it appears. Only a port
  // number without a pedal is an error (8002).
  int SetPortOpen(bool open) override;
  // 0 when the pedal is plugged in, 8002 when it is not.
  int ProbePort() override;

  bool DSRHolding() const override { return PortOpen() && held_[kMiddle]; }
  bool CTSHolding() const override { return PortOpen() && held_[kLeft]; }
  bool CDHolding() const override { return PortOpen() && held_[kRight]; }
  QString ProblemText() const override { return problem_; }

  // ---- The pedals offered ----
  std::vector<int> Ports() const;
  // "USB: " and the pedal's product name.
  QString Label(int port) const;
  bool Present(int port) const;

  // A device whose switches the typist has taught: the port of its pedal (the same model keeps
  // its port and takes the new switches).
  int Adopt(const platform::InputDeviceInfo& device, const platform::PedalSwitches& switches);

  // Listens to every device with keys, without taking it from other programs, for as long as
  // the learner lives. The pedal's own port should be closed meanwhile: a grabbed device tells
  // no one else.
  std::unique_ptr<PedalLearner> StartLearning();

  // ---- The settings' named lines ----
  // The pedal on `port`; with 0 (a serial port is chosen), the last pedal whose switches were
  // taught, so they are not lost. Empty when there is none.
  std::map<std::string, std::string> SettingsValues(int port) const;
  // The pedal the lines describe, offered from now on; its port, or 0 when the lines name none.
  int RestoreSettings(const std::map<std::string, std::string>& values);

 signals:
  // A pedal joined Ports().
  void PedalsChanged();

 private:
  enum Switch { kLeft, kMiddle, kRight };
  // The line a switch stands for: the left CTS, the middle DSR, the right CD.
  static int EventOf(Switch which);
  enum class Reading { Yes, Unplugged, NoAccess };
  struct Pedal {
    int port;
    platform::InputDeviceInfo identity;
    platform::PedalSwitches switches;
    bool taught;
  };

  Pedal* find(int port);
  const Pedal* find(int port) const;
  Pedal* findModel(const platform::InputDeviceInfo& device);
  int add(const platform::InputDeviceInfo& device, const platform::PedalSwitches& switches,
          bool taught);
  // Offers every plugged-in pedal of a known model not offered yet; true when there was one.
  bool addKnownPedals();
  // The plugged-in device of a pedal: the same model, in the same socket when there are twins.
  std::optional<platform::InputDeviceInfo> deviceOf(const Pedal& pedal) const;
  void devicesChanged();
  // Opens the open port's device when it is there; tells the typist when that changes anything.
  void attach();
  void detach();
  void setReading(Reading reading);
  void post(int event);
  void deliverKey(std::uint64_t generation, int code, bool down);
  void lost(std::uint64_t generation);
  void emitEvent(int event, bool held = false);

  InputDeviceDirectory& directory_;
  platform::InputDeviceCalls calls_;
  std::vector<Pedal> pedals_;
  int lastTaughtPort_ = 0;

  platform::InputKeyDevice device_;
  int openPort_ = 0;  // 0 while closed
  Reading reading_ = Reading::Yes;
  bool held_[3] = {false, false, false};
  QString problem_;
  // Raised whenever the device is opened or closed, so nothing read before is delivered after.
  std::uint64_t generation_ = 0;
  // Raised whenever the port is opened or closed: the turns told of a port opened before are
  // not delivered after.
  std::uint64_t portGeneration_ = 0;
};
