// The hot keys: every key typed while the window is active reaches Logo, which holds the focus.
// Transport (play, pause, stop), frame and second steps while paused, and the twelve bookmarks
// on the function keys. A consumed key comes back with its code set to 0, so the later tests of
// the same press see nothing.

#include <QLabel>
#include <QLineEdit>

#include "form1.h"
#include "form_text.h"
#include "frame_rate_caption.h"
#include "number_text.h"
#include "platform/media_player.h"
#include "platform/virtual_keys.h"

namespace {
constexpr int kKeyP = 80;
constexpr int kKeyS = 83;
}  // namespace

void Form1::Logo_KeyDown(int& KeyCode, int& Shift) {
  // Typing a time code, or the About panel up: the keys are not ours.
  if (!TCEntry->isHidden() || !Aboutscreen->isHidden()) return;

  // Steps while paused: a frame with no modifier, a second with Shift alone. Each test reads the
  // play state and the frame rate afresh.
  const auto paused = [this] { return MP1->playState() == MediaPlayer::kPaused; };
  const auto frame = [this] {
    const double rate = timecode::LeadingNumber(CaptionText(Framerate));
    return rate > 0 ? 1.0 / rate : 0.0;
  };
  // The step is told at once; the picture follows on the key's release (Logo_KeyUp).
  const auto step = [this](double seconds) {
    MP1->setCurrentPosition(MP1->currentPosition() + seconds);
    AnnounceJump();
  };
  if (KeyCode == vk::kLeft && Shift == 0 && paused()) {
    step(-frame());
    KeyCode = 0;
    Shift = 0;
  }
  if (KeyCode == vk::kRight && Shift == 0 && paused()) {
    step(frame());
    KeyCode = 0;
    Shift = 0;
  }
  if (KeyCode == vk::kLeft && Shift == vk::kShift && paused()) {
    step(-1.0);
    KeyCode = 0;
  }
  if (KeyCode == vk::kRight && Shift == vk::kShift && paused()) {
    step(1.0);
    KeyCode = 0;
  }

  if ((KeyCode == vk::kReturn || KeyCode == kKeyP) && Shift == 0) {
    MP1->play();
    return;
  }
  if (KeyCode == vk::kEscape || KeyCode == kKeyS) {
    StopPlayer();
    return;
  }

  TmpLbl->setText(QString::fromStdString(timecode::NumberText(KeyCode) + "-" +
                                         timecode::NumberText(Shift)));

  if (KeyCode == vk::kSpace || KeyCode == vk::kMediaPlayPause) {
    const int state = MP1->playState();
    if (state == MediaPlayer::kStopped || state == MediaPlayer::kPaused) {
      MP1->play();
      KeyCode = 0;
    } else if (state == MediaPlayer::kPlaying) {
      MP1->pause();
      KeyCode = 0;
    }
  }

  if (KeyCode >= vk::kF1 && KeyCode <= vk::kF12) {
    const int n = KeyCode - (vk::kF1 - 1);
    if (Shift == 0) {
      JumpToBookmark(n);
    } else {
      SetBookmark(n);
    }
  }

  // Keys no transport or bookmark uses zoom the position bar.
  if (Waveform_KeyDown(KeyCode, Shift)) KeyCode = 0;
}

void Form1::Logo_KeyUp(int /*KeyCode*/, int /*Shift*/) {
  // A step while paused shows its new frame once the key is released.
  RefreshIfPaused();
}

void Form1::RefreshIfPaused() {
  if (MP1->playState() == MediaPlayer::kPaused) PlayThenPause();
}

void Form1::PlayThenPause() {
  MP1->play();
  MP1->pause();
}
