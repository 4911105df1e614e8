// The window on the real libmpv player with its picture and sound outputs: a video plays in the
// compact window, whose player area has no height, and shows its picture once the area is
// shown; without a sound device a recording plays silently and the window says so; a sound
// server started or restarted under the window gives the sound back on the next play.

#include <QImage>
#include <QLabel>
#include <QProcess>
#include <algorithm>
#include <utility>

#include "platform/mpv_video_widget.h"
#include "support/encoded_media.h"
#include "support/form_with_mpv.h"
#include "support/graphics_driver.h"
#include "support/program_run.h"
#include "support/test_media.h"

namespace {

// Video drawn through mpv's render API (OpenGL on the test's X display), no sound.
class FormWithVideo : public FormWithMpv {
 protected:
  MpvMediaPlayer::Output Output() const override { return {true, false, {}, {}, 0}; }
  void SetUp() override {
    FormWithMpv::SetUp();
    const auto* video = dynamic_cast<const MpvVideoWidget*>(player->view());
    ASSERT_NE(video, nullptr);
    if (!video->Ready()) GTEST_SKIP() << "no OpenGL here: scripts/test runs this on an X display";
    testing_support::KeepGraphicsDriverLoaded();
  }
};

// The grey value of a pixel.
int Grey(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)); }

TEST_F(FormWithVideo, PlaysInTheCompactWindowAndShowsItsPictureWhenTheAreaIs) {
  form->show();
  EXPECT_EQ(player->view()->height(), 0) << "the compact window has no room for the picture";
  ASSERT_TRUE(test_media::WriteVideo(Path("scene.avi"), 4.0));
  ASSERT_TRUE(OpenLoaded(Path("scene.avi")));
  player->play();
  ASSERT_TRUE(WaitUntil([&] { return TimeCodeNow() >= "00:00:01:00"; }, 8000))
      << "the time code stays at " << TimeCodeNow().toStdString();
  player->pause();

  // Shown, the area draws the paused frame: the bright band at the top of the picture, the grey
  // field below it (the picture is letterboxed in black).
  form->Videosize_Click();
  QImage shot;
  int top = -1, bottom = -1;
  ASSERT_TRUE(WaitUntil([&] {
    shot = player->view()->grab().toImage();
    const int x = shot.width() / 2;
    top = bottom = -1;
    for (int y = 0; y < shot.height(); ++y) {
      if (Grey(shot, x, y) > 40) {
        if (top < 0) top = y;
        bottom = y;
      }
    }
    return top >= 0 && bottom - top > 40;
  })) << "the area stays black";
  const int height = bottom - top + 1;
  EXPECT_GT(Grey(shot, shot.width() / 2, top + height / 8), 180) << "the band is at the top";
  int darkest = 255;
  for (int x = 0; x < shot.width(); ++x) {
    const int grey = Grey(shot, x, top + height * 3 / 4);
    if (grey > 40) darkest = std::min(darkest, grey);
  }
  EXPECT_GT(darkest, 50);
  EXPECT_LT(darkest, 120) << "the grey field is below the band";
}

// A sound device that cannot be opened on any machine.
class FormWithoutSoundDevice : public FormWithMpv {
 protected:
  MpvMediaPlayer::Output Output() const override {
    return {false, true, "alsa/quillmark-no-such-device", {}, 0};
  }
};

TEST_F(FormWithoutSoundDevice, PlaysSilentlyAndSaysSoOnce) {
  EXPECT_TRUE(form->NoSound->isHidden());
  ASSERT_TRUE(test_media::WriteTone(Path("speech.wav"), 3.0));
  ASSERT_TRUE(OpenLoaded(Path("speech.wav")));
  player->play();
  ASSERT_TRUE(WaitUntil([&] { return TimeCodeNow() >= "00:00:01:00"; }))
      << "the time code stays at " << TimeCodeNow().toStdString();
  EXPECT_FALSE(form->NoSound->isHidden());
  EXPECT_EQ(form->NoSound->text(), "No sound device");
  EXPECT_TRUE(form->isAncestorOf(form->NoSound));
  EXPECT_EQ(messages.shown, 0) << "the notice is no message box";
}

