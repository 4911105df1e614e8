#pragma once
// The window on the session bus, for the program the typist types in: one object carrying the
// two MPRIS interfaces (mpris_adaptors.h) and the program's own actions (actions_adaptor.h),
// published under the MPRIS bus name. Listeners hear when the play state, the speed or the
// recording change. Every call lands in the window's own handlers.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

#include "audio/audio_settings.h"

class Form1;

class RemoteControl : public QObject {
  Q_OBJECT
 public:
  RemoteControl(Form1& form, const QDBusConnection& connection);
  ~RemoteControl() override;

  enum class Claim {
    Claimed,    // the object is on the bus under the MPRIS name
    NameTaken,  // another window holds the name; nothing is published
    NoBus,      // no session bus to publish on
  };
  // Publishes the object and claims the bus name.
  Claim Start();

  Form1& form() const { return form_; }

  // ---- What the adaptors report ----
  bool HasRecording() const;
  // "Playing", "Paused" or "Stopped".
  QString PlaybackStatus() const;
  // The speed slider as a rate, 1.0 normal speed.
  double Rate() const;
  // The volume of the audio page, 1.0 the normal level.
  double Volume() const;
  QDBusObjectPath TrackId() const;
  QVariantMap Metadata() const;
  qlonglong PositionMicroseconds() const;
  qlonglong LengthMicroseconds() const;

  // ---- For the adaptors' methods ----
  // Answers `call` with an error instead of its normal reply.
  void Refuse(const QDBusMessage& call, const QString& errorName, const QString& text);
  // While the window waits for an answer in a dialog, calls that change it are refused: they
  // would run inside the dialog's own event loop. True when `call` was refused.
  bool RefusedWhileBusy(const QDBusMessage& call);
  // Runs `action` for `call`, a method without a return value, so that the caller never waits
  // on a message box: should the window show one, `call` is answered just before it. A box that
  // tells of a failure answers with the error `failure` and the box's text; a question is asked
  // in the window and the caller hears the action went through. Without a box the method is
  // answered when it returns. The box then shows and is answered as for a key press.
  void AnswerBeforeAnyBox(const QDBusMessage& call, const char* failure,
                          const std::function<void()>& action);
  // Runs `action` once the reply to the present call has gone out, for actions that may ask the
  // typist something (File Finished) or take a while (opening a recording).
  void RunAfterReply(std::function<void()> action);
  // The window's sound settings, changed by `change` as the typist would change them.
  void ChangeAudio(const std::function<void(audio::AudioSettings&)>& change);

 signals:
  // The window's position jumped (Form1::PositionJumped), in microseconds: MPRIS's Seeked.
  void Seeked(qlonglong position);

 private:
  // Sends PropertiesChanged for the player's properties that differ from the last ones sent.
  void PublishChanges();
  QVariantMap PlayerProperties() const;

  Form1& form_;
  QDBusConnection connection_;
  bool registered_ = false;
  bool nameClaimed_ = false;
  quint64 recordingNumber_ = 0;  // makes the track id of each opening its own
  QVariantMap published_;        // the player's properties as last announced
};
