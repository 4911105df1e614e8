#pragma once
// The media player on libmpv. mpv runs its own threads; everything it reports is handled on the
// GUI thread: its wakeup callback only queues a call that drains the event queue.

#include <QPointer>
#include <QWidget>

#include "media_player.h"

struct mpv_handle;
struct mpv_event;

class MpvMediaPlayer : public MediaPlayer {
  Q_OBJECT
 public:
  // Window: video drawn in view() through mpv's render API, sound on the default device.
  // Headless: no video and no sound output; playback keeps real-time timing.
  enum class Output { Window, Headless };

  // Needs a QApplication. Check Ready(): mpv may fail to start.
  explicit MpvMediaPlayer(Output output, QObject* parent = nullptr);
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
  QWidget* view() override { return view_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Q_INVOKABLE void DrainEvents();
  void HandleEvent(const mpv_event& event);
  void SetPaused(bool paused);
  void Seek(double seconds);
  void ApplyAudioFilters();
  // Queues one PlayStateChange check: the state is reported after the calls that changed it
  // have returned, and only when it differs from the last one reported.
  void StateMayHaveChanged();
  void ReportState();

  mpv_handle* mpv_ = nullptr;
  QPointer<QWidget> view_;

  bool hasFile_ = false;     // a URL is set and has not failed
  bool loaded_ = false;      // mpv has opened it
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
  int reportedState_ = kUndefined;
  bool stateCheckQueued_ = false;
};
