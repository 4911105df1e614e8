#pragma once
// The media player the window drives: load a recording, play, pause, stop, seek by seconds, read
// the play state and the duration, set speed, balance and what the sound goes through. Only
// what the window uses.
//
// Play states: 1 stopped, 2 paused, 3 playing; 0 while no recording is loaded.

#include <QObject>
#include <QString>

#include "audio/audio_settings.h"

class QWidget;

class MediaPlayer : public QObject {
  Q_OBJECT
 public:
  static constexpr int kUndefined = 0;
  static constexpr int kStopped = 1;
  static constexpr int kPaused = 2;
  static constexpr int kPlaying = 3;

  using QObject::QObject;
  ~MediaPlayer() override = default;

  // The full path of the recording to load; "" releases the loaded one. A loaded recording waits
  // paused at 0 until play is called. A recording that cannot be played is reported by
  // MediaError and leaves nothing loaded.
  virtual void setURL(const QString& path) = 0;
  virtual void play() = 0;
  virtual void pause() = 0;
  // Pauses and returns to 0; the recording stays loaded and the state becomes 1.
  virtual void stop() = 0;

  // Seconds from the recording's first frame, which is 0. A position set is reported back at once, also while the recording is
  // still loading or the seek is still under way.
  virtual double currentPosition() const = 0;
  virtual void setCurrentPosition(double seconds) = 0;

  virtual int playState() const = 0;
  // The duration of the loaded recording as text ("MM:SS" or "H:MM:SS"), "" while unknown.
  virtual QString durationString() const = 0;
  // The duration in seconds, 0 while unknown.
  virtual double duration() const = 0;

  // -100 (left only) .. 100 (right only), 0 both.
  virtual void setBalance(int balance) = 0;
  // Play rate, 1.0 normal speed; the pitch is kept.
  virtual void setRate(double rate) = 0;
  // Volume, speech levelling, noise reduction, the rumble cut and the channel heard; applied at
  // once, also while playing, without moving the position.
  virtual void setAudioSettings(const audio::AudioSettings& settings) = 0;

  // The area the player draws its video in; the window places it.
  virtual QWidget* view() = 0;

 signals:
  void PlayStateChange(int newState);
  // Keys and mouse releases on the player's own area: virtual-key code and shift mask (1 Shift,
  // 2 Ctrl, 4 Alt); mouse button 1 left, 2 right, 4 middle.
  void KeyDown(int keyCode, int shift);
  void MouseUp(int button, int shift, int x, int y);
  // The recording last given to setURL cannot be played; `reason` is the engine's, for the
  // typist. Nothing is loaded any more.
  void MediaError(const QString& reason);
  // No sound device could be opened, so the recording plays on without sound (true); or sound
  // plays on a device again (false).
  void NoSoundDevice(bool missing);
  // duration() has changed: the engine has learnt the length of a recording a moment after
  // loading it, or nothing is loaded any more.
  void DurationChange();
};
