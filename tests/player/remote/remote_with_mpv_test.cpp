// The window on the real libmpv player (headless), driven over the private bus by playerctl and
// by QtDBus calls, with a playerctl follower and a QtDBus listener hearing the changes.

#include <QLabel>
#include <QSlider>
#include <cmath>
#include <memory>

#include "remote_fixture.h"
#include "remote_listener.h"
#include "support/form_with_mpv.h"
#include "support/test_media.h"

namespace {

class RemoteWithMpv : public FormWithMpv {
 protected:
  void SetUp() override {
    FormWithMpv::SetUp();
    ASSERT_TRUE(test_media::WriteTone(path, 3.0));
    remote = std::make_unique<RemoteControl>(
        *form, QDBusConnection::connectToBus(PrivateSessionBus::Address(), "window"));
    ASSERT_EQ(remote->Start(), RemoteControl::Claim::Claimed);
  }
  void TearDown() override {
    remote.reset();
    FormWithMpv::TearDown();
  }

  const QString path = Path("speech.wav");
  std::unique_ptr<RemoteControl> remote;
  BusClient client;
};

TEST_F(RemoteWithMpv, PlayerctlPlaysPausesSeeksAndIsTold) {
  PropertiesListener listener(client.bus());
  // playerctl's own follower prints every status it hears of, from the one it finds first.
  QProcess follower;
  follower.start("playerctl", {"--player=quillmark", "--follow", "status"});
  ASSERT_TRUE(follower.waitForStarted(10000));
  QString followed;
  const auto follows = [&](const QString& lines) {
    return WaitUntil([&] {
      followed += QString::fromUtf8(follower.readAllStandardOutput());
      return followed.contains(lines);
    }, 10000);
  };

  form->OpenRecording(path);
  ASSERT_TRUE(WaitUntil([&] { return player->duration() > 0; }));
  ASSERT_TRUE(WaitUntil([&] {
    return std::llabs(listener.Metadata().value("mpris:length").toLongLong() - 3000000) < 50000;
  }));
  EXPECT_EQ(Playerctl({"metadata", "xesam:title"}).out, "speech.wav\n");
  EXPECT_EQ(Playerctl({"status"}).out, "Paused\n");

  ASSERT_EQ(Playerctl({"play-pause"}).exitCode, 0);
  ASSERT_TRUE(WaitUntil([&] { return Playerctl({"status"}).out == "Playing\n"; }));
  EXPECT_EQ(form->Pedalstat->text(), " Play");
  ASSERT_TRUE(WaitUntil([&] { return player->currentPosition() > 0.2; }));
  ASSERT_EQ(Playerctl({"play-pause"}).exitCode, 0);
  ASSERT_TRUE(WaitUntil([&] { return player->playState() == MediaPlayer::kPaused; }));
  EXPECT_EQ(form->Pedalstat->text(), " Paused");
  EXPECT_TRUE(follows("Paused\nPlaying\nPaused\n")) << followed.toStdString();
  // playerctl may hear the change before this connection does.
  EXPECT_TRUE(WaitUntil([&] { return listener.Last("PlaybackStatus").toString() == "Paused"; }));

  // Positions are the recording's; playerctl reads them back as mpv reports them.
  ASSERT_EQ(Playerctl({"position", "1"}).exitCode, 0);
  EXPECT_NEAR(player->currentPosition(), 1.0, 1e-6);
  ASSERT_TRUE(WaitUntil([&] { return Playerctl({"position"}).out == "1.000000\n"; }));
  Playerctl({"position", "0.5-"});
  EXPECT_NEAR(player->currentPosition(), 0.5, 1e-6);
  Playerctl({"position", "100+"});  // past the end: the end
  EXPECT_NEAR(player->currentPosition(), player->duration(), 1e-6);
  EXPECT_FALSE(listener.seeked.empty());

  // The rate, set over QtDBus, moves the slider and is announced.
  EXPECT_NE(client.SetPlayerProperty("Rate", 0.75).type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(form->SpeedSlide->value(), 75);
  ASSERT_TRUE(WaitUntil([&] { return listener.Last("Rate") == 0.75; }));
  EXPECT_DOUBLE_EQ(client.PlayerProperty("Rate").toDouble(), 0.75);

  follower.terminate();
  follower.waitForFinished(5000);
}

}  // namespace
