// USB pedals as a serial control: real input_event records through the real reader, devices
// listed by a fake directory, the device ioctls scripted. The grab, a pedal missing at start-up,
// a device this user may not read and the learn step are tested through the window.

#include "platform/usb_pedal_control.h"

#include <gtest/gtest.h>

#include <QThread>
#include <vector>

#include "support/fake_input_directory.h"
#include "support/scripted_input_devices.h"
#include "support/wait.h"

namespace {

using testing_support::ScriptedInputDevices;

const std::string kVec = "/dev/input/event5";
constexpr int kVecPort = UsbPedalControl::kFirstPort;

struct Seen {
  int event;
  bool dsr, cts, cd;
  bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  return out << seen.event << (seen.dsr ? " DSR" : "") << (seen.cts ? " CTS" : "")
             << (seen.cd ? " CD" : "");
}

constexpr int kDSR = SerialControl::kEventDSR;
constexpr int kCTS = SerialControl::kEventCTS;
constexpr int kCD = SerialControl::kEventCD;
constexpr int kUnplugged = SerialControl::kEventUnplugged;
constexpr int kPluggedIn = SerialControl::kEventPluggedIn;

class UsbPedalControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    devices_.plug(kVec, {BTN_0, BTN_1, BTN_2});
    directory_.devices = {VecPedal(kVec)};
    control_ = std::make_unique<UsbPedalControl>(directory_, ScriptedInputDevices::Calls());
    Record(*control_);
  }

  void Record(SerialControl& control) {
    QObject::connect(&control, &SerialControl::OnComm, [this, &control](const CommNotice& notice) {
      seen_.push_back({notice.event, control.DSRHolding(), control.CTSHolding(),
                       control.CDHolding()});
      // A switch's notice carries the state its line is left in.
      if (notice.event == kDSR) EXPECT_EQ(notice.held, control.DSRHolding());
      if (notice.event == kCTS) EXPECT_EQ(notice.held, control.CTSHolding());
      if (notice.event == kCD) EXPECT_EQ(notice.held, control.CDHolding());
      EXPECT_EQ(QThread::currentThread(), qApp->thread());
    });
  }

  int Open(int port) {
    control_->CommPort = port;
    return control_->SetPortOpen(true);
  }
  bool WaitForSeen(std::size_t n) {
    return WaitUntil([&] { return seen_.size() >= n; });
  }

  ScriptedInputDevices devices_;
  FakeInputDirectory directory_;
  std::unique_ptr<UsbPedalControl> control_;
  std::vector<Seen> seen_;
};

TEST_F(UsbPedalControlTest, SwitchesArriveAsOneLineChangeEachInOrder) {
  ASSERT_EQ(Open(kVecPort), 0);
  EXPECT_TRUE(control_->PortOpen());
  devices_.key(kVec, BTN_1, 1);  // middle: play
  devices_.key(kVec, BTN_1, 2);  // held long enough to repeat
  devices_.key(kVec, BTN_1, 1);  // a press of a switch already down changes nothing
  devices_.send(kVec, {ScriptedInputDevices::Event(EV_MSC, MSC_SCAN, 0x90001),
                       ScriptedInputDevices::Event(EV_KEY, BTN_0, 1),  // left
                       ScriptedInputDevices::Event(EV_SYN, SYN_REPORT, 0)});
  devices_.key(kVec, BTN_1, 0);
  devices_.key(kVec, KEY_B, 1);  // not a switch of this pedal
  devices_.key(kVec, BTN_2, 0);  // nor is a release of a switch that is up
  // A record that comes in two parts is read whole.
  const input_event right = ScriptedInputDevices::Event(EV_KEY, BTN_2, 1);
  devices_.sendBytes(kVec, &right, 10);
  devices_.sendBytes(kVec, reinterpret_cast<const char*>(&right) + 10, sizeof right - 10);
  devices_.key(kVec, BTN_0, 0);
  devices_.key(kVec, BTN_2, 0);
  ASSERT_TRUE(WaitForSeen(6));
  QCoreApplication::processEvents();
  // Each change comes with the lines as they were at that change, though all were read at once.
  EXPECT_EQ(seen_, (std::vector<Seen>{{kDSR, true, false, false},
                                      {kCTS, true, true, false},
                                      {kDSR, false, true, false},
                                      {kCD, false, true, true},
                                      {kCTS, false, false, true},
                                      {kCD, false, false, false}}));
}

