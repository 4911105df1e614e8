// USB pedals in the real Form1: the window's one MSComm1 routes to a fake serial control or to
// the real USB pedal control, whose devices are pipes carrying input_event records.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "pedal_learn_dialog.h"
#include "platform/routed_serial_control.h"
#include "platform/usb_pedal_control.h"
#include "support/fake_input_directory.h"
#include "support/form_fixture.h"
#include "support/temporary_folder.h"
#include "support/scripted_input_devices.h"
#include "support/wait.h"

namespace {

using testing_support::ScriptedInputDevices;

const std::string kVec = "/dev/input/event5";
constexpr int kFirstUsbEntry = 8;  // after "COM 1" to "COM 8"

class UsbPedalWindowTest : public FormTest {
 protected:
  void SetUp() override {
    devices.plug(kVec, {BTN_0, BTN_1, BTN_2});
    directory.devices = {VecPedal(kVec)};
    usb = std::make_unique<UsbPedalControl>(directory, ScriptedInputDevices::Calls());
    routed = std::make_unique<RoutedSerialControl>(serial, *usb, UsbPedalControl::kFirstPort);
    QObject::connect(routed.get(), &SerialControl::OnComm, [this] { ++notices; });
    FormTest::SetUp();
    form = Start();
  }

  std::unique_ptr<Form1> Start() {
    FormPlatform platform = PlatformIn(dir.path());
    platform.serial = routed.get();
    platform.usbPedals = usb.get();
    auto started = std::make_unique<Form1>(platform);
    started->Timer1->stop();
    started->Timer2->stop();
    return started;
  }

  // A switch through the device, as the window sees it: waits for the notice it gives.
  void Switch(const std::string& node, int code, bool down) {
    const int before = notices;
    devices.key(node, code, down ? 1 : 0);
    ASSERT_TRUE(WaitUntil([&] { return notices > before; }));
  }
  void WaitForStatus(const QString& text) {
    ASSERT_TRUE(WaitUntil([&] { return form->Pedalstat->text() == text; }))
        << form->Pedalstat->text().toStdString();
  }

  ScriptedInputDevices devices;
  FakeInputDirectory directory;
  std::unique_ptr<UsbPedalControl> usb;
  std::unique_ptr<RoutedSerialControl> routed;
  int notices = 0;
};

// What a switch did in the window: the player's calls, the status text, the clipboard.
struct Effect {
  std::vector<std::string> calls;
  std::string status;
  std::string clipboard;
  bool operator==(const Effect&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Effect& effect) {
  for (const auto& call : effect.calls) out << call << ", ";
  return out << "'" << effect.status << "' '" << effect.clipboard << "'";
}

class UsbPedalSwitches : public UsbPedalWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UsbPedalSwitches, ActExactlyAsTheSerialLinesOfTheirRoles) {
  form->SWAPFFRW->setChecked(GetParam());
  form->TCFormat->setCurrentIndex(0);
  form->TCPaste->setCurrentIndex(1);  // the time code to the clipboard on pause
  form->AutoBackSeconds = 2;
  player.state = MediaPlayer::kPaused;