// A PulseAudio server of the test's own with a null sink, which takes sound in real time; the
// player's sound goes to it alone (PULSE_SERVER names its socket). Started and killed by the test.
class FormWithSoundServer : public FormWithMpv {
 protected:
  MpvMediaPlayer::Output Output() const override { return {false, true, "pulse", {}, 0}; }
  void SetUp() override {
    ASSERT_TRUE(serverDir.isValid());
    qputenv("PULSE_SERVER", ("unix:" + serverDir.filePath("native")).toUtf8());
    FormWithMpv::SetUp();
  }
  void TearDown() override {
    FormWithMpv::TearDown();
    KillServer();
    qunsetenv("PULSE_SERVER");
  }

  // Starts the server and waits until it answers.
  bool StartServer() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", serverDir.path());
    environment.insert("XDG_RUNTIME_DIR", serverDir.path());
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    server.setProcessEnvironment(environment);
    server.start("pulseaudio",
                 {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                  "-L", "module-null-sink sink_name=quillmark_test",
                  "-L", "module-native-protocol-unix auth-anonymous=1 socket=" +
                            serverDir.filePath("native"),
                  "-L", "module-always-sink"});
    EXPECT_TRUE(server.waitForStarted(10000)) << "pulseaudio (Debian package pulseaudio)";
    return WaitUntil([&] { return RunProgram("pactl", {"info"}).exitCode == 0; }, 10000);
  }
  // Ends the server at once, as a crash would.
  void KillServer() {
    if (server.state() == QProcess::NotRunning) return;
    server.kill();
    server.waitForFinished(5000);
  }
  // The streams playing on the server, one line each.
  int SinkInputs() {
    return static_cast<int>(RunProgram("pactl", {"list", "short", "sink-inputs"}).out.count('\n'));
  }
  void Space() {
    int key = 32, shift = 0;
    form->Logo_KeyDown(key, shift);
  }
  // Where the paused player stands, once it reports the same place twice.
  double PausedPosition() {
    double position = -1;
    EXPECT_TRUE(WaitUntil([&] {
      const double before = std::exchange(position, player->currentPosition());
      return before == position && player->playState() == MediaPlayer::kPaused;
    }));
    return position;
  }

  QTemporaryDir serverDir;
  QProcess server;
};

TEST_F(FormWithSoundServer, SoundComesBackOnTheNextPlayWhereItWas) {
  ASSERT_TRUE(test_media::WriteTone(Path("speech.wav"), 60.0));
  ASSERT_TRUE(OpenLoaded(Path("speech.wav")));
  // The window started before the sound server: it plays silently and says so.
  Space();
  ASSERT_TRUE(WaitUntil([&] { return !form->NoSound->isHidden(); }));
  ASSERT_TRUE(WaitUntil([&] { return player->currentPosition() > 1.0; }));
  ASSERT_TRUE(StartServer());

  for (const char* round : {"server started late", "server restarted"}) {
    SCOPED_TRACE(round);
    Space();
    const double paused = PausedPosition();
    EXPECT_FALSE(form->NoSound->isHidden()) << "no sound yet: the notice shows";
    // Play, and pause again at once: the sound output is opened anew, and the position stays
    // (a busy machine may play a few frames before the pause lands; a lost position would be
    // back at the start).
    Space();
    Space();
    ASSERT_TRUE(WaitUntil([&] { return form->NoSound->isHidden(); }))
        << "the notice stays: no sound";
    EXPECT_NEAR(PausedPosition(), paused, 0.25);
    // Playing, the sound reaches the server as a stream of the player's.
    Space();
    ASSERT_TRUE(WaitUntil([&] { return SinkInputs() == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return player->currentPosition() > paused + 0.5; }));
    EXPECT_TRUE(form->NoSound->isHidden());

    // The server goes away under the playing window, and comes back.
    KillServer();
    ASSERT_TRUE(WaitUntil([&] { return !form->NoSound->isHidden(); }));
    ASSERT_TRUE(StartServer());
    EXPECT_EQ(SinkInputs(), 0) << "no sound before the next play";
  }
}

}  // namespace
