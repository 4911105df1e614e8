#pragma once
// Recordings played to their end through the real window on the real libmpv player, whose sound
// goes into a WAV file as fast as it decodes: what the window's own filter chain makes of them,
// measured rather than heard. The sound settings are set on the audio page, as the typist sets
// them.
//
// Paced, the player holds the sound to a multiple of real time: changes made on the way land while
// it plays, however fast the machine decodes. Nothing measured depends on the time it takes.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "audio/audio_settings.h"
#include "fake_file_dialog.h"
#include "fake_message_boxes.h"
#include "form1.h"
#include "platform/mpv_media_player.h"
#include "sound.h"
#include "wait.h"

class SoundThroughWindow : public ::testing::Test {
 protected:
  // Runs on every turn of the event loop while the recording plays, with the position.
  using WhilePlaying = std::function<void(Form1& form, double position)>;

  // `recording` played from its start to its end with `settings`; `whilePlaying` may change
  // them on the way. `realTimes` paces it (0: as fast as it decodes). Empty when it could not be
  // played (the test has failed then).
  test_sound::Sound Render(const test_sound::Sound& recording, const audio::AudioSettings& settings,
                           const WhilePlaying& whilePlaying = {}, double realTimes = 0) {
    ++renders_;
    const QString in = dir.filePath(QString("recording-%1.wav").arg(renders_));
    const QString out = dir.filePath(QString("heard-%1.wav").arg(renders_));
    if (!test_sound::WriteWave(in, recording)) {
      ADD_FAILURE() << "cannot write " << in.toStdString();
      return {};
    }
    {
      MpvMediaPlayer player(MpvMediaPlayer::IntoWaveFile(out.toUtf8(), realTimes));
      if (!player.Ready()) {
        ADD_FAILURE() << "mpv did not start";
        return {};
      }
      FakeFileDialog dialog;
      FakeMessageBoxes messages;
      Form1 form(PlatformWith(player, dialog, messages));
      form.Timer2->stop();
      form.SetAudioSettings(settings);
      dialog.answers << in;
      form.Fileopen_Click();
      const bool loaded = WaitUntil(
          [&] { return player.playState() == MediaPlayer::kPaused && player.duration() > 0; });
      if (!loaded) {
        ADD_FAILURE() << "the recording did not load";
        return {};
      }
      player.play();
      const bool ended = WaitUntil(
          [&] {
            if (whilePlaying) whilePlaying(form, player.currentPosition());
            return player.playState() == MediaPlayer::kStopped;
          },
          120000);
      EXPECT_TRUE(ended) << "the recording did not play to its end";
      form.close();
    }  // the player closes the file
    return test_sound::ReadWave(out);
  }

  // The window's platform on `player`, saving no settings.
  FormPlatform PlatformWith(MediaPlayer& player, FakeFileDialog& dialog, FakeMessageBoxes& messages) {
    FormPlatform platform(player, dialog, messages);
    platform.programFolder = dir.path();
    platform.saveSettings = false;
    return platform;
  }

  QTemporaryDir dir;

 private:
  int renders_ = 0;
};
