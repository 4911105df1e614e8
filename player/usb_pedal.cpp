// USB pedals in the window: their entries after "COM 8" in PedalPort (item data: their port
// numbers), the turns of a pedal that is unplugged or may not be read, and the learn step. Their
// switches reach MSComm1_OnComm as the serial lines do.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "form1.h"
#include "pedal_learn_dialog.h"
#include "platform/message_boxes.h"
#include "platform/pedal_learner.h"
#include "platform/usb_pedal_control.h"

void Form1::ConnectUsbPedalHandlers() {
  connect(LearnPedal, &QPushButton::clicked, this, &Form1::LearnPedal_Click);
  if (UsbPedals) connect(UsbPedals, &UsbPedalControl::PedalsChanged, this, &Form1::AddUsbPedalPorts);
  LearnPedal->setEnabled(UsbPedals != nullptr);
}

void Form1::AddUsbPedalPorts() {
  if (!UsbPedals) return;
  for (const int port : UsbPedals->Ports()) {
    if (PedalPort->findData(port) < 0) PedalPort->addItem(UsbPedals->Label(port), port);
  }
}

void Form1::UsbPedalTurn(int event) {
  if (event == SerialControl::kEventUnplugged) {
    Pedalstat->setText(" Unplugged");
  } else if (event == SerialControl::kEventPluggedIn) {
    Pedalstat->setText(" Ready");
  } else {
    Pedalstat->setText(" No access");
    // Said once a run: the pedal is tried again at every plug-in, and the typist knows by then.
    if (!pedalAccessTold_) {
      pedalAccessTold_ = true;
      MsgBox->Show(MSComm1->ProblemText(), "CONFIGURATION ERROR", MessageBoxes::Buttons::OkOnly);
    }
  }
}

void Form1::LearnPedal_Click() {
  // A grabbed pedal tells nobody else, the learner included: a USB pedal in use is let go while
  // the typist teaches, and taken again when the typist cancels. A serial pedal stays on.
  const bool usbPedalInUse =
      PEDALON->isChecked() && PedalPort->currentData().toInt() >= UsbPedalControl::kFirstPort;
  if (usbPedalInUse) PEDALON->setChecked(false);
  auto* dialog = new PedalLearnDialog(UsbPedals->StartLearning(), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &PedalLearnDialog::Learned, this,
          [this](const platform::InputDeviceInfo& device, const platform::PedalSwitches& switches) {
            // The taught pedal is chosen and switched on, as the typist would next.
            const int port = UsbPedals->Adopt(device, switches);
            PedalPort->setCurrentIndex(PedalPort->findData(port));
            PEDALON->setChecked(true);
          });
  connect(dialog, &QDialog::rejected, this, [this, usbPedalInUse] {
    if (usbPedalInUse) PEDALON->setChecked(true);
  });
  connect(dialog, &QDialog::finished, this, [this] { Logo->setFocus(); });
  dialog->open();
}
