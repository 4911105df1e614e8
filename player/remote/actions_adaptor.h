#pragma once
// Quillmark's own actions on the window's object, beside MPRIS: what a typist's desktop shortcut
// may want besides play and pause. Bad arguments are answered with an error and change nothing;
// so are the actions on a recording (all but the speed and going to a selected time code, which
// says so itself) while none is open.

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QString>

class RemoteControl;

class ActionsAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.quillmark.Actions")

 public:
  explicit ActionsAdaptor(RemoteControl* remote);

 public slots:
  // The shown time code onto the clipboard, in the chosen format.
  void CopyTimeCode(const QDBusMessage& call);
  // Back by the auto-backup amount.
  void Back(const QDBusMessage& call);
  // Bookmarks 1 to 12: set here, or go there.
  void SetBookmark(int Number, const QDBusMessage& call);
  void GoToBookmark(int Number, const QDBusMessage& call);
  // One wind step back or forward.
  void Rewind(const QDBusMessage& call);
  void Forward(const QDBusMessage& call);
  // File Finished; the window comes to the front for its question.
  void FileFinished(const QDBusMessage& call);
  // Goes to the time code selected in any program (or on the clipboard); returns it.
  QString GoToSelectedTimeCode(const QDBusMessage& call);
  // The speed slider, in percent of normal speed.
  void SetSpeed(int Percent, const QDBusMessage& call);
  // Opens the next unfinished recording of the open recording's folder (or of the folder last
  // opened from), as File Finished offers it; returns its path. An error when none is left.
  QString OpenNext(const QDBusMessage& call);
  // The sound (the audio page): the volume one step up or down, within 0 to 400 %, answering
  // with the volume reached; the volume in percent; speech levelling, noise reduction ("off",
  // "low", "medium", "high"), the rumble cut and the channel heard ("both", "left", "right",
  // "mono").
  int VolumeUp(const QDBusMessage& call);
  int VolumeDown(const QDBusMessage& call);
  void SetVolume(int Percent, const QDBusMessage& call);
  void SetLevelSpeech(bool On, const QDBusMessage& call);
  void SetNoiseReduction(const QString& Level, const QDBusMessage& call);
  void SetCutRumble(bool On, const QDBusMessage& call);
  void SetChannel(const QString& Channel, const QDBusMessage& call);

 private:
  int StepVolume(int percent, const QDBusMessage& call);

  RemoteControl* remote_;
};