  // The same presses and releases, first on the serial lines of COM 1, then on the USB pedal:
  // left, middle and right stand for CTS, DSR and CD.
  struct Step {
    int line;
    int code;
    bool down;
  };
  const Step steps[] = {{SerialControl::kEventDSR, BTN_1, true}, {SerialControl::kEventDSR, BTN_1, false},
                        {SerialControl::kEventCTS, BTN_0, true}, {SerialControl::kEventCTS, BTN_0, false},
                        {SerialControl::kEventCD, BTN_2, true},  {SerialControl::kEventCD, BTN_2, false}};
  std::vector<Effect> effects[2];
  for (const bool overUsb : {false, true}) {
    form->PedalPort->setCurrentIndex(overUsb ? kFirstUsbEntry : 0);
    form->PEDALON->setChecked(true);
    player.position = 10;
    form->Timer1_Timer();
    for (const Step& step : steps) {
      const std::size_t before = player.calls.size();
      if (overUsb) {
        Switch(kVec, step.code, step.down);
      } else {
        serial.Press(step.line, step.down);
      }
      form->Timer1_Timer();  // a held wind switch moves the position
      effects[overUsb].push_back({{player.calls.begin() + static_cast<long>(before), player.calls.end()},
                                  form->Pedalstat->text().toStdString(),
                                  clipboard.text.toStdString()});
      clipboard.text.clear();
    }
    form->PEDALON->setChecked(false);
  }
  EXPECT_EQ(effects[1], effects[0]);
  EXPECT_EQ(effects[1][2].status, GetParam() ? " FFwd" : " Rew");
  EXPECT_EQ(effects[1][1].clipboard, "00:00:10:00 ");
}

INSTANTIATE_TEST_SUITE_P(SwappedOrNot, UsbPedalSwitches, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Swapped" : "NotSwapped"; });

TEST_F(UsbPedalWindowTest, KnownPedalsFollowTheEightPortsAndAreGrabbedOnlyWhileEnabled) {
  ASSERT_EQ(form->PedalPort->count(), 9);
  EXPECT_EQ(form->PedalPort->itemText(7), "COM 8");
  EXPECT_EQ(form->PedalPort->itemData(7).toInt(), 8);
  EXPECT_EQ(form->PedalPort->itemText(kFirstUsbEntry), "USB: VEC USB Footpedal");

  form->PedalPort->setCurrentIndex(kFirstUsbEntry);
  form->PEDALON->setChecked(true);
  EXPECT_TRUE(devices.grabbed(kVec));
  EXPECT_EQ(form->Pedalstat->text(), " Ready") << "an open port never reads Disabled";
  form->PEDALON->setChecked(false);
  EXPECT_FALSE(devices.grabbed(kVec));
  EXPECT_EQ(form->Pedalstat->text(), " Disabled");
  form->PEDALON->setChecked(true);
  form->PedalPort->setCurrentIndex(2);  // another port
  EXPECT_FALSE(devices.grabbed(kVec));
  form->PedalPort->setCurrentIndex(kFirstUsbEntry);
  form->PEDALON->setChecked(true);
  form->close();  // the window closes
  EXPECT_FALSE(devices.grabbed(kVec));
  EXPECT_EQ(devices.grabs(kVec).releases, 3);

  // A pedal plugged in while the window is open joins the list; a keyboard does not.
  devices.plug("/dev/input/event2", {KEY_A});
  directory.Add(InputDevice("/dev/input/event2", 0x046d, 0xc31c, "Keyboard"));
  const std::string twin = "/dev/input/event6";
  devices.plug(twin, {BTN_0, BTN_1, BTN_2});
  auto device = VecPedal(twin);
  device.name = "VEC  VEC USB Footpedal II";
  device.label = "VEC USB Footpedal II";
  directory.Add(device);
  ASSERT_EQ(form->PedalPort->count(), 10);
  EXPECT_EQ(form->PedalPort->itemText(9), "USB: VEC USB Footpedal II");
}

TEST_F(UsbPedalWindowTest, UnpluggedAndBackAreShownAndAMissingRightIsToldOnce) {
  form->PedalPort->setCurrentIndex(kFirstUsbEntry);
  form->PEDALON->setChecked(true);
  Switch(kVec, BTN_1, true);
  EXPECT_EQ(form->Pedalstat->text(), " Play");
  const std::size_t before = player.calls.size();
  directory.Remove(kVec);
  devices.unplug(kVec);
  WaitForStatus(" Unplugged");
  EXPECT_EQ(std::vector<std::string>(player.calls.begin() + static_cast<long>(before),
                                     player.calls.end())[0],
            "pause")
      << "a pedal that goes away lets go of play";

  // Back, but this user may not read it: one box naming the device and the fix.
  messages.Expect("The foot pedal VEC USB Footpedal (/dev/input/event5) may not be read by this "
                  "user.\r\nInstall the udev rule 60-quillmark-pedals.rules for it, or add the "
                  "user to the \"input\" group and log in again; then plug the pedal in again.",
                  "CONFIGURATION ERROR");
  devices.plug(kVec, {BTN_0, BTN_1, BTN_2});
  devices.deny(kVec);
  directory.Add(VecPedal(kVec));
  WaitForStatus(" No access");
  // Plugged in again and still refused: the status says so, the box is not shown again.
  directory.Remove(kVec);
  WaitForStatus(" Unplugged");
  directory.Add(VecPedal(kVec));
  WaitForStatus(" No access");
  EXPECT_EQ(messages.shown, 1);

  devices.deny(kVec, false);  // the rule is installed
  emit directory.Changed();
  WaitForStatus(" Ready");
  Switch(kVec, BTN_0, true);
  EXPECT_EQ(form->Pedalstat->text(), " Rew");
}

TEST_F(UsbPedalWindowTest, ATaughtPedalIsChosenAndComesBackNextRunWithItsSwitches) {
  const std::string pedal = "/dev/input/event3";
  const std::string keyboard = "/dev/input/event2";
  devices.plug(pedal, {KEY_A, KEY_B, BTN_0, BTN_LEFT});
  devices.plug(keyboard, {KEY_A, KEY_B});
  directory.Add(InputDevice(pedal, 0x1a86, 0xe026, "FootSwitch"));
  directory.Add(InputDevice(keyboard, 0x046d, 0xc31c, "Keyboard"));
  devices.plug("/dev/input/event4", {KEY_C});
  devices.deny("/dev/input/event4");
  directory.Add(InputDevice("/dev/input/event4", 0x1111, 0x2222, "Locked"));
  form->PedalPort->setCurrentIndex(kFirstUsbEntry);
  form->PEDALON->setChecked(true);

  form->LearnPedal->click();
  EXPECT_FALSE(devices.grabbed(kVec)) << "the pedal in use is let go while learning";
  auto* learning = form->findChild<PedalLearnDialog*>();
  ASSERT_NE(learning, nullptr);
  const auto press = [&](const std::string& node, int code, const char* next) {
    devices.key(node, code, 1);
    devices.key(node, code, 0);
    if (next) {
      ASSERT_TRUE(WaitUntil([&] { return learning->Prompt().contains(next); }))
          << learning->Prompt().toStdString();
    }
  };
  EXPECT_TRUE(learning->Prompt().contains("LEFT"));
  const auto* note = learning->findChild<QLabel*>("Note");
  ASSERT_NE(note, nullptr);
  EXPECT_TRUE(note->text().startsWith("1 input device(s) may not be read")) << note->text().toStdString();
  press(pedal, KEY_B, "MIDDLE");
  press(keyboard, KEY_A, nullptr);  // another device, once the pedal has spoken: passed over
  press(pedal, KEY_B, nullptr);     // the left switch again: passed over
  press(pedal, BTN_0, "RIGHT");
  QPointer<PedalLearnDialog> closing(learning);
  press(pedal, BTN_LEFT, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return closing.isNull(); }));

