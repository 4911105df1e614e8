#include "tty_serial_port.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <mutex>

namespace platform {
namespace {

constexpr int kWatchedLines = TIOCM_DSR | TIOCM_CTS | TIOCM_CD;
constexpr long kPollIntervalNs = 10'000'000;

int SystemIoctl(int fd, unsigned long request, void* argument) {
  return ::ioctl(fd, request, argument);
}

// The signal that breaks the worker out of a blocking wait in the driver. Its handler does
// nothing: what matters is that it is installed without SA_RESTART, so the wait returns EINTR.
int WakeSignal() { return SIGRTMIN + 7; }

void InstallWakeHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(WakeSignal(), &action, nullptr);
  });
}

int OpenDevice(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

std::string SerialDevicePath(int portNumber) {
  if (portNumber < 1) return {};
  const std::string variable = "QUILLMARK_COM" + std::to_string(portNumber);
  if (const char* configured = std::getenv(variable.c_str()); configured && *configured) {
    return configured;
  }
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

int SerialErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
      return kSerialInvalidPort;
    case EACCES:
    case EPERM:
    case EBUSY:
      return kSerialPortUnavailable;
    default:
      return kSerialOpenFailed;
  }
}

TtySerialPort::TtySerialPort(IoctlFunction ioctlFunction)
    : ioctl_(ioctlFunction ? ioctlFunction : &SystemIoctl) {}

TtySerialPort::~TtySerialPort() { close(); }

int TtySerialPort::control(unsigned long request, void* argument) const {
  return ioctl_(fd_, request, argument);
}

int TtySerialPort::Probe(const std::string& devicePath) {
  if (devicePath.empty()) return kSerialInvalidPort;
  const int fd = OpenDevice(devicePath);
  if (fd < 0) return SerialErrorFromErrno(errno);
  ::close(fd);
  return 0;
}

int TtySerialPort::open(const std::string& devicePath, LineChanged onChange) {
  close();
  if (devicePath.empty()) return kSerialInvalidPort;
  const int fd = OpenDevice(devicePath);
  if (fd < 0) return SerialErrorFromErrno(errno);
  if (!::isatty(fd)) {
    ::close(fd);
    return kSerialInvalidPort;
  }

  // 9600 8N1 raw; CLOCAL so a carrier drop (the CD switch) never hangs the port up.
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) {
    ::close(fd);
    return kSerialOpenFailed;
  }
  ::cfmakeraw(&settings);
  ::cfsetispeed(&settings, B9600);
  ::cfsetospeed(&settings, B9600);
  settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  if (::tcsetattr(fd, TCSANOW, &settings) != 0) {
    ::close(fd);
    return kSerialOpenFailed;
  }

  fd_ = fd;
  control(TIOCEXCL, nullptr);
  int raise = TIOCM_DTR | TIOCM_RTS;
  control(TIOCMBIS, &raise);  // a pty has no such lines; nothing depends on the answer

  onChange_ = std::move(onChange);
  stopping_ = false;
  workerDone_ = false;
  polling_ = false;
  InstallWakeHandler();
  // The starting state is read before open returns, so any change after it is reported.
  atOpen_ = {};
  readLines(atOpen_);
  worker_ = std::thread([this, initial = atOpen_] { watch(initial); });
  return 0;
}

void TtySerialPort::close() {
  if (worker_.joinable()) {
    stopping_ = true;
    // The signal can arrive just before the worker enters its wait; repeat it until the worker
    // has left its loop.
    while (!workerDone_) {
      pthread_kill(worker_.native_handle(), WakeSignal());
      const timespec pause{0, 1'000'000};
      nanosleep(&pause, nullptr);
    }
    worker_.join();
  }
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  onChange_ = nullptr;
}

bool TtySerialPort::readLines(ModemLineState& state) const {
  int bits = 0;
  if (control(TIOCMGET, &bits) != 0) return false;
  state.cts = bits & TIOCM_CTS;
  state.dsr = bits & TIOCM_DSR;
  state.cd = bits & TIOCM_CD;
  return true;
}

ModemLineState TtySerialPort::lines() const {
  ModemLineState state;
  if (fd_ >= 0 && !readLines(state)) return {};
  return state;
}

void TtySerialPort::waitForChange() {
  if (!polling_) {
    if (control(TIOCMIWAIT, reinterpret_cast<void*>(static_cast<long>(kWatchedLines))) == 0) return;
    if (errno == EINTR) return;
    // No wait in this driver (or it failed): poll from now on.
    polling_ = true;
  }
  const timespec interval{0, kPollIntervalNs};
  nanosleep(&interval, nullptr);  // a wake signal ends it early
}

void TtySerialPort::watch(ModemLineState previous) {
  while (!stopping_) {
    waitForChange();
    if (stopping_) break;
    // A device that cannot be read (gone, most likely) holds no line; polling goes on quietly.
    ModemLineState now;
    if (!readLines(now)) now = {};
    if (now.cts != previous.cts) onChange_(ModemLine::CTS, now);
    if (now.dsr != previous.dsr) onChange_(ModemLine::DSR, now);
    if (now.cd != previous.cd) onChange_(ModemLine::CD, now);
    previous = now;
  }
  workerDone_ = true;
}

}  // namespace platform
