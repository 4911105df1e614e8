// Opening recordings through the real window: the dialog, the per-recording resets, the readers
// on real files, the player steps, and the player's events.

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>

#include "support/form_fixture.h"
#include "support/recordings.h"
#include "support/test_media.h"

namespace {

using OpenMedia = FormTest;

constexpr int kRed = 0x0000FF;
constexpr int kGreen = 0x00FF00;
const char* const kTagKeys = "UB=01020304 TC=10:00:00:00 FR=25.000 ND D=00:30:00:00";

TEST_F(OpenMedia, BroadcastWaveGivesItsStartTimeCode) {
  const QString path = Path("take 1.wav");
  // One hour of samples at 48 kHz; the recorder's frame rate in the description.
  ASSERT_TRUE(test_media::WriteBroadcastWave(path, "FRAMERATE=25.000 ND\r\n", 172800000));
  form->TCEntry->setFocus();
  Open(path);

  EXPECT_EQ(dialog.shownTitle, "Open Media File");
  EXPECT_EQ(dialog.shownFilter,
            "All Media Files |*.WAV;*.BWF;*.MP3;*.WMA;*.WMV;*.AVI;*.FLAC;*.MP2;*.vob|"
            "Wav File (*.wav)|*.wav|MP3 File (*.Mp3)|*.Mp3|WMA Files (*.wma)|*.wma|"
            "AVI Files (*.Avi)|*.AVI|All Files (*.*)|*.*");
  EXPECT_EQ(form->windowTitle(), "Quillmark - take 1.wav");
  EXPECT_EQ(form->MediaExt, "wav");
  EXPECT_FALSE(form->NoBext);
  EXPECT_EQ(form->Framerate->text(), "25.000 ND");
  EXPECT_EQ(ForeColor(form->Framerate), kGreen);
  EXPECT_EQ(form->Samplerate->text(), "48000");
  EXPECT_EQ(form->STC->text(), "01:00:00:00");
  EXPECT_EQ(form->TCLabel->text(), "BWF Time Code");
  EXPECT_EQ(form->TCSource, 3);
  EXPECT_DOUBLE_EQ(form->TCOffset, 3600);
  EXPECT_DOUBLE_EQ(form->BWFStartTC, 3600);
  EXPECT_TRUE(form->Dbugtxt->toPlainText().contains("Raw Samples= 172800000"));
  EXPECT_TRUE(form->Dbugtxt->toPlainText().contains(")bext"));

  // The player gets the file, plays and pauses at once: loaded and waiting at the start.
  const std::vector<std::string> expected{"URL " + path.toStdString(), "play", "pause"};
  EXPECT_EQ(player.calls, expected);
  EXPECT_EQ(form->SpeedSlide->value(), 100);
  EXPECT_EQ(form->focusWidget(), form->Logo);
  EXPECT_FALSE(form->Bookmark->isVisibleTo(form.get()));
  EXPECT_EQ(form->Bookmark->itemText(0), "F1 = 00:00:00:00");
  EXPECT_EQ(form->Bookmark->itemText(11), "F12 = 00:00:00:00");

  form->Timer1_Timer();
  EXPECT_EQ(form->TCHour->text(), "01");
  EXPECT_EQ(form->TCMin->text(), "00");
}

TEST_F(OpenMedia, Mp3TagAreaIsReadForThreeSpellingsOnly) {
  for (const char* name : {"tag.mp3", "tag.MP3", "tag.Mp3"}) {
    SCOPED_TRACE(name);
    const QString path = Path(name);
    ASSERT_TRUE(test_media::WriteMp3WithKeys(path, kTagKeys));
    Open(path);
    EXPECT_EQ(form->STC->text(), "10:00:00:00");
    EXPECT_EQ(form->UB->text(), "01020304 ");
    EXPECT_EQ(form->Framerate->text(), "25.000 ND");
    EXPECT_EQ(ForeColor(form->Framerate), kGreen);
    EXPECT_EQ(form->Duration->text(), "00:30:00:00");
    EXPECT_EQ(form->TCLabel->text(), "ID3 TIME CODE");
    EXPECT_EQ(form->TCSource, 2);
    EXPECT_DOUBLE_EQ(form->TCOffset, 36000);
    EXPECT_DOUBLE_EQ(form->ID3StartTC, 36000);
    EXPECT_DOUBLE_EQ(form->ID3Duration, 1800);
    EXPECT_TRUE(form->NoBext);
  }

  // Another spelling is played, but its tag area is not read.
  const QString other = Path("tag.mP3");
  ASSERT_TRUE(test_media::WriteMp3WithKeys(other, kTagKeys));
  player.calls.clear();
  Open(other);
  EXPECT_EQ(form->MediaExt, "mP3");
  EXPECT_EQ(form->STC->text(), "00:00:00:00");
  EXPECT_EQ(form->TCSource, 1);
  EXPECT_EQ(form->TCOffset, 0);
  EXPECT_EQ(form->ID3Duration, 0);
  const std::vector<std::string> expected{"URL " + other.toStdString(), "play", "pause"};
  EXPECT_EQ(player.calls, expected);
}

TEST_F(OpenMedia, EveryPerRecordingValueIsResetForTheNextFile) {
  const QString bwf = Path("first.wav");
  ASSERT_TRUE(test_media::WriteBroadcastWave(bwf, "FRAMERATE=25.000 ND\r\n", 172800000));
  Open(bwf);
  ASSERT_EQ(form->TCSource, 3);
  ASSERT_EQ(form->Samplerate->text(), "48000");
  ASSERT_NE(form->FDT->text(), "00-00-00");
  // Values other parts of the window leave behind.
  form->BookmarkPos.fill(12.5);
  form->BookmarkFile = "first.BKM";
  form->UserTCValue = 99;
  form->TODStartTC = 7;
  form->ID3StartTC = 8;
  form->ID3Duration = 9;
  form->TCLabelTag = "BWF Time Code";
  form->DEFAULTTC->setCurrentIndex(1);
  form->DEFAULTDF->setCurrentIndex(1);

  const QString plain = Path("second.wav");
  ASSERT_TRUE(test_media::WriteTone(plain, 1.0));
  Open(plain);
  EXPECT_EQ(form->windowTitle(), "Quillmark - second.wav");
  EXPECT_EQ(form->TCSource, 1);
  EXPECT_EQ(form->TCOffset, 0);
  EXPECT_EQ(form->BWFStartTC, 0);
  EXPECT_EQ(form->TODStartTC, 0);
  EXPECT_EQ(form->ID3StartTC, 0);
  EXPECT_EQ(form->ID3Duration, 0);
  EXPECT_EQ(form->UserTCValue, 0);
  EXPECT_TRUE(form->BookmarkFile.isEmpty());
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(form->BookmarkPos[i], 0) << i;
  EXPECT_TRUE(form->NoBext);
  EXPECT_EQ(form->Framerate->text(), "29.970 DF");
  EXPECT_EQ(ForeColor(form->Framerate), kRed);
  EXPECT_EQ(form->TCLabel->text(), "ELAPSED TIME");
  EXPECT_EQ(form->TCLabelTag, "ELAPSED TIME");
  EXPECT_EQ(form->STC->text(), "00:00:00:00");
  EXPECT_EQ(form->Duration->text(), "");
  // The first recording's details are not taken for the second's.
  EXPECT_EQ(form->Samplerate->text(), "");
  EXPECT_EQ(form->FDT->text(), "00-00-00");
  EXPECT_FALSE(form->Dbugtxt->toPlainText().contains("bext"));
}

TEST_F(OpenMedia, CancellingChangesNothingButHidesTheBookmarks) {
  player.position = 2;
  form->Timer1_Timer();
  form->TCEntry->setFocus();
  Open("");
  EXPECT_EQ(dialog.shown, 1);
  EXPECT_EQ(form->windowTitle(), "Quillmark");
  EXPECT_TRUE(player.calls.empty());
  EXPECT_EQ(form->TCSource, 0);
  EXPECT_EQ(form->Bookmark->itemText(0), "F1 - 00:00:00:00");
  EXPECT_FALSE(form->Bookmark->isVisibleTo(form.get()));
  EXPECT_EQ(form->TCSecond->text(), "02");
  EXPECT_EQ(form->focusWidget(), form->Logo);
}

TEST_F(OpenMedia, PlayingFillsTheDurationOnce) {
  const QString path = Path("tone.wav");
  ASSERT_TRUE(test_media::WriteTone(path, 1.0));
  Open(path);
  player.durationText = "00:01";
  player.ChangeState(MediaPlayer::kPaused);
  EXPECT_EQ(form->Duration->text(), "");
  player.ChangeState(MediaPlayer::kPlaying);
  EXPECT_EQ(form->Duration->text(), "00:01");
  player.durationText = "00:02";
  player.ChangeState(MediaPlayer::kPlaying);
  EXPECT_EQ(form->Duration->text(), "00:01");

  // A click on the "Duration:" caption refreshes it; the other captions do nothing.
  form->Label1_Click(1);
  EXPECT_EQ(form->Duration->text(), "00:01");
  form->Label1_Click(2);
  EXPECT_EQ(form->Duration->text(), "00:02");
}

TEST_F(OpenMedia, TimeOfDayGivesTheStartWhenPlaybackStarts) {
  const QString path = Path("dictation.wav");
  ASSERT_TRUE(test_media::WriteTone(path, 1.0));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  const QDateTime modified(QDate(2026, 12, 7), QTime(14, 30, 0));
  ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
  file.close();
  form->TODTC->setChecked(true);
  Open(path);

  player.durationText = "30:01";
  player.durationSeconds = 1800.6;
  player.ChangeState(MediaPlayer::kPlaying);
  EXPECT_EQ(form->TOD->text(), "14:30:00:00");
  EXPECT_TRUE(form->FDT->text().startsWith("2026-12-07"));
  EXPECT_EQ(form->STC->text(), "14:00:00:00");
  EXPECT_EQ(form->TCLabel->text(), "T.O.D. Time Code");
  EXPECT_EQ(form->TCSource, 4);
  EXPECT_DOUBLE_EQ(form->TCOffset, 50400);
  EXPECT_DOUBLE_EQ(form->TODStartTC, 50400);
}

TEST_F(OpenMedia, TimeOfDayWithoutADurationAsksToPlayEachTime) {
  const QString path = Path("dictation.wav");
  ASSERT_TRUE(test_media::WriteTone(path, 1.0));
  form->TODTC->setChecked(true);
  Open(path);
  player.durationText = "00:00";
  player.durationSeconds = 0;
  const QString text = "You Must Briefly Play the file before Time code can be caluclated";
  messages.Expect(text, "TC calculation Error!");
  messages.Expect(text, "TC calculation Error!");
  player.ChangeState(MediaPlayer::kPlaying);
  player.ChangeState(MediaPlayer::kPaused);
  player.ChangeState(MediaPlayer::kPlaying);
  EXPECT_EQ(messages.shown, 2);
  EXPECT_EQ(form->TCSource, 1);
  EXPECT_DOUBLE_EQ(form->TCOffset, 0) << "elapsed time stays elapsed time";
  EXPECT_EQ(form->STC->text(), "00:00:00:00");
  EXPECT_EQ(form->TOD->text().size(), 11);
}

TEST_F(OpenMedia, TimeOfDayKeepsAStoredStartTimeCode) {
  const QString path = Path("stamped.wav");
  ASSERT_TRUE(test_media::WriteBroadcastWave(path, "FRAMERATE=25.000 ND\r\n", 172800000));
  form->TODTC->setChecked(true);
  Open(path);
  player.durationText = "00:01";
  player.durationSeconds = 1;
  player.ChangeState(MediaPlayer::kPlaying);
  EXPECT_EQ(form->TOD->text().right(3), ":00");
  EXPECT_EQ(form->STC->text(), "01:00:00:00");
  EXPECT_EQ(form->TCSource, 3);
  EXPECT_DOUBLE_EQ(form->TCOffset, 3600);
}

TEST_F(OpenMedia, TimeOfDayOffDoesNotRun) {
  const QString path = Path("tone.wav");
  ASSERT_TRUE(test_media::WriteTone(path, 1.0));
  Open(path);
  player.durationText = "00:00";
  player.ChangeState(MediaPlayer::kPlaying);  // no message box: the option is off
  EXPECT_TRUE(form->TOD->text().isEmpty());
}

TEST_F(OpenMedia, PlayerKeysAndClicksGiveTheFocusBack) {
  form->TCEntry->setFocus();
  emit player.KeyDown(65, 0);
  EXPECT_EQ(form->focusWidget(), form->Logo);
  form->TCEntry->setFocus();
  emit player.MouseUp(1, 0, 10, 10);
  EXPECT_EQ(form->focusWidget(), form->Logo);
}

TEST_F(OpenMedia, ARecordingThePlayerCannotPlayLeavesNothingOpen) {
  // Its stored time code and bookmarks are read, then the player gives up on it.
  const QString path = Path("take.wav");
  ASSERT_TRUE(test_media::WriteBroadcastWave(path, "FRAMERATE=25.000 ND\r\n", 172800000));
  player.position = 2;
  form->SetBookmark(3);
  form->DEFAULTTC->setCurrentIndex(1);
  form->DEFAULTDF->setCurrentIndex(1);
  Open(path);
  ASSERT_EQ(form->TCSource, 3);
  messages.Expect("take.wav cannot be played.\r\nno audio decoder", "CANNOT PLAY FILE");
  player.FailToPlay("no audio decoder");

  // What the readers found is gone with it.
  EXPECT_EQ(dialog.FileName(), "");
  EXPECT_EQ(form->TCSource, 1);
  EXPECT_EQ(form->TCLabel->text(), "ELAPSED TIME");
  EXPECT_EQ(form->Framerate->text(), "29.970 DF");
  EXPECT_EQ(form->Samplerate->text(), "");
  EXPECT_DOUBLE_EQ(form->BookmarkPos[3], 0);
  form->Timer1_Timer();
  EXPECT_EQ(ShownTimeCode(), "00:00:00:00");

  // Reported again, or for a recording no longer open, it says nothing more.
  player.FailToPlay("no audio decoder");
  EXPECT_EQ(messages.shown, 1);
}

TEST_F(OpenMedia, UnreadableFileIsStillGivenToThePlayer) {
  const QString path = Path("gone.wav");
  Open(path);
  EXPECT_EQ(form->windowTitle(), "Quillmark - gone.wav");
  EXPECT_EQ(form->MediaExt, "wav");
  EXPECT_EQ(form->TCSource, 1);
  ASSERT_FALSE(player.calls.empty());
  EXPECT_EQ(player.calls.front(), "URL " + path.toStdString());
}

}  // namespace