  ASSERT_EQ(form->PedalPort->currentText(), "USB: FootSwitch");
  EXPECT_TRUE(form->PEDALON->isChecked());
  EXPECT_TRUE(devices.grabbed(pedal));
  Switch(pedal, KEY_B, true);
  EXPECT_EQ(form->Pedalstat->text(), " Rew");
  Switch(pedal, BTN_LEFT, true);
  EXPECT_EQ(form->Pedalstat->text(), " FFwd");
  Switch(pedal, BTN_0, true);
  EXPECT_EQ(form->Pedalstat->text(), " Play");

  // Saved with the USB pedal chosen: line 6 names no serial port, the pedal follows the twelve.
  form->Closemenu_Click();
  const std::string saved = testing_support::ReadWholeFile(Path("Quillmark.inf").toStdString());
  EXPECT_NE(saved.find(" 1 \r\n-1 \r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("UsbPedalLeft=KEY_B\r\nUsbPedalMiddle=BTN_0\r\n"), std::string::npos);
  EXPECT_NE(saved.find("UsbPedalRight=BTN_LEFT\r\n"), std::string::npos);

  // The next run, before the pedal is plugged in: it is offered, marked, chosen and waited for.
  form.reset();
  directory.Remove(pedal);
  devices.unplug(pedal);
  usb = std::make_unique<UsbPedalControl>(directory, ScriptedInputDevices::Calls());
  routed = std::make_unique<RoutedSerialControl>(serial, *usb, UsbPedalControl::kFirstPort);
  QObject::connect(routed.get(), &SerialControl::OnComm, [this] { ++notices; });
  form = Start();
  EXPECT_EQ(form->PedalPort->currentText(), "USB: FootSwitch NA");
  EXPECT_TRUE(form->PEDALON->isChecked());
  WaitForStatus(" Unplugged");
  devices.plug(pedal, {KEY_A, KEY_B, BTN_0, BTN_LEFT});
  directory.Add(InputDevice(pedal, 0x1a86, 0xe026, "FootSwitch"));
  WaitForStatus(" Ready");
  Switch(pedal, BTN_LEFT, true);
  EXPECT_EQ(form->Pedalstat->text(), " FFwd");
}

TEST_F(UsbPedalWindowTest, ACancelledLearnStepChangesNothing) {
  const struct {
    int entry;
    bool on;
  } cases[] = {{2, true}, {kFirstUsbEntry, true}, {kFirstUsbEntry, false}};
  for (const auto& before : cases) {
    SCOPED_TRACE(before.entry);
    form->PedalPort->setCurrentIndex(before.entry);
    form->PEDALON->setChecked(before.on);
    const int serialOpens = serial.opens;
    form->LearnPedal->click();
    auto* learning = form->findChild<PedalLearnDialog*>();
    ASSERT_NE(learning, nullptr);
    EXPECT_FALSE(devices.grabbed(kVec)) << "the learner hears the pedal too";
    QPointer<PedalLearnDialog> closing(learning);
    learning->reject();  // Cancel, or Esc
    ASSERT_TRUE(WaitUntil([&] { return closing.isNull(); }));

    EXPECT_EQ(form->PedalPort->currentIndex(), before.entry);
    EXPECT_EQ(form->PEDALON->isChecked(), before.on);
    const bool overUsb = before.entry == kFirstUsbEntry;
    EXPECT_EQ(serial.open, before.on && !overUsb);
    EXPECT_EQ(serial.opens, serialOpens) << "a serial pedal in use is never let go";
    EXPECT_EQ(devices.grabbed(kVec), before.on && overUsb);
    if (before.on) {
      EXPECT_NE(form->Pedalstat->text(), " Disabled");
    }
    form->PEDALON->setChecked(false);
  }
}

TEST_F(UsbPedalWindowTest, AnOlderSettingsFileKeepsItsSerialPortAndNamesNoUsbPedal) {
  const std::string older = " 0 \r\n 0 \r\n 1 \r\n 0 \r\n 1 \r\n 2 \r\n 0 \r\n 5 \r\n 0 \r\n 0 \r\n 0 \r\n 100 \r\n";
  testing_support::WriteWholeFile(Path("Quillmark.inf").toStdString(), older);
  form.reset();
  form = Start();
  EXPECT_EQ(form->PedalPort->currentIndex(), 2);
  EXPECT_TRUE(form->PEDALON->isChecked());
  EXPECT_TRUE(serial.open);
  EXPECT_EQ(serial.CommPort, 3);
  EXPECT_EQ(form->Pedalstat->text(), " Ready");
  EXPECT_FALSE(devices.grabbed(kVec));
  form->Closemenu_Click();
  EXPECT_EQ(testing_support::ReadWholeFile(Path("Quillmark.inf").toStdString()), older)
      << "read and written back unchanged";
}

}  // namespace
