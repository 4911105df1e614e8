// The real libmpv player, headless, on recordings sox writes for each test.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include "platform/mpv_media_player.h"
#include "support/test_media.h"
#include "support/wait.h"

namespace {

class MpvPlayerTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(player_.Ready());
  }

  QString Tone(double seconds) {
    const QString path = dir_.filePath(QString("tone.") + GetParam());
    EXPECT_TRUE(test_media::WriteTone(path, seconds));
    return path;
  }

  // Opens the file the way the window does: play and at once pause.
  void Open(const QString& path) {
    player_.setURL(path);
    player_.play();
    player_.pause();
    ASSERT_TRUE(WaitUntil([&] { return player_.duration() > 0; })) << "never loaded";
  }

  bool PositionNear(double expected, double tolerance = 0.05) {
    return WaitUntil([&] { return std::abs(player_.currentPosition() - expected) < tolerance; });
  }

  QTemporaryDir dir_;
  MpvMediaPlayer player_{MpvMediaPlayer::Headless()};
};

TEST_P(MpvPlayerTest, OpensPausedAtStartWithItsDuration) {
  QSignalSpy states(&player_, &MediaPlayer::PlayStateChange);
  Open(Tone(3));
  EXPECT_EQ(player_.playState(), MediaPlayer::kPaused);
  EXPECT_NEAR(player_.duration(), 3.0, 0.1);
  EXPECT_EQ(player_.durationString(), "00:03");
  // Paused means paused: the position does not move.
  QElapsedTimer clock;
  clock.start();
  WaitUntil([&] { return clock.elapsed() > 300; }, 1000);
  EXPECT_NEAR(player_.currentPosition(), 0.0, 0.001);
  ASSERT_FALSE(states.isEmpty());
  EXPECT_EQ(states.last().at(0).toInt(), MediaPlayer::kPaused);
}

TEST_P(MpvPlayerTest, PositionSetIsReportedAtOnceAndLands) {
  Open(Tone(4));
  player_.setCurrentPosition(1.5);
  EXPECT_DOUBLE_EQ(player_.currentPosition(), 1.5);  // the pending target, before the seek lands
  // Two quick moves back both count.
  player_.setCurrentPosition(player_.currentPosition() - 0.5);
  player_.setCurrentPosition(player_.currentPosition() - 0.5);
  EXPECT_DOUBLE_EQ(player_.currentPosition(), 0.5);
  ASSERT_TRUE(PositionNear(0.5, 0.01));
  EXPECT_EQ(player_.playState(), MediaPlayer::kPaused);
  // Playing runs on from there, never from before it.
  player_.play();
  double lowest = 10;
  ASSERT_TRUE(WaitUntil([&] {
    const double now = player_.currentPosition();
    lowest = std::min(lowest, now);
    return now > 0.8;
  }));
  EXPECT_GE(lowest, 0.45);
  player_.pause();
  // Out of range asks are answered within the recording, never a failure.
  player_.setCurrentPosition(-3);
  EXPECT_GE(player_.currentPosition(), 0.0);
  ASSERT_TRUE(PositionNear(0.0, 0.01));
}

TEST_P(MpvPlayerTest, PositionSetWhileLoadingIsApplied) {
  player_.setURL(Tone(4));
  player_.setCurrentPosition(2.0);
  EXPECT_DOUBLE_EQ(player_.currentPosition(), 2.0);
  ASSERT_TRUE(WaitUntil([&] { return player_.duration() > 0; }));
  ASSERT_TRUE(PositionNear(2.0, 0.01));
}

TEST_P(MpvPlayerTest, PlayPauseStopAndTheirStates) {
  Open(Tone(4));
  QSignalSpy states(&player_, &MediaPlayer::PlayStateChange);
  player_.play();
  ASSERT_TRUE(states.wait(3000));
  EXPECT_EQ(states.last().at(0).toInt(), MediaPlayer::kPlaying);
  EXPECT_EQ(player_.playState(), MediaPlayer::kPlaying);
  ASSERT_TRUE(WaitUntil([&] { return player_.currentPosition() > 0.3; }));

  player_.pause();
  ASSERT_TRUE(WaitUntil([&] { return states.last().at(0).toInt() == MediaPlayer::kPaused; }));
  const double pausedAt = player_.currentPosition();
  EXPECT_GT(pausedAt, 0.3);

  player_.stop();
  ASSERT_TRUE(WaitUntil([&] { return states.last().at(0).toInt() == MediaPlayer::kStopped; }));
  EXPECT_EQ(player_.playState(), MediaPlayer::kStopped);
  const bool atStart = PositionNear(0.0, 0.001);
  ASSERT_TRUE(atStart) << "at " << player_.currentPosition();
  EXPECT_GT(player_.duration(), 0.0);  // still loaded

  player_.play();
  ASSERT_TRUE(WaitUntil([&] { return states.last().at(0).toInt() == MediaPlayer::kPlaying; }));
}

