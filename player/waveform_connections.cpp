// The position bar with the recording's waveform, in the window. It lies across the foot of the
// window, below the time code (and so below the picture too), and the window is taller by its
// band while it shows. Opening a recording starts its envelope on a thread of its own; the display
// tick feeds the bar the length, the play position and the bookmarks; a click or drag moves the
// player through MoveTo, as every other jump does. "Show Waveform" in the options panel hides it,
// and with it hidden the window is laid out and sized as without it.

#include <QCheckBox>
#include <QLabel>
#include <QStandardPaths>
#include <algorithm>
#include <array>

#include "envelope_job.h"
#include "form1.h"
#include "form_text.h"
#include "platform/file_dialog.h"
#include "platform/media_player.h"
#include "platform/virtual_keys.h"
#include "settings_file.h"
#include "time_code.h"
#include "twips.h"
#include "waveform_strip.h"

namespace {

// The band the bar adds to the window: a gap below the time code, the bar, a line below it.
constexpr int kWaveformGapAbove = 75;
constexpr int kWaveformBarHeight = 570;
constexpr int kWaveformGapBelow = 30;
constexpr int kWaveformBand = kWaveformGapAbove + kWaveformBarHeight + kWaveformGapBelow;

// The option's line after the twelve.
constexpr const char* kShowWaveformSetting = "ShowWaveform";

QString NoteFor(waveform::Outcome outcome) {
  switch (outcome) {
    case waveform::Outcome::NoSound: return "No sound in this recording";
    case waveform::Outcome::SoundUnreadable: return "The sound of this recording cannot be read";
    case waveform::Outcome::Unreadable: return "This file cannot be read as a recording";
    default: return QString();
  }
}

}  // namespace

QString WaveformCacheFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/quillmark";
}

void Form1::CreateWaveform() {
  Waveform = new WaveformStrip(this);
  Waveform->SetTimeCodeText([this](double position) { return DisplayTimeCode(position); });

  ShowWaveform = new QCheckBox("Show Waveform", Options);
  ShowWaveform->setObjectName("ShowWaveform");
  // In the left column, below the wind speed.
  PlaceTwips(ShowWaveform, 120, 1875, 2595, 285);
  ShowWaveform->setFocusPolicy(Qt::NoFocus);
  ShowWaveform->setChecked(true);
}

void Form1::ConnectWaveformHandlers() {
  connect(Waveform, &WaveformStrip::PositionChosen, this, &Form1::Waveform_PositionChosen);
  connect(ShowWaveform, &QCheckBox::toggled, this, &Form1::ShowWaveform_Click);
  // Opening, File Finished and a recording the player cannot play all change the recording: the
  // last two leave nothing open, and the bar empty.
  connect(this, &Form1::RecordingChanged, this, &Form1::StartWaveform);
}

int Form1::WaveformHeight() const { return waveformShown_ ? kWaveformBand : 0; }

void Form1::PlaceWaveform() {
  const int inside = Height() - kFrameHeightTwips;
  PlaceTwips(Waveform, 0, inside - kWaveformBand + kWaveformGapAbove, Width() - kFrameWidthTwips,
             kWaveformBarHeight);
}

void Form1::ShowWaveform_Click() {
  const bool show = ShowWaveform->isChecked();
  if (show == waveformShown_) return;
  waveformShown_ = show;
  Waveform->setVisible(show);
  // The smallest size follows the window's own change: raised after it grows, lowered before it
  // shrinks, so that neither resizes it on its own.
  if (!show) FitMinimumSize();
  if (WindowState() == 0) {
    SetHeight(Height() + (show ? kWaveformBand : -kWaveformBand));
  } else {
    Form_Resize();
  }
  if (show) FitMinimumSize();
  StartWaveform();
}

void Form1::StartWaveform() {
  if (waveformJob_) waveformJob_->Cancel();
  waveformJob_.reset();
  waveformOutcome_ = waveform::Outcome::Running;
  Waveform->SetNote(QString());
  Waveform->SetEnvelope(nullptr);
  // Hidden, the bar costs nothing: the envelope is computed when it shows again.
  if (!waveformShown_ || cdlg1->FileName().isEmpty()) return;
  waveformJob_ = waveform::EnvelopeJob::Start(LocalPath(cdlg1->FileName()),
                                              LocalPath(platform_.cacheFolder));
  Waveform->SetEnvelope(std::shared_ptr<const waveform::Envelope>(waveformJob_,
                                                                   &waveformJob_->envelope()));
}

void Form1::Waveform_Tick(double position) {
  if (!waveformShown_) return;
  double length = MP1->duration();
  if (waveformJob_) {
    const waveform::Outcome outcome = waveformJob_->outcome();
    if (outcome != waveformOutcome_) {
      waveformOutcome_ = outcome;
      Waveform->SetNote(NoteFor(outcome));
    }
    if (!(length > 0)) {
      length = std::max(waveformJob_->seconds(), static_cast<double>(waveformJob_->envelope().Size()) /
                                                       waveform::kPairsPerSecond);
    }
  }
  if (cdlg1->FileName().isEmpty()) length = 0;
  // The pointer's time code counts from the active start at the caption's rate: a change of
  // either shows at once under a pointer that stays where it is.
  if (TCOffset != waveformOffset_ || Framerate->text() != waveformCaption_) {
    waveformOffset_ = TCOffset;
    waveformCaption_ = Framerate->text();
    Waveform->RefreshPointerTime();
  }
  WaveformStrip::Bookmarks marks;
  std::copy(BookmarkPos.begin() + 1, BookmarkPos.end(), marks.begin());
  Waveform->Tick(length, position, marks);
}

void Form1::Waveform_PositionChosen(double seconds) {
  MoveTo(seconds);
  Logo->setFocus();
}

bool Form1::Waveform_KeyDown(int keyCode, int shift) {
  if (shift != 0 || !waveformShown_) return false;
  if (keyCode == vk::kUp) {
    Waveform->Zoom(1);
  } else if (keyCode == vk::kDown) {
    Waveform->Zoom(-1);
  } else {
    return false;
  }
  return true;
}

void Form1::RestoreWaveformSetting(const quillmark::StoredSettings& stored) {
  const auto line = stored.named.find(kShowWaveformSetting);
  if (line == stored.named.end()) return;
  if (line->second == "0" || line->second == "1") ShowWaveform->setChecked(line->second == "1");
}

void Form1::StoreWaveformSetting(quillmark::StoredSettings& values) const {
  // Only a hidden bar is written: a file of a user who never hid it stays as it was.
  if (!ShowWaveform->isChecked()) values.named[kShowWaveformSetting] = "0";
}
