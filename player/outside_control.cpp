// What other programs may ask of the window besides the transport: moves, a wind step, the step
// back, jumping to a time code selected in the typist's word processor, opening a recording and
// coming to the front. Each goes through the handlers the keys and the pedal use. A message box
// one of them ends in can be announced to the caller before it shows.

#include <QLabel>
#include <QTimer>
#include <utility>

#include "clipboard_text.h"
#include "form1.h"
#include "platform/clipboard.h"
#include "platform/file_dialog.h"
#include "platform/media_player.h"

namespace {
constexpr int kStatusMilliseconds = 4000;
}  // namespace

void Form1::MoveTo(double seconds) {
  MP1->setCurrentPosition(seconds);
  RefreshIfPaused();
  AnnounceJump();
}

void Form1::AnnounceJump() { emit PositionJumped(MP1->currentPosition()); }

void Form1::StepBack() {
  if (AutoBackSeconds > 0) MoveTo(MP1->currentPosition() - AutoBackSeconds);
}

void Form1::StopPlayer() {
  MP1->stop();
  AnnounceJump();
}

void Form1::WindStep(int direction) {
  const double step = WindStepSeconds();
  MoveTo(MP1->currentPosition() + (direction < 0 ? -step : step));
}

void Form1::OpenRecording(const QString& path) {
  cdlg1->PresetAnswer(path);
  Fileopen_Click();
}

void Form1::RaiseWindow() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

Form1::TimeCodeJump Form1::GoToSelectedTimeCode(QString* found) {
  Clipboard* clipboard = platform_.clipboard;
  QString text = clipboard ? clipboard->Text(Clipboard::Source::Selection) : QString();
  if (text.isEmpty() && clipboard) text = clipboard->Text(Clipboard::Source::Clipboard);

  const std::optional<std::string> timeCode =
      quillmark::FindClipboardTimeCode(text.toStdString());
  if (!timeCode) {
    ShowStatus("No time code selected");
    return TimeCodeJump::NoTimeCode;
  }
  const QString code = QString::fromStdString(*timeCode);
  if (found) *found = code;
  if (cdlg1->FileName().isEmpty()) {
    ShowStatus("No recording open");
    return TimeCodeJump::NoRecording;
  }

  const double position = PositionOfTimeCode(code);
  // A recording whose length the player does not know yet is taken to reach that far.
  const double duration = MP1->duration();
  if (!(position >= 0) || (duration > 0 && position > duration)) {
    ShowStatus("Outside: " + code);
    return TimeCodeJump::OutsideRecording;
  }
  MoveTo(position);
  return TimeCodeJump::Moved;
}

void Form1::AnnounceNextBox(AnnouncingMessageBoxes::Listener listener) {
  announcedBoxes_.AnnounceNextBox(std::move(listener));
}

void Form1::ClearStatus() {
  if (statusTimer_ != nullptr) statusTimer_->stop();
  HeadExt->setText("Quillmark");
}

void Form1::ShowStatus(const QString& text) {
  if (statusTimer_ == nullptr) {
    statusTimer_ = new QTimer(this);
    statusTimer_->setSingleShot(true);
    connect(statusTimer_, &QTimer::timeout, this, [this] { HeadExt->setText("Quillmark"); });
  }
  HeadExt->setText(text);
  statusTimer_->start(kStatusMilliseconds);
}
