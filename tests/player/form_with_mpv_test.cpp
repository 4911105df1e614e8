// The window on the real libmpv player (headless): opening leaves the recording paused at its
// first frame, shown as 0; playing fills the duration and runs the time code; files the player
// cannot play are said and leave nothing open; the speed changes the rate and nothing else.

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <cmath>

#include "support/encoded_media.h"
#include "support/form_with_mpv.h"
#include "support/test_media.h"

namespace {

// The window on a headless real player, with a three-second tone in its folder.
class FormWithTone : public FormWithMpv {
 protected:
  void SetUp() override {
    FormWithMpv::SetUp();
    ASSERT_TRUE(test_media::WriteTone(path, 3.0));
  }
  void OpenTone() { ASSERT_TRUE(OpenLoaded(path)); }

  const QString path = Path("speech.wav");
};

// Lets the player run (or stay paused) for `ms` milliseconds.
void Let(int ms) {
  QElapsedTimer clock;
  clock.start();
  WaitUntil([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

TEST_F(FormWithTone, OpenPlayAndTheRunningTimeCode) {
  OpenTone();
  EXPECT_EQ(player->currentPosition(), 0.0);
  EXPECT_EQ(form->Duration->text(), "");
  form->Timer1_Timer();
  EXPECT_EQ(form->TCHour->text(), "00");

  player->play();
  ASSERT_TRUE(WaitUntil([&] { return form->Duration->text() == "00:03"; }));
  // Timer1 runs the display while the recording plays.
  ASSERT_TRUE(WaitUntil([&] { return form->TCSecond->text() == "01"; }, 5000));
  EXPECT_EQ(form->TCHour->text(), "00");
  player->pause();
  form->close();
  EXPECT_EQ(player->playState(), MediaPlayer::kUndefined);
}

TEST_F(FormWithTone, StepsBookmarksAndFinishingOnTheRealPlayer) {
  OpenTone();
  form->Framerate->setText("25.000 ND");
  const auto press = [&](int keyCode, int shift) {
    form->Logo_KeyDown(keyCode, shift);
    form->Logo_KeyUp(keyCode, shift);
  };
  press(39, 1);  // Shift+Right: one second on
  press(39, 0);  // Right: one frame on
  ASSERT_TRUE(WaitUntil([&] { return std::abs(player->currentPosition() - 1.04) < 1e-6; }));
  EXPECT_EQ(player->playState(), MediaPlayer::kPaused);
  press(113, 2);  // Ctrl+F2 sets bookmark 2 here
  EXPECT_EQ(form->Bookmark->itemText(1), "F2 = 00:00:01:01");
  press(112, 0);  // F1 (never set) goes to the start
  ASSERT_TRUE(WaitUntil([&] { return player->currentPosition() == 0.0; }));
  press(113, 0);
  ASSERT_TRUE(WaitUntil([&] { return std::abs(player->currentPosition() - 1.04) < 1e-6; }));
  EXPECT_EQ(player->playState(), MediaPlayer::kPaused);

  messages.Expect("Move speech.wav into Completed Folder?", "Transcription Done",
                  MessageBoxes::Buttons::OkCancel);
  messages.Expect("Folder done: no recording is left to transcribe in " + dir.path() + ".",
                  "Next Recording");
  form->finished_Click();
  EXPECT_TRUE(QFile::exists(dir.filePath("Completed/speech.wav")));
  EXPECT_TRUE(QFile::exists(dir.filePath("Completed/speech.BKM")));
  ASSERT_TRUE(WaitUntil([&] { return player->playState() == MediaPlayer::kUndefined; }));
  form->close();
}

TEST_F(FormWithTone, FilesThatCannotBePlayedAreSaidAndLeaveNothingOpen) {
  const QByteArray wave = test_media::ReadAll(path);
  QByteArray noise(8192, '\0');
  for (int i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919 + 13) % 251);
  // A wave header whose data chunk holds no samples: 44 bytes, 16-bit mono at 8 kHz.
  QByteArray header = "RIFF" + QByteArray::fromHex("24000000") + "WAVEfmt " +
                      QByteArray::fromHex("1000000001000100401f0000803e00000200100064617461") +
                      QByteArray(4, '\0');
  ASSERT_EQ(header.size(), 44);
  const struct {
    const char* name;
    QByteArray bytes;  // null: no such file
    QString reason;    // empty: the engine's own
  } files[] = {
      {"missing.wav", {}, {}},
      {"empty.wav", QByteArray(""), {}},
      {"noise.wav", noise, {}},
      {"notes.mp3", "Notes for the meeting, not a recording.\n", {}},
      {"cut.wav", wave.left(30), {}},
      // A playlist naming a recording.
      {"list.mp3", "#EXTM3U\n" + path.toUtf8() + "\n", "It is a playlist, not a recording."},
      {"no samples.wav", header, "It holds no sound or picture to play."},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    const QString broken = Path(file.name);
    if (!file.bytes.isNull()) {
      ASSERT_TRUE(test_media::WriteAll(broken, file.bytes));
    }
    // A recording with bookmarks open before: the failed file replaces it.
    ASSERT_TRUE(OpenLoaded(path));
    const int shownBefore = messages.shown;
    messages.ExpectStartingWith(QString(file.name) + " cannot be played.\r\n", "CANNOT PLAY FILE");
    Open(broken);
    ASSERT_TRUE(WaitUntil([&] { return messages.shown > shownBefore; }));
    const QString reason = messages.lastText.section("\r\n", 1);
    EXPECT_FALSE(reason.trimmed().isEmpty()) << "the engine's reason";
    if (file.bytes.isNull()) {
      EXPECT_TRUE(reason.contains("No such file")) << reason.toStdString();
    }
    if (!file.reason.isEmpty()) {
      EXPECT_EQ(reason, file.reason);
    }

    // Nothing is open: no title, no bookmark file beside it, nothing for File Finished to move.
    EXPECT_EQ(form->windowTitle(), "Quillmark");
    EXPECT_EQ(player->playState(), MediaPlayer::kUndefined);
    EXPECT_EQ(TimeCodeNow(), "00:00:00:00");
    int key = 112, shift = 1;  // Shift+F1 sets bookmark 1
    form->Logo_KeyDown(key, shift);
    EXPECT_FALSE(QFile::exists(broken.left(broken.size() - 3) + "BKM"));
    messages.Expect(QString(file.name) + " could not be played, so there is nothing to finish.",
                    "NOTHING TO FINISH");
    form->finished_Click();
    EXPECT_FALSE(QFile::exists(Path("Completed")));
    EXPECT_TRUE(form->Dbugtxt->toPlainText().contains("Cannot play: " + reason));
  }
  // The next good file opens and plays as ever.
  OpenTone();
  EXPECT_EQ(form->windowTitle(), "Quillmark - speech.wav");
  player->play();
  ASSERT_TRUE(WaitUntil([&] { return TimeCodeNow() >= "00:00:00:15"; }));
}

TEST_F(FormWithTone, ChangingTheSpeedLeavesThePositionWhereItWas) {
  ASSERT_TRUE(test_media::WriteTone(path, 8.0));
  const double frame = 1 / 30.0;
  OpenTone();
  player->play();
  ASSERT_TRUE(WaitUntil([&] { return player->currentPosition() > 1.0; }));
  player->pause();
  Let(300);
  // Paused: each change, by the slider or back to 100 % on the label, keeps the position.
  double before = player->currentPosition();
  for (const int percent : {10, 200}) {
    SCOPED_TRACE(percent);
    form->SpeedSlide->setValue(percent);
    Let(400);
    EXPECT_NEAR(player->currentPosition(), before, frame);
  }
  QTest::mouseDClick(form->SPlbl, Qt::LeftButton);
  EXPECT_EQ(form->SpeedSlide->value(), 100);
  Let(400);
  EXPECT_NEAR(player->currentPosition(), before, frame);

  // Playing: the position runs on from where it was, at the new rate.
  player->play();
  Let(500);
  before = player->currentPosition();
  form->SpeedSlide->setValue(10);
  Let(300);
  EXPECT_GE(player->currentPosition(), before - frame);
  EXPECT_LE(player->currentPosition(), before + 0.1 + frame);
}

TEST_F(FormWithMpv, EveryRecordingOpensAtItsFirstFrameAsZero) {
  // Their codecs or containers put the first frame a little after 0.
  ASSERT_TRUE(test_media::WriteWma(Path("talk.wma"), 3.0));
  ASSERT_TRUE(test_media::WriteVideo(Path("scene.wmv"), 3.0));
  for (const char* name : {"talk.wma", "scene.wmv"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(OpenLoaded(Path(name)));
    Let(300);
    EXPECT_EQ(TimeCodeNow(), "00:00:00:00");
    form->TCOffset = 3600;  // an active start time code
    EXPECT_EQ(TimeCodeNow(), "01:00:00:00");
    form->TCOffset = 0;
    // Positions count from there.
    player->setCurrentPosition(1.0);
    ASSERT_TRUE(WaitUntil([&] { return std::abs(player->currentPosition() - 1.0) < 0.001; }));
  }
}

// Played for a while, paused, and the program closed and started again: the recording waits,
// paused, where it was, the time code shows that place, and it plays on from there.
class FormWithMpvKeepingPlaces : public FormWithTone {
 protected:
  void SetUp() override {
    stateFolder = Path("state");
    FormWithTone::SetUp();
  }
};

TEST_F(FormWithMpvKeepingPlaces, ARestartedProgramCarriesOnWhereTheRecordingWasLeft) {
  ASSERT_TRUE(test_media::WriteTone(path, 20.0));
  OpenTone();
  form->DEFAULTTC->setCurrentIndex(3);  // 25 frames
  player->play();
  form->MoveTo(12);
  ASSERT_TRUE(WaitUntil([&] { return player->currentPosition() > 12.3; }));
  form->PlaySwitchReleased();
  ASSERT_TRUE(WaitUntil([&] { return player->playState() == MediaPlayer::kPaused; }));
  const double left = player->currentPosition();
  const QString shown = TimeCodeNow();

  Restart();
  form->DEFAULTTC->setCurrentIndex(3);
  ASSERT_TRUE(OpenLoaded(path));
  ASSERT_TRUE(WaitUntil([&] { return std::abs(player->currentPosition() - left) < 1e-6; }));
  EXPECT_EQ(player->playState(), MediaPlayer::kPaused);
  EXPECT_EQ(TimeCodeNow(), shown);
  EXPECT_EQ(form->HeadExt->text(), "Resumed at " + shown);
  player->play();
  ASSERT_TRUE(WaitUntil([&] { return player->currentPosition() > left + 0.3; }));
}

}  // namespace
