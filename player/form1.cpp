#include "form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "accessibility/readout.h"
#include "envelope_job.h"
#include "platform/media_player.h"
#include "twips.h"

Form1::Form1(const FormPlatform& platform, QWidget* parent)
    : QWidget(parent),
      MP1(platform.player),
      cdlg1(platform.fileDialog),
      // announcedBoxes_ is made below, before any box can show.
      MsgBox(&announcedBoxes_),
      MSComm1(platform.serial),
      UsbPedals(platform.usbPedals),
      platform_(platform),
      announcedBoxes_(platform.messageBoxes) {
  CreateControls();
  NameControlsForScreenReaders();
  ConnectHandlers();
  Form_Load();
  Timer1->start();
  Timer2->start();
}

Form1::~Form1() {
  // The envelope's thread ends by itself once it sees this; nothing waits for it.
  if (waveformJob_) waveformJob_->Cancel();
}

FormPlatform FormPlatform::ForUser(MediaPlayer& mediaPlayer, FileDialog& dialog,
                                   MessageBoxes& boxes) {
  FormPlatform platform(mediaPlayer, dialog, boxes);
  platform.settingsFolder = UserSettingsFolder();
  platform.programFolder = QCoreApplication::applicationDirPath();
  return platform;
}

int Form1::Width() const { return Twips(width()) + kFrameWidthTwips; }
int Form1::Height() const { return Twips(height()) + kFrameHeightTwips; }

void Form1::SetSize(int width, int height) {
  resize(Px(width - kFrameWidthTwips), Px(height - kFrameHeightTwips));
}

void Form1::SetHeight(int height) { SetSize(Width(), height); }

int Form1::WindowState() const {
  if (isMinimized()) return 1;
  if (isMaximized()) return 2;
  return 0;
}

void Form1::ConnectHandlers() {
  connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
  connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
  connect(Fileopen, &QToolButton::clicked, this, &Form1::Fileopen_Click);
  connect(Closemenu, &QPushButton::clicked, this, &Form1::Closemenu_Click);
  connect(MP1, &MediaPlayer::PlayStateChange, this, &Form1::MP1_PlayStateChange);
  connect(MP1, &MediaPlayer::KeyDown, this, &Form1::MP1_KeyDown);
  connect(MP1, &MediaPlayer::MouseUp, this, &Form1::MP1_MouseUp);
  connect(MP1, &MediaPlayer::MediaError, this, &Form1::MP1_MediaError);
  connect(MP1, &MediaPlayer::NoSoundDevice, this, &Form1::MP1_NoSoundDevice);
  for (int i = 0; i < static_cast<int>(Label1.size()); ++i) {
    connect(Label1[i], &ClickLabel::Click, this, [this, i] { Label1_Click(i); });
  }
  ConnectWorkflowHandlers();
  ConnectOptionsHandlers();
  ConnectPedalHandlers();
  ConnectUsbPedalHandlers();
  ConnectQueueHandlers();
  ConnectAudioHandlers();
  ConnectWaveformHandlers();
}

void Form1::closeEvent(QCloseEvent* event) {
  if (waveformJob_) waveformJob_->Cancel();
  if (!unloaded_) Form_Unload();
  event->accept();
}
