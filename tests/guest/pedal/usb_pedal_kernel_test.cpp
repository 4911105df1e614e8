// The USB pedal control on real kernel input devices, in the guest (root, udev running): a pedal
// made through uinput with the known pedal's ids, a USB HID gadget pedal on the virtual USB bus,
// and an unknown keyboard-like device. What pipes cannot show: listing through udev, the grab
// against another reader, the held-key read at open, the kernel's own overflow and hot-plug.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QComboBox>
#include <QCheckBox>
#include <QLabel>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "pedal/virtual_devices.h"
#include "platform/routed_serial_control.h"
#include "platform/pedal_learner.h"
#include "platform/udev_input_directory.h"
#include "platform/usb_pedal_control.h"
#include "support/form_fixture.h"
#include "support/wait.h"

namespace {

using guest::GadgetPedal;
using guest::UinputDevice;

constexpr std::uint16_t kVecVendor = 0x05f3;
constexpr std::uint16_t kVecProduct = 0x00ff;
const std::vector<int> kVecSwitches = {BTN_0, BTN_1, BTN_2};
constexpr unsigned kLeftBit = 1, kMiddleBit = 2, kRightBit = 4;
// Events under emulation can take seconds.
constexpr int kPatienceMs = 60000;

GadgetPedal PlugVecPedal() { return GadgetPedal(kVecVendor, kVecProduct, "VEC", "VEC USB Footpedal"); }

// One notice: the line that changed and whether it is held after the change.
struct Seen {
  int event;
  bool held;
  bool operator==(const Seen&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  return out << seen.event << (seen.held ? " held" : " free");
}
constexpr int kDSR = SerialControl::kEventDSR;
constexpr int kCTS = SerialControl::kEventCTS;

// The control's reads pass through here: a test can hold the reader back (as a busy machine
// would) and count the kernel's overflow markers it reads.
std::mutex gateLock;
std::condition_variable gateOpened;
bool gateClosed = false;
std::atomic<int> droppedMarkers{0};

ssize_t GatedRead(int fd, void* buffer, size_t size) {
  {
    std::unique_lock lock(gateLock);
    gateOpened.wait(lock, [] { return !gateClosed; });
  }
  const ssize_t n = ::read(fd, buffer, size);
  const auto* events = static_cast<const input_event*>(buffer);
  for (ssize_t i = 0; n > 0 && i < n / static_cast<ssize_t>(sizeof(input_event)); ++i) {
    if (events[i].type == EV_SYN && events[i].code == SYN_DROPPED) ++droppedMarkers;
  }
  return n;
}

void SetGate(bool closed) {
  std::lock_guard lock(gateLock);
  gateClosed = closed;
  gateOpened.notify_all();
}

// The key events another program reading the node has been given so far.
std::vector<std::pair<int, int>> KeysReadBy(int fd) {
  std::vector<std::pair<int, int>> keys;
  input_event events[64];
  ssize_t n;
  while ((n = ::read(fd, events, sizeof events)) > 0) {
    for (ssize_t i = 0; i < n / static_cast<ssize_t>(sizeof(input_event)); ++i) {
      if (events[i].type == EV_KEY) keys.emplace_back(events[i].code, events[i].value);
    }
  }
  return keys;
}

class KernelPedal : public ::testing::Test {
 protected:
  void SetUp() override { guest::SettleDevices(); }

  UsbPedalControl& MakeControl(platform::InputDeviceCalls calls = {}) {
    control_ = std::make_unique<UsbPedalControl>(directory_, calls);
    QObject::connect(control_.get(), &SerialControl::OnComm, [this](const CommNotice& notice) {
      seen_.push_back({notice.event, notice.held});
    });
    return *control_;
  }
  int OpenFirstPedal() {
    const std::vector<int> ports = control_->Ports();
    if (ports.empty()) return -1;
    control_->CommPort = ports.front();
    return control_->SetPortOpen(true);
  }
  bool WaitForSeen(std::size_t n) {
    return WaitUntil([&] { return seen_.size() >= n; }, kPatienceMs);
  }

