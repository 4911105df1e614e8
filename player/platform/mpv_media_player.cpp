#include "mpv_media_player.h"

#include <mpv/client.h>

#include <QByteArray>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "mpv_names.h"
#include "mpv_video_widget.h"
#include "virtual_keys.h"

namespace {
// Observed properties are told apart by these reply ids.
enum : uint64_t { kObserveDuration = 1, kObserveEof, kObserveAudioOutput };
// Seek commands carry their sequence number above this base.
constexpr uint64_t kSeekReplyBase = 1000;
// How close to a seek's target the running position must come before it is believed.
constexpr double kLandingTolerance = 0.05;
// A first frame later than this is the recording's content, not a codec's or container's delay.
constexpr double kMostStartDelay = 0.5;
// Why a file mpv opens is given up when there is nothing in it to play.
constexpr const char* kNothingToPlay = "It holds no sound or picture to play.";

void WakeUp(void* context) {
  // Runs on an mpv thread: queue the draining on the GUI thread, never call mpv here.
  auto* self = static_cast<QObject*>(context);
  QMetaObject::invokeMethod(self, "DrainEvents", Qt::QueuedConnection);
}
}  // namespace

MpvMediaPlayer::MpvMediaPlayer(const Output& output, QObject* parent)
    : MediaPlayer(parent) {
  // mpv refuses to start in a locale whose decimal point is not ".".
  std::setlocale(LC_NUMERIC, "C");
  mpv_ = mpv_create();
  if (!mpv_) return;
  using namespace mpv_names;
  mpv_set_option_string(mpv_, kConfig, kNo);
  mpv_set_option_string(mpv_, kTerminal, kNo);
  mpv_set_option_string(mpv_, kLoadScripts, kNo);
  mpv_set_option_string(mpv_, kYtdl, kNo);
  mpv_set_option_string(mpv_, kOsc, kNo);
  mpv_set_option_string(mpv_, kInputDefaultBindings, kNo);
  mpv_set_option_string(mpv_, kIdle, kYes);
  mpv_set_option_string(mpv_, kKeepOpen, kYes);
  mpv_set_option_string(mpv_, kHrSeek, kYes);
  mpv_set_option_string(mpv_, kHrSeekFramedrop, kNo);
  mpv_set_option_string(mpv_, kAudioPitchCorrection, kNo);  // our own tempo filter keeps pitch
  mpv_set_option_string(mpv_, kPause, kYes);                // nothing starts by itself
  mpv_set_option_string(mpv_, kVo, output.video ? kRenderApiOutput : kNullOutput);
  if (!output.sound) mpv_set_option_string(mpv_, kAo, kNullOutput);
  if (!output.soundDevice.isEmpty()) {
    mpv_set_option_string(mpv_, kAudioDevice, output.soundDevice.constData());
  }
  if (output.sound && !output.waveFile.isEmpty()) {
    mpv_set_option_string(mpv_, kAo, kPcmOutput);
    mpv_set_option_string(mpv_, kPcmFile, output.waveFile.constData());
    mpv_set_option_string(mpv_, kAudioFormat, kFloatSamples);  // nothing clipped on the way out
    mpv_set_option_string(mpv_, kUntimed, kYes);
    pace_ = output.realTimes;
  }
  // Without a sound device the recording still plays, silently, so the time code runs.
  mpv_set_option_string(mpv_, kAudioFallbackToNull, kYes);
  if (mpv_initialize(mpv_) < 0) {
    mpv_terminate_destroy(mpv_);
    mpv_ = nullptr;
    return;
  }
  mpv_observe_property(mpv_, kObserveDuration, kDuration, MPV_FORMAT_DOUBLE);
  mpv_observe_property(mpv_, kObserveEof, kEofReached, MPV_FORMAT_FLAG);
  if (output.sound) {
    mpv_observe_property(mpv_, kObserveAudioOutput, kCurrentAudioOutput, MPV_FORMAT_STRING);
  }
  mpv_request_log_messages(mpv_, kLogLevelError);
  mpv_set_wakeup_callback(mpv_, WakeUp, this);
  ApplyAudioFilters();

  // The renderer is made before any recording is loaded: mpv needs it to open a video track.
  view_ = output.video ? new MpvVideoWidget(mpv_) : new QWidget;
  view_->setAttribute(Qt::WA_StyledBackground);
  view_->setStyleSheet("background: black;");
  view_->setFocusPolicy(Qt::ClickFocus);
  view_->installEventFilter(this);
}

