#pragma once
// A serial port whose lines the test holds and releases.

#include <QMap>

#include "platform/serial_control.h"

class FakeSerialControl : public SerialControl {
 public:
  bool PortOpen() const override { return open; }
  int SetPortOpen(bool value) override {
    if (value) {
      ++opens;
      if (const int error = openErrors.value(CommPort, 0)) return error;
    }
    open = value;
    return 0;
  }
  int ProbePort() override { return probeErrors.value(CommPort, 0); }
  bool DSRHolding() const override { return open && dsr; }
  bool CTSHolding() const override { return open && cts; }
  bool CDHolding() const override { return open && cd; }

  bool open = false;
  bool dsr = false;
  bool cts = false;
  bool cd = false;
  QMap<int, int> probeErrors;  // port number -> error the probe meets
  QMap<int, int> openErrors;   // port number -> error opening it meets
  int opens = 0;

  // A switch pressed or released: the line changes and the control says so.
  void Press(int code, bool held) {
    (code == kEventDSR ? dsr : code == kEventCTS ? cts : cd) = held;
    emit OnComm({code, held});
  }
};
