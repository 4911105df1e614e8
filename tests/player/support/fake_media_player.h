#pragma once
// A scripted media player: it records every call in order and answers with the values the test
// sets. Its events are raised by the test.

#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/media_player.h"

class FakeMediaPlayer : public MediaPlayer {
 public:
  void setURL(const QString& path) override {
    calls.push_back("URL " + path.toStdString());
    url = path;
    if (loadsFromStart) position = 0;
  }
  void play() override {
    calls.push_back("play");
    if (followCalls) state = kPlaying;
  }
  void pause() override {
    calls.push_back("pause");
    if (followCalls) state = kPaused;
  }
  void stop() override {
    calls.push_back("stop");
    if (!followCalls) return;
    state = kStopped;
    position = 0;
  }
  double currentPosition() const override { return position; }
  void setCurrentPosition(double seconds) override {
    calls.push_back("position " + std::to_string(seconds));
    position = seconds;
  }
  int playState() const override { return state; }
  QString durationString() const override { return durationText; }
  double duration() const override { return durationSeconds; }
  void setBalance(int value) override { balance = value; }
  void setRate(double value) override { rate = value; }
  void setAudioSettings(const audio::AudioSettings& value) override { audio = value; }
  // A window takes the view as its child and deletes it with itself; a window made later gets
  // a new one.
  QWidget* view() override {
    if (view_.isNull()) view_ = new QWidget;
    return view_;
  }
  // The window takes the view as its child and deletes it with itself.
  ~FakeMediaPlayer() override { delete view_.data(); }

  // The player reports a new state, as its engine would after a change.
  void ChangeState(int newState) {
    state = newState;
    emit PlayStateChange(newState);
  }

  // The engine has learnt the recording's length.
  void ChangeDuration(double seconds) {
    durationSeconds = seconds;
    emit DurationChange();
  }

  // The engine cannot play the recording last given: nothing is loaded, and it says why.
  void FailToPlay(const QString& reason) {
    state = kUndefined;
    position = 0;
    emit MediaError(reason);
  }

  std::vector<std::string> calls;
  // When set, play, pause and stop change the play state (and stop the position) as a real
  // player's would.
  bool followCalls = false;
  // When set, a recording given (or released) starts at 0, as in a real player.
  bool loadsFromStart = false;
  QString url;
  double position = 0;
  int state = kUndefined;
  QString durationText;
  double durationSeconds = 0;
  int balance = 0;
  double rate = 1;
  audio::AudioSettings audio;

 private:
  QPointer<QWidget> view_ = new QWidget;
};