MpvMediaPlayer::~MpvMediaPlayer() {
  // The video area holds mpv's render context, which must go before the handle.
  delete view_.data();
  if (mpv_) {
    mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    mpv_terminate_destroy(mpv_);
  }
}

void MpvMediaPlayer::setURL(const QString& path) {
  if (!mpv_) return;
  loaded_ = false;
  starting_ = false;
  origin_ = 0;
  loading_ = !path.isEmpty();
  loadErrors_.clear();
  failurePending_ = false;
  stopped_ = false;
  endReached_ = false;
  duration_ = 0;
  lastPosition_ = 0;
  seekPending_ = false;
  pendingPosition_ = 0;
  SetPaused(true);
  // mpv makes the filters anew for the recording from the list as it is now.
  if (running_ != written_) WriteAudioFilters(running_);
  const QByteArray file = path.toUtf8();
  entry_ = -1;
  if (path.isEmpty()) {
    hasFile_ = false;
    const char* command[] = {mpv_names::kStop, nullptr};
    mpv_command(mpv_, command);
  } else {
    hasFile_ = true;
    const char* command[] = {mpv_names::kLoadFile, file.constData(), nullptr};
    if (mpv_command(mpv_, command) < 0) {
      hasFile_ = false;
    } else {
      // The command has replaced the playlist by this one entry.
      mpv_get_property(mpv_, mpv_names::kFirstPlaylistEntryId, MPV_FORMAT_INT64, &entry_);
    }
  }
  StateMayHaveChanged();
}

void MpvMediaPlayer::play() {
  if (!mpv_ || !hasFile_) return;
  // Play at the end starts again from the beginning.
  if (endReached_) Seek(0);
  if (soundMissing_ == 1) TrySoundAgain();
  stopped_ = false;
  SetPaused(false);
  StateMayHaveChanged();
}

void MpvMediaPlayer::pause() {
  if (!mpv_ || !hasFile_) return;
  SetPaused(true);
  StateMayHaveChanged();
}

void MpvMediaPlayer::stop() {
  if (!mpv_ || !hasFile_) return;
  SetPaused(true);
  Seek(0);
  stopped_ = true;
  StateMayHaveChanged();
}

double MpvMediaPlayer::currentPosition() const {
  if (!mpv_ || !loaded_ || starting_) return seekPending_ ? pendingPosition_ : 0;
  double position = 0;
  if (mpv_get_property(mpv_, mpv_names::kTimePos, MPV_FORMAT_DOUBLE, &position) < 0) {
    return seekPending_ ? pendingPosition_ : lastPosition_;
  }
  // mpv may report a hair below the first frame at the start, which would show as hour -1.
  position = std::max(0.0, position - origin_);
  if (seekPending_) {
    // After a seek that landed while paused, mpv reports the position less the audio it has
    // buffered until playback runs again; the target is the true position meanwhile.
    if (!seekLanded_ || paused_ || position < pendingPosition_ - kLandingTolerance) {
      return pendingPosition_;
    }
    seekPending_ = false;
  }
  lastPosition_ = position;
  return position;
}

void MpvMediaPlayer::setCurrentPosition(double seconds) {
  if (!mpv_ || !hasFile_ || !std::isfinite(seconds)) return;
  Seek(seconds);
}

int MpvMediaPlayer::playState() const {
  if (!hasFile_) return kUndefined;
  if (stopped_ || endReached_) return kStopped;
  if (!loaded_ || paused_) return kPaused;
  return kPlaying;
}

QString MpvMediaPlayer::durationString() const {
  if (duration() <= 0) return {};
  const long total = std::lround(duration());
  const long hours = total / 3600, minutes = total / 60 % 60, seconds = total % 60;
  char text[32];
  if (hours > 0) {
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", hours, minutes, seconds);
  } else {
    std::snprintf(text, sizeof text, "%02ld:%02ld", minutes, seconds);
  }
  return QString::fromLatin1(text);
}

double MpvMediaPlayer::duration() const {
  return loaded_ && !starting_ ? std::max(0.0, duration_ - origin_) : 0;
}

