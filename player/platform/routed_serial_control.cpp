#include "routed_serial_control.h"

RoutedSerialControl::RoutedSerialControl(SerialControl& first, SerialControl& second,
                                         int firstSecondPort, QObject* parent)
    : SerialControl(parent),
      first_(first),
      second_(second),
      firstSecondPort_(firstSecondPort),
      last_(&first) {
  for (SerialControl* control : {&first_, &second_}) {
    connect(control, &SerialControl::OnComm, this, [this, control](const CommNotice& notice) {
      last_ = control;
      emit OnComm(notice);
    });
  }
}

const SerialControl& RoutedSerialControl::routed() const {
  return CommPort >= firstSecondPort_ ? second_ : first_;
}

const SerialControl& RoutedSerialControl::lines() const {
  if (first_.PortOpen()) return first_;
  if (second_.PortOpen()) return second_;
  return *last_;
}

SerialControl& RoutedSerialControl::settled() {
  auto& control = const_cast<SerialControl&>(routed());
  control.CommPort = CommPort;
  control.Settings = Settings;
  control.InputLen = InputLen;
  return control;
}
