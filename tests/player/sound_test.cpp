// What the window's own filter chain does to real recordings, played through the real window on
// headless libmpv into WAV files and measured: one channel heard in both ears, speech levelled,
// noise reduced, rumble cut, the volume raised up to its limiter; every change while playing
// loses and inserts no sound and keeps the position; a mono recording keeps its level.

#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/media_player.h"
#include "support/sound.h"
#include "support/sound_through_window.h"

namespace {

using audio::AudioSettings;
using audio::Channel;
using audio::NoiseReduction;
using test_sound::Sound;
using test_sound::Speech;
using test_sound::Spans;

// Where the levelled speech ends up, RMS over the talk.
constexpr double kLevelledSpeechDb = -23;
// One frame at 30 frames a second.
constexpr double kFrameSeconds = 1.0 / 30;

const Speech& Spoken() { return test_sound::SpokenSentences(); }

Sound Stereo(const std::vector<float>& left, const std::vector<float>& right) {
  return {Spoken().sound.rate, {left, right}};
}

// How many frames later the heard sound is than the recording (the filters' delay), found by
// matching their 1 ms envelopes over up to 100 ms.
long DelayOf(const std::vector<float>& recording, const std::vector<float>& heard, int rate) {
  const std::size_t bin = static_cast<std::size_t>(rate) / 1000;
  const auto envelope = [bin](const std::vector<float>& samples) {
    std::vector<double> levels(samples.size() / bin);
    for (std::size_t i = 0; i < levels.size(); ++i) {
      for (std::size_t j = i * bin; j < (i + 1) * bin; ++j) levels[i] += std::abs(samples[j]);
    }
    return levels;
  };
  const std::vector<double> a = envelope(recording), b = envelope(heard);
  long best = 0;
  double bestScore = -1;
  for (std::size_t lag = 0; lag <= 100 && lag < b.size(); ++lag) {
    double score = 0;
    for (std::size_t i = 0; i + lag < b.size() && i < a.size(); ++i) score += a[i] * b[i + lag];
    if (score > bestScore) bestScore = score, best = static_cast<long>(lag);
  }
  return best * static_cast<long>(bin);
}

class SoundTest : public SoundThroughWindow {
 protected:
  // Kept with the test's result (--gtest_output=xml), for the record of what was measured.
  void Measured(const std::string& what, std::initializer_list<double> values) {
    std::string text;
    for (const double value : values) text += (text.empty() ? "" : " ") + std::to_string(value);
    RecordProperty(what, text);
  }

  // The talk and the pauses of the spoken sentences where they are heard.
  Spans Talk(const Sound& heard, long delay) const {
    return test_sound::Shifted(Spoken().talk, delay, heard.Frames());
  }
  Spans Pauses(const Sound& heard, long delay) const {
    return test_sound::Shifted(Spoken().pauses, delay, heard.Frames());
  }
};

TEST_F(SoundTest, OneChannelIsHeardInBothEars) {
  // The talker on one side, a steady 1 kHz tone on the other, both at -20 dBFS.
  const std::vector<float> talk = test_sound::AtLevel(Spoken(), -20);
  std::vector<float> tone(talk.size());
  test_sound::AddTone(tone, Spoken().sound.rate, 1000, -20);
  constexpr double kGone = -200;
  const struct {
    Channel channel;
    bool talkOnLeft;
    double talkDb[2];  // in each ear; kGone: not there
    double toneDb[2];
  } cases[] = {
      {Channel::Both, true, {-20, kGone}, {kGone, -20}},
      {Channel::LeftOnly, true, {-20, -20}, {kGone, kGone}},
      {Channel::RightOnly, false, {-20, -20}, {kGone, kGone}},
      {Channel::MonoMix, true, {-26, -26}, {-26, -26}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.channel));
    const Sound recording = c.talkOnLeft ? Stereo(talk, tone) : Stereo(tone, talk);
    AudioSettings settings;
    settings.channel = c.channel;
    const Sound heard = Render(recording, settings);
    ASSERT_EQ(heard.channels.size(), 2u);
    const long delay = DelayOf(talk, heard.channels[c.talkOnLeft ? 0 : 1], heard.rate);
    for (int ear = 0; ear < 2; ++ear) {
      SCOPED_TRACE(ear == 0 ? "left ear" : "right ear");
      const std::vector<float>& samples = heard.channels[ear];
      // The tone alone sounds in the pauses; a tone that is gone is 40 dB down at least.
      const double toneHeard = test_sound::ToneDb(samples, heard.rate, 1000, Pauses(heard, delay));
      Measured("channel" + std::to_string(static_cast<int>(c.channel)) + "-ear" + std::to_string(ear) + "-tone", {toneHeard});
      if (c.toneDb[ear] == kGone) {
        EXPECT_LE(toneHeard, -20 - 40);
      } else {
        EXPECT_NEAR(toneHeard, c.toneDb[ear], 0.5);
      }
      if (c.talkDb[ear] != kGone) {
        // The talk less the tone's share of the same stretches.
        const double both = test_sound::RmsDb(samples, Talk(heard, delay));
        const double talkOnly =
            c.toneDb[ear] == kGone
                ? both
                : 10 * std::log10(std::pow(10, both / 10) - std::pow(10, c.toneDb[ear] / 10));
        EXPECT_NEAR(talkOnly, c.talkDb[ear], 0.5);
      }
    }
  }
}

