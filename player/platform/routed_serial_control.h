#pragma once
// One serial control over two: port numbers below `firstSecondPort` go to the first (the serial
// ports), the others to the second (the USB pedals), so the window's one MSComm1 reaches either
// kind of pedal by the port number of the chosen entry. Each control's notifications pass on as
// they are; the lines are those of the open control.

#include "serial_control.h"

class RoutedSerialControl : public SerialControl {
  Q_OBJECT
 public:
  RoutedSerialControl(SerialControl& first, SerialControl& second, int firstSecondPort,
                      QObject* parent = nullptr);

  bool PortOpen() const override { return routed().PortOpen(); }
  int SetPortOpen(bool open) override { return settled().SetPortOpen(open); }
  int ProbePort() override { return settled().ProbePort(); }

  bool DSRHolding() const override { return lines().DSRHolding(); }
  bool CTSHolding() const override { return lines().CTSHolding(); }
  bool CDHolding() const override { return lines().CDHolding(); }
  QString ProblemText() const override { return last_->ProblemText(); }

 private:
  const SerialControl& routed() const;
  const SerialControl& lines() const;
  // The control of CommPort, given this control's port settings.
  SerialControl& settled();

  SerialControl& first_;
  SerialControl& second_;
  const int firstSecondPort_;
  SerialControl* last_;  // the control that raised the last OnComm
};