void MpvMediaPlayer::setBalance(int balance) {
  balance = std::clamp(balance, -100, 100);
  if (balance == balance_) return;
  balance_ = balance;
  ApplyAudioFilters();
}

void MpvMediaPlayer::setAudioSettings(const audio::AudioSettings& settings) {
  if (settings == audio_) return;
  audio_ = settings;
  ApplyAudioFilters();
}

void MpvMediaPlayer::setRate(double rate) {
  if (!mpv_ || !std::isfinite(rate)) return;
  double speed = std::clamp(rate, 0.01, 100.0);
  if (speed == rate_) return;
  // mpv reckons the position from the sound it has buffered, scaled by the speed, and a new
  // tempo filter starts the sound afresh: without a seek the position would jump.
  const bool keepPosition = hasFile_ && loaded_ && !starting_ && !endReached_;
  const double position = keepPosition ? currentPosition() : 0;
  const bool tempoChanges = (speed != 1.0) != (rate_ != 1.0);
  rate_ = speed;
  if (tempoChanges) ApplyAudioFilters();
  mpv_set_property(mpv_, mpv_names::kSpeed, MPV_FORMAT_DOUBLE, &speed);
  if (keepPosition) Seek(position);
}

bool MpvMediaPlayer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_) {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      emit KeyDown(VirtualKeyCode(key->key()), ShiftMask(key->modifiers()));
    } else if (event->type() == QEvent::MouseButtonRelease) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPoint at = mouse->position().toPoint();
      emit MouseUp(MouseButtonCode(mouse->button()), ShiftMask(mouse->modifiers()), at.x(),
                   at.y());
    }
  }
  return MediaPlayer::eventFilter(watched, event);
}

void MpvMediaPlayer::DrainEvents() {
  if (!mpv_) return;
  for (;;) {
    mpv_event* event = mpv_wait_event(mpv_, 0);
    if (event->event_id == MPV_EVENT_NONE) break;
    HandleEvent(*event);
  }
  // mpv hands out its log messages only once no other event waits, so the reason for a failure
  // is complete only now.
  if (failurePending_) {
    failurePending_ = false;
    loading_ = false;
    if (loadErrors_.isEmpty()) loadErrors_ = QString::fromUtf8(mpv_error_string(failureError_));
    emit MediaError(loadErrors_);
  }
  // The duration follows from the events just handled: the length observed, the first frame
  // shown, a recording replaced or failed.
  if (const double now = duration(); now != reportedDuration_) {
    reportedDuration_ = now;
    emit DurationChange();
  }
}

void MpvMediaPlayer::HandleEvent(const mpv_event& event) {
  switch (event.event_id) {
    case MPV_EVENT_LOG_MESSAGE: {
      const auto* message = static_cast<const mpv_event_log_message*>(event.data);
      if (loading_ && loadErrors_.isEmpty()) {
        loadErrors_ = QString::fromUtf8(message->text).trimmed();
      }
      break;
    }
    case MPV_EVENT_START_FILE:
      startedEntry_ = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
      break;
    case MPV_EVENT_FILE_LOADED:
      if (!hasFile_ || startedEntry_ != entry_) break;
      loaded_ = true;
      loading_ = false;
      starting_ = true;
      StateMayHaveChanged();
      break;
    case MPV_EVENT_END_FILE: {
      const auto* end = static_cast<const mpv_event_end_file*>(event.data);
      const bool failed =
          end->reason == MPV_END_FILE_REASON_ERROR || end->reason == MPV_END_FILE_REASON_REDIRECT;
      if (hasFile_ && end->playlist_entry_id == entry_ && failed) {
        Failed(*end);
      }
      break;
    }
    case MPV_EVENT_COMMAND_REPLY:
      if (event.reply_userdata > kSeekReplyBase) {
        seeksQueued_ = std::max<quint64>(seeksQueued_, event.reply_userdata - kSeekReplyBase);
      }
      break;
    case MPV_EVENT_PLAYBACK_RESTART:
      if (starting_) {
        Started();
      } else if (seekPending_ && seeksQueued_ == seeksIssued_) {
        // Once mpv has taken the last seek asked for, a restart means it has landed.
        seekLanded_ = true;
      }
      break;
    case MPV_EVENT_PROPERTY_CHANGE: {
      const auto* property = static_cast<const mpv_event_property*>(event.data);
      if (event.reply_userdata == kObserveDuration) {
        duration_ = property->format == MPV_FORMAT_DOUBLE ? *static_cast<double*>(property->data)
                                                          : 0;
      } else if (event.reply_userdata == kObserveEof) {
        endReached_ = property->format == MPV_FORMAT_FLAG && *static_cast<int*>(property->data);
        if (endReached_) paused_ = true;  // mpv keeps the last frame and pauses
        // At its end before it has a length: a file with no samples (a bare wave header), which
        // mpv opens but which has nothing to play.
        if (endReached_ && hasFile_ && loaded_ && duration_ <= 0) {
          GiveUp(kNothingToPlay);
        }
        StateMayHaveChanged();
      } else if (event.reply_userdata == kObserveAudioOutput) {
        SoundOutputChanged(property->format == MPV_FORMAT_STRING
                               ? *static_cast<const char* const*>(property->data)
                               : nullptr);
      }
      break;
    }
    default:
      break;
  }
}

