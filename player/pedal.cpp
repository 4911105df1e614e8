// The foot pedal on the serial port MSComm1: the probe of the ports at start-up, switching the
// pedal on and off, and the switches' line changes. The wind itself runs on the display tick.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "form1.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"
#include "platform/serial_control.h"

namespace {
const QString kPedalSettings = "9600,N,8,1";
// TCPaste's rows: when the play switch copies the time code.
constexpr int kCopyOnPause = 1;
constexpr int kCopyOnPlay = 2;
}  // namespace

void Form1::ConnectPedalHandlers() {
  connect(PEDALON, &QCheckBox::toggled, this, [this] { EnablePedal(); });
  // Choosing a port switches the pedal off; the typist switches it on again for the new port.
  connect(PedalPort, &QComboBox::currentIndexChanged, this, [this] { PedalPort_Click(); });
  connect(PedalPort, &QComboBox::activated, this, [this] { PedalPort_Click(); });
  if (MSComm1) connect(MSComm1, &SerialControl::OnComm, this, &Form1::MSComm1_OnComm);
}

void Form1::ProbePedalPorts() {
  for (int i = PedalPort->count() - 1; i >= 0; --i) {
    const int error = [&] {
      if (!MSComm1) return platform::kSerialInvalidPort;
      MSComm1->CommPort = PedalPort->itemData(i).toInt();
      MSComm1->Settings = kPedalSettings;
      MSComm1->InputLen = 0;
      return MSComm1->ProbePort();
    }();
    if (error == platform::kSerialInvalidPort) {
      PedalPort->setItemText(i, PedalPort->itemText(i) + " NA");
    } else if (error == platform::kSerialPortUnavailable) {
      PedalPort->setItemText(i, PedalPort->itemText(i) + " Modem");
    }
  }
  PedalPort->setCurrentIndex(-1);
}

void Form1::PedalPort_Click() { PEDALON->setChecked(false); }

void Form1::EnablePedal() {
  const bool on = PEDALON->isChecked();
  if (!on && MSComm1 && MSComm1->PortOpen()) {
    MSComm1->SetPortOpen(false);
    Logo->setFocus();
    Pedalstat->setText(" Disabled");
  }
  // Without a chosen port (or without serial support) there is nothing to open: the check box
  // keeps its value and the port stays closed.
  if (!MSComm1 || PedalPort->currentIndex() < 0) return;
  MSComm1->CommPort = PedalPort->itemData(PedalPort->currentIndex()).toInt();
  MSComm1->Settings = kPedalSettings;
  MSComm1->InputLen = 0;
  if (!on || MSComm1->PortOpen()) return;

  const int error = MSComm1->SetPortOpen(true);
  if (error == 0) {
    // The status said " Disabled" (or the design caption) while the port was closed; an open
    // port waits for its first switch.
    Pedalstat->setText(" Ready");
  } else if (error == platform::kSerialInvalidPort) {
    MsgBox->Show("INVALID COM PORT!", "CONFIGURATION ERROR", MessageBoxes::Buttons::OkOnly);
    PEDALON->setChecked(false);
  }
}

void Form1::PlaySwitchPressed() {
  MP1->play();
  Pedalstat->setText(" Play");
  if (TCPaste->currentIndex() == kCopyOnPlay) CopyTCToClipboard();
}

void Form1::PlaySwitchReleased() {
  MP1->pause();
  Pedalstat->setText(" Paused");
  // The time code is copied before the auto-backup moves the position.
  if (TCPaste->currentIndex() == kCopyOnPause) CopyTCToClipboard();
  AutoBackup();
}

void Form1::MSComm1_OnComm(const CommNotice& notice) {
  const bool swapped = SWAPFFRW->isChecked();

  // Each notice carries the line's state at its change: a press and its release that arrive
  // together are a press and then a release, whatever the line reads by now.
  switch (notice.event) {
    case SerialControl::kEventDSR:
      if (notice.held) {
        PlaySwitchPressed();
      } else {
        PlaySwitchReleased();
      }
      break;
    case SerialControl::kEventCTS:
      if (notice.held) {
        Pedalstat->setText(swapped ? " FFwd" : " Rew");
      } else {
        WindReleased();
        Pedalstat->setText(" Paused");
      }
      break;
    case SerialControl::kEventCD:
      if (notice.held) {
        Pedalstat->setText(swapped ? " Rwd" : " FFwd");
      } else {
        WindReleased();
        Pedalstat->setText(" Paused");
      }
      break;
    case SerialControl::kEventUnplugged:
    case SerialControl::kEventPluggedIn:
    case SerialControl::kEventNoAccess:
      UsbPedalTurn(notice.event);
      break;
    default:
      break;  // error and buffer notifications are of no interest to a pedal
  }
}