TEST_F(SoundTest, LevelSpeechBringsQuietAndLoudTalkToOneLevel) {
  for (const double talkDb : {-40.0, -30.0, -20.0}) {
    SCOPED_TRACE(talkDb);
    const std::vector<float> talk = test_sound::AtLevel(Spoken(), talkDb);
    AudioSettings settings;
    const Sound plain = Render(Stereo(talk, talk), settings);
    settings.levelSpeech = true;
    const Sound levelled = Render(Stereo(talk, talk), settings);
    ASSERT_EQ(levelled.channels.size(), 2u);
    const long delay = DelayOf(talk, levelled.channels[0], levelled.rate);
    // Off, the chain leaves the talk as it was.
    EXPECT_NEAR(test_sound::RmsDb(plain.channels[0], Talk(plain, delay)), talkDb, 0.5);
    for (const auto& ear : levelled.channels) {
      EXPECT_NEAR(test_sound::RmsDb(ear, Talk(levelled, delay)), kLevelledSpeechDb, 4);
    }
    EXPECT_LE(test_sound::Peak(levelled), 1.0f);
    Measured("level" + std::to_string(static_cast<int>(talkDb)),
             {test_sound::RmsDb(levelled.channels[0], Talk(levelled, delay)), test_sound::Peak(levelled)});
  }
}

TEST_F(SoundTest, ReduceNoiseTakesTheHissOutOfThePausesAndKeepsTheTalk) {
  // Talk at -20 dBFS over steady noise 35 dB below full scale.
  std::vector<float> noisy = test_sound::AtLevel(Spoken(), -20);
  test_sound::AddNoise(noisy, -35);
  double pausesBefore = 0;  // the level in the pauses one level down
  for (const NoiseReduction level :
       {NoiseReduction::Off, NoiseReduction::Low, NoiseReduction::Medium, NoiseReduction::High}) {
    SCOPED_TRACE(static_cast<int>(level));
    AudioSettings settings;
    settings.noise = level;
    const Sound heard = Render(Stereo(noisy, noisy), settings);
    ASSERT_EQ(heard.channels.size(), 2u);
    const long delay = DelayOf(noisy, heard.channels[0], heard.rate);
    const double pauses = test_sound::RmsDb(heard.channels[0], Pauses(heard, delay));
    const double talk = test_sound::RmsDb(heard.channels[0], Talk(heard, delay));
    EXPECT_NEAR(talk, -20, 3);
    if (level == NoiseReduction::Off) {
      EXPECT_NEAR(pauses, -35, 0.5);
    } else {
      EXPECT_LE(pauses, pausesBefore + 0.5) << "a stronger level reduces no less";
    }
    if (level == NoiseReduction::High) {
      EXPECT_LE(pauses, -35 - 10);
    }
    Measured("noise" + std::to_string(static_cast<int>(level)), {talk, pauses});
    pausesBefore = pauses;
  }
}

TEST_F(SoundTest, CutRumbleTakesTheHumBelowSpeech) {
  std::vector<float> talk = test_sound::AtLevel(Spoken(), -20);
  std::vector<float> humming = talk;
  test_sound::AddTone(humming, Spoken().sound.rate, 40, -20);
  AudioSettings settings;
  settings.cutRumble = true;
  const Sound heard = Render(Stereo(humming, humming), settings);
  ASSERT_EQ(heard.channels.size(), 2u);
  const long delay = DelayOf(talk, heard.channels[0], heard.rate);
  EXPECT_LE(test_sound::ToneDb(heard.channels[0], heard.rate, 40, Pauses(heard, delay)), -20 - 12);
  // Speech itself lies above the cut.
  const Sound plainTalk = Render(Stereo(talk, talk), settings);
  EXPECT_NEAR(test_sound::RmsDb(plainTalk.channels[0], Talk(plainTalk, delay)), -20, 1.5);
}

