// MPRIS on the real window with a scripted player, driven over a private session bus by a second
// connection: what the window reports, Play and Pause as the pedal's play switch, positions kept
// within the recording, and the changes listeners hear of.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDBusObjectPath>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QUrl>
#include <cmath>
#include <limits>

#include "remote_fixture.h"
#include "remote_listener.h"
#include "support/test_media.h"
#include "waveform_strip.h"

namespace {

using remote_names::kPlayerInterface;
using remote_names::kRootInterface;

class MprisTest : public RemoteFormTest {
 protected:
  std::vector<std::string> CallsSince(std::size_t from) const {
    return {player.calls.begin() + static_cast<long>(from), player.calls.end()};
  }
};

TEST_F(MprisTest, DescribesTheProgramAndTheOpenRecording) {
  EXPECT_EQ(client.Property(kRootInterface, "Identity").toString(), "Quillmark");
  EXPECT_EQ(client.Property(kRootInterface, "DesktopEntry").toString(), "quillmark");
  EXPECT_EQ(client.Property(kRootInterface, "SupportedUriSchemes").toStringList(),
            QStringList{"file"});
  EXPECT_TRUE(client.Property(kRootInterface, "SupportedMimeTypes").toStringList().contains("audio/x-wav"));
  EXPECT_TRUE(client.Property(kRootInterface, "CanRaise").toBool());

  const QVariantMap nothing = client.Metadata();
  EXPECT_EQ(nothing.value("mpris:trackid").value<QDBusObjectPath>().path(),
            remote_names::kNoTrack);
  EXPECT_EQ(nothing.size(), 1);
  EXPECT_FALSE(client.PlayerProperty("CanPlay").toBool());
  EXPECT_TRUE(client.PlayerProperty("CanControl").toBool());
  EXPECT_EQ(client.PlayerProperty("PlaybackStatus").toString(), "Stopped");

  OpenPaused("talk one.wav", 83.5, 12.25);
  const QVariantMap metadata = client.Metadata();
  const QString trackId = metadata.value("mpris:trackid").value<QDBusObjectPath>().path();
  EXPECT_TRUE(trackId.startsWith(remote_names::kTrackIdPrefix)) << trackId.toStdString();
  EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 83500000);
  EXPECT_EQ(metadata.value("xesam:title").toString(), "talk one.wav");
  const QString folder = QString::fromLatin1(QUrl::toPercentEncoding(dir.path(), "/"));
  EXPECT_EQ(metadata.value("xesam:url").toString(), "file://" + folder + "/talk%20one.wav");
  EXPECT_EQ(client.PlayerProperty("Position").toLongLong(), 12250000);
  EXPECT_EQ(client.PlayerProperty("PlaybackStatus").toString(), "Paused");
  EXPECT_EQ(client.PlayerProperty("Rate").toDouble(), 1.0);
  EXPECT_EQ(client.PlayerProperty("MinimumRate").toDouble(), 0.1);
  EXPECT_EQ(client.PlayerProperty("MaximumRate").toDouble(), 2.0);
  EXPECT_TRUE(client.PlayerProperty("CanPlay").toBool());
  EXPECT_TRUE(client.PlayerProperty("CanSeek").toBool());

  // The same file opened again is a new track: a position meant for the old one is stale.
  Open(Path("talk one.wav"));
  EXPECT_NE(client.Metadata().value("mpris:trackid").value<QDBusObjectPath>().path(), trackId);
  OpenPaused("Gespräch über #3.wav", 10, 0);
  EXPECT_EQ(client.Metadata().value("xesam:url").toString(),
            "file://" + folder + "/Gespr%C3%A4ch%20%C3%BCber%20%233.wav");
}

