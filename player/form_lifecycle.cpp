// Start-up, the splash countdown, the options panel's Close button and shut-down.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include "form1.h"
#include "number_text.h"
#include "platform/file_dialog.h"
#include "platform/media_player.h"
#include "platform/serial_control.h"
#include "twips.h"

namespace {
constexpr int kAutoBackOnColor = 0x80FF80;   // light green
constexpr int kAutoBackOffColor = 0x8080FF;  // light red
}  // namespace

void Form1::Form_Load() {
  Duration->setText("");
  MoveTwips(TCEntry, 15, 0);
  Timer2Tag = "8";

  // The About panel stays up as a splash until Timer2 has counted down.
  MoveTwips(Aboutscreen, 0, 0);
  Aboutscreen->show();
  Aboutscreen->raise();

  MoveTwips(Options, 10, TopTwips(Logo) + HeightTwips(Logo));
  SetSize(5400, 2175 + WaveformHeight());
  FitMinimumSize();

  DEFAULTTC->addItems({"30.000", "29.970", "24.000", "25.000", "23.976"});
  DEFAULTTC->setCurrentIndex(-1);
  DEFAULTDF->addItems({"ND", "DF"});
  DEFAULTDF->setCurrentIndex(-1);
  TCFormat->setCurrentIndex(1);
  for (int i = 0; i <= 7; ++i) PedalPort->setItemData(i, i + 1);
  AddUsbPedalPorts();

  ProbePedalPorts();
  LoadSettings();

  ShowAutoBackSetting();

  for (int i = 1; i <= 12; ++i) {
    Bookmark->setItemText(i - 1, QString("F%1 - 00:00:00:00").arg(i));
  }
}

void Form1::ShowAutoBackSetting() {
  SetForeColor(AutoBack, kAutoBackOnColor);
  if (AutoBackSeconds <= 0) {
    AutoBack->setText("AutoBackup= OFF");
    SetForeColor(AutoBack, kAutoBackOffColor);
  } else {
    AutoBack->setText(QString::fromStdString(
        "AutoBackup =" + timecode::NumberText(AutoBackSeconds, timecode::NumberPrecision::Single) +
        " Sec"));
  }
}

void Form1::Timer2_Timer() {
  // While the wait panel is up this timer drives its animation instead.
  if (!Waitbox->isHidden()) {
    AnimateWaitIndicator();
    return;
  }
  int countdown = Timer2Tag.toInt();
  if (countdown > 0) {
    --countdown;
    Timer2Tag = QString::number(countdown);
  }
  if (countdown == 0) {
    Aboutscreen->hide();
    Timer2->stop();
  }
}

void Form1::Closemenu_Click() {
  Options->hide();
  Dbugtxt->hide();
  AudioDone_Click();
  FitMinimumSize();
  if (WindowState() == 0) {
    SetTopTwips(MP1->view(), HeightTwips(Logo) + 100);
    SetHeight(Height() - HeightTwips(Options));
  }
  // A run that must leave the user's settings as they are (the probe) never writes them.
  if (platform_.saveSettings) SaveSettings();
  Logo->setFocus();
}

void Form1::Form_Unload() {
  unloaded_ = true;
  RememberPosition();
  MP1->setURL("");
  Closemenu_Click();
  // The pedal's port closes with the window: a grabbed USB pedal types into other programs again.
  if (MSComm1 && MSComm1->PortOpen()) MSComm1->SetPortOpen(false);
}
