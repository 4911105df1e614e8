#pragma once
// The learn step of a USB pedal: asks in turn for the left, the middle and the right switch and
// records the key or button code each sends. The first press chooses the device; presses of other
// devices, and a code already recorded, are passed over. While the dialog is open every input
// device is heard and none is taken from other programs.

#include <QDialog>
#include <memory>

#include "platform/input_device_info.h"
#include "platform/pedal_switches.h"

class QLabel;
class PedalLearner;

class PedalLearnDialog : public QDialog {
  Q_OBJECT
 public:
  PedalLearnDialog(std::unique_ptr<PedalLearner> learner, QWidget* parent);
  ~PedalLearnDialog() override;

  // What the dialog asks for now.
  QString Prompt() const;

 signals:
  // All three switches pressed; the dialog then closes as accepted.
  void Learned(const platform::InputDeviceInfo& device, const platform::PedalSwitches& switches);

 private:
  void pressed(const platform::InputDeviceInfo& device, int code);
  void showStep();

  std::unique_ptr<PedalLearner> learner_;
  platform::InputDeviceInfo device_;
  platform::PedalSwitches switches_;
  int step_ = 0;  // 0 left, 1 middle, 2 right
  QLabel* prompt_;
  QLabel* recorded_;
};