// Play and Pause from outside against the pedal's play switch, for every copy mode, with the
// auto-backup on: the player calls, status texts and copies come in the same order.
TEST_F(MprisTest, PlayAndPauseFromOutsideAreThePlaySwitchPressedAndReleased) {
  OpenPaused("talk.wav", 60, 10);
  form->PedalPort->setCurrentIndex(0);
  form->PEDALON->setChecked(true);
  form->AutoBackSeconds = 2;
  form->TCFormat->setCurrentIndex(0);
  player.followCalls = true;

  // One press and release, from paused at ten seconds.
  const auto cycle = [&](const std::function<void()>& press,
                         const std::function<void()>& release) {
    player.position = 10;
    player.state = MediaPlayer::kPaused;
    form->Timer1_Timer();
    const std::size_t before = player.calls.size();
    press();
    player.calls.push_back("status" + form->Pedalstat->text().toStdString());
    release();
    player.calls.push_back("status" + form->Pedalstat->text().toStdString());
    return CallsSince(before);
  };
  const auto pedal = [&](bool held) {
    return [this, held] { serial.Press(SerialControl::kEventDSR, held); };
  };
  const auto call = [&](const char* method) {
    return [this, method] {
      const QDBusMessage reply = client.CallPlayer(method);
      EXPECT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
    };
  };

  for (int mode : {0, 1, 2}) {
    form->TCPaste->setCurrentIndex(mode);
    const auto byPedal = cycle(pedal(true), pedal(false));
    EXPECT_EQ(cycle(call("Play"), call("Pause")), byPedal) << "copy mode " << mode;
    // PlayPause picks by the play state: press while paused, release while playing.
    EXPECT_EQ(cycle(call("PlayPause"), call("PlayPause")), byPedal) << "copy mode " << mode;
  }
  // The last mode copies on play; the release paused and stepped back by two seconds.
  EXPECT_EQ(cycle(call("Play"), call("Pause")),
            (std::vector<std::string>{"play", "clipboard 00:00:10:00 ", "status Play", "pause",
                                      "position " + std::to_string(8.0), "play", "pause",
                                      "status Paused"}));
}

// Volume is the playback volume of the audio page, 1.0 the normal level: it reads back what was
// set, and listeners hear of every change, from outside or in the window.
TEST_F(MprisTest, VolumeIsThePlaybackVolume) {
  PropertiesListener listener(client.bus());
  EXPECT_EQ(client.PlayerProperty("Volume").toDouble(), 1.0);
  const struct {
    double set;
    double reads;  // what it became
  } cases[] = {{2.0, 2.0}, {0.37, 0.37}, {4.0, 4.0}, {9.5, 4.0}, {-1.0, 0.0},
               {std::numeric_limits<double>::quiet_NaN(), 0.0}, {1.0, 1.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set);
    EXPECT_NE(client.SetPlayerProperty("Volume", c.set).type(), QDBusMessage::ErrorMessage);
    EXPECT_DOUBLE_EQ(client.PlayerProperty("Volume").toDouble(), c.reads);
    const int percent = static_cast<int>(std::lround(c.reads * 100));
    EXPECT_EQ(form->VolumeSlide->value(), percent);
    EXPECT_EQ(player.audio.volumePercent, percent);
    ASSERT_TRUE(WaitUntil([&] { return listener.Last("Volume") == c.reads; }));
  }
  form->VolumeSlide->setValue(250);
  ASSERT_TRUE(WaitUntil([&] { return listener.Last("Volume") == 2.5; }));
  EXPECT_EQ(Playerctl({"volume"}).out, "2.500000\n");
  Playerctl({"volume", "0.8"});
  EXPECT_EQ(form->VolumeSlide->value(), 80);
}

