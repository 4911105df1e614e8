#pragma once
// The two MPRIS 2 interfaces on the window's object: org.mpris.MediaPlayer2 (the program) and
// org.mpris.MediaPlayer2.Player (the transport). A desktop's media keys and `playerctl` talk to
// these. Play and Pause stand in for the pedal's play switch, pressed and released; positions are
// media positions in microseconds.

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

class RemoteControl;

class MprisRootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

 public:
  explicit MprisRootAdaptor(RemoteControl* remote);

  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const { return "Quillmark"; }
  QString DesktopEntry() const { return "quillmark"; }
  QStringList SupportedUriSchemes() const { return {"file"}; }
  QStringList SupportedMimeTypes() const;

 public slots:
  void Raise();
  void Quit(const QDBusMessage& call);

 private:
  RemoteControl* remote_;
};

class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(double MinimumRate READ MinimumRate)
  Q_PROPERTY(double MaximumRate READ MaximumRate)
  Q_PROPERTY(bool CanGoNext READ CanGoNext)
  Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPause)
  Q_PROPERTY(bool CanSeek READ CanSeek)
  Q_PROPERTY(bool CanControl READ CanControl)

 public:
  explicit MprisPlayerAdaptor(RemoteControl* remote);

  QString PlaybackStatus() const;
  double Rate() const;
  // Moves the speed slider; values outside MinimumRate..MaximumRate are taken to the nearer end,
  // and a rate that is not a positive number is ignored.
  void SetRate(double rate);
  QVariantMap Metadata() const;
  // The playback volume, 1.0 the normal level, up to 4.0 (the audio page's 400 %).
  double Volume() const;
  // To the nearest percent; below 0 is 0 and above 4.0 is 4.0; a value that is no number is
  // ignored.
  void SetVolume(double volume);
  qlonglong Position() const;
  double MinimumRate() const { return 0.1; }
  double MaximumRate() const { return 2.0; }
  bool CanGoNext() const { return false; }
  bool CanGoPrevious() const { return false; }
  bool CanPlay() const;
  bool CanPause() const;
  bool CanSeek() const;
  bool CanControl() const { return true; }

 public slots:
  // One recording at a time: there is no next or previous one.
  void Next() {}
  void Previous() {}
  void Play(const QDBusMessage& call);
  void Pause(const QDBusMessage& call);
  void PlayPause(const QDBusMessage& call);
  void Stop(const QDBusMessage& call);
  // Relative, in microseconds; the result is kept within the recording.
  void Seek(qlonglong Offset, const QDBusMessage& call);
  void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position, const QDBusMessage& call);
  void OpenUri(const QString& Uri, const QDBusMessage& call);

 signals:
  void Seeked(qlonglong Position);

 private:
  RemoteControl* remote_;
};
