#include "tty_serial_control.h"

#include <QMetaObject>

TtySerialControl::TtySerialControl(platform::IoctlFunction ioctlFunction, QObject* parent)
    : SerialControl(parent), port_(ioctlFunction) {}

TtySerialControl::~TtySerialControl() { port_.close(); }

int TtySerialControl::SetPortOpen(bool open) {
  if (open == port_.isOpen()) return 0;
  ++generation_;
  if (!open) {
    port_.close();
    return 0;
  }
  const std::uint64_t generation = generation_;
  return port_.open(platform::SerialDevicePath(CommPort),
                    [this, generation](platform::ModemLine line, platform::ModemLineState) {
                      const int event = line == platform::ModemLine::CTS   ? kEventCTS
                                        : line == platform::ModemLine::DSR ? kEventDSR
                                                                            : kEventCD;
                      // Runs on the watcher thread: hand the change to this object's thread.
                      QMetaObject::invokeMethod(
                          this, [this, generation, event] { deliver(generation, event); },
                          Qt::QueuedConnection);
                    });
}

int TtySerialControl::ProbePort() {
  return platform::TtySerialPort::Probe(platform::SerialDevicePath(CommPort));
}

void TtySerialControl::deliver(std::uint64_t generation, int event) {
  if (generation != generation_ || !port_.isOpen()) return;
  commEvent_ = event;
  emit OnComm();
}