TEST_F(MprisTest, ListenersHearOfPlayStateSpeedAndRecording) {
  PropertiesListener listener(client.bus());
  OpenPaused("first.wav", 30, 0);
  ASSERT_TRUE(WaitUntil([&] { return listener.Last("Metadata").isValid(); }));
  EXPECT_EQ(listener.Metadata().value("xesam:title").toString(), "first.wav");

  player.ChangeState(MediaPlayer::kPlaying);
  ASSERT_TRUE(WaitUntil([&] { return listener.Last("PlaybackStatus") == "Playing"; }));

  // Rate moves the speed slider, which sets the player's rate and the label.
  EXPECT_NE(client.SetPlayerProperty("Rate", 0.5).type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(form->SpeedSlide->value(), 50);
  EXPECT_DOUBLE_EQ(player.rate, 0.5);
  EXPECT_EQ(form->SPlbl->text(), "Speed =  50%");
  ASSERT_TRUE(WaitUntil([&] { return listener.Last("Rate") == 0.5; }));
  // Out of range goes to the nearer end; a rate that is no positive number is ignored.
  client.SetPlayerProperty("Rate", 7.0);
  EXPECT_EQ(form->SpeedSlide->value(), 200);
  client.SetPlayerProperty("Rate", std::numeric_limits<double>::quiet_NaN());
  client.SetPlayerProperty("Rate", 0.0);
  EXPECT_EQ(form->SpeedSlide->value(), 200);
  // A change made in the window is heard of too.
  form->SPlbl_DblClick();
  ASSERT_TRUE(WaitUntil([&] { return listener.Last("Rate") == 1.0; }));

  // The player learns the length of a new recording a moment after loading it.
  OpenPaused("second.wav", 0, 0);
  ASSERT_TRUE(WaitUntil([&] {
    return listener.Metadata().value("xesam:title").toString() == "second.wav";
  }));
  EXPECT_FALSE(listener.Metadata().contains("mpris:length"));
  player.ChangeDuration(4.5);
  ASSERT_TRUE(WaitUntil([&] {
    return listener.Metadata().value("mpris:length").toLongLong() == 4500000;
  }));
}

TEST_F(MprisTest, SeekAndSetPositionStayWithinTheRecording) {
  PropertiesListener listener(client.bus());
  OpenPaused("talk.wav", 60, 10);
  client.CallPlayer("Seek", {qlonglong{2500000}});
  EXPECT_DOUBLE_EQ(player.position, 12.5);
  ASSERT_TRUE(WaitUntil([&] { return !listener.seeked.empty(); }));
  EXPECT_EQ(listener.seeked.back(), 12500000);

  client.CallPlayer("Seek", {qlonglong{-3600000000}});
  EXPECT_DOUBLE_EQ(player.position, 0);
  client.CallPlayer("Seek", {std::numeric_limits<qlonglong>::max()});
  EXPECT_DOUBLE_EQ(player.position, 60);
  client.CallPlayer("Seek", {std::numeric_limits<qlonglong>::min()});
  EXPECT_DOUBLE_EQ(player.position, 0);

  const QVariant track = QVariant::fromValue(client.Metadata().value("mpris:trackid").value<QDBusObjectPath>());
  client.CallPlayer("SetPosition", {track, qlonglong{42000000}});
  EXPECT_DOUBLE_EQ(player.position, 42);

  // A stale track or a position off the recording: an error, and the player stays put.
  const std::size_t before = player.calls.size();
  const QVariant stale = QVariant::fromValue(QDBusObjectPath("/org/quillmark/recording/999"));
  QDBusMessage reply = client.CallPlayer("SetPosition", {stale, qlonglong{1000000}});
  EXPECT_EQ(reply.errorName(), remote_names::kErrorInvalidArgs);
  for (qlonglong outside : {qlonglong{-1}, qlonglong{60000001}}) {
    reply = client.CallPlayer("SetPosition", {track, outside});
    EXPECT_EQ(reply.errorName(), remote_names::kErrorInvalidArgs) << outside;
  }
  EXPECT_EQ(player.calls.size(), before);
  EXPECT_DOUBLE_EQ(player.position, 42);
}

// A listener follows the position from Seeked: every jump that is not playback running on is
// told once, with the new position, however it was made.
TEST_F(MprisTest, EveryJumpIsAnnouncedOnceWithTheNewPosition) {
  PropertiesListener listener(client.bus());
  form->Aboutscreen->hide();  // the keys are the window's
  OpenPaused("talk.wav", 60, 10);
  form->Framerate->setText("25.000 ND");
  form->AutoBackSeconds = 2;
  form->RWScroll->setValue(30);  // three seconds a wind step
  form->BookmarkPos[4] = 33;
  form->PedalPort->setCurrentIndex(0);
  form->PEDALON->setChecked(true);
  player.followCalls = true;
  const auto key = [this](int code, int shift) {
    form->Logo_KeyDown(code, shift);
    form->Logo_KeyUp(code, shift);
  };

  // The position bar: the middle of it, and a drag's end.
  form->Timer1_Timer();
  const int barWidth = form->Waveform->width();
  const auto barAt = [&](int x) { return QPoint(x, form->Waveform->height() / 2); };
  const auto barSeconds = [&](int x) { return 60.0 * x / barWidth; };
  const struct {
    const char* jump;
    std::function<void()> make;
    double position;
  } jumps[] = {
      {"auto-backup", [&] { serial.Press(SerialControl::kEventDSR, true);
                            serial.Press(SerialControl::kEventDSR, false); }, 8},
      {"F-key", [&] { key(115, 0); }, 33},
      {"frame step", [&] { key(37, 0); }, 32.96},
      {"second step", [&] { key(39, 1); }, 33.96},
      {"bookmark list", [&] { form->Bookmark->setCurrentIndex(3); form->Bookmark_Click(); }, 33},
      {"end of a wind", [&] { serial.Press(SerialControl::kEventCD, true);
                              form->Timer1_Timer();
                              form->Timer1_Timer();
                              serial.Press(SerialControl::kEventCD, false); }, 39},
      {"selected time code", [&] { logged.selection = "00:00:20:00";
                                   form->GoToSelectedTimeCode(); }, 20},
      {"remote wind step", [&] { client.CallAction("Rewind"); }, 17},
      {"remote bookmark", [&] { client.CallAction("GoToBookmark", {4}); }, 33},
      {"position bar click",
       [&] { QTest::mouseClick(form->Waveform, Qt::LeftButton, {}, barAt(barWidth / 2)); },
       barSeconds(barWidth / 2)},
      {"position bar drag",
       [&] {
         QTest::mousePress(form->Waveform, Qt::LeftButton, {}, barAt(barWidth / 3));
         QTest::mouseMove(form->Waveform, barAt(barWidth / 3 + 20));
         QTest::mouseRelease(form->Waveform, Qt::LeftButton, {}, barAt(barWidth / 3));
       },
       barSeconds(barWidth / 3)},
      {"stop", [&] { key(83, 0); }, 0},
  };
  for (const auto& jump : jumps) {
    const std::size_t before = listener.seeked.size();
    jump.make();
    EXPECT_NEAR(player.position, jump.position, 1e-9) << jump.jump;
    // A call answered after the jump: any Seeked it sent has arrived before the answer.
    client.PlayerProperty("Position");
    ASSERT_TRUE(WaitUntil([&] { return listener.seeked.size() > before; })) << jump.jump;
    QCoreApplication::processEvents();
    EXPECT_EQ(listener.seeked.size(), before + 1) << jump.jump;
    EXPECT_EQ(listener.seeked.back(), std::llround(jump.position * 1e6)) << jump.jump;
  }
  // Playback running on, and the wind's own steps, are no jumps to tell of.
  const std::size_t before = listener.seeked.size();
  serial.Press(SerialControl::kEventCD, true);
  form->Timer1_Timer();
  player.position = 45;
  form->Timer1_Timer();
  client.PlayerProperty("Position");
  QCoreApplication::processEvents();
  EXPECT_EQ(listener.seeked.size(), before);
}

TEST_F(MprisTest, StopIsTheKeysStopAndNothingHappensWithoutARecording) {
  client.CallPlayer("Seek", {qlonglong{5000000}});
  EXPECT_TRUE(player.calls.empty()) << "no recording, no seek";
  OpenPaused("talk.wav", 60, 10);
  const std::size_t before = player.calls.size();
  client.CallPlayer("Stop");
  EXPECT_EQ(CallsSince(before), (std::vector<std::string>{"stop"}));
}

TEST_F(MprisTest, OpenUriOpensAFileAndRefusesAnythingElse) {
  const QString title = form->windowTitle();
  // A file the typist asked for that is not there: the caller is told, and so is the typist.
  messages.Expect("missing.wav cannot be played.\r\nNo such file: " + Path("missing.wav"),
                  "CANNOT PLAY FILE");
  QDBusMessage reply =
      client.CallPlayer("OpenUri", {QUrl::fromLocalFile(Path("missing.wav")).toString()});
  EXPECT_EQ(reply.errorName(), remote_names::kErrorFileNotFound);
  EXPECT_EQ(reply.errorMessage(), "No such file: " + Path("missing.wav"));
  ASSERT_TRUE(WaitUntil([&] { return messages.shown == 1; }));
  reply = client.CallPlayer("OpenUri", {QString("https://example.org/talk.wav")});
  EXPECT_EQ(reply.errorName(), remote_names::kErrorNotSupported);
  messages.ExpectStartingWith(QDir(dir.path()).dirName() + " cannot be played.\r\nNot a readable",
                              "CANNOT PLAY FILE");
  reply = client.CallPlayer("OpenUri", {QUrl::fromLocalFile(dir.path()).toString()});
  EXPECT_EQ(reply.errorName(), remote_names::kErrorFileNotFound) << "a folder is no recording";
  ASSERT_TRUE(WaitUntil([&] { return messages.shown == 2; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(form->windowTitle(), title);
  EXPECT_TRUE(player.calls.empty());
  EXPECT_EQ(dialog.shown, 0);

  ASSERT_TRUE(test_media::WriteAll(Path("talk.wav"), QByteArray(64, 'x')));
  reply = client.CallPlayer("OpenUri", {QUrl::fromLocalFile(Path("talk.wav")).toString()});
  EXPECT_NE(reply.type(), QDBusMessage::ErrorMessage);
  ASSERT_TRUE(WaitUntil([&] { return form->windowTitle() == "Quillmark - talk.wav"; }));
  EXPECT_EQ(player.url, Path("talk.wav"));
  EXPECT_EQ(dialog.shown, 0) << "the file is opened without asking";
}

TEST_F(MprisTest, CallsWaitWhileTheWindowAsksSomething) {
  OpenPaused("talk.wav", 60, 10);
  QDialog question(form.get());
  question.setModal(true);
  question.show();
  ASSERT_EQ(QApplication::activeModalWidget(), &question);
  const std::size_t before = player.calls.size();
  EXPECT_EQ(client.CallPlayer("Play").errorName(), remote_names::kErrorBusy);
  EXPECT_EQ(client.CallAction("GoToBookmark", {1}).errorName(), remote_names::kErrorBusy);
  EXPECT_EQ(player.calls.size(), before);
  question.hide();
  EXPECT_NE(client.CallPlayer("Play").type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(CallsSince(before), (std::vector<std::string>{"play"}));
}

}  // namespace
