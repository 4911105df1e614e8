// Play speed, the wind step, the swapped wind switches and the auto-backup on pause.

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>

#include "form1.h"
#include "number_text.h"
#include "platform/media_player.h"

namespace {
constexpr float kAutoBackStep = 0.5f;
constexpr float kAutoBackMost = 5;
}  // namespace

void Form1::SpeedSlide_Change() {
  const int percent = SpeedSlide->value();
  MP1->setRate(percent / 100.0);
  SPlbl->setText(QString::fromStdString("Speed = " + timecode::NumberText(percent) + "%"));
}

void Form1::SPlbl_DblClick() { SpeedSlide->setValue(100); }

void Form1::Image2_Click() {
  const bool show = SpeedSlide->isHidden();
  SPlbl->setVisible(show);
  SpeedSlide->setVisible(show);
}

void Form1::RWScroll_Change() { BACKSEC->setText(QString::number(RWScroll->value())); }

void Form1::SWAPFFRW_Click() {
  SWAPFFRW->setText(SWAPFFRW->isChecked() ? "   Swap Rew<Play>Fwd" : "   Swap Fwd<Play>Rew");
}

// Each click adds half a second, up to five; past five it is off again.
void Form1::AutoBack_Click() {
  AutoBackSeconds += kAutoBackStep;
  if (AutoBackSeconds > kAutoBackMost) AutoBackSeconds = 0;
  ShowAutoBackSetting();
}

void Form1::AutoBack_DblClick() {
  AutoBackSeconds = 0;
  ShowAutoBackSetting();
}

void Form1::AutoBackup() {
  if (AutoBackSeconds <= 0 || MP1->playState() != MediaPlayer::kPaused) return;
  // The player takes a position before the start as the start.
  MoveTo(MP1->currentPosition() - AutoBackSeconds);
}

void Form1::WindReleased() {
  PlayThenPause();
  AnnounceJump();
}

double Form1::WindStepSeconds() const { return RWScroll->value() / 10.0; }