TEST_F(SoundTest, VolumeRaisesByItsFactorAndTheLimiterKeepsPeaksInside) {
  // Talk at -30 dBFS, its peaks far below full scale even at twice the level.
  const std::vector<float> quiet = test_sound::AtLevel(Spoken(), -30);
  const Sound normal = Render(Stereo(quiet, quiet), AudioSettings{});
  ASSERT_EQ(normal.channels.size(), 2u);
  const long delay = DelayOf(quiet, normal.channels[0], normal.rate);
  const double normalDb = test_sound::RmsDb(normal.channels[0], Talk(normal, delay));
  for (const auto& [percent, gainDb] :
       std::initializer_list<std::pair<int, double>>{{200, 6.02}, {50, -6.02}, {0, -200}}) {
    SCOPED_TRACE(percent);
    AudioSettings settings;
    settings.volumePercent = percent;
    const Sound heard = Render(Stereo(quiet, quiet), settings);
    ASSERT_EQ(heard.channels.size(), 2u);
    const double heardDb = test_sound::RmsDb(heard.channels[0], Talk(heard, delay));
    if (percent == 0) {
      EXPECT_EQ(heardDb, -200);
    } else {
      EXPECT_NEAR(heardDb - normalDb, gainDb, 0.5);
    }
    Measured("volume" + std::to_string(percent), {heardDb - normalDb});
  }

  // A loud recording, its peaks just below full scale, at four times the level.
  std::vector<float> loud = test_sound::AtLevel(Spoken(), -12);
  const float peak = test_sound::Peak(Stereo(loud, loud));
  for (float& sample : loud) sample *= 0.99f / peak;
  AudioSettings settings;
  settings.volumePercent = 400;
  const Sound heard = Render(Stereo(loud, loud), settings);
  ASSERT_EQ(heard.channels.size(), 2u);
  EXPECT_LE(test_sound::Peak(heard), 1.0f);
  Measured("volume400-peak", {test_sound::Peak(heard)});
  // Held below full scale, not turned down below the recording's own level.
  EXPECT_GE(test_sound::RmsDb(heard.channels[0], Talk(heard, delay)),
            test_sound::RmsDb(loud, Spoken().talk) - 0.5);
}

TEST_F(SoundTest, AMonoRecordingKeepsItsLevelInBothEars) {
  const std::vector<float> talk = test_sound::AtLevel(Spoken(), -20);
  const Sound heard = Render(Sound{Spoken().sound.rate, {talk}}, AudioSettings{});
  ASSERT_EQ(heard.channels.size(), 2u);
  const long delay = DelayOf(talk, heard.channels[0], heard.rate);
  for (const auto& ear : heard.channels) {
    EXPECT_NEAR(test_sound::RmsDb(ear, Talk(heard, delay)), -20, 0.5);
  }
}

// At the end of the recording the filters have next to nothing left to work on: a seek to the
// end while paused, a new speed and every sound setting there, playing on to the end, then again
// from the start to a moment before the end: all pass without fault.
TEST_F(SoundTest, TheEndOfTheRecordingWithEverySettingPlaysOutCleanly) {
  // Real playback with every filter on, on a machine that may be busy: a fault hangs for good.
  constexpr int kPlayedOut = 60000;
  const std::vector<float> talk = test_sound::AtLevel(Spoken(), -20);
  const QString path = dir.filePath("ending.wav");
  ASSERT_TRUE(test_sound::WriteWave(path, Stereo(talk, talk)));
  MpvMediaPlayer player(MpvMediaPlayer::Headless());
  FakeFileDialog dialog;
  FakeMessageBoxes messages;
  Form1 form(PlatformWith(player, dialog, messages));
  dialog.answers << path;
  form.Fileopen_Click();
  ASSERT_TRUE(WaitUntil([&] { return player.playState() == MediaPlayer::kPaused && player.duration() > 0; }));
  player.play();
  ASSERT_TRUE(WaitUntil([&] { return player.currentPosition() > 0.1; }));
  player.pause();
  player.setCurrentPosition(player.duration());
  form.SpeedSlide->setValue(75);
  form.SetAudioSettings({300, true, NoiseReduction::High, true, Channel::MonoMix});
  player.play();
  ASSERT_TRUE(WaitUntil([&] { return player.playState() == MediaPlayer::kStopped; }, kPlayedOut));
  // And from the start to a moment before the end, at normal speed.
  form.SpeedSlide->setValue(100);
  player.play();
  ASSERT_TRUE(WaitUntil([&] { return player.playState() == MediaPlayer::kPlaying; }));
  player.setCurrentPosition(player.duration() - 0.01);
  ASSERT_TRUE(WaitUntil([&] { return player.playState() == MediaPlayer::kStopped; }, kPlayedOut));
  form.close();
}