TEST_F(UsbPedalControlTest, AfterDroppedEventsOnlyRealChangesOfTheSwitchesArrive) {
  devices_.hold(kVec, BTN_1, true);  // held as the port opens: held, but no change
  ASSERT_EQ(Open(kVecPort), 0);
  EXPECT_TRUE(control_->DSRHolding());
  devices_.key(kVec, BTN_2, 1);
  ASSERT_TRUE(WaitForSeen(1));
  // The kernel's buffer overflowed: the middle switch was let go and the left pressed in the
  // records lost, and the records up to the next report are incomplete and must not count.
  devices_.hold(kVec, BTN_1, false);
  devices_.hold(kVec, BTN_0, true);
  devices_.send(kVec, {ScriptedInputDevices::Event(EV_SYN, SYN_DROPPED, 0),
                       ScriptedInputDevices::Event(EV_KEY, BTN_2, 0),
                       ScriptedInputDevices::Event(EV_SYN, SYN_REPORT, 0)});
  ASSERT_TRUE(WaitForSeen(3));
  devices_.key(kVec, BTN_0, 1);  // queued after the report, already told by the resync
  devices_.key(kVec, BTN_2, 0);
  ASSERT_TRUE(WaitForSeen(4));
  QCoreApplication::processEvents();
  EXPECT_EQ(seen_, (std::vector<Seen>{{kCD, true, false, true},
                                      {kDSR, false, false, true},
                                      {kCTS, false, true, true},
                                      {kCD, false, true, false}}));
}

TEST_F(UsbPedalControlTest, NothingReadBeforeAClosingArrivesAfterIt) {
  ASSERT_EQ(Open(kVecPort), 0);
  devices_.key(kVec, BTN_1, 1);
  devices_.key(kVec, BTN_1, 0);
  // Close once the reader has read both but before the window thread has delivered them, and
  // open again at once: they belong to the closed port and must be dropped.
  while (devices_.unread(kVec) > 0) QThread::yieldCurrentThread();
  control_->SetPortOpen(false);
  ASSERT_EQ(Open(kVecPort), 0);
  QCoreApplication::processEvents();
  EXPECT_TRUE(seen_.empty());
  EXPECT_FALSE(control_->DSRHolding());
}

TEST_F(UsbPedalControlTest, UnpluggingReleasesHeldSwitchesAndThePedalIsReadAgainWhenBack) {
  ASSERT_EQ(Open(kVecPort), 0);
  devices_.key(kVec, BTN_1, 1);
  devices_.key(kVec, BTN_2, 1);
  ASSERT_TRUE(WaitForSeen(2));

  directory_.Remove(kVec);
  devices_.unplug(kVec);
  ASSERT_TRUE(WaitForSeen(5));
  EXPECT_EQ(seen_[2], (Seen{kDSR, false, false, true}));
  EXPECT_EQ(seen_[3], (Seen{kCD, false, false, false}));
  EXPECT_EQ(seen_[4], (Seen{kUnplugged, false, false, false}));
  EXPECT_TRUE(control_->PortOpen()) << "the port stays open for the pedal's return";
  EXPECT_FALSE(control_->Present(kVecPort));

  // Back, under another node as the kernel may give it, without anyone reopening the port.
  const std::string back = "/dev/input/event9";
  devices_.plug(back, {BTN_0, BTN_1, BTN_2});
  directory_.Add(VecPedal(back));
  ASSERT_TRUE(WaitForSeen(6));
  EXPECT_EQ(seen_[5].event, kPluggedIn);
  EXPECT_TRUE(devices_.grabbed(back));
  devices_.key(back, BTN_0, 1);
  ASSERT_TRUE(WaitForSeen(7));
  EXPECT_EQ(seen_[6], (Seen{kCTS, false, true, false}));
}

TEST_F(UsbPedalControlTest, SettingsLinesThatNameNoUsablePedalAreIgnored) {
  EXPECT_EQ(control_->RestoreSettings({}), 0);
  EXPECT_EQ(control_->RestoreSettings({{"UsbPedalVendor", "zz"}, {"UsbPedalProduct", "1"}}), 0);
  // A device that is no known model needs three distinct taught switches.
  std::map<std::string, std::string> lines{{"UsbPedalVendor", "1a86"},
                                           {"UsbPedalProduct", "e026"},
                                           {"UsbPedalLeft", "KEY_B"},
                                           {"UsbPedalMiddle", "KEY_B"},
                                           {"UsbPedalRight", "BTN_LEFT"}};
  EXPECT_EQ(control_->RestoreSettings(lines), 0);
  lines.erase("UsbPedalMiddle");
  EXPECT_EQ(control_->RestoreSettings(lines), 0);
  lines["UsbPedalMiddle"] = "BTN_0";
  EXPECT_EQ(control_->RestoreSettings(lines), kVecPort + 1);
  EXPECT_EQ(control_->SettingsValues(0), control_->SettingsValues(kVecPort + 1))
      << "a taught pedal is kept while a serial port is chosen";
}

}  // namespace