TEST_P(MpvPlayerTest, PlaysAtATenthAndAtDoubleSpeed) {
  Open(Tone(6));
  // Recording seconds per wall-clock second, measured once the new rate has settled (the
  // audio already buffered plays out at the old one).
  auto advancePerSecond = [&](double rate) {
    player_.setRate(rate);
    player_.play();
    QElapsedTimer clock;
    clock.start();
    WaitUntil([&] { return clock.elapsed() >= 400; }, 2000);
    const double from = player_.currentPosition();
    clock.restart();
    WaitUntil([&] { return clock.elapsed() >= 600; }, 2000);
    const double advance = player_.currentPosition() - from;
    const double wall = clock.elapsed() / 1000.0;
    player_.pause();
    return advance / wall;
  };
  // The ratio of recording time to wall time follows the rate.
  const double doubleSpeed = advancePerSecond(2.0);
  EXPECT_GT(doubleSpeed, 1.5);
  EXPECT_LT(doubleSpeed, 2.3);
  const double tenth = advancePerSecond(0.1);
  EXPECT_GT(tenth, 0.02);
  EXPECT_LT(tenth, 0.3);
}

TEST_P(MpvPlayerTest, BalanceKeepsPlaying) {
  Open(Tone(3));
  player_.setBalance(-100);
  player_.setBalance(40);
  player_.play();
  ASSERT_TRUE(WaitUntil([&] { return player_.currentPosition() > 0.3; }));
  player_.setBalance(0);
  const double before = player_.currentPosition();
  ASSERT_TRUE(WaitUntil([&] { return player_.currentPosition() > before + 0.2; }));
}

TEST_P(MpvPlayerTest, EndStopsAndPlayStartsOver) {
  Open(Tone(1));
  QSignalSpy states(&player_, &MediaPlayer::PlayStateChange);
  player_.play();
  ASSERT_TRUE(WaitUntil([&] { return player_.playState() == MediaPlayer::kStopped; }, 5000));
  player_.play();
  ASSERT_TRUE(WaitUntil([&] {
    return player_.playState() == MediaPlayer::kPlaying && player_.currentPosition() < 0.9;
  }));
}

TEST_P(MpvPlayerTest, ReleasingTheRecording) {
  Open(Tone(2));
  player_.setURL("");
  EXPECT_EQ(player_.playState(), MediaPlayer::kUndefined);
  EXPECT_EQ(player_.duration(), 0.0);
  EXPECT_EQ(player_.durationString(), "");
  player_.play();  // nothing loaded: ignored
  EXPECT_EQ(player_.playState(), MediaPlayer::kUndefined);
}

TEST(MpvPlayer, BalanceOnAMonoRecording) {
  QTemporaryDir dir;
  const QString path = dir.filePath("mono.wav");
  ASSERT_TRUE(test_media::WriteTone(path, 3.0, 22050, 1));
  MpvMediaPlayer player(MpvMediaPlayer::Headless());
  player.setURL(path);
  player.setBalance(-60);
  player.play();
  ASSERT_TRUE(WaitUntil([&] { return player.currentPosition() > 0.5; }));
  EXPECT_EQ(player.playState(), MediaPlayer::kPlaying);
}

INSTANTIATE_TEST_SUITE_P(Formats, MpvPlayerTest, ::testing::Values("wav", "flac", "mp3"));

TEST(MpvPlayer, AFileItCannotOpenLeavesNothingLoaded) {
  QTemporaryDir dir;
  const QString path = dir.filePath("noise.wav");
  ASSERT_TRUE(test_media::WriteAll(path, QByteArray(4096, '\x5a')));
  MpvMediaPlayer player(MpvMediaPlayer::Headless());
  QSignalSpy states(&player, &MediaPlayer::PlayStateChange);
  QSignalSpy errors(&player, &MediaPlayer::MediaError);
  player.setURL(path);
  player.play();
  ASSERT_TRUE(errors.wait(5000));
  EXPECT_EQ(player.playState(), MediaPlayer::kUndefined);
  EXPECT_EQ(player.duration(), 0.0);
  EXPECT_FALSE(errors.front().at(0).toString().isEmpty()) << "mpv's reason";
  // A bad file replaced by a good one before its failure is handled: the report, when it comes,
  // is not the good one's. (The GUI thread is kept busy meanwhile, as a slow handler would.)
  const QString good = dir.filePath("tone.wav");
  ASSERT_TRUE(test_media::WriteTone(good, 1.0));
  player.setURL(path);
  QThread::msleep(500);
  player.setURL(good);
  player.play();
  ASSERT_TRUE(WaitUntil([&] { return player.currentPosition() > 0.2; }));
  EXPECT_EQ(errors.size(), 1);
  EXPECT_EQ(player.playState(), MediaPlayer::kPlaying);
}

}  // namespace
