// The window on the real libmpv player (headless): opening leaves the recording paused at its
// start, and playing fills the duration and runs the time code.

#include <QLabel>
#include <QTimer>

#include "platform/mpv_media_player.h"
#include "support/fake_file_dialog.h"
#include "support/fake_message_boxes.h"
#include "support/test_media.h"
#include "support/wait.h"
#include "form1.h"

namespace {

TEST(FormWithMpv, OpenPlayAndTheRunningTimeCode) {
  QTemporaryDir dir;
  const QString path = dir.filePath("speech.wav");
  ASSERT_TRUE(test_media::WriteTone(path, 3.0));
  MpvMediaPlayer player(MpvMediaPlayer::Output::Headless);
  ASSERT_TRUE(player.Ready());
  FakeFileDialog dialog;
  FakeMessageBoxes messages;
  FormPlatform platform;
  platform.player = &player;
  platform.fileDialog = &dialog;
  platform.messageBoxes = &messages;
  Form1 form(platform);
  form.Timer2->stop();

  dialog.answers << path;
  form.Fileopen_Click();
  ASSERT_TRUE(WaitUntil([&] { return player.playState() == MediaPlayer::kPaused && player.duration() > 0; }));
  EXPECT_EQ(player.currentPosition(), 0.0);
  EXPECT_EQ(form.Duration->text(), "");
  form.Timer1_Timer();
  EXPECT_EQ(form.TCHour->text(), "00");

  player.play();
  ASSERT_TRUE(WaitUntil([&] { return form.Duration->text() == "00:03"; }));
  // Timer1 runs the display while the recording plays.
  ASSERT_TRUE(WaitUntil([&] { return form.TCSecond->text() == "01"; }, 5000));
  EXPECT_EQ(form.TCHour->text(), "00");
  player.pause();
  form.close();
  EXPECT_EQ(player.playState(), MediaPlayer::kUndefined);
}

}  // namespace
