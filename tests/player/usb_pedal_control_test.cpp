// USB pedals as a serial control: real input_event records through the real reader, devices
// listed by a fake directory, the device ioctls scripted.

#include "platform/usb_pedal_control.h"

#include <gtest/gtest.h>

#include <QThread>
#include <vector>

#include "platform/pedal_learner.h"
#include "platform/routed_serial_control.h"
#include "support/fake_input_directory.h"
#include "support/fake_serial_control.h"
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
constexpr int kNoAccess = SerialControl::kEventNoAccess;

class UsbPedalControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    devices_.plug(kVec, {BTN_0, BTN_1, BTN_2});
    directory_.devices = {VecPedal(kVec)};
    control_ = std::make_unique<UsbPedalControl>(directory_, ScriptedInputDevices::Calls());
    Record(*control_);
  }

  void Record(SerialControl& control) {
    QObject::connect(&control, &SerialControl::OnComm, [this, &control] {
      seen_.push_back({control.CommEvent(), control.DSRHolding(), control.CTSHolding(),
                       control.CDHolding()});
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

TEST_F(UsbPedalControlTest, AKnownPedalIsOfferedUnderItsProductName) {
  EXPECT_EQ(control_->Ports(), std::vector<int>{kVecPort});
  EXPECT_EQ(control_->Label(kVecPort), "USB: VEC USB Footpedal");
  EXPECT_TRUE(control_->Present(kVecPort));
  control_->CommPort = kVecPort;
  EXPECT_EQ(control_->ProbePort(), 0);
  control_->CommPort = kVecPort + 1;
  EXPECT_EQ(control_->ProbePort(), SerialControl::kErrorInvalidPort);
  EXPECT_EQ(control_->SetPortOpen(true), SerialControl::kErrorInvalidPort);
  EXPECT_FALSE(control_->PortOpen());

  // An ordinary keyboard is no pedal until its switches are taught.
  directory_.Add(InputDevice("/dev/input/event2", 0x046d, 0xc31c, "Logitech USB Keyboard"));
  EXPECT_EQ(control_->Ports().size(), 1u);
}

TEST_F(UsbPedalControlTest, SwitchesArriveAsOneLineChangeEachInOrder) {
  ASSERT_EQ(Open(kVecPort), 0);
  EXPECT_TRUE(control_->PortOpen());
  devices_.key(kVec, BTN_1, 1);  // middle: play
  devices_.key(kVec, BTN_1, 2);  // held long enough to repeat
  devices_.key(kVec, BTN_0, 1);  // left
  devices_.key(kVec, BTN_1, 0);
  devices_.key(kVec, KEY_B, 1);  // not a switch of this pedal
  devices_.key(kVec, BTN_2, 1);  // right
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

TEST_F(UsbPedalControlTest, GrabbedWhileOpenAndReleasedOnClosePortChangeAndDestruction) {
  const std::string other = "/dev/input/event6";
  devices_.plug(other, {BTN_0, BTN_1, BTN_2});
  auto twin = VecPedal(other);
  twin.name = "VEC  VEC USB Footpedal II";
  directory_.Add(twin);
  ASSERT_EQ(control_->Ports().size(), 2u);

  ASSERT_EQ(Open(kVecPort), 0);
  EXPECT_TRUE(devices_.grabbed(kVec));
  control_->SetPortOpen(false);
  EXPECT_FALSE(devices_.grabbed(kVec));
  EXPECT_EQ(devices_.grabs(kVec).releases, 1);

  // Another port: the first stays released, the second is grabbed.
  ASSERT_EQ(Open(kVecPort + 1), 0);
  EXPECT_FALSE(devices_.grabbed(kVec));
  EXPECT_TRUE(devices_.grabbed(other));
  devices_.key(kVec, BTN_1, 1);  // the closed pedal's presses go nowhere
  devices_.key(other, BTN_1, 1);
  ASSERT_TRUE(WaitForSeen(1));
  QCoreApplication::processEvents();
  EXPECT_EQ(seen_, (std::vector<Seen>{{kDSR, true, false, false}}));

  control_.reset();
  EXPECT_FALSE(devices_.grabbed(other));
  EXPECT_EQ(devices_.grabs(other).releases, 1);
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

TEST_F(UsbPedalControlTest, APedalNotPluggedInWhenOpenedIsReadWhenItAppears) {
  directory_.Remove(kVec);
  devices_.unplug(kVec);
  ASSERT_EQ(Open(kVecPort), 0) << "a pedal's absence is no error";
  control_->CommPort = kVecPort;
  EXPECT_EQ(control_->ProbePort(), SerialControl::kErrorInvalidPort);
  ASSERT_TRUE(WaitForSeen(1));
  EXPECT_EQ(seen_[0].event, kUnplugged);

  devices_.plug(kVec, {BTN_0, BTN_1, BTN_2});
  devices_.hold(kVec, BTN_0, true);  // held as it is plugged in: held, but no change
  directory_.Add(VecPedal(kVec));
  ASSERT_TRUE(WaitForSeen(2));
  EXPECT_EQ(seen_[1], (Seen{kPluggedIn, false, true, false}));
  EXPECT_EQ(control_->ProbePort(), 0);
}

TEST_F(UsbPedalControlTest, ADeviceThatMayNotBeReadIsToldOnceWithTheFix) {
  devices_.deny(kVec);
  ASSERT_EQ(Open(kVecPort), 0);
  ASSERT_TRUE(WaitForSeen(1));
  EXPECT_EQ(seen_[0].event, kNoAccess);
  const QString problem = control_->ProblemText();
  EXPECT_TRUE(problem.contains("/dev/input/event5")) << problem.toStdString();
  EXPECT_TRUE(problem.contains("60-quillmark-pedals.rules")) << problem.toStdString();
  EXPECT_TRUE(problem.contains("\"input\" group")) << problem.toStdString();

  emit directory_.Changed();  // something else came or went: still refused, nothing new to say
  QCoreApplication::processEvents();
  EXPECT_EQ(seen_.size(), 1u);

  devices_.deny(kVec, false);  // the rule is installed and the pedal plugged in again
  emit directory_.Changed();
  ASSERT_TRUE(WaitForSeen(2));
  EXPECT_EQ(seen_[1].event, kPluggedIn);
  EXPECT_TRUE(devices_.grabbed(kVec));
}

TEST_F(UsbPedalControlTest, TaughtSwitchesDriveTheLinesAndSurviveTheSettings) {
  const std::string node = "/dev/input/event3";
  devices_.plug(node, {KEY_A, KEY_B, BTN_0, BTN_LEFT});
  const auto generic = InputDevice(node, 0x1a86, 0xe026, "FootSwitch");
  directory_.Add(generic);
  const int port = control_->Adopt(generic, {KEY_B, BTN_0, BTN_LEFT});
  EXPECT_EQ(port, kVecPort + 1);
  EXPECT_EQ(control_->Label(port), "USB: FootSwitch");

  const auto values = control_->SettingsValues(port);
  EXPECT_EQ(values.at("UsbPedalVendor"), "1a86");
  EXPECT_EQ(values.at("UsbPedalProduct"), "e026");
  EXPECT_EQ(values.at("UsbPedalLeft"), "KEY_B");
  EXPECT_EQ(values.at("UsbPedalMiddle"), "BTN_0");
  EXPECT_EQ(values.at("UsbPedalRight"), "BTN_LEFT");
  EXPECT_EQ(control_->SettingsValues(0), values) << "the taught pedal is kept while a COM port is chosen";
  EXPECT_EQ(control_->SettingsValues(kVecPort).count("UsbPedalLeft"), 0u)
      << "a known pedal needs no switches stored";
  EXPECT_EQ(control_->RestoreSettings(control_->SettingsValues(kVecPort)), kVecPort);
  // Lines that name no usable pedal: none at all, a bad id, a device that is no known model
  // without taught switches.
  EXPECT_EQ(control_->RestoreSettings({}), 0);
  EXPECT_EQ(control_->RestoreSettings({{"UsbPedalVendor", "zz"}, {"UsbPedalProduct", "1"}}), 0);
  EXPECT_EQ(control_->RestoreSettings({{"UsbPedalVendor", "1b1b"}, {"UsbPedalProduct", "e026"}}),
            0);
  EXPECT_EQ(control_->Ports().size(), 2u);

  // The next run, with the pedal not yet plugged in.
  control_.reset();
  directory_.Remove(node);
  UsbPedalControl next(directory_, ScriptedInputDevices::Calls());
  Record(next);
  const int restored = next.RestoreSettings(values);
  EXPECT_EQ(next.Label(restored), "USB: FootSwitch");
  EXPECT_FALSE(next.Present(restored));
  next.CommPort = restored;
  ASSERT_EQ(next.SetPortOpen(true), 0);
  directory_.Add(generic);
  ASSERT_TRUE(WaitForSeen(2)) << ::testing::PrintToString(seen_);  // unplugged, then back
  devices_.key(node, KEY_B, 1);
  devices_.key(node, BTN_0, 1);
  devices_.key(node, BTN_LEFT, 1);
  devices_.key(node, KEY_A, 1);
  ASSERT_TRUE(WaitForSeen(5));
  QCoreApplication::processEvents();
  EXPECT_EQ(seen_[2], (Seen{kCTS, false, true, false}));
  EXPECT_EQ(seen_[3], (Seen{kDSR, true, true, false}));
  EXPECT_EQ(seen_[4], (Seen{kCD, true, true, true}));
  EXPECT_EQ(seen_.size(), 5u);
}

TEST_F(UsbPedalControlTest, TheLearnerHearsPressesOfEveryDeviceWithoutTakingThem) {
  const std::string keyboard = "/dev/input/event2";
  const std::string locked = "/dev/input/event4";
  devices_.plug(keyboard, {KEY_A, KEY_B});
  devices_.plug(locked, {KEY_C});
  devices_.deny(locked);
  directory_.Add(InputDevice(keyboard, 0x046d, 0xc31c, "Keyboard"));
  directory_.Add(InputDevice(locked, 0x1111, 0x2222, "Locked"));

  auto learner = control_->StartLearning();
  std::vector<std::pair<std::string, int>> heard;
  QObject::connect(learner.get(), &PedalLearner::Pressed,
                   [&](const platform::InputDeviceInfo& device, int code) {
                     heard.emplace_back(device.node, code);
                   });
  EXPECT_EQ(learner->Listening(), 2);
  EXPECT_EQ(learner->Refused(), std::vector<std::string>{locked});
  EXPECT_FALSE(devices_.grabbed(kVec));
  EXPECT_FALSE(devices_.grabbed(keyboard));

  devices_.key(kVec, BTN_2, 1);
  devices_.key(kVec, BTN_2, 0);  // releases are not presses
  ASSERT_TRUE(WaitUntil([&] { return heard.size() >= 1; }));  // each device has its own reader
  devices_.key(keyboard, KEY_B, 1);
  ASSERT_TRUE(WaitUntil([&] { return heard.size() >= 2; }));
  // One plugged in while learning is heard too.
  const std::string late = "/dev/input/event8";
  devices_.plug(late, {BTN_LEFT});
  directory_.Add(InputDevice(late, 0x3333, 0x4444, "Late"));
  devices_.key(late, BTN_LEFT, 1);
  ASSERT_TRUE(WaitUntil([&] { return heard.size() >= 3; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(heard, (std::vector<std::pair<std::string, int>>{
                       {kVec, BTN_2}, {keyboard, KEY_B}, {late, BTN_LEFT}}));
}

TEST(RoutedSerialControl, PortNumbersChooseTheControlAndEventsComeFromEither) {
  FakeSerialControl serial, usb;
  RoutedSerialControl routed(serial, usb, UsbPedalControl::kFirstPort);
  std::vector<int> events;
  QObject::connect(&routed, &SerialControl::OnComm, [&] { events.push_back(routed.CommEvent()); });

  usb.probeErrors = {{UsbPedalControl::kFirstPort, SerialControl::kErrorInvalidPort}};
  routed.CommPort = 3;
  EXPECT_EQ(routed.ProbePort(), 0);
  routed.CommPort = UsbPedalControl::kFirstPort;
  EXPECT_EQ(routed.ProbePort(), SerialControl::kErrorInvalidPort);
  EXPECT_EQ(usb.CommPort, UsbPedalControl::kFirstPort);

  ASSERT_EQ(routed.SetPortOpen(true), 0);
  EXPECT_TRUE(usb.open);
  EXPECT_FALSE(serial.open);
  EXPECT_TRUE(routed.PortOpen());
  usb.Press(SerialControl::kEventCD, true);
  EXPECT_TRUE(routed.CDHolding());
  ASSERT_EQ(routed.SetPortOpen(false), 0);
  EXPECT_FALSE(usb.open);

  routed.CommPort = 2;
  EXPECT_FALSE(routed.PortOpen());
  ASSERT_EQ(routed.SetPortOpen(true), 0);
  EXPECT_TRUE(serial.open);
  EXPECT_EQ(serial.CommPort, 2);
  serial.Press(SerialControl::kEventDSR, true);
  EXPECT_TRUE(routed.DSRHolding());
  EXPECT_FALSE(routed.CDHolding());
  EXPECT_EQ(events, (std::vector<int>{SerialControl::kEventCD, SerialControl::kEventDSR}));
}

}  // namespace
