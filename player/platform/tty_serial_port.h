#pragma once
// A serial port used only for its modem-status input lines (DSR, CTS, CD), as a foot pedal
// uses it: opened raw at 9600 8N1 with CLOCAL, DTR and RTS raised so a passive pedal can draw
// power from them, and watched by a worker thread that reports every change of an input line.
//
// The worker waits with TIOCMIWAIT; where the driver cannot wait (ENOTTY or EINVAL, as on
// cp210x adapters and ptys) it polls TIOCMGET every 10 ms. Changes are reported on the worker
// thread; the caller moves them to its own thread. No Qt here.

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "serial_errors.h"

namespace platform {

enum class ModemLine { CTS, DSR, CD };

struct ModemLineState {
  bool cts = false;
  bool dsr = false;
  bool cd = false;
  bool operator==(const ModemLineState&) const = default;
};

// How the port reaches the driver for ioctl requests. Tests replace it to script the modem
// lines over a pty, which has none.
using IoctlFunction = int (*)(int fd, unsigned long request, void* argument);

// The device path of "COM n": QUILLMARK_COM<n> from the environment when set, else
// /dev/ttyS<n-1>. Empty for a port number below 1.
std::string SerialDevicePath(int portNumber);

// The serial error code for an errno from open(2).
int SerialErrorFromErrno(int error);

class TtySerialPort {
 public:
  using LineChanged = std::function<void(ModemLine line, ModemLineState now)>;

  explicit TtySerialPort(IoctlFunction ioctlFunction = nullptr);
  ~TtySerialPort();
  TtySerialPort(const TtySerialPort&) = delete;
  TtySerialPort& operator=(const TtySerialPort&) = delete;

  // Opens the device, configures it and starts the watcher. Returns 0 or a serial error code.
  // onChange runs on the worker thread, once per changed line, in the order CTS, DSR, CD. A port
  // whose lines can no longer be read (the adapter was pulled out) holds none: each held line is
  // reported let go.
  int open(const std::string& devicePath, LineChanged onChange);

  // Stops the watcher (promptly, even while it waits in the driver) and closes the device.
  void close();

  bool isOpen() const { return fd_ >= 0; }

  // The held state of the input lines now; none is held while the port is closed.
  ModemLineState lines() const;
  // The lines as open() found them, before the watcher started: every change reported after
  // open() is a change from this state.
  ModemLineState linesAtOpen() const { return atOpen_; }

  // Whether the watcher fell back to polling.
  bool polling() const { return polling_.load(); }

  // Opens and closes the device without touching its settings (a ttyS may be the console).
  // Returns 0 or a serial error code.
  static int Probe(const std::string& devicePath);

 private:
  int control(unsigned long request, void* argument) const;
  bool readLines(ModemLineState& state) const;
  void watch(ModemLineState previous);
  void waitForChange();

  IoctlFunction ioctl_;
  int fd_ = -1;
  LineChanged onChange_;
  ModemLineState atOpen_;
  std::thread worker_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> polling_{false};
  std::atomic<bool> workerDone_{false};
};

}  // namespace platform
