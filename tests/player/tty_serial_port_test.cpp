#include "tty_serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "support/scripted_modem_lines.h"

namespace platform {
namespace {

using testing_support::ScriptedModemLines;

struct Event {
  ModemLine line;
  ModemLineState state;
  std::thread::id thread;
};

// A pty stands in for the serial device; the lines come from a script.
class TtySerialPortTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    char name[128];
    ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    path_ = name;
  }
  void TearDown() override {
    ::close(master_);
    ::close(slave_);
  }

  TtySerialPort::LineChanged recorder() {
    return [this](ModemLine line, ModemLineState state) {
      std::lock_guard lock(mutex_);
      events_.push_back({line, state, std::this_thread::get_id()});
      changed_.notify_all();
    };
  }

  // Waits for the n-th event; a generous bound only so a broken port fails instead of hanging.
  bool waitForEvents(std::size_t n) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return events_.size() >= n; });
  }

  std::vector<Event> events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

  int master_ = -1, slave_ = -1;
  std::string path_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Event> events_;
};

TEST_P(TtySerialPortTest, EachLineChangeGivesOneEventInOrder) {
  ScriptedModemLines lines(/*driverCanWait=*/GetParam());
  TtySerialPort port(&ScriptedModemLines::Ioctl);
  ASSERT_EQ(port.open(path_, recorder()), 0);
  EXPECT_EQ(lines.raisedOutputs(), TIOCM_DTR | TIOCM_RTS);

  lines.set(TIOCM_DSR);
  ASSERT_TRUE(waitForEvents(1));
  EXPECT_EQ(port.polling(), !GetParam()) << "polling must take over only where waiting fails";
  EXPECT_TRUE(port.lines().dsr);
  lines.set(TIOCM_DSR | TIOCM_CTS);
  ASSERT_TRUE(waitForEvents(2));
  lines.set(TIOCM_CD);  // DSR and CTS drop, CD rises at once: three events
  ASSERT_TRUE(waitForEvents(5));
  lines.set(0);
  ASSERT_TRUE(waitForEvents(6));
  port.close();

  const auto seen = events();
  ASSERT_EQ(seen.size(), 6u);
  const ModemLine order[] = {ModemLine::DSR, ModemLine::CTS, ModemLine::CTS,
                             ModemLine::DSR, ModemLine::CD,  ModemLine::CD};
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].line, order[i]) << "event " << i;
    EXPECT_NE(seen[i].thread, std::this_thread::get_id());
  }
  EXPECT_EQ(seen[1].state, (ModemLineState{true, true, false}));
  EXPECT_EQ(seen[4].state, (ModemLineState{false, false, true}));
  EXPECT_EQ(seen[5].state, ModemLineState{});
}

TEST_P(TtySerialPortTest, ClosingWhileTheWorkerWaitsReturnsAndReportsNothingMore) {
  ScriptedModemLines lines(GetParam());
  TtySerialPort port(&ScriptedModemLines::Ioctl);
  ASSERT_EQ(port.open(path_, recorder()), 0);
  if (GetParam()) {
    // Make sure the worker sits in the driver's wait before the port closes.
    while (lines.waitsEntered() == 0) std::this_thread::yield();
  }
  port.close();  // a close that cannot interrupt the wait hangs here and ctest times out
  EXPECT_FALSE(port.isOpen());
  EXPECT_EQ(port.lines(), ModemLineState{});
  lines.set(TIOCM_DSR);
  EXPECT_TRUE(events().empty());
}

TEST_P(TtySerialPortTest, OpensRawAt9600WithLocalLines) {
  ScriptedModemLines lines(GetParam());
  TtySerialPort port(&ScriptedModemLines::Ioctl);
  ASSERT_EQ(port.open(path_, recorder()), 0);
  termios settings{};
  ASSERT_EQ(::tcgetattr(slave_, &settings), 0);
  EXPECT_EQ(::cfgetospeed(&settings), B9600);
  EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_TRUE(settings.c_cflag & CLOCAL);
  EXPECT_FALSE(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS));
  EXPECT_FALSE(settings.c_lflag & ICANON);
  port.close();
  EXPECT_EQ(port.open(path_, recorder()), 0);
}

INSTANTIATE_TEST_SUITE_P(WaitingAndPolling, TtySerialPortTest, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Waiting" : "Polling"; });

TEST(TtySerialPortErrors, MissingDevicesAndNonTerminalsAreInvalidPorts) {
  TtySerialPort port;
  EXPECT_EQ(port.open("/dev/no-such-serial-port", nullptr), kSerialInvalidPort);
  EXPECT_EQ(port.open("", nullptr), kSerialInvalidPort);
  EXPECT_EQ(port.open("/dev/null", nullptr), kSerialInvalidPort);
  EXPECT_FALSE(port.isOpen());
  EXPECT_EQ(TtySerialPort::Probe("/dev/no-such-serial-port"), kSerialInvalidPort);
  EXPECT_EQ(SerialErrorFromErrno(EBUSY), kSerialPortUnavailable);
  EXPECT_EQ(SerialErrorFromErrno(EACCES), kSerialPortUnavailable);
  EXPECT_EQ(SerialErrorFromErrno(EIO), kSerialOpenFailed);
}

TEST(TtySerialPortErrors, ProbeLeavesTheDeviceSettingsAlone) {
  int master = -1, slave = -1;
  char name[128];
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  termios before{};
  ASSERT_EQ(::tcgetattr(slave, &before), 0);
  EXPECT_EQ(TtySerialPort::Probe(name), 0);
  termios after{};
  ASSERT_EQ(::tcgetattr(slave, &after), 0);
  EXPECT_EQ(before.c_cflag, after.c_cflag);
  EXPECT_EQ(before.c_lflag, after.c_lflag);
  ::close(master);
  ::close(slave);
}

TEST(SerialDevicePath, MapsComNumbersWithAnOverride) {
  EXPECT_EQ(SerialDevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(SerialDevicePath(8), "/dev/ttyS7");
  EXPECT_EQ(SerialDevicePath(0), "");
  ::setenv("QUILLMARK_COM3", "/dev/ttyUSB0", 1);
  EXPECT_EQ(SerialDevicePath(3), "/dev/ttyUSB0");
  ::unsetenv("QUILLMARK_COM3");
  EXPECT_EQ(SerialDevicePath(3), "/dev/ttyS2");
}

}  // namespace
}  // namespace platform
