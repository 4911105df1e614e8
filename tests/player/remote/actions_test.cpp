// Quillmark's own actions over the bus on the real window with a scripted player: bookmarks, the
// step back, the wind step, speed, the time code copy, File Finished, and going to a time code
// the typist has selected in another program.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSlider>

#include "clipboard_text.h"
#include "remote_fixture.h"
#include "support/recordings.h"
#include "support/test_media.h"

namespace {

class ActionsTest : public RemoteFormTest {
 protected:
  // Calls `method`; true when the window answered without an error.
  bool Succeeds(const char* method, const QVariantList& arguments = {}) {
    const QDBusMessage reply = client.CallAction(method, arguments);
    EXPECT_NE(reply.type(), QDBusMessage::ErrorMessage)
        << method << ": " << reply.errorMessage().toStdString();
    return reply.type() != QDBusMessage::ErrorMessage;
  }
  QString ShownAfterTick() {
    form->Timer1_Timer();
    return form->ShownTimeCode();
  }
};

TEST_F(ActionsTest, BookmarksOneToTwelveAndNothingElse) {
  OpenPaused("talk.wav", 60, 7.4);
  form->Framerate->setText("25.000 ND");
  ASSERT_TRUE(Succeeds("SetBookmark", {3}));
  EXPECT_EQ(form->Bookmark->itemText(2), "F3 = 00:00:07:10");
  EXPECT_TRUE(QFile::exists(Path("talk.BKM")));
  player.position = 30;
  ASSERT_TRUE(Succeeds("GoToBookmark", {3}));
  EXPECT_DOUBLE_EQ(player.position, 7.4);

  const std::size_t before = player.calls.size();
  const QByteArray file = test_media::ReadAll(Path("talk.BKM"));
  for (const char* method : {"SetBookmark", "GoToBookmark"}) {
    for (int number : {0, 13, -1}) {
      const QDBusMessage reply = client.CallAction(method, {number});
      EXPECT_EQ(reply.errorName(), remote_names::kErrorInvalidArgs) << method << " " << number;
    }
  }
  EXPECT_EQ(player.calls.size(), before);
  EXPECT_EQ(test_media::ReadAll(Path("talk.BKM")), file);
  // A wrong kind of argument is no such method.
  EXPECT_EQ(client.CallAction("SetBookmark", {QString("3")}).errorName(),
            "org.freedesktop.DBus.Error.UnknownMethod");
}

TEST_F(ActionsTest, BackByTheAutoBackupAndWindStepsPlayingOrPaused) {
  OpenPaused("talk.wav", 60, 10);
  ASSERT_TRUE(Succeeds("Back"));
  EXPECT_DOUBLE_EQ(player.position, 10) << "auto-backup off: no step back";
  for (int click = 0; click < 3; ++click) form->AutoBack_Click();  // 1.5 seconds
  player.state = MediaPlayer::kPlaying;
  ASSERT_TRUE(Succeeds("Back"));
  EXPECT_DOUBLE_EQ(player.position, 8.5);
  EXPECT_EQ(player.calls.back(), "position " + std::to_string(8.5)) << "playing: no refresh";

  form->RWScroll->setValue(20);  // two seconds a step
  player.state = MediaPlayer::kPaused;
  ASSERT_TRUE(Succeeds("Rewind"));
  EXPECT_DOUBLE_EQ(player.position, 6.5);
  EXPECT_EQ(player.calls.back(), "pause") << "a paused player shows the new place";
  ASSERT_TRUE(Succeeds("Forward"));
  ASSERT_TRUE(Succeeds("Forward"));
  EXPECT_DOUBLE_EQ(player.position, 10.5);
}

TEST_F(ActionsTest, SpeedInPercentWithinTheSlider) {
  ASSERT_TRUE(Succeeds("SetSpeed", {50}));
  EXPECT_EQ(form->SpeedSlide->value(), 50);
  EXPECT_DOUBLE_EQ(player.rate, 0.5);
  for (int percent : {9, 201, 0}) {
    EXPECT_EQ(client.CallAction("SetSpeed", {percent}).errorName(),
              remote_names::kErrorInvalidArgs);
  }
  EXPECT_EQ(form->SpeedSlide->value(), 50);
}

TEST_F(ActionsTest, SoundSettingsFromOutside) {
  // The typist may be typing in the window: a change from outside leaves the keys where they are.
  form->TCEntry->show();
  form->TCEntry->setFocus();
  // Volume steps stop at 0 and 400 %, and answer with the volume reached.
  EXPECT_EQ(client.CallAction("VolumeUp").arguments().value(0).toInt(), 110);
  EXPECT_EQ(player.audio.volumePercent, 110);
  ASSERT_TRUE(Succeeds("SetVolume", {395}));
  EXPECT_EQ(client.CallAction("VolumeUp").arguments().value(0).toInt(), 400);
  EXPECT_EQ(client.CallAction("VolumeUp").arguments().value(0).toInt(), 400);
  ASSERT_TRUE(Succeeds("SetVolume", {5}));
  EXPECT_EQ(client.CallAction("VolumeDown").arguments().value(0).toInt(), 0);
  EXPECT_EQ(form->VolumeSlide->value(), 0);
  EXPECT_EQ(form->VolumeLbl->text(), "0 %");

  ASSERT_TRUE(Succeeds("SetLevelSpeech", {true}));
  ASSERT_TRUE(Succeeds("SetNoiseReduction", {QString("medium")}));
  ASSERT_TRUE(Succeeds("SetCutRumble", {true}));
  ASSERT_TRUE(Succeeds("SetChannel", {QString("right")}));
  EXPECT_TRUE(form->LevelSpeech->isChecked());
  EXPECT_EQ(form->ReduceNoise->currentText(), "Medium");
  EXPECT_TRUE(form->CutRumble->isChecked());
  EXPECT_EQ(form->Channel->currentText(), "Right only");
  const audio::AudioSettings set{0, true, audio::NoiseReduction::Medium, true,
                                 audio::Channel::RightOnly};
  EXPECT_EQ(player.audio, set);
  EXPECT_EQ(form->focusWidget(), form->TCEntry);

  // Anything else is refused and changes nothing.
  for (const auto& [method, argument] : std::initializer_list<std::pair<const char*, QVariant>>{
           {"SetVolume", 401}, {"SetVolume", -1}, {"SetNoiseReduction", QString("loud")},
           {"SetNoiseReduction", QString("")}, {"SetChannel", QString("Left only")}}) {
    const QDBusMessage reply = client.CallAction(method, {argument});
    EXPECT_EQ(reply.errorName(), remote_names::kErrorInvalidArgs) << method;
  }
  EXPECT_EQ(client.CallAction("SetChannel", {QString("middle")}).errorMessage(),
            "There is no channel \"middle\": it is one of both, left, right, mono");
  EXPECT_EQ(player.audio, set);
}

TEST_F(ActionsTest, CopyTimeCodeAndFileFinished) {
  OpenPaused("talk.wav", 60, 61.2);
  form->Framerate->setText("25.000 ND");
  form->TCFormat->setCurrentIndex(7);
  form->Timer1_Timer();
  ASSERT_TRUE(Succeeds("CopyTimeCode"));
  EXPECT_EQ(logged.text, "[00:01:01]\r\n");

  // File Finished asks in the window, after the caller has had its answer.
  messages.Expect("Move talk.wav into Completed Folder?", "Transcription Done",
                  MessageBoxes::Buttons::OkCancel, MessageBoxes::Answer::Ok);
  messages.Expect("Folder done: no recording is left to transcribe in " + dir.path() + ".",
                  "Next Recording");
  ASSERT_TRUE(Succeeds("FileFinished"));
  ASSERT_TRUE(WaitUntil([&] { return messages.shown == 2; }));
  EXPECT_TRUE(QFile::exists(Path("Completed/talk.wav")));

  // The finished recording is gone: every action on a recording is refused and does nothing.
  const std::size_t before = player.calls.size();
  for (const auto& [method, arguments] :
       std::vector<std::pair<QString, QVariantList>>{{"FileFinished", {}}, {"CopyTimeCode", {}},
                                                     {"Back", {}}, {"Rewind", {}},
                                                     {"Forward", {}}, {"SetBookmark", {5}},
                                                     {"GoToBookmark", {5}}}) {
    EXPECT_EQ(client.CallAction(method, arguments).errorName(), remote_names::kErrorNoRecording)
        << method.toStdString();
  }
  EXPECT_EQ(player.calls.size(), before);
  EXPECT_TRUE(form->Bookmark->isHidden());
  EXPECT_EQ(form->Bookmark->itemText(4), "F5 = 00:00:00:00");
}

// The typist selects a time code in the transcript; the window goes where the display shows it.
TEST_F(ActionsTest, GoesToTheSelectedTimeCodeInEveryClipboardFormat) {
  // A broadcast-wave recording starting at 01:00:00:00, counted at 25 frames.
  ASSERT_TRUE(test_media::WriteBroadcastWave(Path("take.wav"), "FRAMERATE=25.000 ND\r\n",
                                             172800000));
  Open(Path("take.wav"));
  ASSERT_EQ(form->TCSource, 3);
  player.state = MediaPlayer::kPaused;
  player.durationSeconds = 60;

  for (int format = 0; format < 8; ++format) {
    const std::string copied = quillmark::ClipboardText("01:00:12:10", format);
    logged.selection = QString::fromStdString("Q. Where were you?\r\n" + copied + "A. At home.");
    const QDBusMessage reply = client.CallAction("GoToSelectedTimeCode");
    ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
    const QString expected = format < 3 ? "01:00:12:10" : "01:00:12:00";
    EXPECT_EQ(reply.arguments().value(0).toString(), expected) << "format " << format;
    EXPECT_EQ(ShownAfterTick(), expected) << "format " << format;
  }

  // A typed start at 29.97 frames, non-drop: the position is corrected as the entry corrects it.
  form->Framerate->setText("29.970 ND");
  player.position = 0;
  form->SetTC_Click();
  form->TCEntry->setText("02:00:00:00");
  int enter = 13;
  form->TCEntry_KeyPress(enter);
  ASSERT_EQ(form->TCSource, 5);
  logged.selection = "as we said (02:00:30:15) before";
  ASSERT_TRUE(Succeeds("GoToSelectedTimeCode"));
  EXPECT_EQ(ShownAfterTick(), "02:00:30:15");

  // Nothing selected: the clipboard's text is read instead.
  logged.selection.clear();
  logged.text = "[02:00:05]\t";
  ASSERT_TRUE(Succeeds("GoToSelectedTimeCode"));
  EXPECT_EQ(ShownAfterTick(), "02:00:05:00");
}

TEST_F(ActionsTest, NoTimeCodeOrOneOutsideTheRecordingMovesNothing) {
  OpenPaused("talk.wav", 60, 10);
  form->Framerate->setText("25.000 ND");
  const std::size_t before = player.calls.size();

  logged.selection = "call me at 12:30, or at 1:02:03:04:05";
  logged.text = "nothing here either";
  QDBusMessage reply = client.CallAction("GoToSelectedTimeCode");
  EXPECT_EQ(reply.errorName(), remote_names::kErrorNoTimeCode);
  EXPECT_EQ(form->HeadExt->text(), "No time code selected");

  for (const char* outside : {"00:01:00:01", "99:00:00:00"}) {
    logged.selection = outside;
    reply = client.CallAction("GoToSelectedTimeCode");
    EXPECT_EQ(reply.errorName(), remote_names::kErrorInvalidArgs) << outside;
    EXPECT_EQ(form->HeadExt->text(), QString("Outside: ") + outside);
  }
  // Before the start: a time code below the active offset.
  form->TCOffset = 3600;
  logged.selection = "00:59:59:24";
  EXPECT_EQ(client.CallAction("GoToSelectedTimeCode").errorName(),
            remote_names::kErrorInvalidArgs);

  EXPECT_EQ(player.calls.size(), before);
  EXPECT_DOUBLE_EQ(player.position, 10);
}

}  // namespace
