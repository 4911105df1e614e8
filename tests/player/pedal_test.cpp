// The foot pedal through the real Form1, with a serial control whose lines the test holds.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <algorithm>

#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include "platform/media_player.h"
#include "platform/tty_serial_control.h"
#include "support/clipboard_in_player_log.h"
#include "support/form_fixture.h"
#include "support/scripted_modem_lines.h"

namespace {

class PedalTest : public FormTest {
 protected:
  // Chooses "COM port" and switches the pedal on, as the typist does.
  void EnableOn(int port) {
    form->PedalPort->setCurrentIndex(port - 1);
    form->PEDALON->setChecked(true);
  }
  // Makes the window again on this fixture's platform with one part changed, its timers stopped.
  template <typename Change>
  void RebuildFormWith(Change change) {
    form.reset();
    FormPlatform platform = PlatformIn(dir.path());
    change(platform);
    form = std::make_unique<Form1>(platform);
    form->Timer1->stop();
    form->Timer2->stop();
  }
  std::vector<std::string> PlayerCallsSince(std::size_t from) const {
    return {player.calls.begin() + static_cast<long>(from), player.calls.end()};
  }
};

TEST_F(PedalTest, StartUpProbeMarksPortsAndClearsTheSelection) {
  serial.probeErrors = {{1, platform::kSerialInvalidPort},
                        {3, platform::kSerialPortUnavailable},
                        {4, platform::kSerialOpenFailed}};
  form.reset();
  Form1 probed(PlatformIn(dir.path()));
  EXPECT_EQ(probed.PedalPort->itemText(0), "COM 1 NA");
  EXPECT_EQ(probed.PedalPort->itemText(1), "COM 2");
  EXPECT_EQ(probed.PedalPort->itemText(2), "COM 3 Modem");
  EXPECT_EQ(probed.PedalPort->itemText(3), "COM 4");  // other errors leave the entry alone
  EXPECT_EQ(probed.PedalPort->currentIndex(), -1);
  EXPECT_EQ(probed.PedalPort->itemData(7).toInt(), 8);
  EXPECT_FALSE(serial.open) << "the probe leaves every port closed";
}

TEST_F(PedalTest, APortMarkedAtStartUpCanStillBeChosen) {
  serial.probeErrors = {{2, platform::kSerialInvalidPort}};
  form.reset();
  form = std::make_unique<Form1>(PlatformIn(dir.path()));
  ASSERT_EQ(form->PedalPort->itemText(1), "COM 2 NA");
  EnableOn(2);  // the adapter has been plugged in since: it opens, and nothing is said
  EXPECT_TRUE(serial.open);
  EXPECT_EQ(serial.CommPort, 2);
  EXPECT_TRUE(form->PEDALON->isChecked());
}

TEST_F(PedalTest, EnablingOpensTheChosenPortAndChoosingAnotherDisablesIt) {
  EnableOn(3);
  EXPECT_TRUE(serial.open);
  EXPECT_EQ(serial.CommPort, 3);
  EXPECT_EQ(serial.Settings, "9600,N,8,1");
  EXPECT_EQ(form->Pedalstat->text(), " Ready") << "an open port never reads Disabled";

  form->PedalPort->setCurrentIndex(4);
  EXPECT_FALSE(form->PEDALON->isChecked());
  EXPECT_FALSE(serial.open);
  EXPECT_EQ(form->Pedalstat->text(), " Disabled");
  form->PEDALON->setChecked(true);
  EXPECT_TRUE(serial.open);
  EXPECT_EQ(serial.CommPort, 5);
}

TEST_F(PedalTest, AnInvalidPortSaysSoAndSwitchesThePedalOff) {
  serial.probeErrors = {{2, platform::kSerialInvalidPort}};
  serial.openErrors = {{2, platform::kSerialInvalidPort}, {6, platform::kSerialPortUnavailable}};
  messages.Expect("INVALID COM PORT!", "CONFIGURATION ERROR");
  EnableOn(2);
  EXPECT_FALSE(form->PEDALON->isChecked());
  EXPECT_FALSE(serial.open);

  // Another failure is silent: the check box keeps its value, the port stays closed.
  EnableOn(6);
  EXPECT_TRUE(form->PEDALON->isChecked());
  EXPECT_FALSE(serial.open);

  // Without a chosen port nothing opens and nothing is said.
  form->PedalPort->setCurrentIndex(-1);
  form->PEDALON->setChecked(true);
  EXPECT_FALSE(serial.open);
}

TEST_F(PedalTest, PlaySwitchPlaysAndPausesWithStatus) {
  EnableOn(1);
  const std::size_t before = player.calls.size();
  serial.Press(SerialControl::kEventDSR, true);
  EXPECT_EQ(form->Pedalstat->text(), " Play");
  serial.Press(SerialControl::kEventDSR, false);
  EXPECT_EQ(form->Pedalstat->text(), " Paused");
  EXPECT_EQ(PlayerCallsSince(before), (std::vector<std::string>{"play", "pause"}));
}

TEST_F(PedalTest, CopyModesCopyOnceAtTheRightMomentBeforeTheAutoBackup) {
  ClipboardInPlayerLog logged(player);
  RebuildFormWith([&](FormPlatform& platform) { platform.clipboard = &logged; });
  EnableOn(1);
  form->TCFormat->setCurrentIndex(0);
  form->AutoBackSeconds = 2;
  player.state = MediaPlayer::kPaused;
  player.position = 10;
  form->Timer1_Timer();  // the display shows 00:00:10:00

  form->TCPaste->setCurrentIndex(1);  // on pause
  std::size_t before = player.calls.size();
  serial.Press(SerialControl::kEventDSR, true);
  EXPECT_EQ(PlayerCallsSince(before), (std::vector<std::string>{"play"}));
  before = player.calls.size();
  serial.Press(SerialControl::kEventDSR, false);
  const auto released = PlayerCallsSince(before);
  ASSERT_GE(released.size(), 3u);
  EXPECT_EQ(released[0], "pause");
  EXPECT_EQ(released[1], "clipboard 00:00:10:00 ");
  EXPECT_EQ(released[2], "position " + std::to_string(8.0)) << "the backup comes after the copy";
  EXPECT_EQ(std::count_if(released.begin(), released.end(),
                          [](const std::string& c) { return c.rfind("clipboard", 0) == 0; }),
            1);

  form->TCPaste->setCurrentIndex(2);  // on play
  form->Timer1_Timer();
  before = player.calls.size();
  serial.Press(SerialControl::kEventDSR, true);
  EXPECT_EQ(PlayerCallsSince(before),
            (std::vector<std::string>{"play", "clipboard 00:00:08:00 "}));
  before = player.calls.size();
  serial.Press(SerialControl::kEventDSR, false);
  for (const std::string& call : PlayerCallsSince(before)) {
    EXPECT_EQ(call.rfind("clipboard", 0), std::string::npos) << "no copy on release: " << call;
  }

  form->TCPaste->setCurrentIndex(0);  // never
  before = player.calls.size();
  serial.Press(SerialControl::kEventDSR, true);
  serial.Press(SerialControl::kEventDSR, false);
  for (const std::string& call : PlayerCallsSince(before)) {
    EXPECT_EQ(call.rfind("clipboard", 0), std::string::npos) << call;
  }
}

TEST_F(PedalTest, WindSwitchesShowTheirDirectionAndLeaveThePlayerPaused) {
  EnableOn(1);
  serial.Press(SerialControl::kEventCTS, true);
  EXPECT_EQ(form->Pedalstat->text(), " Rew");
  std::size_t before = player.calls.size();
  serial.Press(SerialControl::kEventCTS, false);
  EXPECT_EQ(form->Pedalstat->text(), " Paused");
  EXPECT_EQ(PlayerCallsSince(before), (std::vector<std::string>{"play", "pause"}));

  serial.Press(SerialControl::kEventCD, true);
  EXPECT_EQ(form->Pedalstat->text(), " FFwd");
  before = player.calls.size();
  serial.Press(SerialControl::kEventCD, false);
  EXPECT_EQ(form->Pedalstat->text(), " Paused");
  EXPECT_EQ(PlayerCallsSince(before), (std::vector<std::string>{"play", "pause"}));

  form->SWAPFFRW->setChecked(true);
  serial.Press(SerialControl::kEventCTS, true);
  EXPECT_EQ(form->Pedalstat->text(), " FFwd");
  serial.Press(SerialControl::kEventCTS, false);
  serial.Press(SerialControl::kEventCD, true);
  EXPECT_EQ(form->Pedalstat->text(), " Rwd");
}

TEST_F(PedalTest, HeldWindSwitchMovesThePositionOnEveryTick) {
  EnableOn(1);
  form->RWScroll->setValue(10);  // one second per tick
  player.position = 20;
  serial.Press(SerialControl::kEventCD, true);
  form->Timer1_Timer();
  form->Timer1_Timer();
  EXPECT_DOUBLE_EQ(player.position, 22);
  serial.Press(SerialControl::kEventCD, false);
  form->Timer1_Timer();
  EXPECT_DOUBLE_EQ(player.position, 22);

  form->SWAPFFRW->setChecked(true);  // the CD line now winds back
  serial.Press(SerialControl::kEventCD, true);
  form->Timer1_Timer();
  EXPECT_DOUBLE_EQ(player.position, 21);
  serial.Press(SerialControl::kEventCTS, true);  // both held cancel out
  form->Timer1_Timer();
  EXPECT_DOUBLE_EQ(player.position, 21);
}

// The window on the real serial control, over a pseudo-terminal whose modem lines the test
// scripts: COM 1 is the pty, the other ports name no device.
class SerialPedalOnPty : public PedalTest {
 protected:
  void SetUp() override {
    char name[128];
    ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    for (int port = 1; port <= 8; ++port) {
      ::setenv(Variable(port).c_str(), port == 1 ? name : "/nonexistent/ttyQ", 1);
    }
    PedalTest::SetUp();
    RebuildFormWith([&](FormPlatform& platform) { platform.serial = &tty; });
    EnableOn(1);
    ASSERT_TRUE(tty.PortOpen());
  }
  void TearDown() override {
    PedalTest::TearDown();
    for (int port = 1; port <= 8; ++port) ::unsetenv(Variable(port).c_str());
    ::close(master_);
    ::close(slave_);
  }
  static std::string Variable(int port) { return "QUILLMARK_COM" + std::to_string(port); }

