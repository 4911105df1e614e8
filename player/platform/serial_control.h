#pragma once
// The foot pedal's serial port: opened and closed by port number, three modem-status input lines
// read at any time, one OnComm notification per line change on the window's thread. Failures are
// error numbers: 8002 an invalid port number, 8012 a port that exists but cannot be opened.
//
// The window may run without one: a null SerialControl stands for a machine with no serial
// support, and then no port opens and no line counts as held.

#include <QObject>
#include <QString>

class SerialControl : public QObject {
  Q_OBJECT
 public:
  static constexpr int kErrorInvalidPort = 8002;
  static constexpr int kErrorPortUnavailable = 8012;

  // CommEvent codes of the line changes.
  static constexpr int kEventCTS = 3;
  static constexpr int kEventDSR = 4;
  static constexpr int kEventCD = 5;
  // CommEvent codes of a pedal on no serial line (a USB pedal): it is not plugged in or went
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

  virtual int CommEvent() const = 0;
  virtual bool DSRHolding() const = 0;
  virtual bool CTSHolding() const = 0;
  virtual bool CDHolding() const = 0;
  // What went wrong with the pedal's device, for the typist; empty when nothing did.
  virtual QString ProblemText() const { return {}; }

 signals:
  void OnComm();
};
