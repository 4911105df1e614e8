// The input device reader on a pipe that carries real input_event records, its ioctls scripted.
// Its grab and the end of an unplugged device are tested through the USB pedal control.

#include "input_key_device.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "support/scripted_input_devices.h"

namespace platform {
namespace {

using testing_support::ScriptedInputDevices;

const std::string kNode = "/dev/input/event7";

struct Change {
  int code;
  bool down;
  bool operator==(const Change&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Change& change) {
  return out << change.code << (change.down ? " down" : " up");
}

class InputKeyDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { devices_.plug(kNode, {KEY_B, BTN_0, BTN_1, BTN_2, BTN_LEFT}); }

  InputKeyDevice::Handlers recorder() {
    return {[this](int code, bool down) {
              std::lock_guard lock(mutex_);
              changes_.push_back({code, down});
              wake_.notify_all();
            },
            [](int) {}};
  }

  // Waits for what the worker reports; the bound only turns a broken reader into a failure.
  template <typename Done>
  bool waitFor(Done done) {
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, std::chrono::seconds(10), done);
  }
  bool waitForChanges(std::size_t n) {
    return waitFor([&] { return changes_.size() >= n; });
  }
  // Sends a press of KEY_B and waits for it: every record written before it has been handled.
  std::vector<Change> changesAfterMarker() {
    const std::size_t before = [&] {
      std::lock_guard lock(mutex_);
      return changes_.size();
    }();
    devices_.key(kNode, KEY_B, 1);
    devices_.key(kNode, KEY_B, 0);
    EXPECT_TRUE(waitFor([&] {
      return !changes_.empty() && changes_.back() == Change{KEY_B, false} &&
             changes_.size() >= before + 2;
    }));
    std::lock_guard lock(mutex_);
    return {changes_.begin(), changes_.end() - 2};
  }

  ScriptedInputDevices devices_;
  InputKeyDevice device_{ScriptedInputDevices::Calls()};
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<Change> changes_;
};

TEST_F(InputKeyDeviceTest, EachPressAndReleaseIsOneChangeAndRepeatsAreNone) {
  ASSERT_EQ(device_.open(kNode, /*grab=*/false, recorder()), 0);
  devices_.key(kNode, BTN_0, 1);
  devices_.key(kNode, BTN_0, 2);  // key repeat
  devices_.key(kNode, BTN_0, 2);
  devices_.key(kNode, BTN_0, 1);  // a press of a key already down changes nothing
  devices_.send(kNode, {ScriptedInputDevices::Event(EV_MSC, MSC_SCAN, 0x90002),
                        ScriptedInputDevices::Event(EV_KEY, BTN_1, 1),
                        ScriptedInputDevices::Event(EV_SYN, SYN_REPORT, 0)});
  devices_.key(kNode, BTN_0, 0);
  devices_.key(kNode, BTN_2, 0);  // a release of a key that is up changes nothing
  devices_.key(kNode, BTN_1, 0);
  // A record that arrives in two parts is read whole.
  const input_event split[] = {ScriptedInputDevices::Event(EV_KEY, BTN_LEFT, 1),
                               ScriptedInputDevices::Event(EV_SYN, SYN_REPORT, 0)};
  devices_.sendBytes(kNode, split, 10);
  devices_.sendBytes(kNode, reinterpret_cast<const char*>(split) + 10, sizeof split - 10);

  EXPECT_EQ(changesAfterMarker(), (std::vector<Change>{{BTN_0, true},
                                                       {BTN_1, true},
                                                       {BTN_0, false},
                                                       {BTN_1, false},
                                                       {BTN_LEFT, true}}));
}

TEST_F(InputKeyDeviceTest, DroppedEventsAreReplacedByTheHeldKeysOnlyWhereTheyChanged) {
  devices_.hold(kNode, BTN_0, true);  // held when opened: no change to report
  ASSERT_EQ(device_.open(kNode, false, recorder()), 0);
  EXPECT_TRUE(device_.heldAtOpen().test(BTN_0));
  EXPECT_FALSE(device_.heldAtOpen().test(BTN_1));
  devices_.key(kNode, BTN_2, 1);

  // The kernel's buffer overflowed: BTN_0 went up and BTN_1 down in the records lost, and the
  // records up to the next report are incomplete and must not count.
  devices_.hold(kNode, BTN_0, false);
  devices_.hold(kNode, BTN_1, true);
  devices_.send(kNode, {ScriptedInputDevices::Event(EV_SYN, SYN_DROPPED, 0),
                        ScriptedInputDevices::Event(EV_KEY, BTN_LEFT, 1),
                        ScriptedInputDevices::Event(EV_KEY, BTN_2, 0),
                        ScriptedInputDevices::Event(EV_SYN, SYN_REPORT, 0)});
  ASSERT_TRUE(waitForChanges(3));
  // A record queued after the report repeats what the resync already told: no second change.
  devices_.key(kNode, BTN_1, 1);

  EXPECT_EQ(changesAfterMarker(),
            (std::vector<Change>{{BTN_2, true}, {BTN_0, false}, {BTN_1, true}}));
}

TEST_F(InputKeyDeviceTest, OpenFailuresTellWhyAndLeaveNothingOpen) {
  EXPECT_EQ(device_.open("/dev/input/event99", true, recorder()), ENOENT);
  devices_.deny(kNode);
  EXPECT_EQ(device_.open(kNode, true, recorder()), EACCES);
  devices_.deny(kNode, false);
  devices_.grabbedElsewhere(kNode);
  EXPECT_EQ(device_.open(kNode, true, recorder()), EBUSY);
  EXPECT_FALSE(device_.isOpen());
  devices_.plug("/dev/input/event8", {});  // a device without keys
  EXPECT_EQ(device_.open("/dev/input/event8", false, recorder()), ENOTTY);
  EXPECT_FALSE(device_.isOpen());
}

}  // namespace
}  // namespace platform