// Clicks every half second over a steady low tone, for 40 seconds, played paced: a change while playing that
// lost or inserted sound would move the clicks after it, or leave a gap in the tone.
TEST_F(SoundTest, ChangesWhilePlayingLoseNoSoundAndKeepThePosition) {
  const int rate = Spoken().sound.rate;
  const double seconds = 40;
  std::vector<float> clicks(static_cast<std::size_t>(seconds * rate));
  test_sound::AddTone(clicks, rate, 220, -30);
  std::vector<std::size_t> clickAt;
  for (double t = 0.5; t < seconds - 0.5; t += 0.5) {
    const std::size_t at = static_cast<std::size_t>(t * rate);
    clickAt.push_back(at);
    for (std::size_t i = 0; i < static_cast<std::size_t>(rate) / 1000; ++i) clicks[at + i] = 0.5f;
  }
  // Each setting changed in turn, on the audio page, as the position passes these seconds.
  const std::function<void(Form1&)> changes[] = {
      [](Form1& form) { form.VolumeSlide->setValue(150); },
      [](Form1& form) { form.LevelSpeech->setChecked(true); },
      [](Form1& form) { form.ReduceNoise->setCurrentIndex(3); },
      [](Form1& form) { form.CutRumble->setChecked(true); },
      [](Form1& form) { form.Channel->setCurrentIndex(1); },
      [](Form1& form) { form.ReduceNoise->setCurrentIndex(1); },
      [](Form1& form) { form.Channel->setCurrentIndex(3); },
      [](Form1& form) { form.SetAudioSettings(AudioSettings{}); },
  };
  std::size_t changed = 0;
  std::vector<double> positions;
  // Held to eight times real time, so that every change lands while it plays.
  const Sound heard = Render(
      Sound{rate, {clicks, clicks}}, AudioSettings{},
      [&](Form1& form, double position) {
        positions.push_back(position);
        if (changed < std::size(changes) && position >= 4.0 * (changed + 1)) changes[changed++](form);
      },
      8);
  ASSERT_EQ(heard.channels.size(), 2u);
  ASSERT_EQ(changed, std::size(changes)) << "every change was made while playing";
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end())) << "the position never went back";

  const std::vector<float>& ear = heard.channels[0];
  // The clicks where they are heard: the first loud sample after each quiet stretch.
  std::vector<std::size_t> heardAt;
  for (std::size_t i = 0; i < ear.size(); ++i) {
    if (std::abs(ear[i]) > 0.3f) {
      heardAt.push_back(i);
      i += static_cast<std::size_t>(rate) / 4;
    }
  }
  ASSERT_EQ(heardAt.size(), clickAt.size()) << "a click lost or heard twice";
  const long delay = static_cast<long>(heardAt[0]) - static_cast<long>(clickAt[0]);
  long mostMoved = 0;
  for (std::size_t k = 0; k < clickAt.size(); ++k) {
    const long moved = static_cast<long>(heardAt[k]) - static_cast<long>(clickAt[k]) - delay;
    EXPECT_LE(std::abs(moved), kFrameSeconds * rate) << "click " << k << " moved " << moved;
    mostMoved = std::max(mostMoved, std::abs(moved));
  }
  Measured("most-moved-frames", {double(mostMoved)});
  // No gap: the tone never falls silent for 2 ms, after what the filters hold back at the start.
  const std::size_t gap = static_cast<std::size_t>(rate) / 500;
  std::size_t silent = 0;
  for (std::size_t i = static_cast<std::size_t>(delay) + static_cast<std::size_t>(rate) / 10;
       i + static_cast<std::size_t>(rate) / 2 < ear.size(); ++i) {
    silent = std::abs(ear[i]) < 1e-6f ? silent + 1 : 0;
    ASSERT_LT(silent, gap) << "a gap at " << double(i) / rate << " s";
  }
}

}  // namespace