void MpvMediaPlayer::Started() {
  if (duration_ <= 0 && DemuxerFoundNothing()) {
    GiveUp(kNothingToPlay);
    StateMayHaveChanged();
    return;
  }
  double first = 0;
  mpv_get_property(mpv_, mpv_names::kTimePos, MPV_FORMAT_DOUBLE, &first);
  // The recording's channels are known now. A mono one changes the filters, which already hold
  // sound made the old way: they are made anew and the sound starts again where it is, before the
  // recording counts as started. The next restart comes back here.
  int64_t channels = 0;
  if (mpv_get_property(mpv_, mpv_names::kSourceChannels, MPV_FORMAT_INT64, &channels) >= 0) {
    monoSource_ = channels == 1;
  }
  if (const audio::FilterChain wanted = WantedAudioFilters(); wanted != running_) {
    WriteAudioFilters(wanted);
    char target[32];
    std::snprintf(target, sizeof target, "%.6f", first);
    const char* command[] = {mpv_names::kSeek, target, mpv_names::kSeekAbsoluteExact, nullptr};
    if (mpv_command(mpv_, command) >= 0) return;
  }
  starting_ = false;
  origin_ = first > 0 && first < kMostStartDelay ? first : 0;
  // A position asked for while loading is applied now that it can be reckoned from the origin.
  if (seekPending_) Seek(pendingPosition_);
  StateMayHaveChanged();
}

void MpvMediaPlayer::Failed(const mpv_event_end_file& end) {
  // Nothing is loaded. The reason is mpv's first error message for this file, or its error code;
  // it is reported once the events are drained.
  hasFile_ = false;
  loaded_ = false;
  starting_ = false;
  seekPending_ = false;
  failurePending_ = true;
  failureError_ = end.error;
  // A playlist: mpv would go on to play what it names.
  if (end.reason == MPV_END_FILE_REASON_REDIRECT) GiveUp("It is a playlist, not a recording.");
  StateMayHaveChanged();
}

bool MpvMediaPlayer::DemuxerFoundNothing() const {
  mpv_node state;
  if (mpv_get_property(mpv_, mpv_names::kDemuxerCacheState, MPV_FORMAT_NODE, &state) < 0) {
    return false;
  }
  bool atEnd = false;
  int64_t bytes = -1;
  if (state.format == MPV_FORMAT_NODE_MAP) {
    const mpv_node_list* fields = state.u.list;
    for (int i = 0; i < fields->num; ++i) {
      const mpv_node& value = fields->values[i];
      if (std::strcmp(fields->keys[i], "eof") == 0 && value.format == MPV_FORMAT_FLAG) {
        atEnd = value.u.flag != 0;
      } else if (std::strcmp(fields->keys[i], "total-bytes") == 0 &&
                 value.format == MPV_FORMAT_INT64) {
        bytes = value.u.int64;
      }
    }
  }
  mpv_free_node_contents(&state);
  return atEnd && bytes == 0;
}

