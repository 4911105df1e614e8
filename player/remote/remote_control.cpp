#include "remote_control.h"

#include <QApplication>
#include <QSlider>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "actions_adaptor.h"
#include "form1.h"
#include "mpris_adaptors.h"
#include "platform/file_dialog.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"
#include "remote_names.h"

namespace {
constexpr double kMicroseconds = 1e6;
}  // namespace

RemoteControl::RemoteControl(Form1& form, const QDBusConnection& connection)
    : form_(form), connection_(connection) {
  new MprisRootAdaptor(this);
  new MprisPlayerAdaptor(this);
  new ActionsAdaptor(this);

  connect(form_.MP1, &MediaPlayer::PlayStateChange, this, &RemoteControl::PublishChanges);
  connect(form_.SpeedSlide, &QSlider::valueChanged, this, &RemoteControl::PublishChanges);
  connect(&form_, &Form1::RecordingChanged, this, [this] {
    ++recordingNumber_;
    PublishChanges();
  });
  // The player learns a recording's length a moment after loading it.
  connect(form_.MP1, &MediaPlayer::DurationChange, this, &RemoteControl::PublishChanges);
  // Every jump the window makes, from here or from its keys, pedal and lists.
  connect(&form_, &Form1::PositionJumped, this, [this](double seconds) {
    emit Seeked(std::llround(std::max(0.0, seconds) * kMicroseconds));
  });
  connect(&form_, &Form1::AudioSettingsChanged, this, &RemoteControl::PublishChanges);
}

RemoteControl::~RemoteControl() {
  if (nameClaimed_) connection_.unregisterService(remote_names::kServiceName);
  if (registered_) connection_.unregisterObject(remote_names::kObjectPath);
}

RemoteControl::Claim RemoteControl::Start() {
  if (!connection_.isConnected()) return Claim::NoBus;
  // Succeeds too when this process claimed the name already; calls that arrive before the object
  // is registered wait in the queue, since no event is handled in between.
  nameClaimed_ = connection_.registerService(remote_names::kServiceName);
  if (!nameClaimed_) return Claim::NameTaken;
  registered_ = connection_.registerObject(remote_names::kObjectPath, this);
  if (!registered_) return Claim::NoBus;
  published_ = PlayerProperties();
  return Claim::Claimed;
}

bool RemoteControl::HasRecording() const { return !form_.cdlg1->FileName().isEmpty(); }

QString RemoteControl::PlaybackStatus() const {
  switch (form_.MP1->playState()) {
    case MediaPlayer::kPlaying:
      return "Playing";
    case MediaPlayer::kPaused:
      return "Paused";
    default:
      return "Stopped";
  }
}

double RemoteControl::Rate() const { return form_.SpeedSlide->value() / 100.0; }

double RemoteControl::Volume() const {
  return form_.AudioSettingsNow().volumePercent / double(audio::kNormalVolumePercent);
}

void RemoteControl::ChangeAudio(const std::function<void(audio::AudioSettings&)>& change) {
  audio::AudioSettings settings = form_.AudioSettingsNow();
  change(settings);
  form_.SetAudioSettings(settings);
}

QDBusObjectPath RemoteControl::TrackId() const {
  if (!HasRecording()) return QDBusObjectPath(remote_names::kNoTrack);
  return QDBusObjectPath(remote_names::kTrackIdPrefix + QString::number(recordingNumber_));
}

QVariantMap RemoteControl::Metadata() const {
  QVariantMap metadata;
  metadata["mpris:trackid"] = QVariant::fromValue(TrackId());
  if (!HasRecording()) return metadata;
  if (const qlonglong length = LengthMicroseconds(); length > 0) {
    metadata["mpris:length"] = length;
  }
  metadata["xesam:title"] = form_.cdlg1->FileTitle();
  // A URI, so blanks and letters beyond ASCII are percent-encoded.
  metadata["xesam:url"] =
      QString::fromLatin1(QUrl::fromLocalFile(form_.cdlg1->FileName()).toEncoded());
  return metadata;
}

qlonglong RemoteControl::PositionMicroseconds() const {
  return std::llround(std::max(0.0, form_.MP1->currentPosition()) * kMicroseconds);
}

qlonglong RemoteControl::LengthMicroseconds() const {
  return std::llround(std::max(0.0, form_.MP1->duration()) * kMicroseconds);
}

void RemoteControl::Refuse(const QDBusMessage& call, const QString& errorName,
                           const QString& text) {
  call.setDelayedReply(true);
  connection_.send(call.createErrorReply(errorName, text));
}

bool RemoteControl::RefusedWhileBusy(const QDBusMessage& call) {
  if (QApplication::activeModalWidget() == nullptr) return false;
  Refuse(call, remote_names::kErrorBusy, "Quillmark is waiting for an answer in a dialog");
  return true;
}

void RemoteControl::AnswerBeforeAnyBox(const QDBusMessage& call, const char* failure,
                                       const std::function<void()>& action) {
  form_.AnnounceNextBox(
      [&](const QString& text, const QString&, MessageBoxes::Buttons buttons) {
        // A box that only tells, or offers to retry, is about something that went wrong; any
        // other asks the typist, and the action goes on in the window.
        const bool failed = buttons == MessageBoxes::Buttons::OkOnly ||
                            buttons == MessageBoxes::Buttons::AbortRetryIgnore;
        call.setDelayedReply(true);
        connection_.send(failed ? call.createErrorReply(failure, text) : call.createReply());
      });
  action();
  form_.AnnounceNextBox({});
}

void RemoteControl::RunAfterReply(std::function<void()> action) {
  QMetaObject::invokeMethod(
      this,
      [action = std::move(action)] {
        // A dialog opened meanwhile: the action would run inside its event loop.
        if (QApplication::activeModalWidget() == nullptr) action();
      },
      Qt::QueuedConnection);
}

QVariantMap RemoteControl::PlayerProperties() const {
  const bool open = HasRecording();
  return {{"PlaybackStatus", PlaybackStatus()},
          {"Rate", Rate()},
          {"Volume", Volume()},
          {"Metadata", Metadata()},
          {"CanPlay", open},
          {"CanPause", open},
          {"CanSeek", open}};
}

void RemoteControl::PublishChanges() {
  if (!registered_) return;
  const QVariantMap now = PlayerProperties();
  QVariantMap changed;
  for (auto it = now.cbegin(); it != now.cend(); ++it) {
    if (published_.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
  }
  if (changed.isEmpty()) return;
  published_ = now;
  QDBusMessage signal = QDBusMessage::createSignal(
      remote_names::kObjectPath, remote_names::kPropertiesInterface, "PropertiesChanged");
  signal << QString(remote_names::kPlayerInterface) << changed << QStringList();
  connection_.send(signal);
}
