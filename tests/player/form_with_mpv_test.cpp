// The window on the real libmpv player (headless): opening leaves the recording paused at its
// start, and playing fills the duration and runs the time code.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <cmath>
#include <memory>
#include <QTimer>

#include "platform/mpv_media_player.h"
#include "support/fake_file_dialog.h"
#include "support/fake_message_boxes.h"
#include "support/test_media.h"
#include "support/wait.h"
#include "form1.h"

namespace {

// The window on a headless real player, with a three-second tone in a temporary folder.
class FormWithMpv : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test_media::WriteTone(path, 3.0));
    ASSERT_TRUE(player.Ready());
    FormPlatform platform;
    platform.player = &player;
    platform.fileDialog = &dialog;
    platform.messageBoxes = &messages;
    form = std::make_unique<Form1>(platform);
    form->Timer2->stop();
  }

  // Opens the tone and waits until it is loaded and paused.
  void OpenTone() {
    dialog.answers << path;
    form->Fileopen_Click();
    ASSERT_TRUE(WaitUntil([&] { return player.playState() == MediaPlayer::kPaused && player.duration() > 0; }));
  }

  QTemporaryDir dir;
  const QString path = dir.filePath("speech.wav");
  MpvMediaPlayer player{MpvMediaPlayer::Output::Headless};
  FakeFileDialog dialog;
  FakeMessageBoxes messages;
  std::unique_ptr<Form1> form;
};

TEST_F(FormWithMpv, OpenPlayAndTheRunningTimeCode) {
  OpenTone();
  EXPECT_EQ(player.currentPosition(), 0.0);
  EXPECT_EQ(form->Duration->text(), "");
  form->Timer1_Timer();
  EXPECT_EQ(form->TCHour->text(), "00");

  player.play();
  ASSERT_TRUE(WaitUntil([&] { return form->Duration->text() == "00:03"; }));
  // Timer1 runs the display while the recording plays.
  ASSERT_TRUE(WaitUntil([&] { return form->TCSecond->text() == "01"; }, 5000));
  EXPECT_EQ(form->TCHour->text(), "00");
  player.pause();
  form->close();
  EXPECT_EQ(player.playState(), MediaPlayer::kUndefined);
}

TEST_F(FormWithMpv, StepsBookmarksAndFinishingOnTheRealPlayer) {
  form->Aboutscreen->hide();
  OpenTone();
  form->Framerate->setText("25.000 ND");
  const auto press = [&](int keyCode, int shift) {
    form->Logo_KeyDown(keyCode, shift);
    form->Logo_KeyUp(keyCode, shift);
  };
  press(39, 1);  // Shift+Right: one second on
  press(39, 0);  // Right: one frame on
  ASSERT_TRUE(WaitUntil([&] { return std::abs(player.currentPosition() - 1.04) < 1e-6; }));
  EXPECT_EQ(player.playState(), MediaPlayer::kPaused);
  press(113, 2);  // Ctrl+F2 sets bookmark 2 here
  EXPECT_EQ(form->Bookmark->itemText(1), "F2 = 00:00:01:01");
  press(112, 0);  // F1 (never set) goes to the start
  ASSERT_TRUE(WaitUntil([&] { return player.currentPosition() == 0.0; }));
  press(113, 0);
  ASSERT_TRUE(WaitUntil([&] { return std::abs(player.currentPosition() - 1.04) < 1e-6; }));
  EXPECT_EQ(player.playState(), MediaPlayer::kPaused);

  messages.Expect("Move speech.wav into Completed Folder?", "Transcription Done",
                  MessageBoxes::Buttons::OkCancel);
  form->finished_Click();
  EXPECT_TRUE(QFile::exists(dir.filePath("Completed/speech.wav")));
  EXPECT_TRUE(QFile::exists(dir.filePath("Completed/speech.BKM")));
  ASSERT_TRUE(WaitUntil([&] { return player.playState() == MediaPlayer::kUndefined; }));
  form->close();
}

}  // namespace
