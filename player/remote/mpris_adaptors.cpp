#include "mpris_adaptors.h"

#include <QFileInfo>
#include <QSlider>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "form1.h"
#include "platform/media_player.h"
#include "remote_control.h"
#include "remote_names.h"

MprisRootAdaptor::MprisRootAdaptor(RemoteControl* remote)
    : QDBusAbstractAdaptor(remote), remote_(remote) {}

QStringList MprisRootAdaptor::SupportedMimeTypes() const {
  // The kinds of recording the Open dialog offers, as the desktop entry lists them.
  return QString(QUILLMARK_MIME_TYPES).split(',');
}

void MprisRootAdaptor::Raise() { remote_->form().RaiseWindow(); }

void MprisRootAdaptor::Quit(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  Form1& form = remote_->form();
  remote_->RunAfterReply([&form] { form.close(); });
}

MprisPlayerAdaptor::MprisPlayerAdaptor(RemoteControl* remote)
    : QDBusAbstractAdaptor(remote), remote_(remote) {
  connect(remote, &RemoteControl::Seeked, this, &MprisPlayerAdaptor::Seeked);
}

QString MprisPlayerAdaptor::PlaybackStatus() const { return remote_->PlaybackStatus(); }

double MprisPlayerAdaptor::Rate() const { return remote_->Rate(); }

void MprisPlayerAdaptor::SetRate(double rate) {
  if (!std::isfinite(rate) || rate <= 0) return;
  QSlider* slider = remote_->form().SpeedSlide;
  const double percent = std::clamp(rate, MinimumRate(), MaximumRate()) * 100;
  slider->setValue(static_cast<int>(std::lround(percent)));
}

double MprisPlayerAdaptor::Volume() const { return remote_->Volume(); }

void MprisPlayerAdaptor::SetVolume(double volume) {
  if (!std::isfinite(volume)) return;
  // MPRIS 1.0 is the normal volume; the clamp keeps the rounding within range of a long long.
  const double percent = std::clamp(volume * audio::kNormalVolumePercent, 0.0,
                                    double{audio::kMaxVolumePercent});
  remote_->ChangeAudio([percent](audio::AudioSettings& settings) {
    settings.volumePercent = audio::ClampedVolume(std::llround(percent));
  });
}

QVariantMap MprisPlayerAdaptor::Metadata() const { return remote_->Metadata(); }

qlonglong MprisPlayerAdaptor::Position() const { return remote_->PositionMicroseconds(); }

bool MprisPlayerAdaptor::CanPlay() const { return remote_->HasRecording(); }
bool MprisPlayerAdaptor::CanPause() const { return remote_->HasRecording(); }
bool MprisPlayerAdaptor::CanSeek() const { return remote_->HasRecording(); }

// The play switch may copy the time code, which can end in the clipboard's box.
void MprisPlayerAdaptor::Play(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  Form1& form = remote_->form();
  remote_->AnswerBeforeAnyBox(call, remote_names::kErrorNotCopied,
                              [&form] { form.PlaySwitchPressed(); });
}

void MprisPlayerAdaptor::Pause(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  Form1& form = remote_->form();
  remote_->AnswerBeforeAnyBox(call, remote_names::kErrorNotCopied,
                              [&form] { form.PlaySwitchReleased(); });
}

void MprisPlayerAdaptor::PlayPause(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  Form1& form = remote_->form();
  remote_->AnswerBeforeAnyBox(call, remote_names::kErrorNotCopied, [&form] {
    if (form.MP1->playState() == MediaPlayer::kPlaying) {
      form.PlaySwitchReleased();
    } else {
      form.PlaySwitchPressed();
    }
  });
}

void MprisPlayerAdaptor::Stop(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  remote_->form().StopPlayer();
}

void MprisPlayerAdaptor::Seek(qlonglong Offset, const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call) || !remote_->HasRecording()) return;
  const MediaPlayer* player = remote_->form().MP1;
  double target = std::max(0.0, player->currentPosition() + Offset / 1e6);
  if (player->duration() > 0) target = std::min(target, player->duration());
  remote_->form().MoveTo(target);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position,
                                     const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  if (!remote_->HasRecording() || TrackId != remote_->TrackId()) {
    remote_->Refuse(call, remote_names::kErrorInvalidArgs,
                    "The track id " + TrackId.path() + " is not the open recording's");
    return;
  }
  const qlonglong length = remote_->LengthMicroseconds();
  if (Position < 0 || (length > 0 && Position > length)) {
    remote_->Refuse(call, remote_names::kErrorInvalidArgs,
                    QString("The position %1 us is outside the recording").arg(Position));
    return;
  }
  remote_->form().MoveTo(Position / 1e6);
}

void MprisPlayerAdaptor::OpenUri(const QString& Uri, const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  const QUrl url(Uri);
  QString path;
  if (url.isLocalFile()) {
    path = url.toLocalFile();
  } else if (url.scheme().isEmpty() && Uri.startsWith('/')) {
    path = Uri;
  } else {
    remote_->Refuse(call, remote_names::kErrorNotSupported,
                    "Quillmark opens only files (file: URIs), not " + Uri);
    return;
  }
  const QFileInfo file(path);
  Form1& form = remote_->form();
  if (!file.isFile() || !file.isReadable()) {
    const QString reason = (file.exists() ? "Not a readable file: " : "No such file: ") + path;
    remote_->Refuse(call, remote_names::kErrorFileNotFound, reason);
    // The typist asked for it (from a file manager, or a second quillmark): the window says so
    // as it does for a file chosen in its Open dialog, and keeps the recording it has open.
    remote_->RunAfterReply(
        [&form, name = file.fileName(), reason] { form.ReportCannotPlay(name, reason); });
    return;
  }
  remote_->RunAfterReply([&form, path] { form.OpenRecording(path); });
}
