#include "tty_serial_control.h"

#include <QMetaObject>

TtySerialControl::TtySerialControl(platform::IoctlFunction ioctlFunction, QObject* parent)
    : SerialControl(parent), port_(ioctlFunction) {}

TtySerialControl::~TtySerialControl() { port_.close(); }

int TtySerialControl::SetPortOpen(bool open) {
  if (open == port_.isOpen()) return 0;
  ++generation_;
  lines_ = {};
  if (!open) {
    port_.close();
    return 0;
  }
  const std::uint64_t generation = generation_;
  const int error = port_.open(
      platform::SerialDevicePath(CommPort),
      [this, generation](platform::ModemLine line, platform::ModemLineState now) {
        // Runs on the watcher thread: hand the change, with the lines as they were at it, to this
        // object's thread.
        QMetaObject::invokeMethod(
            this, [this, generation, line, now] { deliver(generation, line, now); },
            Qt::QueuedConnection);
      });
  if (error == 0) lines_ = port_.linesAtOpen();
  return error;
}

int TtySerialControl::ProbePort() {
  return platform::TtySerialPort::Probe(platform::SerialDevicePath(CommPort));
}

void TtySerialControl::deliver(std::uint64_t generation, platform::ModemLine line,
                               platform::ModemLineState now) {
  if (generation != generation_ || !port_.isOpen()) return;
  lines_ = now;
  switch (line) {
    case platform::ModemLine::CTS:
      emit OnComm({kEventCTS, now.cts});
      break;
    case platform::ModemLine::DSR:
      emit OnComm({kEventDSR, now.dsr});
      break;
    case platform::ModemLine::CD:
      emit OnComm({kEventCD, now.cd});
      break;
  }
}
