// Where the typist left off, and the next recording. The open recording's place is kept in the
// user's state folder whenever it pauses, when another recording replaces it and when the window
// closes; opened again, unchanged, it waits there paused, and the main strip says where. After
// File Finished the next unfinished recording of the folder is offered. "Resume where I left off"
// switches the keeping and the carrying on; a finished recording is forgotten either way.

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>

#include "form1.h"
#include "form_text.h"
#include "kept_places.h"
#include "next_recording.h"
#include "platform/file_dialog.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"

namespace {
constexpr const char* kNextTitle = "Next Recording";
}  // namespace

QString UserStateFolder() {
  // A relative XDG_STATE_HOME is not to be used, as the base directory rules say.
  QString base = QString::fromLocal8Bit(qgetenv("XDG_STATE_HOME"));
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.local/state";
  return base + "/quillmark";
}

void Form1::ConnectQueueHandlers() {
  if (!platform_.stateFolder.isEmpty()) {
    places_ = std::make_unique<quillmark::KeptPlaces>(LocalPath(platform_.stateFolder) /
                                                      quillmark::kResumeFileName);
  }
  connect(MP1, &MediaPlayer::PlayStateChange, this, [this] {
    if (MP1->playState() == MediaPlayer::kPaused) RememberPosition();
  });
}

void Form1::RememberPosition() {
  // A recording File Finished moved, or one that could not be played, is no longer open.
  if (!places_ || !openRecording_ || cdlg1->FileName().isEmpty() || !ResumeOn->isChecked()) {
    return;
  }
  const quillmark::WriteResult written =
      places_->Keep(*openRecording_, MP1->currentPosition(), MP1->duration());
  // Not worth a box on every pause: the typist is told once, where the program's name shows.
  if (written != quillmark::WriteResult::Written && !placesTold_) {
    placesTold_ = true;
    ShowStatus("Cannot keep places in " + QDir::toNativeSeparators(platform_.stateFolder));
  }
}

void Form1::ResumeWhereLeftOff() {
  openRecording_ = quillmark::IdentifyRecording(LocalPath(cdlg1->FileName()));
  if (!places_ || !openRecording_ || !ResumeOn->isChecked()) return;
  const std::optional<double> position = places_->ResumeAt(*openRecording_);
  if (!position) return;
  MoveTo(*position);
  ShowStatus("Resumed at " + DisplayTimeCode(*position));
}

void Form1::AfterFinishing(const QString& finishedPath) {
  openRecording_.reset();
  if (places_) places_->Forget(LocalPath(finishedPath));

  const QFileInfo done(finishedPath);
  const QString next = NextRecordingIn(done.absolutePath(), done.fileName());
  if (next.isEmpty()) {
    MsgBox->Show("Folder done: no recording is left to transcribe in " +
                     QDir::toNativeSeparators(done.absolutePath()) + ".",
                 kNextTitle, MessageBoxes::Buttons::OkOnly);
    return;
  }
  if (MsgBox->Show("Open next: " + QFileInfo(next).fileName() + "?", kNextTitle,
                   MessageBoxes::Buttons::YesNo) == MessageBoxes::Answer::Yes) {
    OpenRecording(next);
  }
}

QString Form1::NextRecordingPath() const {
  if (const QFileInfo open(cdlg1->FileName()); !cdlg1->FileName().isEmpty()) {
    return NextRecordingIn(open.absolutePath(), open.fileName());
  }
  return cdlg1->InitDir.isEmpty() ? QString() : NextRecordingIn(cdlg1->InitDir, QString());
}

QString Form1::NextRecordingIn(const QString& folder, const QString& skipName) const {
  static const std::vector<std::string> patterns = quillmark::FirstFilterPatterns(kOpenFilter);
  const std::optional<std::filesystem::path> next =
      quillmark::NextRecording(LocalPath(folder), patterns, LocalPath(skipName).string());
  return next ? FromLocalPath(*next) : QString();
}