void MpvMediaPlayer::GiveUp(const QString& reason) {
  // mpv holds a file it would play (or one it reached the end of at once): it is let go, and the
  // failure is reported like one of mpv's own.
  const char* command[] = {mpv_names::kStop, nullptr};
  mpv_command(mpv_, command);
  hasFile_ = false;
  loaded_ = false;
  starting_ = false;
  seekPending_ = false;
  failurePending_ = true;
  loadErrors_ = reason;
}

void MpvMediaPlayer::TrySoundAgain() {
  // A sound server started (or restarted) since the output fell back to none: mpv looks for a
  // device again. Opening the output anew restarts the sound from what was decoded, which lies
  // ahead of what was heard, so the position is set back to where it was.
  const double position = currentPosition();
  const char* command[] = {mpv_names::kAudioOutputReload, nullptr};
  if (mpv_command(mpv_, command) >= 0 && loaded_ && !starting_) Seek(position);
}

void MpvMediaPlayer::SoundOutputChanged(const char* output) {
  // Only a recording being played opens the sound output; in between there is none to judge.
  if (!output || !*output) return;
  const int missing = std::strcmp(output, mpv_names::kNullOutput) == 0 ? 1 : 0;
  if (missing == soundMissing_) return;
  soundMissing_ = missing;
  emit NoSoundDevice(missing == 1);
}

void MpvMediaPlayer::SetPaused(bool paused) {
  paused_ = paused;
  int flag = paused ? 1 : 0;
  mpv_set_property(mpv_, mpv_names::kPause, MPV_FORMAT_FLAG, &flag);
}

void MpvMediaPlayer::Seek(double seconds) {
  // mpv stops at the ends itself; the position reported meanwhile stays within them too.
  seconds = std::max(0.0, seconds);
  if (duration() > 0) seconds = std::min(seconds, duration());
  seekPending_ = true;
  seekLanded_ = false;
  pendingPosition_ = seconds;
  endReached_ = false;
  if (!loaded_ || starting_) return;  // applied when the recording has started
  // The seek makes mpv's filters anew from its list: the list gets the options changed in place.
  if (running_ != written_) WriteAudioFilters(running_);
  char target[32];
  std::snprintf(target, sizeof target, "%.6f", seconds + origin_);
  const char* command[] = {mpv_names::kSeek, target, mpv_names::kSeekAbsoluteExact, nullptr};
  ++seeksIssued_;
  if (mpv_command_async(mpv_, kSeekReplyBase + seeksIssued_, command) < 0) {
    --seeksIssued_;
    seekPending_ = false;
  }
}

void MpvMediaPlayer::ApplyAudioFilters() {
  if (!mpv_) return;
  const audio::FilterChain wanted = WantedAudioFilters();
  if (SoundRuns()) {
    if (const auto commands = audio::CommandsBetween(running_, wanted)) {
      for (const audio::FilterCommand& change : *commands) {
        const char* command[] = {mpv_names::kAudioFilterCommand, change.label.c_str(),
                                 change.option.c_str(), change.value.c_str(), nullptr};
        // mpv answers with the last result of every filter in the label's graph, an error from
        // those without the option even when the filter took it; the render tests hold what
        // the sound does.
        mpv_command(mpv_, command);
      }
      running_ = wanted;
      return;
    }
  }
  WriteAudioFilters(wanted);
}

audio::FilterChain MpvMediaPlayer::WantedAudioFilters() const {
  return audio::BuildFilterChain({audio_, balance_, rate_ != 1.0, monoSource_, pace_});
}

void MpvMediaPlayer::WriteAudioFilters(const audio::FilterChain& chain) {
  mpv_set_property_string(mpv_, mpv_names::kAudioFilters, audio::FilterListText(chain).c_str());
  written_ = chain;
  running_ = chain;
}

bool MpvMediaPlayer::SoundRuns() const {
  return hasFile_ && loaded_ && !starting_ && !(seekPending_ && !seekLanded_);
}

void MpvMediaPlayer::StateMayHaveChanged() {
  if (stateCheckQueued_) return;
  stateCheckQueued_ = true;
  QMetaObject::invokeMethod(this, &MpvMediaPlayer::ReportState, Qt::QueuedConnection);
}

void MpvMediaPlayer::ReportState() {
  stateCheckQueued_ = false;
  const int state = playState();
  if (state == reportedState_) return;
  reportedState_ = state;
  emit PlayStateChange(state);
}