  // The lines change, and the port's watcher sees the change and hands it to the window, which
  // does not run meanwhile.
  void Change(int tiocmBits) {
    lines.set(tiocmBits);
    QDeadlineTimer deadline(5000);
    while (lines.callsSinceSet() < 2 && !deadline.hasExpired()) QThread::yieldCurrentThread();
    ASSERT_GE(lines.callsSinceSet(), 2);
  }

  testing_support::ScriptedModemLines lines{/*driverCanWait=*/false};
  TtySerialControl tty{&testing_support::ScriptedModemLines::Ioctl};
  int master_ = -1, slave_ = -1;
};

TEST_F(SerialPedalOnPty, ATapQuickerThanTheWindowIsAPressAndThenARelease) {
  form->TCPaste->setCurrentIndex(1);  // the time code to the clipboard on pause
  // The play switch plays and pauses; a wind switch let go leaves the player paused.
  for (const int line : {TIOCM_DSR, TIOCM_CTS, TIOCM_CD}) {
    SCOPED_TRACE(line);
    const std::size_t before = player.calls.size();
    const std::size_t copies = clipboard.steps.size();
    Change(line);
    Change(0);
    QCoreApplication::processEvents();  // the window's loop turns: both changes arrive at once
    EXPECT_EQ(PlayerCallsSince(before), (std::vector<std::string>{"play", "pause"}));
    EXPECT_EQ(form->Pedalstat->text(), " Paused");
    EXPECT_EQ(clipboard.steps.size() - copies, line == TIOCM_DSR ? 2u : 0u)
        << "one copy (clear and set), on the pause";
  }
}

TEST_F(PedalTest, OtherNotificationsAreIgnored) {
  EnableOn(1);
  const std::size_t before = player.calls.size();
  serial.Press(1001, true);  // a break
  EXPECT_EQ(player.calls.size(), before);
  EXPECT_EQ(form->Pedalstat->text(), " Ready");
}

}  // namespace
