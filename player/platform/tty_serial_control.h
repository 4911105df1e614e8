#pragma once
// The serial control on a Linux tty: "COM n" is the device SerialDevicePath(n), and the port's
// line changes arrive as OnComm on the thread that owns this object (the window's), one per
// changed line, in the order they were seen, each with the line's state at that change.

#include <cstdint>

#include "serial_control.h"
#include "tty_serial_port.h"

class TtySerialControl : public SerialControl {
  Q_OBJECT
 public:
  // ioctlFunction: how the port reaches the driver (tests script the modem lines over a pty).
  explicit TtySerialControl(platform::IoctlFunction ioctlFunction = nullptr,
                            QObject* parent = nullptr);
  ~TtySerialControl() override;

  bool PortOpen() const override { return port_.isOpen(); }
  int SetPortOpen(bool open) override;
  int ProbePort() override;

  bool DSRHolding() const override { return lines_.dsr; }
  bool CTSHolding() const override { return lines_.cts; }
  bool CDHolding() const override { return lines_.cd; }

 private:
  void deliver(std::uint64_t generation, platform::ModemLine line, platform::ModemLineState now);

  platform::TtySerialPort port_;
  // The lines as the notifications delivered so far tell them; none held while closed.
  platform::ModemLineState lines_;
  // Raised on every open and close, so a change posted before a close is never delivered
  // after it.
  std::uint64_t generation_ = 0;
};