  UdevInputDirectory directory_;
  std::unique_ptr<UsbPedalControl> control_;
  std::vector<Seen> seen_;
};

TEST_F(KernelPedal, KnownPedalsAreOfferedAsUsbEntriesAndOtherDevicesAreNot) {
  GadgetPedal pedal = PlugVecPedal();
  UinputDevice keyboard(0x1234, 0x5678, "Foot Switch 3000", {KEY_A, KEY_B, KEY_C});
  UsbPedalControl& control = MakeControl();

  // udev describes both from sysfs; the USB pedal's label is its product string.
  const auto devices = directory_.KeyDevices();
  const auto at = [&](const std::string& node) {
    const auto found = std::find_if(devices.begin(), devices.end(),
                                    [&](const auto& device) { return device.node == node; });
    return found == devices.end() ? platform::InputDeviceInfo{} : *found;
  };
  const platform::InputDeviceInfo usb = at(pedal.Node());
  EXPECT_EQ(usb.vendor, kVecVendor);
  EXPECT_EQ(usb.product, kVecProduct);
  EXPECT_EQ(usb.name, "VEC VEC USB Footpedal");
  EXPECT_EQ(usb.label, "VEC USB Footpedal");
  EXPECT_NE(usb.phys.find("usb-"), std::string::npos) << usb.phys;
  const platform::InputDeviceInfo other = at(keyboard.Node());
  EXPECT_EQ(other.vendor, 0x1234);
  EXPECT_EQ(other.label, "Foot Switch 3000");

  ASSERT_EQ(control.Ports().size(), 1u);
  const int port = control.Ports().front();
  EXPECT_EQ(control.Label(port), "USB: VEC USB Footpedal");
  EXPECT_TRUE(control.Present(port));

  // A relabelled twin plugged in now joins the list as a pedal of its own.
  int changes = 0;
  QObject::connect(&control, &UsbPedalControl::PedalsChanged, [&] { ++changes; });
  UinputDevice twin(kVecVendor, kVecProduct, "Relabelled Footpedal", kVecSwitches);
  ASSERT_TRUE(WaitUntil([&] { return control.Ports().size() == 2; }, kPatienceMs));
  EXPECT_GE(changes, 1);
  EXPECT_EQ(control.Label(control.Ports()[1]), "USB: Relabelled Footpedal");

  // Unplugged, the pedal keeps its entry but is no longer there.
  pedal.Unplug();
  EXPECT_FALSE(control.Present(port));
  EXPECT_EQ(control.Ports().size(), 2u);
}

TEST_F(KernelPedal, AnotherReaderGetsNothingWhileThePedalIsOpenAndEverythingAfter) {
  GadgetPedal pedal = PlugVecPedal();
  MakeControl();
  const int other = ::open(pedal.Node().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(other, 0);
  ASSERT_EQ(OpenFirstPedal(), 0);

  pedal.Switches(kMiddleBit);
  pedal.Switches(0);
  ASSERT_TRUE(WaitForSeen(2));
  EXPECT_EQ(seen_, (std::vector<Seen>{{kDSR, true}, {kDSR, false}}));
  // The kernel hands an event to every reader at once: had the other one been given these
  // presses, they would be waiting for it now.
  EXPECT_TRUE(KeysReadBy(other).empty());

  control_->SetPortOpen(false);
  pedal.Switches(kLeftBit);
  pollfd ready{other, POLLIN, 0};
  ASSERT_EQ(::poll(&ready, 1, kPatienceMs), 1);
  EXPECT_EQ(KeysReadBy(other), (std::vector<std::pair<int, int>>{{BTN_0, 1}}));
  EXPECT_EQ(seen_.size(), 2u);
  ::close(other);
}

TEST_F(KernelPedal, ASwitchHeldWhenThePedalOpensCountsAsHeld) {
  UinputDevice pedal(kVecVendor, kVecProduct, "VEC  VEC USB Footpedal", kVecSwitches);
  pedal.Key(BTN_1, true);
  MakeControl();
  ASSERT_EQ(OpenFirstPedal(), 0);
  EXPECT_TRUE(control_->DSRHolding());
  EXPECT_FALSE(control_->CTSHolding());

  pedal.Key(BTN_1, false);
  ASSERT_TRUE(WaitForSeen(1));
  EXPECT_EQ(seen_, (std::vector<Seen>{{kDSR, false}}));
}

TEST_F(KernelPedal, AfterTheKernelDroppedEventsTheHeldSwitchesAreReadAgain) {
  UinputDevice pedal(kVecVendor, kVecProduct, "VEC  VEC USB Footpedal", kVecSwitches);
  MakeControl({nullptr, nullptr, &GatedRead});
  ASSERT_EQ(OpenFirstPedal(), 0);

  // While the reader is held back, far more events than the kernel keeps for it: the middle
  // switch pressed and released a thousand times, then held; the left one tapped.
  SetGate(true);
  droppedMarkers = 0;
  std::vector<input_event> flood;
  for (int i = 0; i < 1000; ++i) {
    for (const int value : {1, 0}) {
      flood.push_back(UinputDevice::Event(EV_KEY, BTN_1, value));
      flood.push_back(UinputDevice::Event(EV_SYN, SYN_REPORT, 0));
    }
  }
  for (const auto& [code, value] : {std::pair{BTN_1, 1}, {BTN_0, 1}, {BTN_0, 0}}) {
    flood.push_back(UinputDevice::Event(EV_KEY, code, value));
    flood.push_back(UinputDevice::Event(EV_SYN, SYN_REPORT, 0));
  }
  pedal.Write(flood);
  SetGate(false);

  ASSERT_TRUE(WaitUntil([&] { return control_->DSRHolding() && !control_->CTSHolding(); },
                        kPatienceMs));
  EXPECT_GE(droppedMarkers.load(), 1) << "the kernel's buffer did not overflow";
  // Whatever survived the overflow, the middle switch's turns alternate and end held.
  std::vector<bool> middle;
  for (const Seen& seen : seen_) {
    if (seen.event == kDSR) middle.push_back(seen.held);
  }
  ASSERT_FALSE(middle.empty());
  EXPECT_TRUE(middle.back());
  for (std::size_t i = 1; i < middle.size(); ++i) EXPECT_NE(middle[i], middle[i - 1]) << i;

  const std::size_t before = seen_.size();
  pedal.Key(BTN_1, false);
  ASSERT_TRUE(WaitForSeen(before + 1));
  EXPECT_EQ(seen_.back(), (Seen{kDSR, false}));
}

TEST_F(KernelPedal, AnUnknownDeviceIsLearnedAndThenWorksAsAPedal) {
  UinputDevice device(0x1234, 0x5678, "Foot Switch 3000", {KEY_A, KEY_B, KEY_C});
  UsbPedalControl& control = MakeControl();
  EXPECT_TRUE(control.Ports().empty());

  auto learner = control.StartLearning();
  std::vector<std::pair<platform::InputDeviceInfo, int>> pressed;
  QObject::connect(learner.get(), &PedalLearner::Pressed,
                   [&](const platform::InputDeviceInfo& from, int code) {
                     pressed.emplace_back(from, code);
                   });
  for (const int key : {KEY_A, KEY_B, KEY_C}) {
    device.Key(key, true);
    device.Key(key, false);
  }
  ASSERT_TRUE(WaitUntil([&] { return pressed.size() >= 3; }, kPatienceMs));
  ASSERT_EQ(pressed.size(), 3u);
  for (const auto& [from, code] : pressed) EXPECT_EQ(from.node, device.Node());
  EXPECT_EQ(pressed[0].second, KEY_A);
  EXPECT_EQ(pressed[2].second, KEY_C);
  learner.reset();

  const int port = control.Adopt(pressed[0].first, {KEY_A, KEY_B, KEY_C});
  EXPECT_EQ(control.Label(port), "USB: Foot Switch 3000");
  control.CommPort = port;
  ASSERT_EQ(control.SetPortOpen(true), 0);
  device.Key(KEY_A, true);
  ASSERT_TRUE(WaitForSeen(1));
  EXPECT_EQ(seen_.front(), (Seen{kCTS, true}));
}

// The window with the real USB pedal control on the USB pedal: the player's calls, and the
// pedal unplugged and plugged in again.
class KernelPedalWindow : public FormTest {};

TEST_F(KernelPedalWindow, TheMiddleSwitchPlaysAndPausesAcrossUnplugAndReplug) {
  GadgetPedal pedal = PlugVecPedal();
  UdevInputDirectory directory;
  UsbPedalControl usb(directory);
  RoutedSerialControl routed(serial, usb, UsbPedalControl::kFirstPort);
  FormPlatform platform = PlatformIn(dir.path());
  platform.serial = &routed;
  platform.usbPedals = &usb;
  form = std::make_unique<Form1>(platform);
  form->Timer1->stop();
  form->Timer2->stop();
  const int entry = form->PedalPort->findText("USB: VEC USB Footpedal");
  ASSERT_GE(entry, 0);
  form->PedalPort->setCurrentIndex(entry);
  form->PEDALON->setChecked(true);
  player.state = MediaPlayer::kPaused;

  const auto called = [&](const std::string& call) {
    return WaitUntil([&] { return std::count(player.calls.begin(), player.calls.end(), call) > 0; },
                     kPatienceMs);
  };
  const auto status = [&](const QString& text) {
    return WaitUntil([&] { return form->Pedalstat->text() == text; }, kPatienceMs);
  };
  pedal.Switches(kMiddleBit);
  EXPECT_TRUE(called("play"));
  player.state = MediaPlayer::kPlaying;
  pedal.Switches(0);
  EXPECT_TRUE(called("pause"));
  player.state = MediaPlayer::kPaused;

  pedal.Unplug();
  EXPECT_TRUE(status(" Unplugged")) << form->Pedalstat->text().toStdString();
  pedal.Plug();
  EXPECT_TRUE(status(" Ready")) << form->Pedalstat->text().toStdString();
  player.calls.clear();
  pedal.Switches(kMiddleBit);
  EXPECT_TRUE(called("play"));
  form.reset();
}

}  // namespace
