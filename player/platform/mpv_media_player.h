#pragma once
// The media player on libmpv. mpv runs its own threads; everything it reports is handled on the
// GUI thread: its wakeup callback only queues a call that drains the event queue.

#include <QByteArray>
#include <QPointer>
#include <QWidget>

#include "audio/filter_chain.h"
#include "media_player.h"

struct mpv_handle;
struct mpv_event;
struct mpv_event_end_file;

class MpvMediaPlayer : public MediaPlayer {
  Q_OBJECT
 public:
  // Where the picture and the sound go.
  struct Output {
    // Drawn in view() through mpv's render API; false: no picture.
    bool video = true;
    // Played on a sound device, silently when none can be opened (NoSoundDevice says so, and
    // the next play tries the devices again); false: no sound at all. Playback keeps real-time
    // timing either way.
    bool sound = true;
    // The device as mpv names it ("pulse", "alsa/default"); empty: the system's default.
    QByteArray soundDevice;
    // Instead of a device, the sound goes as 32-bit float samples into this WAV file, as fast
    // as it can be decoded: what the filters make of a recording, measured rather than heard.
    QByteArray waveFile;
    // The file written at this many times real time rather than as fast as it goes (0).
    double realTimes = 0;
  };
  // The window's: video in view(), sound on the default device.
  static Output Window() { return {}; }
  // No picture and no sound, for tests and the probe.
  static Output Headless() { return {false, false, {}, {}, 0}; }
  // No picture; the sound into `file` as fast as it decodes, or at `realTimes` real time.
  static Output IntoWaveFile(const QByteArray& file, double realTimes = 0) {
    return {false, true, {}, file, realTimes};
  }

  // Needs a QApplication. Check Ready(): mpv may fail to start.
  explicit MpvMediaPlayer(const Output& output, QObject* parent = nullptr);
  ~MpvMediaPlayer() override;
  bool Ready() const { return mpv_ != nullptr; }

  void setURL(const QString& path) override;
  void play() override;
  void pause() override;
  void stop() override;
  double currentPosition() const override;
  void setCurrentPosition(double seconds) override;
  int playState() const override;
  QString durationString() const override;
  double duration() const override;
  void setBalance(int balance) override;
  void setRate(double rate) override;
  void setAudioSettings(const audio::AudioSettings& settings) override;
  QWidget* view() override { return view_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Q_INVOKABLE void DrainEvents();
  void HandleEvent(const mpv_event& event);
  void SetPaused(bool paused);
  void Seek(double seconds);
  // The recording's first frame is known: positions count from it from now on.
  void Started();
  void Failed(const mpv_event_end_file& end);
  // The demuxer reached the file's end without reading a single packet: a file with no samples,
  // which the filters' padding would otherwise play as a moment of silence.
  bool DemuxerFoundNothing() const;
  // The recording is let go and reported by MediaError with `reason`.
  void GiveUp(const QString& reason);
  void SoundOutputChanged(const char* output);
  // While the sound plays on no device: tries the devices again, keeping the position.
  void TrySoundAgain();
  // The filter chain for the present settings: while the sound runs, by changing options of the
  // filters in place; otherwise, or when the filters themselves change, as a new list.
  void ApplyAudioFilters();
  audio::FilterChain WantedAudioFilters() const;
  // The whole list to mpv. Filters it replaces lose the sound they hold, which is harmless only
  // while no sound runs or just before a seek.
  void WriteAudioFilters(const audio::FilterChain& chain);
  // Sound has been decoded through the filters since the last load or seek, so they exist and
  // take option changes.
  bool SoundRuns() const;
  // Queues one PlayStateChange check: the state is reported after the calls that changed it
  // have returned, and only when it differs from the last one reported.
  void StateMayHaveChanged();
  void ReportState();

  mpv_handle* mpv_ = nullptr;
  QPointer<QWidget> view_;

  bool hasFile_ = false;     // a URL is set and has not failed
  // mpv's playlist entry of that URL, and of the file mpv started last: events of a file that
  // has since been replaced are not this one's.
  int64_t entry_ = -1;
  int64_t startedEntry_ = -1;
  bool loading_ = false;     // from setURL until mpv has opened it or given up
  QString loadErrors_;       // mpv's first error message while it loads
  bool failurePending_ = false;  // it gave up; MediaError is yet to be emitted
  int failureError_ = 0;
  bool loaded_ = false;      // mpv has opened it
  // mpv has opened it but not yet shown its first frame, whose time is the origin: codec and
  // container delays make it a few hundredths of a second for some formats (WMA), and positions
  // count from it, so that every recording starts at 0.
  bool starting_ = false;
  double origin_ = 0;
  // The pause state is ours: only the end of the recording pauses mpv by itself, and that is
  // observed as eof-reached.
  bool paused_ = true;
  bool stopped_ = false;
  bool endReached_ = false;
  double duration_ = 0;
  mutable double lastPosition_ = 0;

  // A position asked for: reported by currentPosition until the seek has landed and mpv's own
  // position can be believed again.
  mutable bool seekPending_ = false;
  bool seekLanded_ = false;
  double pendingPosition_ = 0;
  quint64 seeksIssued_ = 0;
  quint64 seeksQueued_ = 0;  // seeks mpv has taken into its queue

  int balance_ = 0;
  double rate_ = 1.0;
  audio::AudioSettings audio_;
  bool monoSource_ = false;  // the recording has one channel
  double pace_ = 0;          // Output::realTimes
  // The list mpv was last given, and the chain as the sound now runs through it after option
  // changes made in place; a seek writes the latter, since mpv makes its filters anew from the
  // list then.
  audio::FilterChain written_;
  audio::FilterChain running_;
  int reportedState_ = kUndefined;
  int soundMissing_ = -1;  // as last reported; -1 before the first report
  double reportedDuration_ = 0;
  bool stateCheckQueued_ = false;
};
