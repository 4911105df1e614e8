#pragma once
// The foot pedal's serial port: opened and closed by port number, three modem-status input lines,
// one OnComm notification per line change on the window's thread. Each notification carries the
// line that changed and whether it is held after the change, so a press and its release that
// reach the window together still read as a press and a release. Failures are the error numbers
// of serial_errors.h.
//
// The window may run without one: a null SerialControl stands for a machine with no serial
// support, and then no port opens and no line counts as held.

#include <QObject>
#include <QString>

#include "serial_errors.h"

// What one OnComm tells: the event code and, for a line change, whether the line is held now.
struct CommNotice {
  int event = 0;
  bool held = false;
};

class SerialControl : public QObject {
  Q_OBJECT
 public:
  // Event codes of the line changes.
  static constexpr int kEventCTS = 3;
  static constexpr int kEventDSR = 4;
  static constexpr int kEventCD = 5;
  // Event codes of a pedal on no serial line (a USB pedal): it is not plugged in or went
  // away; it is back and read again; it is there but this user may not read it (ProblemText()
  // says which device and how to allow it).
  static constexpr int kEventUnplugged = 2001;
  static constexpr int kEventPluggedIn = 2002;
  static constexpr int kEventNoAccess = 2003;

  using QObject::QObject;
  ~SerialControl() override = default;

  int CommPort = 1;
  QString Settings = "9600,N,8,1";
  int InputLen = 0;

  virtual bool PortOpen() const = 0;
  // Opens or closes the port CommPort; 0 on success or an error number.
  virtual int SetPortOpen(bool open) = 0;
  // Opens and closes the port CommPort without changing any of its settings (a device may be
  // the machine's console); 0 or an error number.
  virtual int ProbePort() = 0;

  // The lines as the notifications delivered so far tell them (as found when the port opened,
  // then changed by each OnComm); none is held while the port is closed.
  virtual bool DSRHolding() const = 0;
  virtual bool CTSHolding() const = 0;
  virtual bool CDHolding() const = 0;
  // What went wrong with the pedal's device, for the typist; empty when nothing did.
  virtual QString ProblemText() const { return {}; }

 signals:
  void OnComm(const CommNotice& notice);
};
